// Point4: four floats; Matrix3 uses it for a column (the fourth entry is the translation row's).
#pragma once

#include "point3.h"

class Point4 {
public:
    float x, y, z, w;

    Point4() = default; // uninitialised
    constexpr Point4(float X, float Y, float Z, float W) : x(X), y(Y), z(Z), w(W) {}
    Point4(const Point3& p, float W) : x(p.x), y(p.y), z(p.z), w(W) {}

    float& operator[](int i) { return i == 0 ? x : (i == 1 ? y : (i == 2 ? z : w)); }
    const float& operator[](int i) const { return i == 0 ? x : (i == 1 ? y : (i == 2 ? z : w)); }

    Point4 operator+(const Point4& p) const { return Point4(x + p.x, y + p.y, z + p.z, w + p.w); }
    Point4 operator-(const Point4& p) const { return Point4(x - p.x, y - p.y, z - p.z, w - p.w); }
    Point4 operator*(float f) const { return Point4(x * f, y * f, z * f, w * f); }
    float operator%(const Point4& p) const { return x * p.x + y * p.y + z * p.z + w * p.w; }
    int operator==(const Point4& p) const { return x == p.x && y == p.y && z == p.z && w == p.w; }
    int operator!=(const Point4& p) const { return !(*this == p); }
};
