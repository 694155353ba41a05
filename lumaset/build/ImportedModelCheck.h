// The one check of an X scene model fresh from a file, before anything else works on it: every
// mesh is brought back to the model's index rules by dropping or completing what breaks them,
// so the preparation, the conversion and the builder see well-formed meshes. A mesh that keeps
// the rules is left exactly as it is.
#pragma once

#include "model/XScene.h"

// Per mesh, in this order:
// - a face with other than 3 or 4 corners, or with a corner at or beyond the position count, is
//   dropped together with its entries in normalFaces, texCoordFaces, colorFaces and
//   faceMaterials;
// - a texture-coordinate or colour stream whose face list length differs from the face count, or
//   whose faces differ from theirs in corner count or point beyond the stream's values, is
//   dropped for that mesh (face list and values); the geometry stays;
// - normalFaces is cut to the face count and completed, as is any normal face that does not fit,
//   by flat faces (all corners on normal 0), which give no smoothing group; with no normals at
//   all the normal face list goes;
// - a faceMaterials shorter than the faces is completed by repeating its last index (index 0
//   when it is empty and the mesh has materials), a longer one is cut.
// Walks frame trees of any depth without recursion.
void checkImportedScene(XScene& scene);

// The same for one mesh.
void checkImportedMesh(XMesh& mesh);
