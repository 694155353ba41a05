// glTF numbers are finite 32-bit floats: JSON has no NaN or infinity, and the validator rejects
// them in buffers. This finds the first number of a scene that is not, so the reader can refuse
// such a file and the writer never writes one.
#pragma once

#include "gltf/GltfScene.h"

#include <string>

namespace gltf {

enum class NormalCheck { included, skipped };

// Empty when every number of `scene` is finite, else one line naming the first that is not
// ("node 3 'Arm' has a translation that is not a finite 32-bit number"). The writer skips
// normals: one without a usable direction gets a substitute there instead.
std::string findNonFinite(const Scene& scene, NormalCheck normals = NormalCheck::included);

} // namespace gltf
