#include "shell/XFileImporter.h"

XFileImporter::XFileImporter() : description(xFileTypeDescription("X-FILE Importer")) {}

int XFileImporter::DoImport(const TCHAR*, ImpInterface*, Interface*, BOOL) {
    // The import pipeline (settings, dialog, reading, conversion, building) arrives stage by
    // stage; until then the command does nothing and, like every run, returns 1.
    return 1;
}
