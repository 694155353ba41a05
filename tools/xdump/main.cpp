// xdump FILE: prints the canonical dump of an X file, read through this platform's DirectX file
// services with the standard and extension templates registered.
#include "DumpPrinter.h"

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fprintf(
            argc == 2 ? stdout : stderr,
            "usage: xdump FILE\n"
            "Prints the canonical dump of the X file FILE (text, binary or compressed).\n");
        return argc == 2 ? 0 : 2;
    }
    IDirectXFile* file = nullptr;
    if (DirectXFileCreate(&file) != DXFILE_OK) {
        std::fprintf(stderr, "xdump: cannot create the file services object\n");
        return 1;
    }
    registerDumpTemplates(file);
    HRESULT status = DXFILE_OK;
    std::string dump = dumpXFile(file, argv[1], DXFILELOAD_FROMFILE, status);
    std::fwrite(dump.data(), 1, dump.size(), stdout);
    int exitCode = 0;
    if (status != DXFILE_OK) {
        DXFILEDIAGNOSTIC diagnostic{};
        if (DirectXFileGetLastError(file, &diagnostic) == DXFILE_OK && diagnostic.code != DXFILE_OK)
            std::fprintf(stderr, "xdump: %s\n", diagnostic.message);
        else
            std::fprintf(stderr, "xdump: %s: error 0x%08X\n", argv[1],
                         static_cast<unsigned>(status));
        exitCode = 1;
    }
    file->Release();
    return exitCode;
}
