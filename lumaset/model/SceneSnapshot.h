// The scene snapshot: the host-side picture of a scene. A tree of nodes with local transforms, one
// triangle mesh per node in indexed multi-stream form, the node's materials and skin weights, and
// named animation sets with per-node key tracks. Plain data held by value, in host terms (row
// vectors, p' = p * M; host quaternions; times in ticks, 4800 per second); nothing in it refers to
// host objects.
#pragma once

#include "model/BoneVertexWeights.h"

#include "matrix3.h"
#include "maxtypes.h"
#include "point3.h"
#include "quat.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

// Three corner indices into the value array the triangle list pairs with, in stored order.
struct SnapshotTriangle {
    std::array<std::uint32_t, 3> indices = {0, 0, 0};
    friend bool operator==(const SnapshotTriangle&, const SnapshotTriangle&) = default;
};

struct SnapshotTexCoord {
    float u = 0.0f;
    float v = 0.0f; // already flipped to the downward convention
    friend bool operator==(const SnapshotTexCoord&, const SnapshotTexCoord&) = default;
};

struct SnapshotColor {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;
    friend bool operator==(const SnapshotColor&, const SnapshotColor&) = default;
};

// A matrix that its producer will overwrite: flags 0 as the host leaves them, numbers zero rather
// than undefined so that copies of an unfilled node are well defined.
inline Matrix3 unsetMatrix3() {
    Matrix3 matrix(FALSE);
    matrix.SetIdentFlags(0);
    return matrix;
}

struct SnapshotSkinWeights {
    std::string boneName;                  // the bone node's name as the host gives it
    Matrix3 offsetMatrix = unsetMatrix3(); // carries the mesh into the bone's space
    BoneVertexWeights weights;             // by index into positions; zero weights not stored
};

struct SnapshotMaterial {
    SnapshotColor diffuse;       // a is the opacity
    SnapshotColor ambient;       // a carries no meaning
    SnapshotColor specular;      // a carries no meaning
    float power = 0.0f;          // the host's shininess, passed on as the specular power
    std::string textureFilename; // the diffuse bitmap as the host stores it; empty when none
    std::int32_t diffuseColorChannel = -1; // map channel of a vertex-colour map in the diffuse slot
    std::int32_t opacityColorChannel = -1; // likewise for the opacity slot; -1: no such map
};

// Face i is entry i of faces, normalFaces, faceMaterials and, when not empty, texCoordFaces and
// colorFaces. Each triangle list indexes the value array after it. faceMaterials may name a
// material beyond materials.
struct SnapshotMesh {
    std::vector<SnapshotTriangle> faces;
    std::vector<Point3> positions; // in the node's own space
    std::vector<SnapshotTriangle> normalFaces;
    std::vector<Point3> normals; // unit normals
    std::vector<SnapshotTriangle> texCoordFaces;
    std::vector<SnapshotTexCoord> texCoords;
    std::vector<SnapshotTriangle> colorFaces;
    std::vector<SnapshotColor> colors;            // components 0 to 1
    std::vector<SnapshotSkinWeights> skinWeights; // one entry per influencing bone
    std::vector<std::int32_t> faceMaterials;      // index into materials, one per face
    std::vector<SnapshotMaterial> materials;
};

// A node list resized with std::vector::resize appends fresh nodes and drops surplus ones from the
// end, which is how the capture sizes a list before filling it in place. Copying and destroying a
// node walk its subtree with a work list instead of the call stack, so any depth is safe.
struct SnapshotNode {
    std::string name;                        // as the host gives it, spaces kept
    Matrix3 localTransform = unsetMatrix3(); // relative to the parent node, at time 0
    std::vector<SnapshotNode> children;      // in host child order
    SnapshotMesh mesh;                       // all arrays empty when the node yields no mesh

    SnapshotNode() = default;
    SnapshotNode(const SnapshotNode& other);
    SnapshotNode(SnapshotNode&&) noexcept = default;
    SnapshotNode& operator=(const SnapshotNode& other);
    SnapshotNode& operator=(SnapshotNode&&) noexcept = default;
    ~SnapshotNode();
};

// The keys of one node within one animation set, by time relative to the set's start. One key per
// time per map: setting a key at an existing time replaces it.
struct SnapshotTrack {
    std::map<TimeValue, Point3> positionKeys; // translation relative to the parent
    std::map<TimeValue, Point3> scaleKeys;    // factors along the node's axes
    std::map<TimeValue, Quat> rotationKeys;   // relative to the parent, host convention
    std::map<TimeValue, Matrix3> matrixKeys;  // the whole local transform (sampled export only)
};

// Tracks by node name, in byte-wise order.
using SnapshotAnimationSet = std::map<std::string, SnapshotTrack>;

// The track stored under `nodeName`, created with empty key maps when absent. The reference stays
// valid while the set lives.
inline SnapshotTrack& findOrAddTrack(SnapshotAnimationSet& set, const std::string& nodeName) {
    return set[nodeName];
}

struct SceneSnapshot {
    std::vector<SnapshotNode> nodes;                           // the top-level nodes
    std::map<std::string, SnapshotAnimationSet> animationSets; // by name, byte-wise order

    // The set stored under `name`, created empty when absent. The reference stays valid while the
    // snapshot lives.
    SnapshotAnimationSet& findOrAddSet(const std::string& name) { return animationSets[name]; }
};
