// The host's compound controller classes (internal to the core): the position/rotation/scale
// transform controller, the Euler XYZ rotation and Position XYZ controllers made of three float
// tracks, and the biped-style body controller with its slave tracks. Keyframe tracks are in
// KeyframeControl.h.
#pragma once

#include <vector>

#include "KeyframeControl.h"
#include "bipexp.h"
#include "control.h"
#include "decomp.h"
#include "istdplug.h"

namespace hostcore::detail {

// Controllers that need to know the node they drive (told by INode::SetTMController).
class NodeBoundControl {
public:
    virtual ~NodeBoundControl() = default;
    virtual void setOwnerNode(INode* node) = 0;
};

} // namespace hostcore::detail

// Position/rotation/scale: world = Scale * Rotation * Position * parent (row vectors).
class PRSControl : public Control {
public:
    // Tracks of the given curves (new nodes: linear; a PRS made by class id: Bezier position,
    // TCB rotation, Bezier scale, as the host makes it).
    explicit PRSControl(hostcore::detail::KeyCurve position = hostcore::detail::KeyCurve::linear,
                        hostcore::detail::KeyCurve rotation = hostcore::detail::KeyCurve::linear,
                        hostcore::detail::KeyCurve scale = hostcore::detail::KeyCurve::linear);
    ~PRSControl() override;

    SClass_ID SuperClassID() override { return CTRL_MATRIX3_CLASS_ID; }
    Class_ID ClassID() override { return Class_ID(PRS_CONTROL_CLASS_ID, 0); }
    BOOL IsLeaf() override { return FALSE; }

    // Relative (and absolute alike): `*val` is the parent's world matrix in, the world out.
    void GetValue(TimeValue t, void* val, Interval& valid, GetSetMethod method) override;
    // Takes a SetXFormPacket: XFORM_SET decomposes the local matrix into the three tracks,
    // XFORM_MOVE adds its offset to the position.
    void SetValue(TimeValue t, void* val, int commit, GetSetMethod method) override;

    Control* GetPositionController() override { return tracks[0]; }
    Control* GetRotationController() override { return tracks[1]; }
    Control* GetScaleController() override { return tracks[2]; }
    BOOL SetPositionController(Control* c) override { return replaceTrack(0, c); }
    BOOL SetRotationController(Control* c) override { return replaceTrack(1, c); }
    BOOL SetScaleController(Control* c) override { return replaceTrack(2, c); }

    int NumSubs() override { return 3; }
    Animatable* SubAnim(int i) override { return i >= 0 && i < 3 ? tracks[i] : nullptr; }
    TSTR SubAnimName(int i) override;
    // The union of the tracks' key times.
    int NumKeys() override;
    TimeValue GetKeyTime(int index) override;
    int GetKeyIndex(TimeValue t) override;

protected:
    BOOL replaceTrack(int i, Control* c);
    Control* tracks[3] = {nullptr, nullptr, nullptr}; // position, rotation, scale
};

// Three float tracks (X, Y, Z) making one value. Not a leaf: the keys live in the tracks, and
// the controller reports the union of their key times.
class AxisTracksControl : public Control {
public:
    AxisTracksControl();
    ~AxisTracksControl() override;

    BOOL IsLeaf() override { return FALSE; }
    int NumSubs() override { return 3; }
    Animatable* SubAnim(int i) override { return i >= 0 && i < 3 ? tracks[i] : nullptr; }
    int NumKeys() override;
    TimeValue GetKeyTime(int index) override;
    int GetKeyIndex(TimeValue t) override;

    Control* GetXController() override { return tracks[0]; }
    Control* GetYController() override { return tracks[1]; }
    Control* GetZController() override { return tracks[2]; }
    BOOL SetXController(Control* c) override { return replaceTrack(0, c); }
    BOOL SetYController(Control* c) override { return replaceTrack(1, c); }
    BOOL SetZController(Control* c) override { return replaceTrack(2, c); }

protected:
    Point3 axesAt(TimeValue t, Interval& valid);
    // Sets the three tracks, each by its own animate-mode rules.
    void setAxes(TimeValue t, const Point3& values, int commit);
    BOOL replaceTrack(int i, Control* c);
    Control* tracks[3] = {nullptr, nullptr, nullptr};
};

