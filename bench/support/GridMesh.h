// The mesh the X benchmarks are made of: a gently rolling grid, so that normals vary and no two
// neighbouring faces are alike.
#pragma once

#include "model/XScene.h"

#include <cstdint>

// `columns` x `rows` quads of two triangles each, spanning `width` along x and `depth` along z,
// with a normal and a texture coordinate per vertex (indexed as the positions are) and one plain
// grey material for every face. Vertex (column, row) is number row * (columns + 1) + column.
XMesh makeGridMesh(std::uint32_t columns, std::uint32_t rows, float width, float depth);
