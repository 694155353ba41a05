// Objects (what a node shows), the object state a pipeline evaluates to, and modifiers (what a
// derived object applies on the way).
#pragma once

#include "matrix3.h"
#include "ref.h"

class INode;
class Object;
class ModContext;

typedef Object* ObjectHandle;

// The result of evaluating a pipeline: the object at its end. `obj` belongs to the pipeline.
class ObjectState {
public:
    ObjectState() = default;
    explicit ObjectState(Object* ob) : obj(ob) {}
    Object* obj = nullptr;
};

class BaseObject : public ReferenceTarget {
public:
    virtual const TCHAR* GetObjectName() { return ""; }
};

class Object : public BaseObject {
public:
    // Whether ConvertToType can make an object of class `obtype`.
    virtual int CanConvertToType(Class_ID obtype);
    // Returns this object when it already is of class `obtype`, otherwise a new object that the
    // caller owns and deletes (DeleteMe or DeleteThis), or NULL when it cannot convert.
    virtual Object* ConvertToType(TimeValue t, Class_ID obtype);
    // Evaluates the object at `t` (a base object evaluates to itself).
    virtual ObjectState Eval(TimeValue t);
    // A copy of this object that the caller owns (used by the pipeline before modifiers run).
    virtual Object* MakeShallowCopy();
    void DeleteMe() { DeleteThis(); }
};

class GeomObject : public Object {
public:
    SClass_ID SuperClassID() override { return GEOMOBJECT_CLASS_ID; }
};

// Objects that are not geometry: helpers (a dummy), cameras and lights. None of them converts
// to a triangle mesh.
class HelperObject : public Object {
public:
    SClass_ID SuperClassID() override { return HELPER_CLASS_ID; }
};

class CameraObject : public Object {
public:
    SClass_ID SuperClassID() override { return CAMERA_CLASS_ID; }
};

class LightObject : public Object {
public:
    SClass_ID SuperClassID() override { return LIGHT_CLASS_ID; }
};

// Per-application context of a modifier in a derived object.
class ModContext {
public:
    Matrix3* tm = nullptr;
    void* localData = nullptr;
};

class Modifier : public BaseObject {
public:
    SClass_ID SuperClassID() override { return OSM_CLASS_ID; }

    // Switches the modifier off (on) and tells every dependent, so the next evaluation of any
    // pipeline that holds it skips (applies) it.
    void DisableMod();
    void EnableMod();
    int IsEnabled() { return !TestAFlag(A_MOD_DISABLED); }

    // Changes the object flowing up the pipeline of `node` at time t. `os->obj` is a triangle
    // object the pipeline owns.
    virtual void ModifyObject(TimeValue t, ModContext& mc, ObjectState* os, INode* node) = 0;
};
