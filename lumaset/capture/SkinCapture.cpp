#include "capture/ModifierSwitch.h"
#include "capture/SceneCapture.h"

#include "inode.h"
#include "iskin.h"
#include "phyexp.h"

#include <algorithm>
#include <map>
#include <memory>
#include <unordered_map>

namespace {

std::string nameOf(INode* node) {
    return node->GetName() ? node->GetName() : "";
}

void readSkin(Modifier* modifier, INode* node, std::size_t vertexCount,
              std::vector<SnapshotSkinWeights>& skinWeights) {
    auto* skin = static_cast<ISkin*>(modifier->GetInterface(I_SKIN));
    if (!skin) return;
    // The skin interface is part of the modifier; releasing it is the SDK's form.
    struct Release {
        Modifier* modifier;
        ISkin* skin;
        ~Release() { modifier->ReleaseInterface(I_SKIN, skin); }
    } release{modifier, skin};

    ISkinContextData* context = skin->GetContextInterface(node);
    Matrix3 skinBind(1);
    if (!context || skin->GetSkinInitTM(node, skinBind, false) != SKIN_OK) return;

    // Weights by the bone's index in the modifier, in ascending index.
    std::map<int, BoneVertexWeights> weightsByBone; // vertices come in ascending order
    const int pointCount =
        int(std::min<std::size_t>(vertexCount, std::size_t(std::max(0, context->GetNumPoints()))));
    for (int v = 0; v < pointCount; ++v) {
        const int assignedCount = context->GetNumAssignedBones(v);
        for (int j = 0; j < assignedCount; ++j) {
            const float weight = context->GetBoneWeight(v, j);
            const int bone = context->GetAssignedBone(v, j);
            if (weight != 0.0f && bone >= 0) weightsByBone[bone][v] = weight;
        }
    }
    for (auto& [boneIndex, weights] : weightsByBone) {
        INode* bone = skin->GetBone(boneIndex);
        Matrix3 boneBind(1);
        if (!bone || skin->GetBoneInitTM(bone, boneBind, false) != SKIN_OK) continue;
        skinWeights.push_back(
            SnapshotSkinWeights{nameOf(bone), skinBind * Inverse(boneBind), std::move(weights)});
    }
}

void readPhysique(Modifier* modifier, INode* node, std::size_t vertexCount,
                  std::vector<SnapshotSkinWeights>& skinWeights) {
    auto* physique = static_cast<IPhysiqueExport*>(modifier->GetInterface(I_PHYINTERFACE));
    if (!physique) return;
    auto releasePhysique = [modifier](IPhysiqueExport* p) {
        modifier->ReleaseInterface(I_PHYINTERFACE, p);
    };
    std::unique_ptr<IPhysiqueExport, decltype(releasePhysique)> physiqueHeld(physique,
                                                                             releasePhysique);
    auto releaseContext = [physique](IPhyContextExport* c) {
        physique->ReleaseContextInterface(c);
    };
    std::unique_ptr<IPhyContextExport, decltype(releaseContext)> context(
        physique->GetContextInterface(node), releaseContext);
    Matrix3 nodeInit(1);
    if (!context || physique->GetInitNodeTM(node, nodeInit) != MATRIX_RETURNED) return;
    // Deformable vertices are presented as rigid ones, blended ones with all their bones.
    context->ConvertToRigid(TRUE);
    context->AllowBlending(TRUE);

    // Bones in order of first appearance over the vertices: the same order on every run.
    std::vector<std::pair<INode*, BoneVertexWeights>> bones;
    std::unordered_map<INode*, std::size_t> boneSlot;
    auto addWeight = [&](INode* bone, std::int32_t vertex, float weight) {
        if (!bone || weight == 0.0f) return;
        auto [slot, added] = boneSlot.try_emplace(bone, bones.size());
        if (added) bones.emplace_back(bone, BoneVertexWeights{});
        bones[slot->second].second[vertex] = weight;
    };
    auto releaseVertex = [&context](IPhyVertexExport* v) { context->ReleaseVertexInterface(v); };
    const int pointCount = int(
        std::min<std::size_t>(vertexCount, std::size_t(std::max(0, context->GetNumberVertices()))));
    for (int v = 0; v < pointCount; ++v) {
        std::unique_ptr<IPhyVertexExport, decltype(releaseVertex)> vertex(
            context->GetVertexInterface(v), releaseVertex);
        if (!vertex) continue;
        const int type = vertex->GetVertexType();
        if (type == RIGID_BLENDED_TYPE) {
            auto* blended = static_cast<IPhyBlendedRigidVertex*>(vertex.get());
            for (int i = 0; i < blended->GetNumberNodes(); ++i)
                addWeight(blended->GetNode(i), v, blended->GetWeight(i));
        } else if (type == RIGID_TYPE) {
            addWeight(static_cast<IPhyRigidVertex*>(vertex.get())->GetNode(), v, 1.0f);
        }
    }
    for (auto& [bone, weights] : bones) {
        Matrix3 boneInit(1);
        if (physique->GetInitNodeTM(bone, boneInit) != MATRIX_RETURNED) continue;
        skinWeights.push_back(
            SnapshotSkinWeights{nameOf(bone), nodeInit * Inverse(boneInit), std::move(weights)});
    }
}

} // namespace

void SceneCapture::captureSkin(INode* node, SnapshotMesh& mesh) const {
    const std::size_t vertexCount = mesh.positions.size();
    for (Modifier* modifier : pipelineModifiers(node)) {
        if (modifier->ClassID() == SKIN_CLASSID)
            readSkin(modifier, node, vertexCount, mesh.skinWeights);
        else if (modifier->ClassID() == PHYSIQUE_CLASS_ID)
            readPhysique(modifier, node, vertexCount, mesh.skinWeights);
    }
}
