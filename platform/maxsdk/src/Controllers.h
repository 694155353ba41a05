// The host's controller classes (internal to the core): keyframe tracks for position, rotation
// and scale, the position/rotation/scale transform controller and the biped-style body
// controller with its slave tracks.
#pragma once

#include <algorithm>
#include <utility>
#include <vector>

#include "control.h"
#include "decomp.h"
#include "bipexp.h"
#include "istdplug.h"

// Keys of one value type, kept in ascending time order, with the constant value that holds
// while there are no keys. Between keys the value is interpolated (Traits::blend); outside the
// key range it holds at the end keys.
template <class Traits> class KeyframeControl : public Control {
public:
    using Value = typename Traits::Value;

    KeyframeControl() : constant(Traits::rest()) {}

    SClass_ID SuperClassID() override { return Traits::superClassId; }
    Class_ID ClassID() override { return Traits::classId(); }

    int NumKeys() override { return int(keys.size()); }
    TimeValue GetKeyTime(int index) override {
        return index >= 0 && index < int(keys.size()) ? keys[size_t(index)].first : 0;
    }
    int GetKeyIndex(TimeValue t) override {
        for (size_t i = 0; i < keys.size(); ++i)
            if (keys[i].first == t) return int(i);
        return -1;
    }

    Value valueAt(TimeValue t) const {
        if (keys.empty()) return constant;
        if (t <= keys.front().first) return keys.front().second;
        if (t >= keys.back().first) return keys.back().second;
        auto after = std::upper_bound(keys.begin(), keys.end(), t,
                                      [](TimeValue time, const std::pair<TimeValue, Value>& key) { return time < key.first; });
        auto before = after - 1;
        float u = float(t - before->first) / float(after->first - before->first);
        return Traits::blend(before->second, after->second, u);
    }

    void GetValue(TimeValue t, void* val, Interval& valid, GetSetMethod method) override {
        if (!val) return;
        if (!keys.empty()) valid &= Interval(t, t);
        if (method == CTRL_ABSOLUTE)
            *static_cast<Value*>(val) = valueAt(t);
        else
            Traits::applyTo(*static_cast<Matrix3*>(val), valueAt(t));
    }

    void SetValue(TimeValue t, void* val, int, GetSetMethod method) override {
        if (!val) return;
        Value wanted = method == CTRL_ABSOLUTE ? *static_cast<Value*>(val)
                                               : Traits::addRelative(valueAt(t), val);
        setAbsolute(t, wanted);
    }

    // The host's rules for a value set at t: in animate mode a key at t is made or replaced
    // (the first key away from time 0 also keys time 0 with the value held so far); otherwise
    // the constant is replaced, or every key moves by the change at t.
    void setAbsolute(TimeValue t, const Value& wanted) {
        if (AreWeKeying(t)) {
            if (keys.empty() && t != 0) putKey(0, constant);
            putKey(t, wanted);
        } else if (keys.empty()) {
            constant = wanted;
        } else {
            Value old = valueAt(t);
            for (auto& key : keys) key.second = Traits::shift(key.second, old, wanted);
        }
        NotifyDependents(FOREVER, PART_ALL, REFMSG_CHANGE);
    }

private:
    void putKey(TimeValue t, const Value& value) {
        auto at = std::lower_bound(keys.begin(), keys.end(), t,
                                   [](const std::pair<TimeValue, Value>& key, TimeValue time) { return key.first < time; });
        if (at != keys.end() && at->first == t)
            at->second = value;
        else
            keys.insert(at, {t, value});
    }

    std::vector<std::pair<TimeValue, Value>> keys;
    Value constant;
};

struct PositionTraits {
    using Value = Point3;
    static constexpr SClass_ID superClassId = CTRL_POSITION_CLASS_ID;
    static Class_ID classId() { return Class_ID(LININTERP_POSITION_CLASS_ID, 0); }
    static Value rest() { return Point3(0.0f, 0.0f, 0.0f); }
    static Value blend(const Value& a, const Value& b, float u) { return a + (b - a) * u; }
    static Value shift(const Value& key, const Value& old, const Value& wanted) { return key + (wanted - old); }
    static Value addRelative(const Value& old, void* change) { return old + *static_cast<Point3*>(change); }
    static void applyTo(Matrix3& mat, const Value& v) { mat.PreTranslate(v); }
};

