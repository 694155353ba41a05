#include <algorithm>

#include "SceneRegistry.h"
#include "hostcore.h"
#include "inode.h"
#include "modstack.h"
#include "triobj.h"

Class_ID triObjectClassID(TRIOBJ_CLASS_ID, 0);

int Object::CanConvertToType(Class_ID obtype) {
    return obtype == ClassID();
}

Object* Object::ConvertToType(TimeValue, Class_ID obtype) {
    return obtype == ClassID() ? this : nullptr;
}

ObjectState Object::Eval(TimeValue) {
    return ObjectState(this);
}

Object* Object::MakeShallowCopy() {
    return nullptr;
}

Object* TriObject::MakeShallowCopy() {
    TriObject* copy = CreateNewTriObject();
    copy->mesh = mesh;
    return copy;
}

TriObject* CreateNewTriObject() {
    return new TriObject;
}

void Modifier::DisableMod() {
    SetAFlag(A_MOD_DISABLED);
    NotifyDependents(FOREVER, PART_ALL, REFMSG_CHANGE);
}

void Modifier::EnableMod() {
    ClearAFlag(A_MOD_DISABLED);
    NotifyDependents(FOREVER, PART_ALL, REFMSG_CHANGE);
}

IDerivedObject::IDerivedObject() = default;

IDerivedObject::~IDerivedObject() {
    if (evalCache) evalCache->DeleteThis();
    if (hostcore::detail::tearingDown()) return;
    std::vector<Slot> held;
    held.swap(slots);
    for (Slot& slot : held)
        hostcore::dropReference(this, slot.modifier);
    hostcore::dropReference(this, objRef);
}

Modifier* IDerivedObject::GetModifier(int index) {
    return index >= 0 && index < int(slots.size()) ? slots[size_t(index)].modifier : nullptr;
}

ModContext* IDerivedObject::GetModContext(int index) {
    return index >= 0 && index < int(slots.size()) ? slots[size_t(index)].context.get() : nullptr;
}

void IDerivedObject::AddModifier(Modifier* mod, ModContext* mc, int before) {
    if (!mod) return;
    before = std::clamp(before, 0, int(slots.size()));
    Slot slot{mod, std::unique_ptr<ModContext>(mc ? mc : new ModContext)};
    slots.insert(slots.begin() + before, std::move(slot));
    hostcore::takeReference(this, mod);
    NotifyDependents(FOREVER, PART_ALL, REFMSG_CHANGE);
}

void IDerivedObject::DeleteModifier(int index) {
    if (index < 0 || index >= int(slots.size())) return;
    Modifier* mod = slots[size_t(index)].modifier;
    slots.erase(slots.begin() + index);
    hostcore::dropReference(this, mod);
    NotifyDependents(FOREVER, PART_ALL, REFMSG_CHANGE);
}

void IDerivedObject::SetModifier(int index, Modifier* mod) {
    if (!mod || index < 0 || index >= int(slots.size())) return;
    Modifier* old = slots[size_t(index)].modifier;
    slots[size_t(index)].modifier = mod;
    hostcore::takeReference(this, mod);
    hostcore::dropReference(this, old);
    NotifyDependents(FOREVER, PART_ALL, REFMSG_CHANGE);
}

// Derived objects stacked deeper than this are not evaluated (nor searched for their nodes).
constexpr int kMaxDerivedDepth = 64;

// The nodes whose pipelines hold this derived object, directly or under other derived objects.
static void collectNodes(ReferenceTarget* target, std::vector<INode*>& nodes, int depth = 0) {
    if (depth > kMaxDerivedDepth) return;
    for (ReferenceMaker* maker : hostcore::dependentsOf(target)) {
        if (auto* node = dynamic_cast<INode*>(maker)) {
            if (node->GetObjectRef() == target) nodes.push_back(node);
        } else if (auto* derived = dynamic_cast<IDerivedObject*>(maker)) {
            if (derived->GetObjRef() == target) collectNodes(derived, nodes, depth + 1);
        }
    }
}

RefResult IDerivedObject::ReferenceObject(Object* pob) {
    if (pob == this) return REF_FAIL;
    Object* old = objRef;
    objRef = pob;
    hostcore::takeReference(this, pob);
    hostcore::dropReference(this, old);
    NotifyDependents(FOREVER, PART_ALL, REFMSG_CHANGE);
    return REF_SUCCEED;
}

ObjectState IDerivedObject::Eval(TimeValue t, int modIndex) {
    std::vector<INode*> nodes;
    collectNodes(this, nodes);
    return EvalForNode(t, modIndex, nodes.empty() ? nullptr : nodes.front());
}

ObjectState IDerivedObject::EvalForNode(TimeValue t, int modIndex, INode* node, int depth) {
    if (!objRef || depth > kMaxDerivedDepth) return ObjectState();
    ObjectState input =
        objRef->SuperClassID() == GEN_DERIVOB_CLASS_ID
            ? static_cast<IDerivedObject*>(objRef)->EvalForNode(t, 0, node, depth + 1)
            : objRef->Eval(t);
    modIndex = std::max(modIndex, 0);
    if (!input.obj || modIndex >= int(slots.size())) return input;

    // Modifiers work on a triangle object of the pipeline's own.
    Object* working = nullptr;
    if (input.obj->ClassID() == triObjectClassID)
        working = input.obj->MakeShallowCopy();
    else if (input.obj->CanConvertToType(triObjectClassID))
        working = input.obj->ConvertToType(t, triObjectClassID);
    if (!working) return input;
    if (working == input.obj) working = input.obj->MakeShallowCopy();
    if (!working) return input;
    hostcore::detail::keepPrivate(working);
    if (evalCache) evalCache->DeleteThis();
    evalCache = working;

    ObjectState state(working);
    for (int i = int(slots.size()) - 1; i >= modIndex; --i) {
        Slot& slot = slots[size_t(i)];
        if (slot.modifier->IsEnabled()) slot.modifier->ModifyObject(t, *slot.context, &state, node);
    }
    return state;
}

int IDerivedObject::CanConvertToType(Class_ID obtype) {
    ObjectState state = Eval(0);
    return state.obj && state.obj != this && state.obj->CanConvertToType(obtype);
}

Object* IDerivedObject::ConvertToType(TimeValue t, Class_ID obtype) {
    ObjectState state = Eval(t);
    if (!state.obj || state.obj == this) return nullptr;
    Object* converted = state.obj->ConvertToType(t, obtype);
    // The evaluated object belongs to the pipeline; the caller gets a copy it can delete.
    if (converted == state.obj) converted = state.obj->MakeShallowCopy();
    return converted;
}

RefResult IDerivedObject::NotifyRefChanged(Interval, RefTargetHandle hTarget, PartID&,
                                           RefMessage message) {
    if (message != REFMSG_TARGET_DELETED) return REF_SUCCEED;
    if (hTarget == objRef) objRef = nullptr;
    slots.erase(std::remove_if(slots.begin(), slots.end(),
                               [&](const Slot& slot) { return slot.modifier == hTarget; }),
                slots.end());
    return REF_SUCCEED;
}

IDerivedObject* CreateDerivedObject(Object* pob) {
    auto* derived = new IDerivedObject;
    if (pob) derived->ReferenceObject(pob);
    return derived;
}
