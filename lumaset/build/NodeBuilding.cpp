#include "build/SceneBuilder.h"

#include "impexp.h"
#include "inode.h"
#include "istdplug.h"
#include "maxapi.h"
#include "triobj.h"

#include <cstddef>
#include <vector>

namespace {

void setColorChannels(SnapshotMesh& mesh, std::int32_t diffuseChannel,
                      std::int32_t opacityChannel) {
    for (SnapshotMaterial& material : mesh.materials) {
        material.diffuseColorChannel = diffuseChannel;
        material.opacityColorChannel = opacityChannel;
    }
}

} // namespace

bool SceneBuilder::BuildsAsBone(const SnapshotNode& node) const {
    // A bone object would hide the node's own geometry, and the geometry would be lost.
    const bool hasGeometry = !node.mesh.positions.empty() && !node.mesh.faces.empty();
    return !hasGeometry && boneNames.count(node.name) != 0;
}

INode* SceneBuilder::CreateSceneNode(ImpInterface* ii, SnapshotNode& node,
                                     const Matrix3& sceneTransform, ImpNode*& importNode) {
    importNode = ii->CreateNode();
    INode* sceneNode = importNode ? importNode->GetINode() : nullptr;
    if (!sceneNode) return nullptr;
    const bool isBone = BuildsAsBone(node);
    importNode->SetName(node.name.c_str());
    importNode->SetTransform(0, sceneTransform);
    nodeMap[node.name] = sceneNode;
    builtNodes[&node] = sceneNode;

    Object* object = nullptr;
    TriObject* triObject = nullptr;
    if (isBone) {
        sceneNode->SetBoneNodeOnOff(TRUE, 0);
        sceneNode->SetRenderable(FALSE);
        object = static_cast<Object*>(CreateInstance(GEOMOBJECT_CLASS_ID, BONE_OBJ_CLASSID));
        sceneNode->SetObjOffsetScale(ScaleValue(Point3(boneScale[0], boneScale[1], boneScale[2]),
                                                Quat(0.0f, 0.0f, 0.0f, 1.0f)));
    } else {
        triObject = CreateNewTriObject();
        object = triObject;
    }
    importNode->Reference(object);

    if (!node.mesh.colors.empty()) {
        EnableVertexColorDisplay(sceneNode);
        setColorChannels(node.mesh, 0, 2);
    } else {
        setColorChannels(node.mesh, -1, -1);
    }
    // A bone keeps the bone object's own geometry; its snapshot mesh is not shown.
    if (triObject) FillMesh(triObject->GetMesh(), node.mesh);
    ApplyMaterials(sceneNode, node.mesh);
    return sceneNode;
}

ImpNode* SceneBuilder::BuildNode(ImpInterface* ii, SnapshotNode& node) {
    if (!ii) return nullptr;
    ImpNode* importNode = nullptr;
    INode* sceneNode = CreateSceneNode(ii, node, node.localTransform, importNode);
    if (!sceneNode) return importNode;

    // Depth first with an explicit stack. A child is attached once its own subtree is complete,
    // while its parent is not yet attached to anything, so no host call walks a long chain.
    struct Pending {
        SnapshotNode* node;
        INode* sceneNode;
        Matrix3 sceneTransform; // at time 0
        std::size_t nextChild;
    };
    std::vector<Pending> pending{{&node, sceneNode, node.localTransform, 0}};
    while (!pending.empty()) {
        Pending& parent = pending.back();
        if (parent.nextChild == parent.node->children.size()) {
            INode* finished = parent.sceneNode;
            pending.pop_back();
            if (!pending.empty()) pending.back().sceneNode->AttachChild(finished, 1);
            continue;
        }
        SnapshotNode& child = parent.node->children[parent.nextChild++];
        // Row vectors: the child's transform applies first, then its parent's scene transform.
        const Matrix3 childTransform = child.localTransform * parent.sceneTransform;
        ImpNode* childImportNode = nullptr;
        if (INode* childSceneNode = CreateSceneNode(ii, child, childTransform, childImportNode))
            pending.push_back({&child, childSceneNode, childTransform, 0});
    }
    return importNode;
}
