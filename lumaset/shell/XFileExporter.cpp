#include "shell/XFileExporter.h"

XFileExporter::XFileExporter() : description(xFileTypeDescription("X-FILE Exporter")) {}

int XFileExporter::DoExport(const TCHAR*, ExpInterface*, Interface*, BOOL, DWORD) {
    // The export pipeline (settings, dialog, capture, conversion, transforms, writing) arrives
    // stage by stage; until then the command does nothing and, like every run, returns 1.
    return 1;
}
