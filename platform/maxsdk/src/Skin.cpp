// The skin modifier: bones with bind matrices, weights per node and vertex, and linear blend
// skinning from the bind pose to the bones' current matrices. As in the host, a node's skin data
// (its initial matrices and weights) comes into being when the modifier is first evaluated in
// that node's pipeline; until then the node has no context and no weights can be set.
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Deformers.h"
#include "inode.h"
#include "iskin.h"
#include "triobj.h"

namespace {

struct SkinBone {
    INode* node = nullptr;
    Matrix3 initObjectTM = Matrix3(1);
    Matrix3 initNodeTM = Matrix3(1);
    DWORD flags = BONE_BONE_FLAG;
};

typedef std::vector<std::pair<int, float>> Influences; // bone index, weight

class SkinNodeData : public ISkinContextData {
public:
    Matrix3 initObjectTM = Matrix3(1);
    Matrix3 initNodeTM = Matrix3(1);
    std::vector<Influences> points;

    int GetNumPoints() override { return int(points.size()); }
    int GetNumAssignedBones(int vertexIdx) override {
        return valid(vertexIdx) ? int(points[size_t(vertexIdx)].size()) : 0;
    }
    int GetAssignedBone(int vertexIdx, int boneIdx) override {
        if (!valid(vertexIdx, boneIdx)) return -1;
        return points[size_t(vertexIdx)][size_t(boneIdx)].first;
    }
    float GetBoneWeight(int vertexIdx, int boneIdx) override {
        if (!valid(vertexIdx, boneIdx)) return 0.0f;
        return points[size_t(vertexIdx)][size_t(boneIdx)].second;
    }

private:
    bool valid(int v) const { return v >= 0 && v < int(points.size()); }
    bool valid(int v, int b) const {
        return valid(v) && b >= 0 && b < int(points[size_t(v)].size());
    }
};

class SkinModifier : public Modifier, public ISkin, public ISkinImportData {
public:
    Class_ID ClassID() override { return SKIN_CLASSID; }
    const TCHAR* GetObjectName() override { return "Skin"; }

    using Modifier::GetInterface;
    void* GetInterface(ULONG id) override {
        if (id == I_SKIN) return static_cast<ISkin*>(this);
        if (id == I_SKINIMPORTDATA) return static_cast<ISkinImportData*>(this);
        return Modifier::GetInterface(id);
    }

    void ModifyObject(TimeValue t, ModContext&, ObjectState* os, INode* node) override {
        if (!node || !os || !os->obj || os->obj->ClassID() != triObjectClassID) return;
        Mesh& mesh = static_cast<TriObject*>(os->obj)->mesh;
        auto found = nodes.find(node);
        if (found == nodes.end()) {
            // First evaluation for this node: capture its matrices at the reference frame.
            auto data = std::make_unique<SkinNodeData>();
            data->initObjectTM = node->GetObjectTM(refFrame);
            data->initNodeTM = node->GetNodeTM(refFrame);
            found = nodes.emplace(node, std::move(data)).first;
        }
        SkinNodeData& data = *found->second;
        if (int(data.points.size()) != mesh.getNumVerts())
            data.points.resize(size_t(mesh.getNumVerts()));

        // Object point -> world at bind -> bone space at bind -> world now -> object now.
        Matrix3 toObjectNow = Inverse(node->GetObjectTM(t));
        std::vector<Matrix3> boneMotion(bones.size());
        for (size_t b = 0; b < bones.size(); ++b) {
            Matrix3 boneNow = bones[b].node ? bones[b].node->GetObjectTM(t) : bones[b].initObjectTM;
            boneMotion[b] =
                data.initObjectTM * Inverse(bones[b].initObjectTM) * boneNow * toObjectNow;
        }
        for (int v = 0; v < mesh.getNumVerts(); ++v)
            mesh.verts[v] =
                hostcore::detail::blendPoint(mesh.verts[v], data.points[size_t(v)], boneMotion);
    }

