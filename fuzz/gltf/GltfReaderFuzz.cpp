// libFuzzer target for the glTF reader: any bytes, as a .gltf text or a .glb, must give a scene or
// one error line, never a crash, a hang or an unbounded allocation. Relative URIs point into the
// folder named by GLTF_FUZZ_BASE (the seed files' own folder, so their buffers are found), or
// else into a folder that does not exist.
#include "gltf/GltfReader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string base =
        std::getenv("GLTF_FUZZ_BASE") ? std::getenv("GLTF_FUZZ_BASE") : "/nonexistent-fuzz-folder";
    gltf::Scene scene;
    gltf::ReadReport report;
    bool ok = gltf::readGltfBytes(std::span<const std::uint8_t>(data, size), base, scene, report);
    // A failure always says why.
    if (!ok && report.error.empty()) std::abort();
    return 0;
}
