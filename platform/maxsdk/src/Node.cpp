#include <algorithm>

#include "SceneRegistry.h"
#include "control.h"
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
    for (INode* child : children) child->parent = nullptr;
    if (tmController) tmController->SetOwnerNode(nullptr);
    DropReference(this, tmController);
    DropReference(this, objectRef);
    DropReference(this, material);
}

void INode::SetName(const TCHAR* s) { name = s ? s : ""; }

INode* INode::GetChildNode(int i) {
    return i >= 0 && i < int(children.size()) ? children[size_t(i)] : nullptr;
}

void INode::removeFromParent() {
    if (!parent) return;
    auto& siblings = parent->children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    parent = nullptr;
}

void INode::AttachChild(INode* node, int keepPos) {
    if (!node || node->isRoot) return;
    // Only a node with children can be an ancestor of another: a new node costs one step.
    for (INode* ancestor = this; ancestor; ancestor = node->children.empty() ? nullptr : ancestor->parent)
        if (ancestor == node) return;  // would make a cycle
    TimeValue now = GetCOREInterface()->GetTime();
    Matrix3 world = node->GetNodeTM(now);
    node->removeFromParent();
    node->parent = this;
    children.push_back(node);
    if (keepPos) node->SetNodeTM(now, world);
}

void INode::Detach(TimeValue, int keepPos) {
    if (isRoot) return;
    GetCOREInterface()->GetRootNode()->AttachChild(this, keepPos);
}

Matrix3 INode::parentTM(TimeValue t) {
    return parent ? parent->GetNodeTM(t) : Matrix3(1);
}

Matrix3 INode::GetNodeTM(TimeValue t, Interval* valid) {
    if (isRoot) return Matrix3(1);
    Interval validity = FOREVER;
    Matrix3 tm = parentTM(t);
    if (tmController) tmController->GetValue(t, &tm, validity, CTRL_RELATIVE);
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
    TakeReference(this, o);
    worldState = ObjectState();
    DropReference(this, old);
    attachPipelineModifiers();
    NotifyDependents(FOREVER, PART_ALL, REFMSG_CHANGE);
}

// Modifiers keep per-node data; they learn here which nodes they now serve.
void INode::attachPipelineModifiers() {
    for (Object* object = objectRef; object && object->SuperClassID() == GEN_DERIVOB_CLASS_ID;) {
        auto* derived = static_cast<IDerivedObject*>(object);
        for (int i = 0; i < derived->NumModifiers(); ++i)
            if (Modifier* mod = derived->GetModifier(i)) mod->AttachedToNode(this);
        object = derived->GetObjRef();
    }
}

const ObjectState& INode::EvalWorldState(TimeValue time, BOOL evalHidden) {
    if (hidden && !evalHidden) return worldState;
    if (!objectRef) {
        worldState = ObjectState();
        return worldState;
    }
    if (objectRef->SuperClassID() == GEN_DERIVOB_CLASS_ID)
        worldState = static_cast<IDerivedObject*>(objectRef)->EvalForNode(time, 0, this);
    else
        worldState = objectRef->Eval(time);
    return worldState;
}

void INode::SetTMController(Control* c) {
    if (!c || c == tmController) return;
    if (tmController) tmController->SetOwnerNode(nullptr);
    Control* old = tmController;
    tmController = c;
    TakeReference(this, c);
    c->SetOwnerNode(this);
    DropReference(this, old);
}

void INode::SetMtl(Mtl* m) {
    if (m == material) return;
    Mtl* old = material;
    material = m;
    TakeReference(this, m);
    DropReference(this, old);
}

float INode::GetLocalVisibility(TimeValue, Interval*) { return visibility; }

float INode::GetVisibility(TimeValue t, Interval* valid) {
    float own = GetLocalVisibility(t, valid);
    if (!inheritVisibility || !parent || parent->isRoot) return own;
    float inherited = parent->GetVisibility(t, valid);
    return inherited < own ? inherited : own;
}

int INode::Selected() {
    Interface* ip = GetCOREInterface();
    for (int i = 0; i < ip->GetSelNodeCount(); ++i)
        if (ip->GetSelNode(i) == this) return 1;
    return 0;
}

void INode::SetBoneNodeOnOff(BOOL onOff, TimeValue) { boneOn = onOff ? TRUE : FALSE; }

Matrix3 INode::GetStretchTM(TimeValue, Interval*) { return Matrix3(1); }

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
