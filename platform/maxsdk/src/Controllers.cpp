#include "Controllers.h"

#include <algorithm>

#include "SceneRegistry.h"
#include "hostcore.h"
#include "inode.h"

void* Control::GetInterface(ULONG id) {
    if (id == I_CONTROL) return this;
    return Animatable::GetInterface(id);
}

using hostcore::detail::KeyCurve;

// Class ids by curve: linear, Bezier ("hybrid"), TCB.
static ULONG byCurve(KeyCurve curve, ULONG linear, ULONG bezier, ULONG tcb) {
    return curve == KeyCurve::linear ? linear : (curve == KeyCurve::bezier ? bezier : tcb);
}

ULONG FloatTraits::classPartA(KeyCurve curve) {
    return byCurve(curve, LININTERP_FLOAT_CLASS_ID, HYBRIDINTERP_FLOAT_CLASS_ID,
                   TCBINTERP_FLOAT_CLASS_ID);
}
ULONG PositionTraits::classPartA(KeyCurve curve) {
    return byCurve(curve, LININTERP_POSITION_CLASS_ID, HYBRIDINTERP_POSITION_CLASS_ID,
                   TCBINTERP_POSITION_CLASS_ID);
}
ULONG RotationTraits::classPartA(KeyCurve curve) {
    return byCurve(curve, LININTERP_ROTATION_CLASS_ID, HYBRIDINTERP_ROTATION_CLASS_ID,
                   TCBINTERP_ROTATION_CLASS_ID);
}
ULONG ScaleTraits::classPartA(KeyCurve curve) {
    return byCurve(curve, LININTERP_SCALE_CLASS_ID, HYBRIDINTERP_SCALE_CLASS_ID,
                   TCBINTERP_SCALE_CLASS_ID);
}

Quat RotationTraits::blend(const Quat& a, const Quat& b, float u) {
    Quat closest = b;
    closest.MakeClosest(a); // the short way round
    return Normalize(Slerp(a, closest, u));
}

// The change at t, applied after each key's own rotation: key * (old^-1 * wanted).
Quat RotationTraits::shift(const Quat& key, const Quat& old, const Quat& wanted) {
    return Normalize(key * (Inverse(old) * wanted));
}

Quat RotationTraits::addRelative(const Quat& old, void* change) {
    return Normalize(old * Quat(*static_cast<AngAxis*>(change)));
}

ScaleValue ScaleTraits::blend(const ScaleValue& a, const ScaleValue& b, float u) {
    Quat closest = b.q;
    closest.MakeClosest(a.q);
    return ScaleValue(a.s + (b.s - a.s) * u, Normalize(Slerp(a.q, closest, u)));
}

ScaleValue ScaleTraits::spline(const std::vector<hostcore::detail::CurveKey<ScaleValue>>& keys,
                               size_t i, float u) {
    std::vector<hostcore::detail::CurveKey<Point3>> factors;
    factors.reserve(keys.size());
    for (const auto& key : keys)
        factors.push_back({key.time, key.value.s, key.tcb});
    Quat closest = keys[i + 1].value.q;
    closest.MakeClosest(keys[i].value.q);
    return ScaleValue(hostcore::detail::splineSegment(factors, i, u),
                      Normalize(Slerp(keys[i].value.q, closest, u)));
}

// Scale keys move by the ratio of the new value to the old one, axis by axis.
ScaleValue ScaleTraits::shift(const ScaleValue& key, const ScaleValue& old,
                              const ScaleValue& wanted) {
    Point3 factors = key.s;
    for (int i = 0; i < 3; ++i)
        factors[i] = old.s[i] != 0.0f ? key.s[i] * (wanted.s[i] / old.s[i]) : wanted.s[i];
    return ScaleValue(factors, wanted.q);
}

ScaleValue ScaleTraits::addRelative(const ScaleValue& old, void* change) {
    const ScaleValue& factor = *static_cast<ScaleValue*>(change);
    return ScaleValue(old.s * factor.s, old.q);
}

PRSControl::PRSControl(KeyCurve position, KeyCurve rotation, KeyCurve scale) {
    replaceTrack(0, new PositionKeyControl(position));
    replaceTrack(1, new RotationKeyControl(rotation));
    replaceTrack(2, new ScaleKeyControl(scale));
}

PRSControl::~PRSControl() {
    for (Control*& track : tracks) {
        hostcore::dropReference(this, track);
        track = nullptr;
    }
}

// A track takes only a controller of its own kind: its value is applied to the matrix.
BOOL PRSControl::replaceTrack(int i, Control* c) {
    static const SClass_ID kKinds[3] = {CTRL_POSITION_CLASS_ID, CTRL_ROTATION_CLASS_ID,
                                        CTRL_SCALE_CLASS_ID};
    if (!c || c->SuperClassID() != kKinds[i]) return FALSE;
    if (c == tracks[i]) return TRUE;
    Control* old = tracks[i];
    tracks[i] = c;
    hostcore::takeReference(this, c);
    hostcore::dropReference(this, old);
    NotifyDependents(FOREVER, PART_ALL, REFMSG_CHANGE);
    return TRUE;
}

