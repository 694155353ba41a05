// Reworking the index structure of an X mesh without changing what it looks like: compaction
// merges equal values in each value list, vertex unification gives positions, texture coordinates
// and colours one shared index per corner, triangulation splits quads into triangles.
#pragma once

#include "model/XScene.h"

// True when the mesh keeps the model's index invariants: every face has 3 or 4 corners; the
// per-corner face lists are empty or match faces face by face with the same corner counts;
// faceMaterials is empty or has one entry per face; every used index is within its list. Skin
// weights at vertices outside positions are tolerated (the processing drops them). The
// operations below check this first and leave a mesh that fails it untouched.
bool meshIndicesAreValid(const XMesh& mesh);

// Merges exactly equal values in texCoords, colors, positions and normals (in that order), each
// value taking its index in order of first appearance, and rewrites the face lists and the skin
// weights to match. Two positions merge only when their skin weights are equal too (the same
// bones with the same weights), so coincident vertices of different bones stay apart; weights at
// vertices outside positions are dropped.
// Values compare as floats (so -0 and +0 merge). A component that is not a number matches only a
// NaN of the same bit pattern, so a NaN is never merged with a number and nothing is lost.
// Returns false, changing nothing, when the mesh breaks the index invariants.
bool compactMesh(XMesh& mesh);

// Rebuilds the mesh so that positions, texture coordinates and colours share one index per corner:
// one vertex per distinct (position, normal, texture coordinate, colour) index tuple, numbered in
// order of first appearance over the faces. The normal index takes part only for a skinned mesh
// with normal faces; normals keep their own list and indices. Skin weights follow their vertices;
// vertices that no face uses disappear with their weights. texCoordFaces and colorFaces, when not
// empty, equal faces afterwards. Returns false, changing nothing, when the mesh breaks the index
// invariants.
bool unifyVertices(XMesh& mesh);

// Splits every quad (a, b, c, d) into the triangles (c, d, a) and (a, b, c), in all four face lists
// alike, and repeats the quad's material index for both. Windings are kept. Returns false,
// changing nothing, when the mesh breaks the index invariants.
bool triangulateMesh(XMesh& mesh);

// Triangulates the mesh of every frame of a freshly read scene, depth first. Meshes that break the
// index invariants are left as they are.
void prepareImportedScene(XScene& scene);
