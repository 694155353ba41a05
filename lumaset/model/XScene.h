// The X scene model: an X file's content as plain data. A forest of frames, each carrying at most
// one mesh, plus named animation sets. Everything is held by value and copying a scene copies
// everything; frames, bones and animation targets refer to each other by name only.
#pragma once

#include "model/BoneVertexWeights.h"
#include "model/XFace.h"
#include "model/XFaceList.h"

#include <array>
#include <cstdint>
#include <list>
#include <map>
#include <string>
#include <vector>

struct XVector2 {
    float u = 0.0f;
    float v = 0.0f;
    friend bool operator==(const XVector2&, const XVector2&) = default;
};

struct XVector3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    friend bool operator==(const XVector3&, const XVector3&) = default;
};

struct XColor {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;
    friend bool operator==(const XColor&, const XColor&) = default;
};

// Vector part first, scalar last; X files store the scalar first and the reader reorders.
struct XQuaternion {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 1.0f;
    friend bool operator==(const XQuaternion&, const XQuaternion&) = default;
};

// Sixteen floats, row-major, row-vector convention (a point p maps to p x M): rows 0 to 2 are the
// transformed axes, elements 12 to 14 the translation, element 15 is 1 for affine matrices. The
// layout is byte for byte that of the X template Matrix4x4. A default matrix is the identity.
struct XMatrix {
    std::array<float, 16> m = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

    float& at(int row, int column) { return m[static_cast<std::size_t>(row * 4 + column)]; }
    float at(int row, int column) const { return m[static_cast<std::size_t>(row * 4 + column)]; }
    friend bool operator==(const XMatrix&, const XMatrix&) = default;
};

struct XMaterial {
    std::string textureFilename; // empty: no texture
    XColor diffuse;              // the X material's face colour
    XColor ambient;              // not stored in X files
    XColor specular;             // only r, g, b are stored in X files
    XColor emissive;             // only r, g, b are stored in X files
    float power = 0.0f;          // specular exponent
    friend bool operator==(const XMaterial&, const XMaterial&) = default;
};

// One bone's influence on one mesh: one weight per vertex, ascending by vertex index.
struct XSkinWeights {
    std::string boneName; // the frame that acts as the bone
    XMatrix offsetMatrix;
    BoneVertexWeights weights;
    friend bool operator==(const XSkinWeights&, const XSkinWeights&) = default;
};

// A mesh in indexed multi-stream form: each per-corner attribute keeps its own value list and its
// own face list. Invariants the processing relies on: normalFaces, texCoordFaces and colorFaces are
// empty or match faces corner by corner; faceMaterials is empty or has one entry per face; every
// index is within the list it refers to. A mesh whose positions or faces are empty is no mesh. The
// face lists share their storage when copied (see XFaceList), so `texCoordFaces = faces` is free.
struct XMesh {
    XFaceList faces; // indices into positions
    std::vector<XVector3> positions;
    XFaceList normalFaces; // indices into normals
    std::vector<XVector3> normals;
    std::vector<std::uint32_t> faceMaterials; // indices into materials, one per face
    XFaceList texCoordFaces;                  // indices into texCoords
    std::vector<XVector2> texCoords;
    XFaceList colorFaces; // indices into colors
    std::vector<XColor> colors;
    std::vector<XSkinWeights> skinWeights; // one entry per influencing bone
    std::vector<XMaterial> materials;

    bool isEmpty() const { return positions.empty() || faces.empty(); }
    friend bool operator==(const XMesh&, const XMesh&) = default;
};

// Calls change(list) on each of the mesh's face lists for a change that does the same to every
// list (reversing windings, splitting quads). A per-corner list that shares the faces' storage
// is not changed apart but shares the changed faces again, so the work is done once and nothing
// is copied.
template <class Change> void changeEveryFaceList(XMesh& mesh, Change change) {
    XFaceList* const cornerLists[] = {&mesh.normalFaces, &mesh.texCoordFaces, &mesh.colorFaces};
    bool sharesFaces[3];
    for (int k = 0; k < 3; ++k) {
        sharesFaces[k] = cornerLists[k]->sharesStorageWith(mesh.faces);
        if (sharesFaces[k]) cornerLists[k]->clear(); // so that changing the faces copies nothing
    }
    change(mesh.faces);
    for (int k = 0; k < 3; ++k) {
        if (sharesFaces[k])
            *cornerLists[k] = mesh.faces;
        else
            change(*cornerLists[k]);
    }
}

// A named transform node. A new frame has an empty name, the identity transform, an empty mesh and
// no children. Copying, comparing and destroying a frame walk its subtree with a work list instead
// of the call stack, so a chain of frames nested any number of levels deep is plain data too.
struct XFrame {
    std::string name;  // may be empty
    XMatrix transform; // relative to the parent frame, or to the scene at the top
    XMesh mesh;        // empty when the frame has no geometry
    std::list<XFrame> children;

    XFrame() = default;
    XFrame(const XFrame& other);
    XFrame(XFrame&&) noexcept = default;
    XFrame& operator=(const XFrame& other);
    XFrame& operator=(XFrame&&) noexcept = default;
    ~XFrame();

    friend bool operator==(const XFrame& a, const XFrame& b);
};

// Key times are signed ticks, 4800 per second (the reader converts other rates a file announces).
// One key per time and per map: setting a key at an existing time replaces it.
using XKeyTimeTicks = std::int32_t;

struct XAnimation {
    std::map<XKeyTimeTicks, XVector3> positionKeys;    // X key type 2
    std::map<XKeyTimeTicks, XVector3> scaleKeys;       // X key type 1
    std::map<XKeyTimeTicks, XQuaternion> rotationKeys; // X key type 0
    std::map<XKeyTimeTicks, XMatrix> matrixKeys;       // X key type 4
    friend bool operator==(const XAnimation&, const XAnimation&) = default;
};

// Animations by target frame name, in byte-wise name order. A set has no other data.
using XAnimationSet = std::map<std::string, XAnimation>;

struct XScene {
    std::list<XFrame> frames;                           // top-level frames, in the order added
    std::map<std::string, XAnimationSet> animationSets; // by name, byte-wise order
    friend bool operator==(const XScene&, const XScene&) = default;
};
