// Controllers: animatables that produce a value over time (a position, a rotation, a scale, a
// node's transform) from their keys, and the global animate mode that decides whether setting
// a value makes a key.
#pragma once

#include <vector>

#include "matrix3.h"
#include "point3.h"
#include "quat.h"
#include "ref.h"
#include "scalevalue.h"

class INode;

enum GetSetMethod { CTRL_RELATIVE, CTRL_ABSOLUTE };

enum SetXFormCommand { XFORM_MOVE, XFORM_ROTATE, XFORM_SCALE, XFORM_SET };

// What a transform controller's SetValue receives. The (matrix, parent) constructor makes an
// XFORM_SET packet: `tmAxis` is the wanted world matrix, `tmParent` the parent's world matrix.
class SetXFormPacket {
public:
    SetXFormCommand command;
    Matrix3 tmParent;
    Matrix3 tmAxis;
    Point3 p;
    Quat q;
    BOOL localOrigin = FALSE;

    SetXFormPacket(const Matrix3& mat, const Matrix3& par = Matrix3(1))
        : command(XFORM_SET), tmParent(par), tmAxis(mat), p(0.0f, 0.0f, 0.0f),
          q(0.0f, 0.0f, 0.0f, 1.0f) {}
    SetXFormPacket(const Point3& pt, const Matrix3& par = Matrix3(1),
                   const Matrix3& axis = Matrix3(1))
        : command(XFORM_MOVE), tmParent(par), tmAxis(axis), p(pt), q(0.0f, 0.0f, 0.0f, 1.0f) {}
};

class Control : public ReferenceTarget {
public:
    // CTRL_ABSOLUTE: `*val` receives the value (Point3, Quat, ScaleValue, Matrix3 by kind).
    // CTRL_RELATIVE: `*val` is a Matrix3 that the value is applied to (position: T*mat,
    // rotation: R*mat, scale: S*mat; a transform controller: parent matrix in, world out).
    // `valid` is narrowed to the interval over which the value holds.
    virtual void GetValue(TimeValue t, void* val, Interval& valid,
                          GetSetMethod method = CTRL_ABSOLUTE) = 0;
    // Sets the value at t. In animate mode this makes (or replaces) a key at t; otherwise it
    // changes the constant value, or moves every key by the same relative change.
    virtual void SetValue(TimeValue t, void* val, int commit = 1,
                          GetSetMethod method = CTRL_ABSOLUTE) = 0;
    virtual void CommitValue(TimeValue) {}
    virtual void RestoreValue(TimeValue) {}

    virtual int IsKeyable() { return 1; }
    virtual BOOL IsLeaf() { return TRUE; }

    // Sub-controllers of a position/rotation/scale transform controller; NULL otherwise.
    virtual Control* GetPositionController() { return nullptr; }
    virtual Control* GetRotationController() { return nullptr; }
    virtual Control* GetScaleController() { return nullptr; }
    virtual BOOL SetPositionController(Control*) { return FALSE; }
    virtual BOOL SetRotationController(Control*) { return FALSE; }
    virtual BOOL SetScaleController(Control*) { return FALSE; }

    // The X, Y and Z float tracks of a controller made of three (Euler XYZ rotation, Position
    // XYZ); NULL otherwise.
    virtual Control* GetXController() { return nullptr; }
    virtual Control* GetYController() { return nullptr; }
    virtual Control* GetZController() { return nullptr; }
    virtual BOOL SetXController(Control*) { return FALSE; }
    virtual BOOL SetYController(Control*) { return FALSE; }
    virtual BOOL SetZController(Control*) { return FALSE; }

    using Animatable::GetInterface;
    void* GetInterface(ULONG id) override;
};

// Animate mode. SuspendAnimate saves the state on a stack and switches animating off;
// ResumeAnimate restores the saved state.
int Animating();
void AnimateOn();
void AnimateOff();
void SuspendAnimate();
void ResumeAnimate();
// Whether a change made at t animates (animate mode on) / makes a key.
BOOL AreWeAnimating(const TimeValue& t);
BOOL AreWeKeying(const TimeValue& t);

// A new position/rotation/scale transform controller with linear position, spherical-linear
// rotation and linear scale sub-controllers, all at rest (no keys, identity values). New nodes
// get one. Other kinds (Bezier, TCB, Euler XYZ, Position XYZ) come from CreateInstance.
Control* NewDefaultMatrix3Controller();
Control* NewDefaultPositionController();
Control* NewDefaultRotationController();
Control* NewDefaultScaleController();
