// Controllers made of three float tracks: Euler XYZ rotation and Position XYZ.
#include <cmath>

#include "Controllers.h"
#include "SceneRegistry.h"
#include "hostcore.h"

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr float kTwoPi = 2.0f * kPi;

// `angle` plus the whole turns that bring it nearest `reference`.
float nearestTurn(float angle, float reference) {
    float turns = std::round((reference - angle) / kTwoPi);
    return std::isfinite(turns) ? angle + turns * kTwoPi : angle;
}

// Of the two Euler triples of a rotation, (a, b, c) and (a + pi, pi - b, c + pi), each moved by
// whole turns towards `reference`, the one nearest it.
Point3 nearestEuler(const float* angles, const Point3& reference) {
    Point3 candidates[2] = {Point3(angles[0], angles[1], angles[2]),
                            Point3(angles[0] + kPi, kPi - angles[1], angles[2] + kPi)};
    Point3 best;
    float bestDistance = INFINITY;
    for (Point3& candidate : candidates) {
        for (int i = 0; i < 3; ++i)
            candidate[i] = nearestTurn(candidate[i], reference[i]);
        float distance = std::fabs(candidate.x - reference.x) +
                         std::fabs(candidate.y - reference.y) +
                         std::fabs(candidate.z - reference.z);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = candidate;
        }
    }
    return best;
}

Quat eulerQuat(const Point3& angles) {
    float values[3] = {angles.x, angles.y, angles.z};
    Quat q;
    EulerToQuat(values, q);
    return q;
}

} // namespace

AxisTracksControl::AxisTracksControl() {
    for (int i = 0; i < 3; ++i)
        replaceTrack(i, new FloatKeyControl(hostcore::detail::KeyCurve::bezier));
}

AxisTracksControl::~AxisTracksControl() {
    for (Control*& track : tracks) {
        hostcore::dropReference(this, track);
        track = nullptr;
    }
}

BOOL AxisTracksControl::replaceTrack(int i, Control* c) {
    if (!c || c->SuperClassID() != CTRL_FLOAT_CLASS_ID) return FALSE;
    Control* old = tracks[i];
    tracks[i] = c;
    hostcore::takeReference(this, c);
    hostcore::dropReference(this, old);
    NotifyDependents(FOREVER, PART_ALL, REFMSG_CHANGE);
    return TRUE;
}

int AxisTracksControl::NumKeys() {
    return int(hostcore::detail::pooledKeyTimes(tracks, 3).size());
}

TimeValue AxisTracksControl::GetKeyTime(int index) {
    return hostcore::detail::keyTimeIn(hostcore::detail::pooledKeyTimes(tracks, 3), index);
}

int AxisTracksControl::GetKeyIndex(TimeValue t) {
    return hostcore::detail::keyIndexIn(hostcore::detail::pooledKeyTimes(tracks, 3), t);
}

Point3 AxisTracksControl::axesAt(TimeValue t, Interval& valid) {
    Point3 values(0.0f, 0.0f, 0.0f);
    for (int i = 0; i < 3; ++i)
        if (tracks[i]) tracks[i]->GetValue(t, &values[i], valid, CTRL_ABSOLUTE);
    return values;
}

void AxisTracksControl::setAxes(TimeValue t, const Point3& values, int commit) {
    for (int i = 0; i < 3; ++i) {
        float value = values[i];
        if (tracks[i]) tracks[i]->SetValue(t, &value, commit, CTRL_ABSOLUTE);
    }
}

TSTR EulerXYZControl::SubAnimName(int i) {
    static const char* const kNames[3] = {"X Rotation", "Y Rotation", "Z Rotation"};
    return i >= 0 && i < 3 ? TSTR(kNames[i]) : TSTR();
}

void EulerXYZControl::GetValue(TimeValue t, void* val, Interval& valid, GetSetMethod method) {
    if (!val) return;
    Quat q = eulerQuat(axesAt(t, valid));
    if (method == CTRL_ABSOLUTE)
        *static_cast<Quat*>(val) = q;
    else
        PreRotateMatrix(*static_cast<Matrix3*>(val), q);
}

void EulerXYZControl::SetValue(TimeValue t, void* val, int commit, GetSetMethod method) {
    if (!val) return;
    Interval ignored = FOREVER;
    Point3 present = axesAt(t, ignored);
    Quat wanted = method == CTRL_ABSOLUTE ? *static_cast<Quat*>(val)
                                          : RotationTraits::addRelative(eulerQuat(present), val);
    float angles[3];
    QuatToEuler(Normalize(wanted), angles);
    setAxes(t, nearestEuler(angles, present), commit);
}

TSTR PositionXYZControl::SubAnimName(int i) {
    static const char* const kNames[3] = {"X Position", "Y Position", "Z Position"};
    return i >= 0 && i < 3 ? TSTR(kNames[i]) : TSTR();
}

void PositionXYZControl::GetValue(TimeValue t, void* val, Interval& valid, GetSetMethod method) {
    if (!val) return;
    Point3 p = axesAt(t, valid);
    if (method == CTRL_ABSOLUTE)
        *static_cast<Point3*>(val) = p;
    else
        static_cast<Matrix3*>(val)->PreTranslate(p);
}

void PositionXYZControl::SetValue(TimeValue t, void* val, int commit, GetSetMethod method) {
    if (!val) return;
    Interval ignored = FOREVER;
    Point3 wanted = *static_cast<Point3*>(val);
    if (method != CTRL_ABSOLUTE) wanted = axesAt(t, ignored) + wanted;
    setAxes(t, wanted, commit);
}
