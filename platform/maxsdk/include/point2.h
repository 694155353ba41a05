// Point2: a point or vector of two floats.
#pragma once

#include <cmath>

class Point2 {
public:
    float x, y;

    Point2() = default; // uninitialised
    constexpr Point2(float X, float Y) : x(X), y(Y) {}

    float& operator[](int i) { return i == 0 ? x : y; }
    const float& operator[](int i) const { return i == 0 ? x : y; }

    float Length() const { return std::sqrt(x * x + y * y); }
    // Unit vector along this one; the zero vector stays zero.
    Point2 Normalize() const {
        float length = Length();
        return length > 0.0f ? Point2(x / length, y / length) : Point2(0.0f, 0.0f);
    }

    Point2 operator-() const { return Point2(-x, -y); }
    Point2& operator+=(const Point2& p) {
        x += p.x;
        y += p.y;
        return *this;
    }
    Point2& operator-=(const Point2& p) {
        x -= p.x;
        y -= p.y;
        return *this;
    }
    Point2& operator*=(float f) {
        x *= f;
        y *= f;
        return *this;
    }
    Point2 operator+(const Point2& p) const { return Point2(x + p.x, y + p.y); }
    Point2 operator-(const Point2& p) const { return Point2(x - p.x, y - p.y); }
    Point2 operator*(float f) const { return Point2(x * f, y * f); }
    Point2 operator/(float f) const { return Point2(x / f, y / f); }
    float operator%(const Point2& p) const { return x * p.x + y * p.y; } // dot product
    int operator==(const Point2& p) const { return x == p.x && y == p.y; }
    int operator!=(const Point2& p) const { return !(*this == p); }
};

inline Point2 operator*(float f, const Point2& p) {
    return p * f;
}
inline float DotProd(const Point2& a, const Point2& b) {
    return a % b;
}
