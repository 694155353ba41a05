// Scene construction kit for tests: short calls that build host scenes the way a user would
// (nodes with box and cylinder meshes, smoothing groups, material ids, standard and multi
// materials with bitmaps, keys, skin and Physique modifiers over bone chains, animation-set
// chunks). Not part of the SDK surface: tests only.
//
// Every call works on GetCOREInterface()'s scene; hostcore::resetScene() clears it.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "control.h"
#include "hostcore.h"
#include "inode.h"
#include "maxapi.h"
#include "modstack.h"
#include "stdmat.h"
#include "triobj.h"

namespace scenekit {

// --- Nodes and meshes -------------------------------------------------------------------

// A node showing `object` (may be NULL), under `parent` (NULL: the scene root), keeping a
// local matrix of identity.
INode* makeNode(const std::string& name, Object* object = nullptr, INode* parent = nullptr);

// A box centred on the pivot: 8 shared corners, 12 triangles, texture coordinates (0..1 over
// each side), all edges of each side visible. Side s (0 -Z, 1 +Z, 2 -Y, 3 +Y, 4 -X, 5 +X)
// has smoothing group 1 << s and material id s.
INode* makeBox(const std::string& name, Point3 size = Point3(1.0f, 1.0f, 1.0f),
               INode* parent = nullptr);

// A closed cylinder along +Z from 0 to `height`: `sides` around, `segments` rings along the
// height (sides >= 3, segments >= 1). Vertices: rings bottom to top, `sides` each, then the
// bottom and top cap centres. The mantle is smoothing group 1, the caps groups 2 and 4;
// material id 0 everywhere.
INode* makeCylinder(const std::string& name, float radius, float height, int sides, int segments,
                    INode* parent = nullptr);

// Nodes whose objects are not triangle meshes. A primitive box (width along X, length along Y,
// centred on the pivot, height up +Z, sides as makeBox) makes a new triangle object each time it
// is converted, which the caller then owns. A dummy helper, a free camera and an omni light do
// not convert to triangle meshes at all.
INode* makePrimitiveBox(const std::string& name, Point3 size = Point3(1.0f, 1.0f, 1.0f),
                        INode* parent = nullptr);
INode* makeDummy(const std::string& name, INode* parent = nullptr);
INode* makeCamera(const std::string& name, INode* parent = nullptr);
INode* makeLight(const std::string& name, INode* parent = nullptr);

// The base triangle object of a node's pipeline (below every modifier); NULL when there is none.
TriObject* baseTriObject(INode* node);
Mesh& baseMesh(INode* node); // the node must have a base triangle object

// Every face of the node's base mesh gets `groups` / material id `id` (a function of the face
// index for the per-face forms).
void setSmoothingGroups(INode* node, DWORD groups);
void setMaterialIds(INode* node, MtlID id);
template <class FaceToValue> void setMaterialIdsBy(INode* node, FaceToValue idOf) {
    Mesh& mesh = baseMesh(node);
    for (int f = 0; f < mesh.getNumFaces(); ++f)
        mesh.faces[f].setMatID(MtlID(idOf(f)));
}

// Vertex colours in map channel 0 (one per vertex, faces mirror the geometry).
void setVertexColors(INode* node, const std::vector<Point3>& colors);

// --- Transforms and keys ------------------------------------------------------------------

Matrix3 translation(float x, float y, float z);
// World matrix of the node at t, set outside animate mode (no key is made).
void place(INode* node, const Matrix3& world, TimeValue t = 0);
// Keys on the node's own tracks (values relative to the parent), made in animate mode.
void keyPosition(INode* node, TimeValue t, Point3 position);
void keyRotation(INode* node, TimeValue t, Quat rotation);
void keyScale(INode* node, TimeValue t, Point3 factors);
// A key on all three tracks so that the world matrix at t is `world`.
void keyWorld(INode* node, TimeValue t, const Matrix3& world);
// A rotation of `radians` about X, Y or Z (axis 0, 1, 2) in the host's quaternion convention.
Quat rotationAbout(int axis, float radians);

// Gives the node a biped-style body controller (keys are then made with keyWorld).
Control* useBipedBody(INode* node);

// Replace one sub-controller of the node's transform controller by another kind, as a user
// picks it in the host. The new controller starts from the old one's value at time 0 (keys of
// the old one are not carried over) and then gets the keys given (made in animate mode; the
// usual key functions above work on it as well). Each returns the new controller.
template <class Value> using Keys = std::vector<std::pair<TimeValue, Value>>;
Control* useBezierPosition(INode* node, const Keys<Point3>& keys = {});
Control* useTcbPosition(INode* node, const Keys<Point3>& keys = {});
// Position XYZ: three Bezier float tracks; keys set all three.
Control* usePositionXYZ(INode* node, const Keys<Point3>& keys = {});
Control* useBezierScale(INode* node, const Keys<Point3>& factorKeys = {});
Control* useTcbRotation(INode* node, const Keys<Quat>& keys = {});
// Euler XYZ: three Bezier float tracks of X, Y and Z angles in radians (X turns first). Each key
// sets all three tracks; keyEulerAxis keys one track alone.
Control* useEulerRotation(INode* node, const Keys<Point3>& angleKeys = {});
void keyEulerAxis(INode* node, int axis, TimeValue t, float radians);
// Tension, continuity and bias of key `keyIndex` of a TCB controller.
void setTcb(Control* controller, int keyIndex, float tension, float continuity, float bias);

// --- Materials ----------------------------------------------------------------------------

// A standard material with these colours, optionally with a bitmap (file name as given) in the
// diffuse slot; assigned to the node when `node` is not NULL.
StdMat2* standardMaterial(INode* node, Color diffuse, const std::string& bitmap = "",
                          Color ambient = Color(0.1f, 0.1f, 0.1f),
                          Color specular = Color(0.9f, 0.9f, 0.9f), float glossiness = 0.25f,
                          float opacity = 1.0f);
// A multi/sub-object material with one slot per material given; assigned to the node.
MultiMtl* multiMaterial(INode* node, const std::vector<Mtl*>& subMaterials);
// A vertex-colour map reading `channel`, put into slot `slot` (ID_DI or ID_OP) of `material`.
Texmap* vertexColorMap(StdMat2* material, int slot, int channel);

// --- Modifiers ----------------------------------------------------------------------------

// The node's derived object, made over its object when it has none yet.
IDerivedObject* derivedObject(INode* node);
// Adds `mod` at the top of the node's stack.
void addModifier(INode* node, Modifier* mod);

// A chain of `boneCount` bone nodes along +Z, each `boneLength` long, the first at `base`
// under `parent` (NULL: the root), each next one the child of the one before. Bone nodes have
// bone objects, the bone flag on and rendering off.
std::vector<INode*> makeBoneChain(const std::string& namePrefix, int boneCount, float boneLength,
                                  Point3 base = Point3(0.0f, 0.0f, 0.0f), INode* parent = nullptr);

// Weights of one vertex: pairs of (bone index in the chain, weight).
typedef std::vector<std::pair<int, float>> VertexWeights;
// Weights that follow the height of each vertex in world space at time 0: a vertex between
// the middles of two neighbouring bones blends them linearly, beyond the ends it follows the
// end bone alone. Bone i spans z = base + i*length .. base + (i+1)*length.
std::vector<VertexWeights> weightsAlongChain(INode* node, const std::vector<INode*>& bones);

// Skins the node to `bones` with a skin modifier (bind pose: now, at time 0) and `weights`
// (one entry per vertex of the base mesh; empty: weightsAlongChain). Returns the modifier. The
// pipeline is evaluated once after the modifier is added: the host makes a node's skin data on
// that first evaluation, and only then can weights be set.
Modifier* skinTo(INode* node, const std::vector<INode*>& bones,
                 std::vector<VertexWeights> weights = {});
// The same with a Physique-style modifier. With `deformable`, every vertex is a deformable one
// (exported only when the reader asks for rigid vertices).
Modifier* physiqueTo(INode* node, const std::vector<INode*>& bones,
                     std::vector<VertexWeights> weights = {}, bool deformable = false);
// Physique with each vertex given in full: its bones (rigid or deformable) and floating bones.
struct PhysiqueVertexSpec {
    VertexWeights links;
    bool deformable = false;
    VertexWeights floating;
};
Modifier* physiqueWith(INode* node, const std::vector<INode*>& bones,
                       const std::vector<PhysiqueVertexSpec>& vertices);

// The mesh of the node's evaluated pipeline at t (modifiers applied), copied out.
Mesh evaluatedMesh(INode* node, TimeValue t);

// --- Animation sets -----------------------------------------------------------------------

struct AnimationSet {
    std::string name;
    int startFrame = 0;
    int endFrame = 0;
};
// Stores the sets in the scene's application data chunk the animation set utility uses
// (count, then per set: name size with its zero, name, zero, start, end; 32-bit little
// endian). An empty list removes the chunk.
void storeAnimationSets(const std::vector<AnimationSet>& sets);
// The sets stored in the scene (empty when there is no chunk or it is malformed).
std::vector<AnimationSet> storedAnimationSets();

} // namespace scenekit
