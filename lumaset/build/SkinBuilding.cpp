#include "build/ModifierStack.h"
#include "build/SceneBuilder.h"
#include "build/SnapshotTreeWalk.h"

#include "inode.h"
#include "iskin.h"
#include "maxapi.h"
#include "modstack.h"
#include "tab.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <vector>

void SceneBuilder::BuildSkins(std::vector<SnapshotNode>& topLevelNodes) {
    forEachSnapshotNode(topLevelNodes, [this](const SnapshotNode& node) {
        if (node.mesh.skinWeights.empty()) return;
        // A node built as a bone shows the bone object, not this mesh: nothing to deform.
        if (BuildsAsBone(node)) return;
        const auto built = builtNodes.find(&node);
        if (built != builtNodes.end()) BuildSkin(built->second, node.mesh);
    });
}

void SceneBuilder::BuildSkin(INode* node, const SnapshotMesh& mesh) {
    IDerivedObject* derived = derivedObjectOf(node);
    auto* skin = static_cast<Modifier*>(CreateInstance(OSM_CLASS_ID, SKIN_CLASSID));
    if (!derived || !skin) return;
    // Adding a modifier re-references the derived object; the lock keeps it alive meanwhile.
    derived->SetAFlag(A_LOCK_TARGET);
    derived->AddModifier(skin, nullptr, 0);
    derived->ClearAFlag(A_LOCK_TARGET);
    node->SetObjectRef(derived);
    auto* skinImport = static_cast<ISkinImportData*>(skin->GetInterface(I_SKINIMPORTDATA));
    if (!skinImport) return;
    // A skin makes its data for a node when it first deforms it; only then does it take the
    // node's matrices and weights.
    node->EvalWorldState(0);

    const Matrix3 nodeTransform = node->GetNodeTM(0);
    skinImport->SetSkinTm(node, nodeTransform, nodeTransform);

    // A bone name that names no node is skipped: it takes no place in the skin or in any
    // vertex's list, and the vertex keeps its other weights as they are.
    std::vector<INode*> bones(mesh.skinWeights.size(), nullptr);
    for (std::size_t i = 0; i < mesh.skinWeights.size(); ++i) {
        const SnapshotSkinWeights& entry = mesh.skinWeights[i];
        const auto found = nodeMap.find(entry.boneName);
        if (found == nodeMap.end() || !found->second) continue;
        bones[i] = found->second;
        // The offset carries the mesh into the bone's space; its inverse is the bone's place
        // relative to the mesh at binding time.
        const Matrix3 boneTransform = Inverse(entry.offsetMatrix) * nodeTransform;
        skinImport->AddBoneEx(bones[i], TRUE);
        skinImport->SetBoneTm(bones[i], boneTransform, boneTransform);
    }

    GetCOREInterface()->SelectNode(node, 1);

    // Every vertex's influences in skin entry order, gathered in one pass over the entries.
    const std::size_t vertexCount = std::min<std::size_t>(mesh.positions.size(), INT_MAX);
    std::vector<std::size_t> firstOf(vertexCount + 1, 0);
    for (std::size_t i = 0; i < bones.size(); ++i)
        if (bones[i])
            for (const auto& [vertex, weight] : mesh.skinWeights[i].weights)
                if (vertex >= 0 && static_cast<std::size_t>(vertex) < vertexCount)
                    ++firstOf[static_cast<std::size_t>(vertex) + 1];
    for (std::size_t v = 0; v < vertexCount; ++v)
        firstOf[v + 1] += firstOf[v];
    std::vector<INode*> influenceBones(firstOf[vertexCount]);
    std::vector<float> influenceWeights(firstOf[vertexCount]);
    std::vector<std::size_t> filled(firstOf.begin(), firstOf.end() - 1);
    for (std::size_t i = 0; i < bones.size(); ++i)
        if (bones[i])
            for (const auto& [vertex, weight] : mesh.skinWeights[i].weights)
                if (vertex >= 0 && static_cast<std::size_t>(vertex) < vertexCount) {
                    const std::size_t at = filled[static_cast<std::size_t>(vertex)]++;
                    influenceBones[at] = bones[i];
                    influenceWeights[at] = weight;
                }

    for (std::size_t v = 0; v < vertexCount; ++v) {
        const std::size_t first = firstOf[v];
        const int count = static_cast<int>(firstOf[v + 1] - first);
        Tab<INode*> vertexBones;
        Tab<float> vertexWeights;
        if (count > 0) {
            vertexBones.Append(count, influenceBones.data() + first);
            vertexWeights.Append(count, influenceWeights.data() + first);
        }
        skinImport->AddWeights(node, static_cast<int>(v), vertexBones, vertexWeights);
    }
}
