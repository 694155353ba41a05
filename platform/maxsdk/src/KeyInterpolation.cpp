#include "KeyInterpolation.h"

#include "point3.h"

namespace hostcore::detail {

TangentWeights tangentWeights(const TcbParams& params, double beforeTicks, double afterTicks) {
    const double t = params.tension, c = params.continuity, b = params.bias;
    const double total = beforeTicks + afterTicks;
    // Tangents are per unit of u, and u runs over a segment of its own length: scaling each
    // side by its share of the two segments keeps the speed in ticks the same on both sides.
    const double incomingScale = total > 0.0 ? 2.0 * beforeTicks / total : 1.0;
    const double outgoingScale = total > 0.0 ? 2.0 * afterTicks / total : 1.0;
    TangentWeights w;
    w.incomingBefore = float((1.0 - t) * (1.0 - c) * (1.0 + b) / 2.0 * incomingScale);
    w.incomingAfter = float((1.0 - t) * (1.0 + c) * (1.0 - b) / 2.0 * incomingScale);
    w.outgoingBefore = float((1.0 - t) * (1.0 + c) * (1.0 + b) / 2.0 * outgoingScale);
    w.outgoingAfter = float((1.0 - t) * (1.0 - c) * (1.0 - b) / 2.0 * outgoingScale);
    return w;
}

HermiteBasis hermiteBasis(float u) {
    const float u2 = u * u, u3 = u2 * u;
    return {2.0f * u3 - 3.0f * u2 + 1.0f, u3 - 2.0f * u2 + u, -2.0f * u3 + 3.0f * u2, u3 - u2};
}

namespace {

Point3 vectorPart(const Quat& q) {
    return Point3(q.x, q.y, q.z);
}

// The logarithm of the turn from a to b, as a vector (axis times half angle).
Point3 logOfTurn(const Quat& a, const Quat& b) {
    return vectorPart(LogN(Normalize(Inverse(a) * b)));
}

Quat expOf(const Point3& v) {
    return Exp(Quat(v.x, v.y, v.z, 0.0f));
}

} // namespace

Quat rotationSplineSegment(const std::vector<CurveKey<Quat>>& keys, size_t i, float u) {
    // The four keys around the segment, each on the hemisphere of the one before it, so every
    // relative turn is the short one.
    Quat from = Normalize(keys[i].value);
    Quat to = Normalize(keys[i + 1].value);
    to.MakeClosest(from);
    const bool hasBefore = i > 0;
    const bool hasAfter = i + 2 < keys.size();
    Quat previous = hasBefore ? Normalize(keys[i - 1].value) : from;
    previous.MakeClosest(from);
    Quat next = hasAfter ? Normalize(keys[i + 2].value) : to;
    next.MakeClosest(to);

    const Point3 span = logOfTurn(from, to);
    const double spanTicks = double(keys[i + 1].time) - double(keys[i].time);
    const Point3 before = hasBefore ? logOfTurn(previous, from) : span;
    const double beforeTicks =
        hasBefore ? double(keys[i].time) - double(keys[i - 1].time) : spanTicks;
    const Point3 after = hasAfter ? logOfTurn(to, next) : span;
    const double afterTicks =
        hasAfter ? double(keys[i + 2].time) - double(keys[i + 1].time) : spanTicks;

    TangentWeights fromWeights = tangentWeights(keys[i].tcb, beforeTicks, spanTicks);
    TangentWeights toWeights = tangentWeights(keys[i + 1].tcb, spanTicks, afterTicks);
    const Point3 outgoing = before * fromWeights.outgoingBefore + span * fromWeights.outgoingAfter;
    const Point3 incoming = span * toWeights.incomingBefore + after * toWeights.incomingAfter;

    // Inner points of the quadrangle: with Catmull-Rom tangents these are Shoemake's.
    const Quat a = from * expOf((outgoing - span) * 0.5f);
    const Quat b = to * expOf((span - incoming) * 0.5f);
    return Normalize(Squad(from, a, b, to, u));
}

} // namespace hostcore::detail
