// The Physique-style modifier: rigid and rigid-blended vertices linked to bone nodes, with the
// export interfaces a plug-in reads them through, and the same linear blend deformation as skin.
#include <map>
#include <memory>
#include <vector>

#include "Deformers.h"
#include "Pipeline.h"
#include "hostcore.h"
#include "inode.h"
#include "phyexp.h"
#include "triobj.h"

namespace {

struct PhyLink {
    INode* bone;
    float weight;
    Point3 offset;  // reference-pose world position in the bone's initial frame
};

struct PhyNodeData {
    Matrix3 initNodeTM = Matrix3(1);
    std::vector<std::vector<PhyLink>> vertices;
};

class RigidVertex : public IPhyRigidVertex {
public:
    explicit RigidVertex(const PhyLink& l) : link(l) {}
    int GetVertexType() override { return RIGID_TYPE; }
    INode* GetNode() override { return link.bone; }
    Point3 GetOffsetVector() override { return link.offset; }

private:
    PhyLink link;
};

class BlendedRigidVertex : public IPhyBlendedRigidVertex {
public:
    explicit BlendedRigidVertex(const std::vector<PhyLink>& l) : links(l) {}
    int GetVertexType() override { return RIGID_BLENDED_TYPE; }
    int GetNumberNodes() override { return int(links.size()); }
    INode* GetNode(int i) override { return ok(i) ? links[size_t(i)].bone : nullptr; }
    float GetWeight(int i) override { return ok(i) ? links[size_t(i)].weight : 0.0f; }
    Point3 GetOffsetVector(int i) override { return ok(i) ? links[size_t(i)].offset : Point3(0.0f, 0.0f, 0.0f); }

private:
    bool ok(int i) const { return i >= 0 && i < int(links.size()); }
    std::vector<PhyLink> links;
};

class PhyContext : public IPhyContextExport {
public:
    explicit PhyContext(const PhyNodeData& d) : data(d) {}
    int GetNumberVertices() override { return int(data.vertices.size()); }
    void ConvertToRigid(BOOL flag) override { rigid = flag; }
    void AllowBlending(BOOL flag) override { blending = flag; }
    IPhyVertexExport* GetVertexInterface(int i) override {
        if (i < 0 || i >= int(data.vertices.size())) return nullptr;
        const std::vector<PhyLink>& links = data.vertices[size_t(i)];
        if (links.empty()) return nullptr;
        if (links.size() == 1) return new RigidVertex(links[0]);
        if (!blending) return nullptr;
        return new BlendedRigidVertex(links);
    }
    void ReleaseVertexInterface(IPhyVertexExport* vertexExport) override { delete vertexExport; }
    IPhyFloatingVertex* GetFloatingVertexInterface(int) override { return nullptr; }

private:
    const PhyNodeData& data;
    BOOL rigid = FALSE;
    BOOL blending = TRUE;
};

class PhysiqueModifier : public Modifier, public IPhysiqueExport {
public:
    Class_ID ClassID() override { return PHYSIQUE_CLASS_ID; }
    const TCHAR* GetObjectName() override { return "Physique"; }

    using Modifier::GetInterface;
    void* GetInterface(ULONG id) override {
        if (id == I_PHYINTERFACE) return static_cast<IPhysiqueExport*>(this);
        return Modifier::GetInterface(id);
    }
    // The export interface is part of the modifier: releasing it frees nothing.
    void ReleaseInterface(ULONG, void*) override {}

    IPhyContextExport* GetContextInterface(INode* nodePtr) override {
        auto found = nodes.find(nodePtr);
        return found == nodes.end() ? nullptr : new PhyContext(*found->second);
    }
    void ReleaseContextInterface(IPhyContextExport* contextExport) override { delete contextExport; }
    int GetInitNodeTM(INode* node, Matrix3& initNodeTM) override {
        if (!node) return NODE_NOT_FOUND;
        auto skinned = nodes.find(node);
        if (skinned != nodes.end()) {
            initNodeTM = skinned->second->initNodeTM;
            return MATRIX_RETURNED;
        }
        auto bone = boneInitTMs.find(node);
        if (bone == boneInitTMs.end()) return NODE_NOT_FOUND;
        initNodeTM = bone->second;
        return MATRIX_RETURNED;
    }
    int Version() override { return 400; }

    bool initialise(INode* node, const std::vector<std::vector<hostcore::PhysiqueLink>>& links) {
        IDerivedObject* owner = nullptr;
        int index = 0;
        if (!hostcore::detail::findModifier(node, this, owner, index)) return false;
        ObjectState below = owner->EvalForNode(0, index + 1, node);
        if (!below.obj || below.obj->ClassID() != triObjectClassID) return false;
        const Mesh& mesh = static_cast<TriObject*>(below.obj)->mesh;
        if (int(links.size()) > mesh.getNumVerts()) return false;
        for (const auto& vertexLinks : links)
            for (const auto& link : vertexLinks)
                if (!link.bone) return false;

        auto data = std::make_unique<PhyNodeData>();
        data->initNodeTM = node->GetNodeTM(0);
        Matrix3 objectToWorld = node->GetObjectTM(0);
        data->vertices.resize(size_t(mesh.getNumVerts()));
        for (size_t v = 0; v < links.size(); ++v) {
            Point3 world = mesh.verts[v] * objectToWorld;
            for (const auto& link : links[v]) {
                auto known = boneInitTMs.find(link.bone);
                if (known == boneInitTMs.end()) known = boneInitTMs.emplace(link.bone, link.bone->GetNodeTM(0)).first;
                data->vertices[v].push_back({link.bone, link.weight, world * Inverse(known->second)});
            }
        }
        nodes[node] = std::move(data);
        return true;
    }

    void ModifyObject(TimeValue t, ModContext&, ObjectState* os, INode* node) override {
        if (!node || !os || !os->obj || os->obj->ClassID() != triObjectClassID) return;
        auto found = nodes.find(node);
        if (found == nodes.end()) return;
        Mesh& mesh = static_cast<TriObject*>(os->obj)->mesh;
        const PhyNodeData& data = *found->second;
        Matrix3 toObjectNow = Inverse(node->GetObjectTM(t));
        std::map<INode*, Matrix3> boneNow;
        for (int v = 0; v < mesh.getNumVerts() && size_t(v) < data.vertices.size(); ++v) {
            const std::vector<PhyLink>& links = data.vertices[size_t(v)];
            float total = 0.0f;
            for (const PhyLink& link : links) total += link.weight;
            if (links.empty() || total == 0.0f) continue;
            Point3 world(0.0f, 0.0f, 0.0f);
            for (const PhyLink& link : links) {
                auto cached = boneNow.find(link.bone);
                if (cached == boneNow.end()) cached = boneNow.emplace(link.bone, link.bone->GetNodeTM(t)).first;
                world = world + (link.offset * cached->second) * (link.weight / total);
            }
            mesh.verts[v] = world * toObjectNow;
        }
    }

private:
    std::map<INode*, std::unique_ptr<PhyNodeData>> nodes;
    std::map<INode*, Matrix3> boneInitTMs;
};

}  // namespace

namespace hostcore::detail {

Modifier* newPhysiqueModifier() { return new PhysiqueModifier; }

}  // namespace hostcore::detail

namespace hostcore {

bool initialisePhysique(Modifier* physique, INode* node, const std::vector<std::vector<PhysiqueLink>>& links) {
    if (!physique || !node || physique->ClassID() != PHYSIQUE_CLASS_ID) return false;
    return static_cast<PhysiqueModifier*>(physique)->initialise(node, links);
}

}  // namespace hostcore
