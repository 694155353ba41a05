// xconvert IN OUT --format text|binary|compressed: re-encodes an X file.
#include "Converter.h"
#include "DumpPrinter.h"

#include <ComRef.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

int usage(FILE* out, int code) {
    std::fprintf(out, "usage: xconvert IN OUT --format text|binary|compressed\n"
                      "Saves every object of the X file IN, and the templates it declares, to OUT\n"
                      "in the chosen encoding (compressed: MSZIP-framed binary).\n");
    return code;
}

} // namespace

int main(int argc, char** argv) {
    std::string in;
    std::string out;
    std::string format;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument == "--help" || argument == "-h") return usage(stdout, 0);
        if (argument == "--format" && i + 1 < argc)
            format = argv[++i];
        else if (argument.rfind("--format=", 0) == 0)
            format = argument.substr(9);
        else if (in.empty())
            in = argument;
        else if (out.empty())
            out = argument;
        else
            return usage(stderr, 2);
    }
    DXFILEFORMAT encoding;
    if (format == "text")
        encoding = DXFILEFORMAT_TEXT;
    else if (format == "binary")
        encoding = DXFILEFORMAT_BINARY;
    else if (format == "compressed")
        encoding = DXFILEFORMAT_BINARY | DXFILEFORMAT_COMPRESSED;
    else
        return usage(stderr, 2);
    if (in.empty() || out.empty()) return usage(stderr, 2);

    ComRef<IDirectXFile> root;
    if (DirectXFileCreate(root.receive()) != DXFILE_OK) {
        std::fprintf(stderr, "xconvert: cannot create the file services object\n");
        return 1;
    }
    registerDumpTemplates(root.get());
    std::string reason;
    HRESULT status = convertXFile(root.get(), in, out, encoding, reason);
    if (status != DXFILE_OK) {
        DXFILEDIAGNOSTIC diagnostic{};
        if (DirectXFileGetLastError(root.get(), &diagnostic) == DXFILE_OK &&
            diagnostic.code != DXFILE_OK)
            std::fprintf(stderr, "xconvert: %s: %s\n", reason.c_str(), diagnostic.message);
        else
            std::fprintf(stderr, "xconvert: %s (error 0x%08X)\n", reason.c_str(),
                         static_cast<unsigned>(status));
    }
    // The save completed when its object was released, inside convertXFile.
    return status == DXFILE_OK ? 0 : 1;
}
