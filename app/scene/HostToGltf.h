// Captures the host scene as a glTF scene, the reverse of GltfToHost: the node tree with local
// transforms at frame 0, meshes with their per-corner streams split into glTF vertices and their
// faces grouped by material into primitives, materials and bitmap textures, skins, and one
// animation per stored animation range (or one over the scene's range when none is stored).
#pragma once

#include "gltf/GltfScene.h"

#include <string>
#include <vector>

namespace scene {

struct CaptureReport {
    std::vector<std::string> warnings;
};

// Reads the current host scene; changes nothing in it (skin modifiers are switched off while
// their base mesh is read, and on again).
gltf::Scene captureHostScene(CaptureReport& report);

} // namespace scene
