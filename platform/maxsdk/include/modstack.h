// Derived objects: an object with a stack of modifiers over another object. Index 0 is the top
// of the stack (applied last), NumModifiers()-1 the bottom (applied first).
#pragma once

#include <memory>
#include <vector>

#include "object.h"

class IDerivedObject : public Object {
public:
    IDerivedObject();
    ~IDerivedObject() override;

    SClass_ID SuperClassID() override { return GEN_DERIVOB_CLASS_ID; }
    Class_ID ClassID() override { return Class_ID(DERIVOB_CLASS_ID, 0); }
    const TCHAR* GetObjectName() override { return "Derived Object"; }

    int NumModifiers() { return int(slots.size()); }
    // NULL for an index outside 0..NumModifiers()-1.
    Modifier* GetModifier(int index);
    // Inserts at `before` (0 = top, NumModifiers() = bottom; clamped). With `mc` NULL the host
    // makes the context; a given context becomes the derived object's.
    void AddModifier(Modifier* mod, ModContext* mc = nullptr, int before = 0);
    void DeleteModifier(int index = 0);
    void SetModifier(int index, Modifier* mod);
    ModContext* GetModContext(int index);

    // The object below: a base object or another derived object.
    Object* GetObjRef() { return objRef; }
    RefResult ReferenceObject(Object* pob);

    // Evaluates from modifier `modIndex` down (0: the whole stack). The result belongs to this
    // derived object and stays valid until its next evaluation.
    ObjectState Eval(TimeValue t) override { return Eval(t, 0); }
    ObjectState Eval(TimeValue t, int modIndex);

    int CanConvertToType(Class_ID obtype) override;
    Object* ConvertToType(TimeValue t, Class_ID obtype) override;

    RefResult NotifyRefChanged(Interval changeInt, RefTargetHandle hTarget, PartID& partID,
                               RefMessage message) override;

private:
    friend class hostcore::detail::CoreAccess;
    // As Eval, for the pipeline of `node` (modifiers that keep data per node need it); `depth`
    // counts the derived objects above this one.
    ObjectState EvalForNode(TimeValue t, int modIndex, INode* node, int depth = 0);

    struct Slot {
        Modifier* modifier;
        std::unique_ptr<ModContext> context;
    };

    Object* objRef = nullptr;
    std::vector<Slot> slots;
    Object* evalCache = nullptr; // owned: the last evaluation's result
};

// A new object-space derived object over `pob` (which it references).
IDerivedObject* CreateDerivedObject(Object* pob = nullptr);
