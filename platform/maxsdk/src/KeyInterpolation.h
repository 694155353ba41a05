// The curves between keys: linear, smooth (Bezier with automatic tangents) and TCB
// (Kochanek-Bartels) for values that add and scale (floats, points, scale factors), and the
// quaternion spline of TCB and Bezier rotation controllers.
//
// Every curve passes through its keys. Between key i and key i+1 the value is the cubic Hermite
// curve through the two values with the outgoing tangent of key i and the incoming tangent of
// key i+1, in units of the segment parameter u (0 at key i, 1 at key i+1). Tangents come from the
// differences to the neighbouring keys, weighted by the key's tension, continuity and bias and
// corrected for unequal key spacing so the speed is continuous across a key. With all three
// parameters 0 the tangent is the Catmull-Rom one, which is also what a smooth Bezier key uses.
// An end key has one neighbour; its missing difference is taken equal to the present one, so a
// track of two keys moves at constant speed.
#pragma once

#include <cstddef>
#include <vector>

#include "maxtypes.h"
#include "quat.h"

namespace hostcore::detail {

// Tension, continuity and bias of one TCB key, each nominally -1..1.
struct TcbParams {
    float tension = 0.0f;
    float continuity = 0.0f;
    float bias = 0.0f;
};

// How a TCB key weighs the difference before it (to the previous key) and after it (to the next
// key) into its incoming and outgoing tangents. `beforeTicks` and `afterTicks` are the lengths
// of the segments before and after the key (positive).
struct TangentWeights {
    float incomingBefore, incomingAfter;
    float outgoingBefore, outgoingAfter;
};
TangentWeights tangentWeights(const TcbParams& params, double beforeTicks, double afterTicks);

// Hermite basis at u: h00 p0 + h10 m0 + h01 p1 + h11 m1.
struct HermiteBasis {
    float h00, h10, h01, h11;
};
HermiteBasis hermiteBasis(float u);

// One key as the curves see it.
template <class Value> struct CurveKey {
    TimeValue time;
    Value value;
    TcbParams tcb;
};

// The value between keys i and i+1 (i + 1 < keys.size()) at u in 0..1, for values with +, -
// and * float.
template <class Value>
Value splineSegment(const std::vector<CurveKey<Value>>& keys, size_t i, float u) {
    const CurveKey<Value>& from = keys[i];
    const CurveKey<Value>& to = keys[i + 1];
    const Value span = to.value - from.value;
    const double spanTicks = double(to.time) - double(from.time);

    // Outgoing tangent of `from`: the difference before it is the previous segment's, or the
    // span itself at the first key.
    const bool hasBefore = i > 0;
    const Value before = hasBefore ? from.value - keys[i - 1].value : span;
    const double beforeTicks = hasBefore ? double(from.time) - double(keys[i - 1].time) : spanTicks;
    TangentWeights fromWeights = tangentWeights(from.tcb, beforeTicks, spanTicks);
    const Value outgoing = before * fromWeights.outgoingBefore + span * fromWeights.outgoingAfter;

    const bool hasAfter = i + 2 < keys.size();
    const Value after = hasAfter ? keys[i + 2].value - to.value : span;
    const double afterTicks = hasAfter ? double(keys[i + 2].time) - double(to.time) : spanTicks;
    TangentWeights toWeights = tangentWeights(to.tcb, spanTicks, afterTicks);
    const Value incoming = span * toWeights.incomingBefore + after * toWeights.incomingAfter;

    HermiteBasis h = hermiteBasis(u);
    return from.value * h.h00 + outgoing * h.h10 + to.value * h.h01 + incoming * h.h11;
}

// The rotation between keys i and i+1 at u: the quaternion form of the same curve. Differences
// are logarithms of the relative rotations (each key taken on the side of the sphere nearest
// its neighbour); the tangents become the inner points of a spherical quadrangle, which for
// turns about one axis is exactly the Hermite curve of the angle.
Quat rotationSplineSegment(const std::vector<CurveKey<Quat>>& keys, size_t i, float u);

} // namespace hostcore::detail
