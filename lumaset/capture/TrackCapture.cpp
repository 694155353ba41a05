#include "capture/CaptureTime.h"
#include "capture/SceneCapture.h"

#include "bipexp.h"
#include "control.h"
#include "decomp.h"
#include "inode.h"

#include <algorithm>
#include <vector>

namespace {

// Calls visit(node) for `top` and every node below it, depth first in child order, with a stack
// of its own rather than the call stack.
template <class Visit> void forEachInSubtree(INode* top, Visit&& visit) {
    std::vector<INode*> pending{top};
    while (!pending.empty()) {
        INode* node = pending.back();
        pending.pop_back();
        if (!node) continue;
        visit(node);
        for (int j = node->NumberOfChildren() - 1; j >= 0; --j)
            pending.push_back(node->GetChildNode(j));
    }
}

Matrix3 parentWorldAt(INode* node, TimeValue t) {
    INode* parent = node->GetParentNode();
    return parent ? parent->GetNodeTM(t) : Matrix3(1);
}

// A local matrix as translation, rotation and per-axis scale. A mirror goes into the scale
// factors (all three negated), so the three parts still rebuild the matrix.
struct TransformParts {
    Point3 position = Point3(0.0f, 0.0f, 0.0f);
    Point3 scale = Point3(1.0f, 1.0f, 1.0f);
    Quat rotation = Quat(0.0f, 0.0f, 0.0f, 1.0f);
};

TransformParts decompose(const Matrix3& local) {
    AffineParts parts;
    parts.q = Quat(0.0f, 0.0f, 0.0f, 1.0f);
    parts.u = Quat(0.0f, 0.0f, 0.0f, 1.0f);
    decomp_affine(local, &parts);
    return TransformParts{parts.t, parts.k * parts.f, parts.q};
}

Control* controlOfSubAnim(Animatable* owner, int index) {
    Animatable* sub = owner->SubAnim(index);
    return sub ? static_cast<Control*>(sub->GetInterface(I_CONTROL)) : nullptr;
}

int keyCountOf(Control* control) {
    return control ? std::max(0, control->NumKeys()) : 0;
}

// The controllers that hold a node's position, scale and rotation keys. A biped body keeps them
// in the matrix controllers of its sub-animations 0 (position), 1 (scale) and 2 (rotation).
struct TransformTracks {
    Control* position = nullptr;
    Control* scale = nullptr;
    Control* rotation = nullptr;
};

TransformTracks transformTracksOf(INode* node) {
    Control* transform = node->GetTMController();
    if (!transform) return {};
    if (transform->ClassID() == BIPBODY_CONTROL_CLASS_ID)
        return {controlOfSubAnim(transform, 0), controlOfSubAnim(transform, 1),
                controlOfSubAnim(transform, 2)};
    return {transform->GetPositionController(), transform->GetScaleController(),
            transform->GetRotationController()};
}

// Reads the values of one node's sub-controllers. A controller of a kind that gives no value of
// its own (neither its value type nor a matrix) leaves the last value read, at first the part of
// the node's local matrix at time 0.
class TrackReader {
public:
    explicit TrackReader(const TransformParts& defaults) : defaults_(defaults), last_(defaults) {}

    Point3 position(Control* control, TimeValue t, const Matrix3& parentInverse) {
        if (!control) return defaults_.position;
        if (control->SuperClassID() == CTRL_POSITION_CLASS_ID) {
            Point3 value = last_.position;
            Interval valid = FOREVER;
            control->GetValue(t, &value, valid, CTRL_ABSOLUTE);
            last_.position = value;
        } else if (control->SuperClassID() == CTRL_MATRIX3_CLASS_ID) {
            last_.position = decompose(matrixValue(control, t) * parentInverse).position;
        }
        return last_.position;
    }

    Point3 scale(Control* control, TimeValue t, const Matrix3& parentInverse) {
        if (!control) return defaults_.scale;
        if (control->SuperClassID() == CTRL_SCALE_CLASS_ID) {
            ScaleValue value(last_.scale, Quat(0.0f, 0.0f, 0.0f, 1.0f));
            Interval valid = FOREVER;
            control->GetValue(t, &value, valid, CTRL_ABSOLUTE);
            last_.scale = value.s;
        } else if (control->SuperClassID() == CTRL_MATRIX3_CLASS_ID) {
            last_.scale = decompose(matrixValue(control, t) * parentInverse).scale;
        }
        return last_.scale;
    }

