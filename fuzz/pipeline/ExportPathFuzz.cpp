// libFuzzer target for the whole export path: any bytes, as a .gltf text or a .glb, through the
// host scene and the exporter's steps into X files of every encoding and back (see
// checkExportPath). Relative URIs point into the folder named by GLTF_FUZZ_BASE (the seed files'
// own folder, so their buffers are found), or else into a folder that does not exist. A broken
// promise stops the run with what went wrong.
#include "PipelineChecks.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string base =
        std::getenv("GLTF_FUZZ_BASE") ? std::getenv("GLTF_FUZZ_BASE") : "/nonexistent-fuzz-folder";
    const std::string failure = checkExportPath(data, size, base, processScratchFolder());
    if (!failure.empty()) {
        std::fprintf(stderr, "%s\n", failure.c_str());
        std::abort();
    }
    return 0;
}
