// Writes plain glTF data as a glTF 2.0 file that passes the Khronos validator: binary .glb when
// the name ends in ".glb", otherwise JSON .gltf with its buffer in "<stem>.bin" beside it.
#pragma once

#include "gltf/GltfScene.h"

#include <string>

namespace gltf {

struct WriteOptions {
    // A .glb carries the PNG and JPEG files that images name, instead of referring to them.
    bool embedImageFiles = false;
};

// Writes `scene` to `path`. Images with a `path` are referenced by a uri relative to the output
// folder (or embedded, see WriteOptions); images with bytes only go into the buffer. Normals,
// rotations and skin weights are normalized on the way out (a normal or rotation without a
// direction gets a unit substitute); indices use the smallest component type that fits without
// holding its restart value; key times that do not increase are dropped. A scene holding a number
// that is not finite, or an index or attribute that does not match its positions, is refused. The
// output replaces an existing file only once it has been written whole: on failure (`error`: one
// line, without the file name) existing files are left as they were.
[[nodiscard]] bool writeGltfFile(const Scene& scene, const std::string& path, std::string& error,
                                 const WriteOptions& options = {});

} // namespace gltf
