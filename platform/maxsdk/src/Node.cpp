#include <algorithm>

#include "Controllers.h"
#include "CoreAccess.h"
#include "SceneRegistry.h"
#include "control.h"
#include "hostcore.h"
#include "imtl.h"
#include "inode.h"
#include "maxapi.h"
#include "modstack.h"
#include "triobj.h"

INode::INode()
    : offsetPos(0.0f, 0.0f, 0.0f), offsetRot(0.0f, 0.0f, 0.0f, 1.0f),
      offsetScale(Point3(1.0f, 1.0f, 1.0f)) {
    SetTMController(NewDefaultMatrix3Controller());
}

INode::~INode() {
    if (hostcore::detail::tearingDown()) return;
    removeFromParent();
    for (INode* child : children)
        child->parent = nullptr;
    tellOwner(tmController, nullptr);
    hostcore::dropReference(this, tmController);
    hostcore::dropReference(this, objectRef);
    hostcore::dropReference(this, material);
}

void INode::SetName(const TCHAR* s) {
    name = s ? s : "";
}

INode* INode::GetChildNode(int i) {
    return i >= 0 && i < int(children.size()) ? children[size_t(i)] : nullptr;
}

// Controllers that need their node (the biped body) are told which one it is.
void INode::tellOwner(Control* c, INode* owner) {
    if (auto* bound = dynamic_cast<hostcore::detail::NodeBoundControl*>(c))
        bound->setOwnerNode(owner);
}

void INode::removeFromParent() {
    if (!parent) return;
    hostcore::detail::noteSceneChange();
    auto& siblings = parent->children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    parent = nullptr;
}

void INode::AttachChild(INode* node, int keepPos) {
    if (!node || node->isRoot || node == this) return;
    // Only a node with children can be an ancestor of this one (a cycle); the walk up is
    // skipped for the common case of a new node, so long chains are built in linear time.
    if (!node->children.empty())
        for (INode* ancestor = parent; ancestor; ancestor = ancestor->parent)
            if (ancestor == node) return;
    TimeValue now = GetCOREInterface()->GetTime();
    Matrix3 world = keepPos ? node->GetNodeTM(now) : Matrix3(1);
    node->removeFromParent();
    node->parent = this;
    children.push_back(node);
    hostcore::detail::noteSceneChange();
    if (keepPos) node->SetNodeTM(now, world);
}

void INode::Detach(TimeValue, int keepPos) {
    if (isRoot) return;
    GetCOREInterface()->GetRootNode()->AttachChild(this, keepPos);
}

Matrix3 INode::parentTM(TimeValue t) {
    return parent ? parent->GetNodeTM(t) : Matrix3(1);
}

// Each node keeps its last world matrix with the scene revision and time it was made for, so a
// walk down the tree costs one controller evaluation per node. The chain up to the nearest
// ancestor with a fresh matrix is walked without recursion: hierarchies may be deep.
Matrix3 INode::GetNodeTM(TimeValue t, Interval* valid) {
    if (isRoot) return Matrix3(1);
    const std::uint64_t revision = hostcore::detail::sceneRevision();
    std::vector<INode*> chain;
    Matrix3 tm(1);
    Interval validity = FOREVER;
    for (INode* node = this; node && !node->isRoot; node = node->parent) {
        if (node->cache.revision == revision && node->cache.time == t) {
            tm = node->cache.world;
            validity = node->cache.valid;
            break;
        }
        chain.push_back(node);
    }
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        INode* node = *it;
        if (node->tmController) node->tmController->GetValue(t, &tm, validity, CTRL_RELATIVE);
        // The controller may have changed the scene (it should not); then nothing is kept.
        if (hostcore::detail::sceneRevision() == revision)
            node->cache = WorldCache{revision, t, tm, validity};
    }
    if (valid) *valid &= validity;
    return tm;
}

void INode::SetNodeTM(TimeValue t, Matrix3& tm) {
    if (isRoot || !tmController) return;
    SetXFormPacket packet(tm, parentTM(t));
    tmController->SetValue(t, &packet, 1, CTRL_ABSOLUTE);
}

Matrix3 INode::GetObjectTM(TimeValue t, Interval* valid) {
    // Object offset = scale * rotation * position, applied before the node matrix.
    Matrix3 offset(1);
    offset.PreTranslate(offsetPos);
    PreRotateMatrix(offset, offsetRot);
    ApplyScaling(offset, offsetScale);
    return offset * GetNodeTM(t, valid);
}

void INode::SetObjectRef(Object* o) {
    if (o == objectRef) return;
    Object* old = objectRef;
    objectRef = o;
    hostcore::takeReference(this, o);
    worldState = ObjectState();
    hostcore::dropReference(this, old);
    NotifyDependents(FOREVER, PART_ALL, REFMSG_CHANGE);
}

const ObjectState& INode::EvalWorldState(TimeValue time, BOOL evalHidden) {
    if (hidden && !evalHidden) return worldState;
    if (!objectRef) {
        worldState = ObjectState();
        return worldState;
    }
    if (objectRef->SuperClassID() == GEN_DERIVOB_CLASS_ID)
        worldState = hostcore::detail::CoreAccess::evalForNode(
            *static_cast<IDerivedObject*>(objectRef), time, 0, this);
    else
        worldState = objectRef->Eval(time);
    return worldState;
}

void INode::SetTMController(Control* c) {
    if (!c || c == tmController) return;
    tellOwner(tmController, nullptr);
    Control* old = tmController;
    tmController = c;
    hostcore::takeReference(this, c);
    tellOwner(c, this);
    hostcore::dropReference(this, old);
    hostcore::detail::noteSceneChange();
}

void INode::SetMtl(Mtl* m) {
    if (m == material) return;
    Mtl* old = material;
    material = m;
    hostcore::takeReference(this, m);
    hostcore::dropReference(this, old);
}

float INode::GetLocalVisibility(TimeValue, Interval*) {
    return visibility;
}

// The least visibility up the chain of inheriting nodes, walked without recursion.
float INode::GetVisibility(TimeValue t, Interval* valid) {
    float visible = GetLocalVisibility(t, valid);
    for (INode* node = this; node->inheritVisibility && node->parent && !node->parent->isRoot;
         node = node->parent) {
        float inherited = node->parent->GetLocalVisibility(t, valid);
        if (inherited < visible) visible = inherited;
    }
    return visible;
}

int INode::Selected() {
    Interface* ip = GetCOREInterface();
    for (int i = 0; i < ip->GetSelNodeCount(); ++i)
        if (ip->GetSelNode(i) == this) return 1;
    return 0;
}

void INode::SetBoneNodeOnOff(BOOL onOff, TimeValue) {
    boneOn = onOff ? TRUE : FALSE;
}

Matrix3 INode::GetStretchTM(TimeValue, Interval*) {
    return Matrix3(1);
}

RefResult INode::NotifyRefChanged(Interval, RefTargetHandle hTarget, PartID&, RefMessage message) {
    if (message == REFMSG_TARGET_DELETED) {
        if (hTarget == objectRef) {
            objectRef = nullptr;
            worldState = ObjectState();
        }
        if (hTarget == material) material = nullptr;
        if (hTarget == tmController) tmController = nullptr;
    }
    if (message == REFMSG_CHANGE && hTarget == objectRef) worldState = ObjectState();
    return REF_SUCCEED;
}
