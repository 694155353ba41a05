// The Physique-style modifier: vertices linked to bone nodes (rigid or deformable, one bone or
// blended over several, plus floating bones), the export interfaces a plug-in reads them
// through, and the same linear blend deformation as skin.
#include <map>
#include <memory>
#include <vector>

#include "CoreAccess.h"
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
    Point3 offset; // reference-pose world position in the bone's initial frame
};

struct PhyVertex {
    std::vector<PhyLink> links;
    bool deformable = false;
    std::vector<PhyLink> floating;
};

struct PhyNodeData {
    Matrix3 initNodeTM = Matrix3(1);
    std::vector<PhyVertex> vertices;
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
    Point3 GetOffsetVector(int i) override {
        return ok(i) ? links[size_t(i)].offset : Point3(0.0f, 0.0f, 0.0f);
    }

private:
    bool ok(int i) const { return i >= 0 && i < int(links.size()); }
    std::vector<PhyLink> links;
};

class FloatingVertex : public IPhyFloatingVertex {
public:
    explicit FloatingVertex(const std::vector<PhyLink>& l) : links(l) {}
    int GetVertexType() override { return FLOATING_TYPE; }
    int GetNumberNodes() override { return int(links.size()); }
    INode* GetNode(int i) override { return ok(i) ? links[size_t(i)].bone : nullptr; }
    // `totalweight` receives the sum of the vertex's floating weights.
    float GetWeight(int i, float& totalweight) override {
        totalweight = 0.0f;
        for (const PhyLink& link : links)
            totalweight += link.weight;
        return ok(i) ? links[size_t(i)].weight : 0.0f;
    }
    Point3 GetOffsetVector(int i) override {
        return ok(i) ? links[size_t(i)].offset : Point3(0.0f, 0.0f, 0.0f);
    }

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
    // Deformable vertices show only when the caller asked for them as rigid ones; blended ones
    // only while blending is allowed.
    IPhyVertexExport* GetVertexInterface(int i) override {
        if (i < 0 || i >= int(data.vertices.size())) return nullptr;
        const PhyVertex& vertex = data.vertices[size_t(i)];
        if (vertex.links.empty() || (vertex.deformable && !rigid)) return nullptr;
        if (vertex.links.size() == 1) return new RigidVertex(vertex.links[0]);
        if (!blending) return nullptr;
        return new BlendedRigidVertex(vertex.links);
    }
    void ReleaseVertexInterface(IPhyVertexExport* vertexExport) override { delete vertexExport; }
    IPhyFloatingVertex* GetFloatingVertexInterface(int i) override {
        if (i < 0 || i >= int(data.vertices.size())) return nullptr;
        const PhyVertex& vertex = data.vertices[size_t(i)];
        return vertex.floating.empty() ? nullptr : new FloatingVertex(vertex.floating);
    }

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
    void ReleaseContextInterface(IPhyContextExport* contextExport) override {
        delete contextExport;
    }
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

    bool initialise(INode* node, const std::vector<hostcore::PhysiqueVertex>& vertices) {
        IDerivedObject* owner = nullptr;
        int index = 0;
        if (!hostcore::detail::findModifier(node, this, owner, index)) return false;
        ObjectState below = hostcore::detail::CoreAccess::evalForNode(*owner, 0, index + 1, node);
        if (!below.obj || below.obj->ClassID() != triObjectClassID) return false;
        const Mesh& mesh = static_cast<TriObject*>(below.obj)->mesh;
        if (int(vertices.size()) > mesh.getNumVerts()) return false;
        for (const auto& vertex : vertices) {
            for (const auto& link : vertex.links)
                if (!link.bone) return false;
            for (const auto& link : vertex.floating)
                if (!link.bone) return false;
        }

        auto data = std::make_unique<PhyNodeData>();
        data->initNodeTM = node->GetNodeTM(0);
        Matrix3 objectToWorld = node->GetObjectTM(0);
        data->vertices.resize(size_t(mesh.getNumVerts()));
        for (size_t v = 0; v < vertices.size(); ++v) {
            Point3 world = mesh.verts[v] * objectToWorld;
            PhyVertex& target = data->vertices[v];
            target.deformable = vertices[v].deformable;
            for (const auto& link : vertices[v].links)
                target.links.push_back(linkTo(link, world));
            for (const auto& link : vertices[v].floating)
                target.floating.push_back(linkTo(link, world));
        }
        nodes[node] = std::move(data);
        return true;
    }

    // Every link of a vertex, floating ones included, moves it by its bone, weighted.
    void ModifyObject(TimeValue t, ModContext&, ObjectState* os, INode* node) override {
        if (!node || !os || !os->obj || os->obj->ClassID() != triObjectClassID) return;
        auto found = nodes.find(node);
        if (found == nodes.end()) return;
        Mesh& mesh = static_cast<TriObject*>(os->obj)->mesh;
        const PhyNodeData& data = *found->second;
        Matrix3 toObjectNow = Inverse(node->GetObjectTM(t));
        std::map<INode*, Matrix3> boneNow;
        for (int v = 0; v < mesh.getNumVerts() && size_t(v) < data.vertices.size(); ++v) {
            const PhyVertex& vertex = data.vertices[size_t(v)];
            float total = 0.0f;
            for (const auto* list : {&vertex.links, &vertex.floating})
                for (const PhyLink& link : *list)
                    total += link.weight;
            if (total == 0.0f) continue;
            Point3 world(0.0f, 0.0f, 0.0f);
            for (const auto* list : {&vertex.links, &vertex.floating}) {
                for (const PhyLink& link : *list) {
                    auto cached = boneNow.find(link.bone);
                    if (cached == boneNow.end())
                        cached = boneNow.emplace(link.bone, link.bone->GetNodeTM(t)).first;
                    world = world + (link.offset * cached->second) * (link.weight / total);
                }
            }
            mesh.verts[v] = world * toObjectNow;
        }
    }

private:
    PhyLink linkTo(const hostcore::PhysiqueLink& link, const Point3& world) {
        auto known = boneInitTMs.find(link.bone);
        if (known == boneInitTMs.end())
            known = boneInitTMs.emplace(link.bone, link.bone->GetNodeTM(0)).first;
        return {link.bone, link.weight, world * Inverse(known->second)};
    }

    std::map<INode*, std::unique_ptr<PhyNodeData>> nodes;
    std::map<INode*, Matrix3> boneInitTMs;
};

} // namespace

namespace hostcore::detail {

Modifier* newPhysiqueModifier() {
    return new PhysiqueModifier;
}

} // namespace hostcore::detail

namespace hostcore {

bool initialisePhysique(Modifier* physique, INode* node,
                        const std::vector<PhysiqueVertex>& vertices) {
    if (!physique || !node || physique->ClassID() != PHYSIQUE_CLASS_ID) return false;
    return static_cast<PhysiqueModifier*>(physique)->initialise(node, vertices);
}

bool initialisePhysique(Modifier* physique, INode* node,
                        const std::vector<std::vector<PhysiqueLink>>& links) {
    std::vector<PhysiqueVertex> vertices(links.size());
    for (size_t v = 0; v < links.size(); ++v)
        vertices[v].links = links[v];
    return initialisePhysique(physique, node, vertices);
}

} // namespace hostcore
