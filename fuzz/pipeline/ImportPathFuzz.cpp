// libFuzzer target for the whole import path: any bytes, as an X file, through the importer's
// steps into the host scene and out as glTF (see checkImportPath). A broken promise stops the run
// with what went wrong.
#include "PipelineChecks.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string failure = checkImportPath(data, size, processScratchFolder());
    if (!failure.empty()) {
        std::fprintf(stderr, "%s\n", failure.c_str());
        std::abort();
    }
    return 0;
}
