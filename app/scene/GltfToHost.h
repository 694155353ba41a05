// Builds the host scene from a glTF scene: nodes with their local transforms, triangle meshes
// (several primitives become material ids of one mesh), standard and multi/sub-object materials
// with bitmap textures, skin modifiers, and animation keys on the transform controllers with each
// glTF animation stored as a named frame range.
//
// The timeline: frame 0 holds every node's own (rest) transform; the animations follow one after
// another from frame 1, each over whole frames at the chosen frame rate. Outside its own range a
// node holds its rest transform, so each range plays exactly what its glTF animation plays.
#pragma once

#include "gltf/GltfScene.h"

#include <string>
#include <vector>

namespace scene {

struct ImportOptions {
    int framesPerSecond = 30; // must divide the host's 4800 ticks per second
    // Where images embedded in the file are written so that textures can name them; nothing is
    // written when empty (the textures then name where the file would be, beside the input).
    std::string imageFolder;
    std::string inputPath; // the glTF file, for naming embedded images
};

struct ImportReport {
    std::string error;
    std::vector<std::string> warnings;
};

// Replaces the whole host scene with `scene`. The glTF scene must come from the reader (indices
// checked, hierarchy a forest). False with `report.error` when an embedded image cannot be
// written; the host scene is then unspecified.
[[nodiscard]] bool buildHostScene(const gltf::Scene& scene, const ImportOptions& options,
                                  ImportReport& report);

// True when `framesPerSecond` gives a whole number of host ticks per frame.
bool isUsableFrameRate(int framesPerSecond);

} // namespace scene
