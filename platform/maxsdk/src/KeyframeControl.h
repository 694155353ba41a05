// Keyframe controllers (internal to the core): one template for every value kind (float,
// position, rotation, scale) and every curve (linear, Bezier, TCB), with the host's rules for
// setting values in and out of animate mode.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "KeyInterpolation.h"
#include "control.h"

namespace hostcore::detail {

enum class KeyCurve { linear, bezier, tcb };

// Controllers whose keys carry tension, continuity and bias (TCB controllers).
class TcbKeyed {
public:
    virtual ~TcbKeyed() = default;
    // FALSE for an index out of range.
    virtual bool setKeyTcb(int index, const TcbParams& params) = 0;
};

} // namespace hostcore::detail

// Keys of one value type, kept in ascending time order, with the constant value that holds
// while there are no keys. Between keys the value follows the controller's curve; outside the
// key range it holds at the end keys.
template <class Traits> class KeyframeControl : public Control, public hostcore::detail::TcbKeyed {
public:
    using Value = typename Traits::Value;
    using Key = hostcore::detail::CurveKey<Value>;
    using KeyCurve = hostcore::detail::KeyCurve;

    explicit KeyframeControl(KeyCurve kind = KeyCurve::linear)
        : curve(kind), constant(Traits::rest()) {}

    SClass_ID SuperClassID() override { return Traits::superClassId; }
    Class_ID ClassID() override { return Class_ID(Traits::classPartA(curve), 0); }

    int NumKeys() override { return int(keys.size()); }
    TimeValue GetKeyTime(int index) override {
        return index >= 0 && index < int(keys.size()) ? keys[size_t(index)].time : 0;
    }
    int GetKeyIndex(TimeValue t) override {
        auto at = findKey(t);
        return at != keys.end() && at->time == t ? int(at - keys.begin()) : -1;
    }

    Value valueAt(TimeValue t) const {
        if (keys.empty()) return constant;
        if (t <= keys.front().time) return keys.front().value;
        if (t >= keys.back().time) return keys.back().value;
        size_t after = size_t(
            std::upper_bound(keys.begin(), keys.end(), t,
                             [](TimeValue time, const Key& key) { return time < key.time; }) -
            keys.begin());
        size_t before = after - 1;
        // In 64 bits: keys may lie anywhere in the 32-bit range.
        float u = float(double(std::int64_t(t) - keys[before].time) /
                        double(std::int64_t(keys[after].time) - keys[before].time));
        if (curve == KeyCurve::linear)
            return Traits::blend(keys[before].value, keys[after].value, u);
        return Traits::spline(keys, before, u);
    }

    void GetValue(TimeValue t, void* val, Interval& valid, GetSetMethod method) override {
        if (!val) return;
        if (!keys.empty()) valid &= Interval(t, t);
        if (method == CTRL_ABSOLUTE)
            *static_cast<Value*>(val) = valueAt(t);
        else
            Traits::applyTo(val, valueAt(t));
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
            for (Key& key : keys)
                key.value = Traits::shift(key.value, old, wanted);
        }
        NotifyDependents(FOREVER, PART_ALL, REFMSG_CHANGE);
    }

    bool setKeyTcb(int index, const hostcore::detail::TcbParams& params) override {
        if (curve != KeyCurve::tcb || index < 0 || index >= int(keys.size())) return false;
        keys[size_t(index)].tcb = params;
        NotifyDependents(FOREVER, PART_ALL, REFMSG_CHANGE);
        return true;
    }

private:
    typename std::vector<Key>::iterator findKey(TimeValue t) {
        return std::lower_bound(keys.begin(), keys.end(), t,
                                [](const Key& key, TimeValue time) { return key.time < time; });
    }
    void putKey(TimeValue t, const Value& value) {
        auto at = findKey(t);
        if (at != keys.end() && at->time == t)
            at->value = value;
        else
            keys.insert(at, Key{t, value, {}});
    }

    KeyCurve curve;
    std::vector<Key> keys;
    Value constant;
};

