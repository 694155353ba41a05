// ScaleValue: scale factors s and the axis frame q they act in.
#pragma once

#include "matrix3.h"
#include "point3.h"
#include "quat.h"

class ScaleValue {
public:
    Point3 s;
    Quat q;

    ScaleValue() = default; // uninitialised
    ScaleValue(const Point3& factors) : s(factors), q(0.0f, 0.0f, 0.0f, 1.0f) {}
    ScaleValue(const Point3& factors, const Quat& frame) : s(factors), q(frame) {}

    float& operator[](int i) { return s[i]; }
    const float& operator[](int i) const { return s[i]; }
};

// Scales are multiplicative: + multiplies the factors (keeping the left frame), - divides them.
inline ScaleValue operator+(const ScaleValue& a, const ScaleValue& b) {
    return ScaleValue(a.s * b.s, a.q);
}
inline ScaleValue operator-(const ScaleValue& a, const ScaleValue& b) {
    return ScaleValue(a.s / b.s, a.q);
}
inline ScaleValue operator*(const ScaleValue& a, float f) {
    return ScaleValue(a.s * f, a.q);
}
inline ScaleValue operator*(float f, const ScaleValue& a) {
    return ScaleValue(a.s * f, a.q);
}

// m = Inverse(Rq) * ScaleMatrix(v.s) * Rq * m, Rq the rotation of v.q: pre-multiplies by the
// scale acting in q's frame.
void ApplyScaling(Matrix3& m, const ScaleValue& v);
