// Quat: a rotation quaternion (x, y, z, w), and AngAxis: a rotation as axis and angle.
//
// Both follow the LEFT-hand rule: with row vectors, a unit quaternion with axis a and angle t
// (vector part a*sin(t/2), w = cos(t/2)) turns points clockwise by t seen from the tip of a.
// For a row-vector matrix M, Quat(M) is the conjugate of the usual right-handed quaternion.
// Quaternion order matches matrix order: Quat(A * B) equals Quat(A) * Quat(B) up to sign, so
// p * q means "rotate by p, then by q". q and -q are the same rotation.
#pragma once

#include "matrix3.h"
#include "point3.h"

class AngAxis;

class Quat {
public:
    float x, y, z, w;

    Quat() = default; // uninitialised
    constexpr Quat(float X, float Y, float Z, float W) : x(X), y(Y), z(Z), w(W) {}
    explicit Quat(const float af[4]) : x(af[0]), y(af[1]), z(af[2]), w(af[3]) {}
    Quat(const Point3& v, float W) : x(v.x), y(v.y), z(v.z), w(W) {}
    // The rotation of the 3x3 part, which must have orthonormal rows with positive determinant
    // (scale is not removed). Unit result.
    explicit Quat(const Matrix3& mat);
    explicit Quat(const AngAxis& aa);

    float& operator[](int i) { return i == 0 ? x : (i == 1 ? y : (i == 2 ? z : w)); }
    const float& operator[](int i) const { return i == 0 ? x : (i == 1 ? y : (i == 2 ? z : w)); }
    operator float*() { return &x; }

    Quat& Set(float X, float Y, float Z, float W);
    Quat& Set(const Matrix3& mat);
    Quat& Set(const AngAxis& aa);
    Quat& SetEuler(float X, float Y, float Z); // as EulerToQuat
    void GetEuler(float* X, float* Y, float* Z) const;

    Quat& Identity() { return Set(0.0f, 0.0f, 0.0f, 1.0f); }
    int IsIdentity() const; // (0, 0, 0, +-1) within float tolerance
    void Normalize();       // to unit length; the zero quaternion becomes the identity
    void Invert() { *this = Inverse(); }
    Quat Conjugate() const { return Quat(-x, -y, -z, w); }
    Quat Inverse() const; // conjugate over squared norm; the zero quaternion stays zero
    Quat LogN() const;
    Quat Exp() const;
    void MakeClosest(const Quat& qto); // negate when the 4-D dot with qto is negative

    // Writes the rotation matrix (see the file comment), translation zero. `flag` writes the 3x3
    // block transposed. q need not be unit; the zero quaternion gives the identity.
    void MakeMatrix(Matrix3& mat, bool flag = false) const;

    Point3 Vector() const { return Point3(x, y, z); }
    float Scalar() const { return w; }

    Quat operator-() const { return Quat(-x, -y, -z, -w); }
    Quat operator*(const Quat& q) const; // Hamilton product: this, then q
    Quat operator/(const Quat& q) const; // r with q * r == *this
    Quat& operator*=(const Quat& q) { return *this = *this * q; }
    Quat& operator/=(const Quat& q) { return *this = *this / q; }
    Quat operator*(float f) const { return Quat(x * f, y * f, z * f, w * f); }
    Quat operator/(float f) const { return Quat(x / f, y / f, z / f, w / f); }
    Quat& operator*=(float f) { return *this = *this * f; }
    // The SDK's trap, kept for source compatibility: binary + is the product and binary - the
    // quotient. Plus() and Minus() are the component-wise ones.
    Quat operator+(const Quat& q) const { return *this * q; }
    Quat operator-(const Quat& q) const { return *this / q; }
    Quat& operator+=(const Quat& q) { return *this *= q; }
    Quat& operator-=(const Quat& q) { return *this /= q; }
    Quat Plus(const Quat& q) const { return Quat(x + q.x, y + q.y, z + q.z, w + q.w); }
    Quat Minus(const Quat& q) const { return Quat(x - q.x, y - q.y, z - q.z, w - q.w); }
    float operator%(const Quat& q) const {
        return x * q.x + y * q.y + z * q.z + w * q.w;
    } // 4-D dot

    int operator==(const Quat& q) const { return x == q.x && y == q.y && z == q.z && w == q.w; }
    int operator!=(const Quat& q) const { return !(*this == q); }
    int Equals(const Quat& q, float epsilon = 1E-6f) const; // element-wise, sign included
};

inline Quat operator*(float f, const Quat& q) {
    return q * f;
}

class AngAxis {
public:
    Point3 axis;
    float angle; // radians, left-hand rule (see quat.h's file comment)

    AngAxis() = default; // uninitialised
    AngAxis(const Point3& a, float ang) : axis(a), angle(ang) {}
    AngAxis(float X, float Y, float Z, float ang) : axis(X, Y, Z), angle(ang) {}
    explicit AngAxis(const Quat& q);
    explicit AngAxis(const Matrix3& m);

    AngAxis& Set(const Point3& a, float ang) {
        axis = a;
        angle = ang;
        return *this;
    }
    AngAxis& Set(const Quat& q);
    AngAxis& Set(const Matrix3& m);
};

Quat Conjugate(const Quat& q);
Quat Inverse(const Quat& q);
Quat Normalize(const Quat& q);
Quat LogN(const Quat& q);
Quat Exp(const Quat& q);
// Shoemake's spherical interpolation from p (t = 0) to q (t = 1) along the arc between the two
// as given: call MakeClosest first for the shorter way.
Quat Slerp(const Quat& p, const Quat& q, float t);
// Spherical quadrangle interpolation between p and q with inner control points a and b.
Quat Squad(const Quat& p, const Quat& a, const Quat& b, const Quat& q, float t);

// Rotation by `ang` radians (left-hand rule) about `axis`; a zero axis gives the identity.
Quat QFromAngAxis(float ang, const Point3& axis);
// Angle in 0..2pi (left-hand rule) and unit axis of q; the identity gives angle 0 about X.
void AngAxisFromQ(const Quat& q, float* ang, Point3& axis);

void PreRotateMatrix(Matrix3& mat, const Quat& q); // mat = R(q) * mat
void RotateMatrix(Matrix3& mat, const Quat& q);    // mat = mat * R(q)

// ang[0..2] are X, Y, Z angles in radians: the quaternion of
// RotateXMatrix(ang[0]) * RotateYMatrix(ang[1]) * RotateZMatrix(ang[2]) (X applied first).
void EulerToQuat(const float* ang, Quat& q);
// Inverse of EulerToQuat; ang[1] in -pi/2..pi/2, and ang[2] zero at ang[1] = +-pi/2.
void QuatToEuler(const Quat& q, float* ang);

// Splits a matrix into translation, rotation and per-axis scale (row lengths). Correct only when
// the scale acts along the rotated axes; a mirrored matrix gets all three factors negative.
// Use decomp_affine (decomp.h) for the general case.
void DecomposeMatrix(const Matrix3& mat, Point3& p, Quat& q, Point3& s);