// The value kinds. Each names its super class, its class ids by curve and the arithmetic the
// curves and the animate-mode rules need.

struct FloatTraits {
    using Value = float;
    static constexpr SClass_ID superClassId = CTRL_FLOAT_CLASS_ID;
    static ULONG classPartA(hostcore::detail::KeyCurve curve);
    static Value rest() { return 0.0f; }
    static Value blend(Value a, Value b, float u) { return a + (b - a) * u; }
    static Value spline(const std::vector<hostcore::detail::CurveKey<Value>>& keys, size_t i,
                        float u) {
        return hostcore::detail::splineSegment(keys, i, u);
    }
    static Value shift(Value key, Value old, Value wanted) { return key + (wanted - old); }
    static Value addRelative(Value old, void* change) { return old + *static_cast<float*>(change); }
    static void applyTo(void* val, Value v) { *static_cast<float*>(val) += v; }
};

struct PositionTraits {
    using Value = Point3;
    static constexpr SClass_ID superClassId = CTRL_POSITION_CLASS_ID;
    static ULONG classPartA(hostcore::detail::KeyCurve curve);
    static Value rest() { return Point3(0.0f, 0.0f, 0.0f); }
    static Value blend(const Value& a, const Value& b, float u) { return a + (b - a) * u; }
    static Value spline(const std::vector<hostcore::detail::CurveKey<Value>>& keys, size_t i,
                        float u) {
        return hostcore::detail::splineSegment(keys, i, u);
    }
    static Value shift(const Value& key, const Value& old, const Value& wanted) {
        return key + (wanted - old);
    }
    static Value addRelative(const Value& old, void* change) {
        return old + *static_cast<Point3*>(change);
    }
    static void applyTo(void* val, const Value& v) { static_cast<Matrix3*>(val)->PreTranslate(v); }
};

struct RotationTraits {
    using Value = Quat;
    static constexpr SClass_ID superClassId = CTRL_ROTATION_CLASS_ID;
    static ULONG classPartA(hostcore::detail::KeyCurve curve);
    static Value rest() { return Quat(0.0f, 0.0f, 0.0f, 1.0f); }
    static Value blend(const Value& a, const Value& b, float u);
    static Value spline(const std::vector<hostcore::detail::CurveKey<Value>>& keys, size_t i,
                        float u) {
        return hostcore::detail::rotationSplineSegment(keys, i, u);
    }
    static Value shift(const Value& key, const Value& old, const Value& wanted);
    static Value addRelative(const Value& old, void* change); // change: AngAxis
    static void applyTo(void* val, const Value& v) {
        PreRotateMatrix(*static_cast<Matrix3*>(val), v);
    }
};

struct ScaleTraits {
    using Value = ScaleValue;
    static constexpr SClass_ID superClassId = CTRL_SCALE_CLASS_ID;
    static ULONG classPartA(hostcore::detail::KeyCurve curve);
    static Value rest() { return ScaleValue(Point3(1.0f, 1.0f, 1.0f)); }
    static Value blend(const Value& a, const Value& b, float u);
    // The factors follow the curve; the axis frame turns at constant speed.
    static Value spline(const std::vector<hostcore::detail::CurveKey<Value>>& keys, size_t i,
                        float u);
    static Value shift(const Value& key, const Value& old, const Value& wanted);
    static Value addRelative(const Value& old, void* change); // change: ScaleValue factors
    static void applyTo(void* val, const Value& v) { ApplyScaling(*static_cast<Matrix3*>(val), v); }
};

typedef KeyframeControl<FloatTraits> FloatKeyControl;
typedef KeyframeControl<PositionTraits> PositionKeyControl;
typedef KeyframeControl<RotationTraits> RotationKeyControl;
typedef KeyframeControl<ScaleTraits> ScaleKeyControl;
