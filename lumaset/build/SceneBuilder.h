// Creates host objects from a scene snapshot through the host's import interface: one node per
// snapshot node with its transform and parent, a triangle-mesh object (or a bone object for a
// node some skin uses as a bone), the node's materials with their bitmap and vertex-colour maps,
// a skin modifier for every skinned mesh, the animation keys of every set laid end to end on the
// timeline, and the scene's stored animation sets.
#pragma once

#include "model/SceneSnapshot.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

class ImpInterface;
class ImpNode;
class INode;
class Mesh;
class StdMat2;

class SceneBuilder {
public:
    // Every node created so far, by snapshot node name. When two nodes share a name the later
    // one built owns the entry, and lookups by name (bones, animation) find it.
    std::map<std::string, INode*> nodeMap;
    // Names of the nodes some skin uses as a bone; filled by Build before any node is built.
    // Such a node is built as a bone unless it carries geometry of its own (a mesh skinned to
    // its own frame, say), which it keeps showing.
    std::set<std::string> boneNames;
    std::string fileName;                         // the imported X file, for the texture search
    float boneScale[3] = {1.0f, 1.0f, 1.0f};      // object-offset scale of bone nodes
    float objectScale[3] = {1.0f, 1.0f, 1.0f};    // applied after each top-level transform
    float objectRotation[3] = {0.0f, 0.0f, 0.0f}; // degrees; x pitch, y yaw, z roll

    void SetFileName(const char* name) { fileName = name ? name : ""; }

    // Builds the whole snapshot into the scene: top-level nodes get the object scale and
    // rotation (their transforms and the keys of their tracks are changed in place), are built
    // with their subtrees and added to the scene; then skins, keys and the animation sets, which
    // replace the scene's stored sets. Untrusted content: indices out of range, names that name
    // no node and key times beyond the host's range are skipped. Always true.
    bool Build(ImpInterface* ii, SceneSnapshot& snapshot);

    // Creates the node and its whole subtree, each child attached to its parent, and returns
    // the import node of `node` (null when the host made none). A node's scene transform at
    // time 0 is its localTransform times its parent's scene transform; `node` itself counts as
    // top-level. Writes the materials' colour-channel fields. Never recurses: trees of any depth.
    ImpNode* BuildNode(ImpInterface* ii, SnapshotNode& node);

    // Fills an empty mesh from the snapshot mesh. A face with a corner beyond the positions is
    // dropped with its entries in every per-face list; a texture-coordinate or colour stream
    // whose face list does not match the faces or points beyond its values is left out; faces
    // beyond a short faceMaterials repeat its last id (id 0 when it is empty), faces beyond a
    // short normalFaces get no smoothing group.
    void FillMesh(Mesh& mesh, const SnapshotMesh& snapshotMesh) const;

    // Gives the node its material: one standard material for a single snapshot material, a
    // multi/sub-object material whose sub-material i is material i for several. False when the
    // mesh has no materials (the node keeps the host's default look).
    bool ApplyMaterials(INode* node, const SnapshotMesh& mesh) const;

    // Colours, shininess, opacity, the diffuse bitmap (found by the texture search) and the
    // vertex-colour opacity map. False only when `material` or `snapshotMaterial` is null.
    bool FillMaterial(StdMat2* material, const SnapshotMaterial* snapshotMaterial) const;

    // Shows map channel 0 as the node's vertex colours: two vertex-paint modifiers (channels 0
    // and 2) on top of the node's stack, and the node's vertex-colour display on.
    void EnableVertexColorDisplay(INode* node) const;

private:
    bool BuildsAsBone(const SnapshotNode& node) const;
    INode* CreateSceneNode(ImpInterface* ii, SnapshotNode& node, const Matrix3& sceneTransform,
                           ImpNode*& importNode);
    void BuildSkins(std::vector<SnapshotNode>& topLevelNodes);
    void BuildSkin(INode* node, const SnapshotMesh& mesh);
    void BuildAnimationSets(const SceneSnapshot& snapshot);
    // Writes one set's keys from `startTicks` on; returns the time of its last key (at least
    // `startTicks`). 64-bit ticks: a key whose time does not fit the host's range is skipped.
    std::int64_t WriteSetKeys(const SnapshotAnimationSet& set, std::int64_t startTicks);

    // The node built for each snapshot node: a skin goes to exactly the node built for its
    // mesh, whatever its name.
    std::unordered_map<const SnapshotNode*, INode*> builtNodes;
};
