// The totals of a host scene in the words xinspect uses for an X file, so what came in through
// an import can be checked against what the file holds, count for count.
#pragma once

#include <cstddef>
#include <ostream>

namespace scene {

struct SceneCounts {
    std::size_t nodes = 0;     // every node below the root
    std::size_t meshes = 0;    // nodes whose object is a mesh with faces (bone objects are not)
    std::size_t triangles = 0; // faces of those meshes (the host keeps triangles only)
    std::size_t materials = 0; // per node: the slots of a multi/sub-object material, else 1
    std::size_t bones = 0;     // bones of every skin
    std::size_t animationSets = 0;
    std::size_t animatedNodes = 0; // per set, the nodes with a key inside the set's frames
    // Keys inside each set's frames (over the whole timeline when the scene stores no sets).
    std::size_t positionKeys = 0;
    std::size_t rotationKeys = 0;
    std::size_t scaleKeys = 0;
};

SceneCounts countHostScene();

// One line: "counts: N nodes, M meshes, T triangles, K materials, B bones, S animation sets,
// A animated nodes, keys: P position, R rotation, C scale". xinspect prints the same line for
// an X file.
void printCounts(std::ostream& out, const SceneCounts& counts);

} // namespace scene