struct RotationTraits {
    using Value = Quat;
    static constexpr SClass_ID superClassId = CTRL_ROTATION_CLASS_ID;
    static Class_ID classId() { return Class_ID(LININTERP_ROTATION_CLASS_ID, 0); }
    static Value rest() { return Quat(0.0f, 0.0f, 0.0f, 1.0f); }
    static Value blend(const Value& a, const Value& b, float u);
    static Value shift(const Value& key, const Value& old, const Value& wanted);
    static Value addRelative(const Value& old, void* change);  // change: AngAxis
    static void applyTo(Matrix3& mat, const Value& v) { PreRotateMatrix(mat, v); }
};

struct ScaleTraits {
    using Value = ScaleValue;
    static constexpr SClass_ID superClassId = CTRL_SCALE_CLASS_ID;
    static Class_ID classId() { return Class_ID(LININTERP_SCALE_CLASS_ID, 0); }
    static Value rest() { return ScaleValue(Point3(1.0f, 1.0f, 1.0f)); }
    static Value blend(const Value& a, const Value& b, float u);
    static Value shift(const Value& key, const Value& old, const Value& wanted);
    static Value addRelative(const Value& old, void* change);  // change: ScaleValue factors
    static void applyTo(Matrix3& mat, const Value& v) { ApplyScaling(mat, v); }
};

typedef KeyframeControl<PositionTraits> PositionKeyControl;
typedef KeyframeControl<RotationTraits> RotationKeyControl;
typedef KeyframeControl<ScaleTraits> ScaleKeyControl;

// Position/rotation/scale: world = Scale * Rotation * Position * parent (row vectors).
class PRSControl : public Control {
public:
    PRSControl();
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
    // The union of the tracks' key times.
    int NumKeys() override;
    TimeValue GetKeyTime(int index) override;

protected:
    BOOL replaceTrack(int i, Control* c);
    std::vector<TimeValue> keyTimes();
    Control* tracks[3] = {nullptr, nullptr, nullptr};  // position, rotation, scale
};

class BipedSlaveControl;

// Biped-style body controller: a transform controller whose keys live in three slave tracks.
// Sub-animations 0, 1 and 2 answer the control interface as matrix controllers listing the
// body's position, scale and rotation key times; their absolute value is the node's world
// matrix. Values are set like a position/rotation/scale controller (SetNodeTM).
class BipedBodyControl : public PRSControl {
public:
    BipedBodyControl();
    ~BipedBodyControl() override;

    Class_ID ClassID() override;
    Control* GetPositionController() override { return nullptr; }
    Control* GetRotationController() override { return nullptr; }
    Control* GetScaleController() override { return nullptr; }
    Animatable* SubAnim(int i) override;
    void SetOwnerNode(INode* node) override { owner = node; }

    Control* track(int i) { return tracks[i]; }
    INode* ownerNode() { return owner; }

private:
    INode* owner = nullptr;
    BipedSlaveControl* slaves[3] = {nullptr, nullptr, nullptr};
};

class BipedSlaveControl : public Control {
public:
    BipedSlaveControl(BipedBodyControl* owningBody, int track) : body(owningBody), trackIndex(track) {}

    SClass_ID SuperClassID() override { return CTRL_MATRIX3_CLASS_ID; }
    Class_ID ClassID() override;
    int NumKeys() override { return body ? body->track(trackIndex)->NumKeys() : 0; }
    TimeValue GetKeyTime(int index) override { return body ? body->track(trackIndex)->GetKeyTime(index) : 0; }
    // Absolute: the node's world matrix at t. Relative: the body's value over `*val`.
    void GetValue(TimeValue t, void* val, Interval& valid, GetSetMethod method) override;
    // Slave tracks follow the body; setting them does nothing.
    void SetValue(TimeValue, void*, int, GetSetMethod) override {}
    void detach() { body = nullptr; }

private:
    BipedBodyControl* body;
    int trackIndex;
};