    // ISkin
    int GetBoneInitTM(INode* pNode, Matrix3& InitTM, bool bObjOffset) override {
        int b = boneIndex(pNode);
        if (b < 0) return SKIN_INVALID_NODE_PTR;
        InitTM = bObjOffset ? bones[size_t(b)].initObjectTM : bones[size_t(b)].initNodeTM;
        return SKIN_OK;
    }
    int GetSkinInitTM(INode* pNode, Matrix3& InitTM, bool bObjOffset) override {
        auto found = nodes.find(pNode);
        if (found == nodes.end()) return SKIN_INVALID_NODE_PTR;
        InitTM = bObjOffset ? found->second->initObjectTM : found->second->initNodeTM;
        return SKIN_OK;
    }
    int GetNumBones() override { return int(bones.size()); }
    INode* GetBone(int idx) override {
        return idx >= 0 && idx < int(bones.size()) ? bones[size_t(idx)].node : nullptr;
    }
    DWORD GetBoneProperty(int idx) override {
        return idx >= 0 && idx < int(bones.size()) ? bones[size_t(idx)].flags : 0;
    }
    ISkinContextData* GetContextInterface(INode* pNode) override {
        auto found = nodes.find(pNode);
        return found == nodes.end() ? nullptr : found->second.get();
    }
    TCHAR* GetBoneName(int index) override {
        INode* bone = GetBone(index);
        return bone ? bone->GetName() : nullptr;
    }
    int GetNumBonesFlat() override { return GetNumBones(); }
    INode* GetBoneFlat(int idx) override { return GetBone(idx); }
    int GetRefFrame() override { return refFrame; }

    // ISkinImportData
    BOOL AddBoneEx(INode* boneNode, BOOL) override {
        if (!boneNode || boneIndex(boneNode) >= 0) return FALSE;
        SkinBone bone;
        bone.node = boneNode;
        bone.initObjectTM = boneNode->GetObjectTM(refFrame);
        bone.initNodeTM = boneNode->GetStretchTM(refFrame) * boneNode->GetNodeTM(refFrame);
        bones.push_back(bone);
        return TRUE;
    }
    BOOL SetSkinTm(INode* skinNode, Matrix3 objectTm, Matrix3 nodeTm) override {
        auto found = nodes.find(skinNode);
        if (found == nodes.end()) return FALSE;
        found->second->initObjectTM = objectTm;
        found->second->initNodeTM = nodeTm;
        return TRUE;
    }
    BOOL SetBoneTm(INode* boneNode, Matrix3 objectTm, Matrix3 nodeTm) override {
        int b = boneIndex(boneNode);
        if (b < 0) return FALSE;
        bones[size_t(b)].initObjectTM = objectTm;
        bones[size_t(b)].initNodeTM = nodeTm;
        return TRUE;
    }
    BOOL AddWeights(INode* skinNode, int vertexID, Tab<INode*>& boneNodeList,
                    Tab<float>& weights) override {
        auto found = nodes.find(skinNode);
        if (found == nodes.end() || boneNodeList.Count() != weights.Count()) return FALSE;
        SkinNodeData& data = *found->second;
        if (vertexID < 0 || vertexID >= int(data.points.size())) return FALSE;
        Influences influences;
        for (int i = 0; i < boneNodeList.Count(); ++i) {
            int b = boneIndex(boneNodeList[i]);
            if (b < 0) return FALSE;
            influences.emplace_back(b, weights[i]);
        }
        data.points[size_t(vertexID)] = std::move(influences);
        return TRUE;
    }

private:
    int boneIndex(INode* node) const {
        if (!node) return -1;
        for (size_t b = 0; b < bones.size(); ++b)
            if (bones[b].node == node) return int(b);
        return -1;
    }

    int refFrame = 0;
    std::vector<SkinBone> bones;
    std::map<INode*, std::unique_ptr<SkinNodeData>> nodes;
};

} // namespace

namespace hostcore::detail {

Modifier* newSkinModifier() {
    return new SkinModifier;
}

Point3 blendPoint(const Point3& p, const std::vector<std::pair<int, float>>& influences,
                  const std::vector<Matrix3>& boneMotion) {
    float total = 0.0f;
    for (const auto& influence : influences)
        if (influence.first >= 0 && size_t(influence.first) < boneMotion.size())
            total += influence.second;
    if (influences.empty() || total == 0.0f) return p;
    Point3 moved(0.0f, 0.0f, 0.0f);
    for (const auto& influence : influences) {
        if (influence.first < 0 || size_t(influence.first) >= boneMotion.size()) continue;
        moved = moved + (p * boneMotion[size_t(influence.first)]) * (influence.second / total);
    }
    return moved;
}

} // namespace hostcore::detail
