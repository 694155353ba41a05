#include "quat.h"

#include <cmath>

namespace {

float clampUnit(float v) {
    return v > 1.0f ? 1.0f : (v < -1.0f ? -1.0f : v);
}

} // namespace

Quat::Quat(const Matrix3& mat) {
    Set(mat);
}
Quat::Quat(const AngAxis& aa) {
    Set(aa);
}

Quat& Quat::Set(float X, float Y, float Z, float W) {
    x = X;
    y = Y;
    z = Z;
    w = W;
    return *this;
}

Quat& Quat::Set(const Matrix3& mat) {
    // Inverts MakeMatrix: m[i][j] are the entries of the usual right-handed matrix of this
    // quaternion. Shepperd's method picks the largest of w, x, y, z to divide by.
    const Point3 r0 = mat.GetRow(0), r1 = mat.GetRow(1), r2 = mat.GetRow(2);
    double m00 = r0.x, m01 = r0.y, m02 = r0.z;
    double m10 = r1.x, m11 = r1.y, m12 = r1.z;
    double m20 = r2.x, m21 = r2.y, m22 = r2.z;
    double trace = m00 + m11 + m22;
    double qx, qy, qz, qw;
    if (trace > 0.0) {
        double s = std::sqrt(trace + 1.0) * 2.0; // 4w
        qw = 0.25 * s;
        qx = (m21 - m12) / s;
        qy = (m02 - m20) / s;
        qz = (m10 - m01) / s;
    } else if (m00 > m11 && m00 > m22) {
        double s = std::sqrt(1.0 + m00 - m11 - m22) * 2.0; // 4x
        qw = (m21 - m12) / s;
        qx = 0.25 * s;
        qy = (m01 + m10) / s;
        qz = (m02 + m20) / s;
    } else if (m11 > m22) {
        double s = std::sqrt(1.0 + m11 - m00 - m22) * 2.0; // 4y
        qw = (m02 - m20) / s;
        qx = (m01 + m10) / s;
        qy = 0.25 * s;
        qz = (m12 + m21) / s;
    } else {
        double s = std::sqrt(1.0 + m22 - m00 - m11) * 2.0; // 4z
        if (!(s > 0.0)) return Identity();                 // not a rotation at all (zero block)
        qw = (m10 - m01) / s;
        qx = (m02 + m20) / s;
        qy = (m12 + m21) / s;
        qz = 0.25 * s;
    }
    Set(float(qx), float(qy), float(qz), float(qw));
    Normalize();
    return *this;
}

Quat& Quat::Set(const AngAxis& aa) {
    return *this = QFromAngAxis(aa.angle, aa.axis);
}

Quat& Quat::SetEuler(float X, float Y, float Z) {
    float angles[3] = {X, Y, Z};
    EulerToQuat(angles, *this);
    return *this;
}

void Quat::GetEuler(float* X, float* Y, float* Z) const {
    float angles[3];
    QuatToEuler(*this, angles);
    *X = angles[0];
    *Y = angles[1];
    *Z = angles[2];
}

int Quat::IsIdentity() const {
    const float tolerance = 1E-6f;
    return std::fabs(x) <= tolerance && std::fabs(y) <= tolerance && std::fabs(z) <= tolerance &&
           std::fabs(std::fabs(w) - 1.0f) <= tolerance;
}

void Quat::Normalize() {
    float length = std::sqrt(x * x + y * y + z * z + w * w);
    if (!(length > 0.0f) || !std::isfinite(length)) {
        Identity();
        return;
    }
    x /= length;
    y /= length;
    z /= length;
    w /= length;
}

Quat Quat::Inverse() const {
    float normSquared = x * x + y * y + z * z + w * w;
    if (!(normSquared > 0.0f)) return Quat(0.0f, 0.0f, 0.0f, 0.0f);
    return Conjugate() / normSquared;
}

Quat Quat::LogN() const {
    // For a unit quaternion (v sin t, cos t): (v t, 0).
    float vectorLength = std::sqrt(x * x + y * y + z * z);
    if (vectorLength < 1E-12f) return Quat(0.0f, 0.0f, 0.0f, 0.0f);
    float theta = std::atan2(vectorLength, w);
    float factor = theta / vectorLength;
    return Quat(x * factor, y * factor, z * factor, 0.0f);
}

Quat Quat::Exp() const {
    float theta = std::sqrt(x * x + y * y + z * z);
    if (theta < 1E-12f) return Quat(x, y, z, 1.0f);
    float factor = std::sin(theta) / theta;
    return Quat(x * factor, y * factor, z * factor, std::cos(theta));
}

void Quat::MakeClosest(const Quat& qto) {
    if (*this % qto < 0.0f) *this = -*this;
}

void Quat::MakeMatrix(Matrix3& mat, bool flag) const {
    float normSquared = x * x + y * y + z * z + w * w;
    float s = normSquared > 0.0f ? 2.0f / normSquared : 0.0f;
    float rows[3][3] = {
        {1.0f - s * (y * y + z * z), s * (x * y - w * z), s * (x * z + w * y)},
        {s * (x * y + w * z), 1.0f - s * (x * x + z * z), s * (y * z - w * x)},
        {s * (x * z - w * y), s * (y * z + w * x), 1.0f - s * (x * x + y * y)},
    };
    for (int i = 0; i < 3; ++i)
        mat.SetRow(i, flag ? Point3(rows[0][i], rows[1][i], rows[2][i])
                           : Point3(rows[i][0], rows[i][1], rows[i][2]));
    mat.SetRow(3, Point3::Origin);
    mat.SetIdentFlags(POS_IDENT | SCL_IDENT);
}