// Euler XYZ rotation: X, Y and Z angles in radians, combined as EulerToQuat (X turns first).
class EulerXYZControl : public AxisTracksControl {
public:
    SClass_ID SuperClassID() override { return CTRL_ROTATION_CLASS_ID; }
    Class_ID ClassID() override { return Class_ID(EULER_CONTROL_CLASS_ID, 0); }
    TSTR SubAnimName(int i) override;
    // Absolute: a Quat. Relative: PreRotateMatrix on the Matrix3 given.
    void GetValue(TimeValue t, void* val, Interval& valid, GetSetMethod method) override;
    // Absolute: a Quat, turned into the angles nearest the tracks' present ones, so a sequence
    // of keys never jumps by a full turn. Relative: an AngAxis applied after the present value.
    void SetValue(TimeValue t, void* val, int commit, GetSetMethod method) override;
};

// Position XYZ: the X, Y and Z of a position in three float tracks.
class PositionXYZControl : public AxisTracksControl {
public:
    SClass_ID SuperClassID() override { return CTRL_POSITION_CLASS_ID; }
    Class_ID ClassID() override { return POSITION_XYZ_CLASS_ID; }
    TSTR SubAnimName(int i) override;
    void GetValue(TimeValue t, void* val, Interval& valid, GetSetMethod method) override;
    void SetValue(TimeValue t, void* val, int commit, GetSetMethod method) override;
};

namespace hostcore::detail {

// The union of the key times of some controllers (NULL ones skipped), ascending and without
// repeats; the index of a time in such a list (-1 when absent) and the time at an index (0 out
// of range).
std::vector<TimeValue> pooledKeyTimes(Control* const* controls, int count);
int keyIndexIn(const std::vector<TimeValue>& times, TimeValue t);
TimeValue keyTimeIn(const std::vector<TimeValue>& times, int index);

} // namespace hostcore::detail

class BipedSlaveControl;

// Biped-style body controller: a transform controller whose keys live in three slave tracks.
// Sub-animations 0, 1 and 2 answer the control interface as matrix controllers listing the
// body's position, scale and rotation key times; their absolute value is the node's world
// matrix. Values are set like a position/rotation/scale controller (SetNodeTM).
class BipedBodyControl : public PRSControl, public hostcore::detail::NodeBoundControl {
public:
    BipedBodyControl();
    ~BipedBodyControl() override;

    Class_ID ClassID() override;
    Control* GetPositionController() override { return nullptr; }
    Control* GetRotationController() override { return nullptr; }
    Control* GetScaleController() override { return nullptr; }
    Animatable* SubAnim(int i) override;
    void setOwnerNode(INode* node) override { owner = node; }

    Control* track(int i) { return tracks[i]; }
    INode* ownerNode() { return owner; }

private:
    INode* owner = nullptr;
    BipedSlaveControl* slaves[3] = {nullptr, nullptr, nullptr};
};

class BipedSlaveControl : public Control {
public:
    BipedSlaveControl(BipedBodyControl* owningBody, int track)
        : body(owningBody), trackIndex(track) {}

    SClass_ID SuperClassID() override { return CTRL_MATRIX3_CLASS_ID; }
    Class_ID ClassID() override;
    int NumKeys() override { return body ? body->track(trackIndex)->NumKeys() : 0; }
    TimeValue GetKeyTime(int index) override {
        return body ? body->track(trackIndex)->GetKeyTime(index) : 0;
    }
    // Absolute: the node's world matrix at t. Relative: the body's value over `*val`.
    void GetValue(TimeValue t, void* val, Interval& valid, GetSetMethod method) override;
    // Slave tracks follow the body; setting them does nothing.
    void SetValue(TimeValue, void*, int, GetSetMethod) override {}
    void detach() { body = nullptr; }

private:
    BipedBodyControl* body;
    int trackIndex;
};
