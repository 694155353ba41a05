// Keeping X meshes valid on their way in and out of files: the checks that turn a mesh with
// broken indices into a smaller valid one, and the merge of several meshes into one.
#pragma once

#include "model/XScene.h"

// Makes `mesh` satisfy the model's invariants by leaving out whatever breaks them, never by
// inventing data:
// - a face with a corner count other than 3 or 4, or a position index out of range, drops the
//   whole mesh (every list is cleared);
// - a per-corner face list (normals, texture coordinates, colours) that does not match the faces
//   one for one and corner for corner, or indexes past its value list, drops that stream (the
//   value list and its faces);
// - face materials that are not one per face, or index past `materials`, are dropped;
// - a skin weight on a vertex the mesh lacks is dropped alone; the bone keeps its other weights.
// Returns true when nothing had to be dropped.
bool dropBrokenStreams(XMesh& mesh);

// Appends `part` to `mesh` as further polygons of the same mesh, offsetting every index of the
// part (faces, normal, texture-coordinate and colour faces, face materials, skin weight vertices)
// by the sizes of the lists it is appended to. Both meshes must satisfy the model's invariants;
// the result does too. A stream that only one side has is completed for the other side with a
// neutral value (texture coordinate (0, 0), colour opaque white, a plain white material); normals
// cannot be invented, so when only one side has normal faces the merged mesh has none. Skin
// weights of a bone both sides name are joined under that bone, keeping the first offset matrix.
void appendMesh(XMesh& mesh, XMesh&& part);
