// A readable summary of an X scene: the frame tree with what each mesh holds, the materials with
// their textures, the bones with their weight counts, and the animation sets with key counts per
// key type. It is what a user looks at first when a file does not come in as expected.
#pragma once

#include "model/XScene.h"

#include <cstddef>
#include <ostream>
#include <string>

// Totals over a whole scene, counted the way the summary reports them.
struct SceneTotals {
    std::size_t frameCount = 0;    // every frame, nested ones included
    std::size_t meshCount = 0;     // frames whose mesh has positions and faces
    std::size_t vertexCount = 0;   // positions of all meshes
    std::size_t faceCount = 0;     // faces of all meshes, as the file lists them (after the
                                   // reader's split of polygons beyond four corners)
    std::size_t triangleCount = 0; // those faces as triangles: a quad is two
    std::size_t materialCount = 0; // material entries of all meshes
    std::size_t boneCount = 0;     // skin weight entries of all meshes
    std::size_t animationSetCount = 0;
    std::size_t animationCount = 0;      // animations over all sets
    std::size_t animatedTargetCount = 0; // of those, the ones that hold a key
    std::size_t rotationKeyCount = 0;
    std::size_t scaleKeyCount = 0;
    std::size_t positionKeyCount = 0;
    std::size_t matrixKeyCount = 0;
};

SceneTotals countScene(const XScene& scene);

// `text` in double quotes, bytes outside printable ASCII (and quotes and backslashes) as \xNN.
std::string quotedName(const std::string& text);

// Writes the summary, ending with a line of totals in the file's terms and a line of counts in
// the words and meaning of `lumaset scene info`'s counts line: nodes (frames), meshes,
// triangles (a quad is two), materials, bones (skin weight entries), animation sets, animated
// nodes (per set, the animations with a key), and keys by kind, where a matrix key counts as one
// position, one rotation and one scale key, the keys the importer makes of it. Names are
// printed in double quotes, bytes outside printable ASCII as \xNN, so an odd name is visible
// for what it is.
void printSceneSummary(std::ostream& out, const XScene& scene);
