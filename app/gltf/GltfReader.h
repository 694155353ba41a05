// Reads glTF 2.0 files into plain data: .gltf with external or embedded (data: URI) buffers, and
// binary .glb. Geometry is decoded from accessors, triangle strips and fans become triangle
// lists, textures are flattened to images. Missing names get stable generated ones ("node_12",
// "mesh_3"), made unique against the names the file does give.
#pragma once

#include "gltf/GltfScene.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace gltf {

struct ReadReport {
    std::string error;                 // one line without the file name, set on failure
    std::vector<std::string> warnings; // one line each: what was skipped or not found
};

// Reads the file at `path`. Untrusted input: every index and byte range is checked before use, no
// count is trusted before the bytes behind it are, and the node hierarchy must be a forest (no
// node with two parents, no cycle). Returns false with `report.error` set on failure; `scene`
// is then unspecified. A missing image file is a warning: its image keeps uri and path.
[[nodiscard]] bool readGltfFile(const std::string& path, Scene& scene, ReadReport& report);

// The same for a file already in memory; `baseFolder` is where its relative URIs point. A .glb
// is recognised by its magic, not by a name.
[[nodiscard]] bool readGltfBytes(std::span<const std::uint8_t> bytes, const std::string& baseFolder,
                                 Scene& scene, ReadReport& report);

} // namespace gltf