    Quat rotation(Control* control, TimeValue t, const Matrix3& parentInverse) {
        if (!control) return defaults_.rotation;
        if (control->SuperClassID() == CTRL_ROTATION_CLASS_ID) {
            Quat value = last_.rotation;
            Interval valid = FOREVER;
            control->GetValue(t, &value, valid, CTRL_ABSOLUTE);
            last_.rotation = value;
        } else if (control->SuperClassID() == CTRL_MATRIX3_CLASS_ID) {
            last_.rotation = decompose(matrixValue(control, t) * parentInverse).rotation;
        }
        return last_.rotation;
    }

private:
    static Matrix3 matrixValue(Control* control, TimeValue t) {
        Matrix3 value(1);
        Interval valid = FOREVER;
        control->GetValue(t, &value, valid, CTRL_ABSOLUTE);
        return value;
    }

    TransformParts defaults_;
    TransformParts last_;
};

void keyNodeTrack(INode* node, SnapshotAnimationSet& set, TimeValue start, TimeValue end) {
    const TransformTracks tracks = transformTracksOf(node);
    const int positionKeyCount = keyCountOf(tracks.position);
    const int scaleKeyCount = keyCountOf(tracks.scale);
    const int rotationKeyCount = keyCountOf(tracks.rotation);
    if (positionKeyCount == 0 && scaleKeyCount == 0 && rotationKeyCount == 0) return;

    const Matrix3 parentInverseAt0 = Inverse(parentWorldAt(node, 0));
    TrackReader reader(decompose(node->GetNodeTM(0) * parentInverseAt0));
    SnapshotTrack& track = findOrAddTrack(set, node->GetName() ? node->GetName() : "");

    auto setKeysAt = [&](TimeValue t, TimeValue relative) {
        const Matrix3 parentInverse = Inverse(parentWorldAt(node, t));
        track.positionKeys[relative] = reader.position(tracks.position, t, parentInverse);
        track.scaleKeys[relative] = reader.scale(tracks.scale, t, parentInverse);
        track.rotationKeys[relative] = reader.rotation(tracks.rotation, t, parentInverse);
    };
    setKeysAt(start, 0);
    // A set may end before it starts (frames 20 to 10): it keeps its start keys only.
    const std::int64_t endRelative = std::int64_t(end) - start;
    if (end >= 1 && endRelative > 0 && fitsTimeValue(endRelative))
        setKeysAt(end, TimeValue(endRelative));

    auto keyBetween = [&](Control* control, int keyCount, auto&& read, auto& keys) {
        for (int k = 0; k < keyCount; ++k) {
            const TimeValue t = control->GetKeyTime(k);
            if (!(start < t && (end == -1 || t < end))) continue;
            const std::int64_t relative = std::int64_t(t) - start;
            if (!fitsTimeValue(relative)) continue;
            keys[TimeValue(relative)] = read(control, t, Inverse(parentWorldAt(node, t)));
        }
    };
    keyBetween(
        tracks.position, positionKeyCount,
        [&](Control* c, TimeValue t, const Matrix3& m) { return reader.position(c, t, m); },
        track.positionKeys);
    keyBetween(
        tracks.scale, scaleKeyCount,
        [&](Control* c, TimeValue t, const Matrix3& m) { return reader.scale(c, t, m); },
        track.scaleKeys);
    keyBetween(
        tracks.rotation, rotationKeyCount,
        [&](Control* c, TimeValue t, const Matrix3& m) { return reader.rotation(c, t, m); },
        track.rotationKeys);
}

} // namespace

void SceneCapture::sampleTrack(INode* node, SnapshotAnimationSet& set, TimeValue start,
                               TimeValue end) const {
    const SamplingPlan plan =
        planSampling(start, end, samplingStepTicks(ticksPerSecond, samplingFps));
    forEachInSubtree(node, [&](INode* host) {
        SnapshotTrack& track = findOrAddTrack(set, host->GetName() ? host->GetName() : "");
        for (std::int64_t i = 0; i < plan.sampleCount; ++i) {
            const std::int64_t relative = i * plan.stepTicks;
            const TimeValue t = TimeValue(start + relative);
            const Matrix3 local = host->GetNodeTM(t) * Inverse(parentWorldAt(host, t));
            track.matrixKeys.insert_or_assign(track.matrixKeys.end(), TimeValue(relative), local);
        }
    });
}

void SceneCapture::keyTrack(INode* node, SnapshotAnimationSet& set, TimeValue start,
                            TimeValue end) const {
    forEachInSubtree(node, [&](INode* host) { keyNodeTrack(host, set, start, end); });
}