void PRSControl::GetValue(TimeValue t, void* val, Interval& valid, GetSetMethod) {
    if (!val) return;
    // Each track pre-multiplies: position, then rotation, then scale, so scale acts first.
    tracks[0]->GetValue(t, val, valid, CTRL_RELATIVE);
    tracks[1]->GetValue(t, val, valid, CTRL_RELATIVE);
    tracks[2]->GetValue(t, val, valid, CTRL_RELATIVE);
}

void PRSControl::SetValue(TimeValue t, void* val, int commit, GetSetMethod) {
    if (!val) return;
    SetXFormPacket& packet = *static_cast<SetXFormPacket*>(val);
    if (packet.command == XFORM_MOVE) {
        Point3 offset = packet.p;
        tracks[0]->SetValue(t, &offset, commit, CTRL_RELATIVE);
        return;
    }
    if (packet.command != XFORM_SET) return;
    Matrix3 local = packet.tmAxis * Inverse(packet.tmParent);
    AffineParts parts;
    decomp_affine(local, &parts);
    // A mirror becomes negative scale factors: -I commutes with everything in the product.
    ScaleValue scale(parts.k * parts.f, parts.u);
    tracks[0]->SetValue(t, &parts.t, commit, CTRL_ABSOLUTE);
    tracks[1]->SetValue(t, &parts.q, commit, CTRL_ABSOLUTE);
    tracks[2]->SetValue(t, &scale, commit, CTRL_ABSOLUTE);
}

TSTR PRSControl::SubAnimName(int i) {
    static const char* const kNames[3] = {"Position", "Rotation", "Scale"};
    return i >= 0 && i < 3 ? TSTR(kNames[i]) : TSTR();
}

namespace hostcore::detail {

std::vector<TimeValue> pooledKeyTimes(Control* const* controls, int count) {
    std::vector<TimeValue> times;
    for (int c = 0; c < count; ++c) {
        Control* control = controls[c];
        if (!control) continue;
        for (int i = 0; i < control->NumKeys(); ++i)
            times.push_back(control->GetKeyTime(i));
    }
    std::sort(times.begin(), times.end());
    times.erase(std::unique(times.begin(), times.end()), times.end());
    return times;
}

int keyIndexIn(const std::vector<TimeValue>& times, TimeValue t) {
    auto at = std::lower_bound(times.begin(), times.end(), t);
    return at != times.end() && *at == t ? int(at - times.begin()) : -1;
}

TimeValue keyTimeIn(const std::vector<TimeValue>& times, int index) {
    return index >= 0 && index < int(times.size()) ? times[size_t(index)] : 0;
}

} // namespace hostcore::detail

int PRSControl::NumKeys() {
    return int(hostcore::detail::pooledKeyTimes(tracks, 3).size());
}

TimeValue PRSControl::GetKeyTime(int index) {
    return hostcore::detail::keyTimeIn(hostcore::detail::pooledKeyTimes(tracks, 3), index);
}

int PRSControl::GetKeyIndex(TimeValue t) {
    return hostcore::detail::keyIndexIn(hostcore::detail::pooledKeyTimes(tracks, 3), t);
}

Control* NewDefaultMatrix3Controller() {
    return new PRSControl;
}
Control* NewDefaultPositionController() {
    return new PositionKeyControl;
}
Control* NewDefaultRotationController() {
    return new RotationKeyControl;
}
Control* NewDefaultScaleController() {
    return new ScaleKeyControl;
}

// The body's slave tracks, in sub-animation order, show the position, scale and rotation keys.
static const int kSlaveTracks[3] = {0, 2, 1};

BipedBodyControl::BipedBodyControl() {
    for (int i = 0; i < 3; ++i) {
        slaves[i] = new BipedSlaveControl(this, kSlaveTracks[i]);
        hostcore::takeReference(this, slaves[i]);
    }
}

BipedBodyControl::~BipedBodyControl() {
    if (hostcore::detail::tearingDown()) return; // the slaves may be gone already
    for (BipedSlaveControl*& slave : slaves) {
        slave->detach();
        hostcore::dropReference(this, slave);
        slave = nullptr;
    }
}

Class_ID BipedBodyControl::ClassID() {
    return BIPBODY_CONTROL_CLASS_ID;
}

Animatable* BipedBodyControl::SubAnim(int i) {
    return i >= 0 && i < 3 ? slaves[i] : nullptr;
}

Class_ID BipedSlaveControl::ClassID() {
    return BIPSLAVE_CONTROL_CLASS_ID;
}

void BipedSlaveControl::GetValue(TimeValue t, void* val, Interval& valid, GetSetMethod method) {
    if (!val || !body) return;
    Matrix3& m = *static_cast<Matrix3*>(val);
    if (method == CTRL_ABSOLUTE) {
        if (INode* node = body->ownerNode()) {
            m = node->GetNodeTM(t, &valid);
            return;
        }
        m = Matrix3(1);
    }
    body->GetValue(t, &m, valid, CTRL_RELATIVE);
}

namespace hostcore {

bool setKeyTcb(Control* controller, int keyIndex, float tension, float continuity, float bias) {
    auto* keyed = dynamic_cast<detail::TcbKeyed*>(controller);
    return keyed && keyed->setKeyTcb(keyIndex, detail::TcbParams{tension, continuity, bias});
}

} // namespace hostcore
