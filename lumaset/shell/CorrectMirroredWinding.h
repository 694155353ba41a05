// Mirrored meshes keep their faces' outward side: a node whose accumulated transform (its own
// local transform times those of all its ancestors) turns space inside out shows its triangles
// from the back unless their winding is reversed before writing.
#pragma once

#include "model/SceneSnapshot.h"

// Reverses, in every mesh whose node sits under a transform of negative parity, each triangle of
// the four triangle lists (faces, normals, texture coordinates, colours) by swapping its second
// and third index. Other meshes and every other list are left alone. Walks the tree with an
// explicit stack, so any depth of nesting is safe.
void CorrectMirroredWinding(SceneSnapshot& snapshot);
