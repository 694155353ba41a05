// Welding the vertex streams of a captured mesh: equal values merge into one, numbered in order of
// first appearance, and the stream's triangles are renumbered to match.
//
// Values match component by component as floats (so -0 and +0 merge); a NaN component matches
// only a NaN of the same bit pattern. This is an equivalence even with NaN in the data (a node
// scaled to 0 at time 0 can give them), so every value lands in exactly one group.
#pragma once

#include "model/SceneSnapshot.h"

#include <cstdint>
#include <vector>

// Returns remap[old index] = new index. Indices in `triangles` must be below values.size().
std::vector<std::uint32_t> weldStream(std::vector<Point3>& values,
                                      std::vector<SnapshotTriangle>& triangles);
std::vector<std::uint32_t> weldStream(std::vector<SnapshotTexCoord>& values,
                                      std::vector<SnapshotTriangle>& triangles);
std::vector<std::uint32_t> weldStream(std::vector<SnapshotColor>& values,
                                      std::vector<SnapshotTriangle>& triangles);

// Welds positions with faces, where two positions merge only when their skin weights are equal
// too (the same bones with the same weights): coincident vertices on a seam that follow different
// bones stay apart. The skin weights are then renumbered to the welded positions.
void weldPositions(SnapshotMesh& mesh);