Quat Quat::operator*(const Quat& q) const {
    return Quat(w * q.x + x * q.w + y * q.z - z * q.y, w * q.y + y * q.w + z * q.x - x * q.z,
                w * q.z + z * q.w + x * q.y - y * q.x, w * q.w - x * q.x - y * q.y - z * q.z);
}

Quat Quat::operator/(const Quat& q) const {
    return q.Inverse() * *this;
}

int Quat::Equals(const Quat& q, float epsilon) const {
    return std::fabs(x - q.x) <= epsilon && std::fabs(y - q.y) <= epsilon &&
           std::fabs(z - q.z) <= epsilon && std::fabs(w - q.w) <= epsilon;
}

AngAxis::AngAxis(const Quat& q) {
    Set(q);
}
AngAxis::AngAxis(const Matrix3& m) {
    Set(m);
}

AngAxis& AngAxis::Set(const Quat& q) {
    AngAxisFromQ(q, &angle, axis);
    return *this;
}

AngAxis& AngAxis::Set(const Matrix3& m) {
    return Set(Quat(m));
}

Quat Conjugate(const Quat& q) {
    return q.Conjugate();
}
Quat Inverse(const Quat& q) {
    return q.Inverse();
}
Quat LogN(const Quat& q) {
    return q.LogN();
}
Quat Exp(const Quat& q) {
    return q.Exp();
}

Quat Normalize(const Quat& q) {
    Quat result(q);
    result.Normalize();
    return result;
}

Quat Slerp(const Quat& p, const Quat& q, float t) {
    float cosine = clampUnit(p % q);
    if (cosine > 0.9999f) {
        // Nearly the same rotation: the arc is a line; normalising keeps the result a rotation.
        return Normalize(p.Plus((q.Minus(p)) * t));
    }
    if (cosine < -0.9999f) {
        // Opposite ends of the sphere: every great circle joins them; take the one through a
        // perpendicular quaternion, so that t = 1 still ends at q.
        Quat perpendicular(-p.y, p.x, -p.w, p.z);
        float a = std::sin((1.0f - 2.0f * t) * 3.14159265358979f / 2.0f);
        float b = std::sin(t * 3.14159265358979f);
        return (p * a).Plus(perpendicular * b);
    }
    float omega = std::acos(cosine);
    float sine = std::sin(omega);
    float a = std::sin((1.0f - t) * omega) / sine;
    float b = std::sin(t * omega) / sine;
    return (p * a).Plus(q * b); // Plus: binary + on Quat is the product
}

Quat Squad(const Quat& p, const Quat& a, const Quat& b, const Quat& q, float t) {
    return Slerp(Slerp(p, q, t), Slerp(a, b, t), 2.0f * t * (1.0f - t));
}

Quat QFromAngAxis(float ang, const Point3& axis) {
    Point3 unit = axis.Normalize();
    if (unit.LengthSquared() == 0.0f) return Quat(0.0f, 0.0f, 0.0f, 1.0f);
    float half = ang * 0.5f;
    float s = std::sin(half);
    return Quat(unit.x * s, unit.y * s, unit.z * s, std::cos(half));
}

void AngAxisFromQ(const Quat& q, float* ang, Point3& axis) {
    Quat unit = Normalize(q);
    float vectorLength = std::sqrt(unit.x * unit.x + unit.y * unit.y + unit.z * unit.z);
    if (vectorLength < 1E-7f) {
        *ang = 0.0f;
        axis = Point3::XAxis;
        return;
    }
    *ang = 2.0f * std::atan2(vectorLength, unit.w);
    axis = Point3(unit.x / vectorLength, unit.y / vectorLength, unit.z / vectorLength);
}

void PreRotateMatrix(Matrix3& mat, const Quat& q) {
    Matrix3 rotation;
    q.MakeMatrix(rotation);
    mat = rotation * mat;
}

void RotateMatrix(Matrix3& mat, const Quat& q) {
    Matrix3 rotation;
    q.MakeMatrix(rotation);
    mat = mat * rotation;
}

void EulerToQuat(const float* ang, Quat& q) {
    q = Quat(RotateXMatrix(ang[0]) * RotateYMatrix(ang[1]) * RotateZMatrix(ang[2]));
}

void QuatToEuler(const Quat& q, float* ang) {
    // M = Rx(a) * Ry(b) * Rz(c) has row 0 = (cb cc, cb sc, -sb), m[1][2] = sa cb, m[2][2] = ca cb.
    Matrix3 m;
    q.MakeMatrix(m);
    Point3 r0 = m.GetRow(0), r1 = m.GetRow(1), r2 = m.GetRow(2);
    float sinB = clampUnit(-r0.z);
    ang[1] = std::asin(sinB);
    if (std::fabs(sinB) < 0.99999f) {
        ang[0] = std::atan2(r1.z, r2.z);
        ang[2] = std::atan2(r0.y, r0.x);
    } else {
        // Gimbal lock: X and Z turn about the same axis; take it all as X (c = 0 gives
        // row 1 = (sa sb, ca, .), row 2 = (ca sb, -sa, .)).
        ang[2] = 0.0f;
        ang[0] = std::atan2(-r2.y, r1.y);
    }
}

void DecomposeMatrix(const Matrix3& mat, Point3& p, Quat& q, Point3& s) {
    p = mat.GetTrans();
    s = Point3(mat.GetRow(0).Length(), mat.GetRow(1).Length(), mat.GetRow(2).Length());
    float sign = mat.Parity() ? -1.0f : 1.0f;
    s *= sign;
    Matrix3 rotation(1);
    for (int i = 0; i < 3; ++i)
        rotation.SetRow(i, (mat.GetRow(i) * sign).Normalize());
    q = Quat(rotation);
}
