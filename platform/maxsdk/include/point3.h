// Point3: a point or vector of three floats. Vectors are row vectors; matrices act on the right
// (see matrix3.h).
#pragma once

#include <cmath>

class Point3 {
public:
    float x, y, z;

    // Uninitialised, as the SDK's value types are.
    Point3() = default;
    constexpr Point3(float X, float Y, float Z) : x(X), y(Y), z(Z) {}
    explicit Point3(const float af[3]) : x(af[0]), y(af[1]), z(af[2]) {}

    static const Point3 Origin;
    static const Point3 XAxis;
    static const Point3 YAxis;
    static const Point3 ZAxis;

    float& operator[](int i) { return i == 0 ? x : (i == 1 ? y : z); }
    const float& operator[](int i) const { return i == 0 ? x : (i == 1 ? y : z); }
    operator float*() { return &x; }

    Point3& Set(float X, float Y, float Z) {
        x = X;
        y = Y;
        z = Z;
        return *this;
    }

    float Length() const { return std::sqrt(x * x + y * y + z * z); }
    float LengthSquared() const { return x * x + y * y + z * z; }
    float FLength() const { return Length(); }
    int MaxComponent() const; // index of the component with the largest magnitude
    int MinComponent() const; // index of the component with the smallest magnitude

    // Unit vector along this one; the zero vector stays zero.
    Point3 Normalize() const;
    // Normalises in place (zero stays zero) and returns *this.
    Point3& Unify();

    Point3 operator-() const { return Point3(-x, -y, -z); }
    Point3 operator+() const { return *this; }

    Point3& operator+=(const Point3& p) {
        x += p.x;
        y += p.y;
        z += p.z;
        return *this;
    }
    Point3& operator-=(const Point3& p) {
        x -= p.x;
        y -= p.y;
        z -= p.z;
        return *this;
    }
    Point3& operator*=(float f) {
        x *= f;
        y *= f;
        z *= f;
        return *this;
    }
    Point3& operator/=(float f) {
        x /= f;
        y /= f;
        z /= f;
        return *this;
    }
    Point3& operator*=(const Point3& p) { // component-wise
        x *= p.x;
        y *= p.y;
        z *= p.z;
        return *this;
    }

    Point3 operator+(const Point3& p) const { return Point3(x + p.x, y + p.y, z + p.z); }
    Point3 operator-(const Point3& p) const { return Point3(x - p.x, y - p.y, z - p.z); }
    Point3 operator*(float f) const { return Point3(x * f, y * f, z * f); }
    Point3 operator/(float f) const { return Point3(x / f, y / f, z / f); }
    Point3 operator*(const Point3& p) const {
        return Point3(x * p.x, y * p.y, z * p.z);
    } // component-wise
    Point3 operator/(const Point3& p) const {
        return Point3(x / p.x, y / p.y, z / p.z);
    }                                         // component-wise
    Point3 operator^(const Point3& p) const { // cross product
        return Point3(y * p.z - z * p.y, z * p.x - x * p.z, x * p.y - y * p.x);
    }
    float operator%(const Point3& p) const { return x * p.x + y * p.y + z * p.z; } // dot product

    int operator==(const Point3& p) const { return x == p.x && y == p.y && z == p.z; }
    int operator!=(const Point3& p) const { return !(*this == p); }
    int Equals(const Point3& p, float epsilon = 1E-6f) const {
        return std::fabs(x - p.x) <= epsilon && std::fabs(y - p.y) <= epsilon &&
               std::fabs(z - p.z) <= epsilon;
    }
};

inline constexpr Point3 Point3::Origin(0.0f, 0.0f, 0.0f);
inline constexpr Point3 Point3::XAxis(1.0f, 0.0f, 0.0f);
inline constexpr Point3 Point3::YAxis(0.0f, 1.0f, 0.0f);
inline constexpr Point3 Point3::ZAxis(0.0f, 0.0f, 1.0f);

inline Point3 operator*(float f, const Point3& p) {
    return Point3(p.x * f, p.y * f, p.z * f);
}

inline float Length(const Point3& p) {
    return p.Length();
}
inline float LengthSquared(const Point3& p) {
    return p.LengthSquared();
}
inline float FLength(const Point3& p) {
    return p.Length();
}
inline int MaxComponent(const Point3& p) {
    return p.MaxComponent();
}
inline int MinComponent(const Point3& p) {
    return p.MinComponent();
}
inline Point3 Normalize(const Point3& p) {
    return p.Normalize();
}
inline Point3 FNormalize(const Point3& p) {
    return p.Normalize();
}
inline Point3 CrossProd(const Point3& a, const Point3& b) {
    return a ^ b;
}
inline float DotProd(const Point3& a, const Point3& b) {
    return a % b;
}

// Texture coordinates (u, v, w) and vertex colours (r, g, b) are stored as points.
typedef Point3 UVVert;
typedef Point3 VertColor;
