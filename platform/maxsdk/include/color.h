// Color (r, g, b) and AColor (r, g, b, a): floats, nominally 0..1.
#pragma once

#include "point3.h"
#include "wintypes.h"

// Packs and unpacks Win32 COLORREF values, 0x00BBGGRR (red in the low byte).
#ifndef RGB
#define RGB(r, g, b)                                                                               \
    ((COLORREF)(((BYTE)(r)) | (((WORD)(BYTE)(g)) << 8) | (((DWORD)(BYTE)(b)) << 16)))
#endif
#ifndef GetRValue
#define GetRValue(rgb) ((BYTE)(rgb))
#define GetGValue(rgb) ((BYTE)(((WORD)(rgb)) >> 8))
#define GetBValue(rgb) ((BYTE)((rgb) >> 16))
#endif

// A float in 0..1 as a byte, rounded; out-of-range values (and NaN) are clamped first.
BYTE ColorChannelToByte(float value);

class Color {
public:
    float r, g, b;

    Color() = default; // uninitialised
    constexpr Color(float R, float G, float B) : r(R), g(G), b(B) {}
    // Unpacks a COLORREF, each byte divided by 255.
    explicit Color(DWORD rgb)
        : r(GetRValue(rgb) / 255.0f), g(GetGValue(rgb) / 255.0f), b(GetBValue(rgb) / 255.0f) {}
    explicit Color(const Point3& p) : r(p.x), g(p.y), b(p.z) {}
    explicit Color(const float af[3]) : r(af[0]), g(af[1]), b(af[2]) {}

    // Packs the clamped channels into a COLORREF.
    DWORD toRGB() const {
        return RGB(ColorChannelToByte(r), ColorChannelToByte(g), ColorChannelToByte(b));
    }
    operator DWORD() const { return toRGB(); }
    operator Point3() const { return Point3(r, g, b); }

    void Black() { r = g = b = 0.0f; }
    void White() { r = g = b = 1.0f; }
    void ClampMinMax() {
        r = clamp(r);
        g = clamp(g);
        b = clamp(b);
    }

    float& operator[](int i) { return i == 0 ? r : (i == 1 ? g : b); }
    const float& operator[](int i) const { return i == 0 ? r : (i == 1 ? g : b); }

    Color operator-() const { return Color(-r, -g, -b); }
    Color operator+(const Color& c) const { return Color(r + c.r, g + c.g, b + c.b); }
    Color operator-(const Color& c) const { return Color(r - c.r, g - c.g, b - c.b); }
    Color operator*(const Color& c) const { return Color(r * c.r, g * c.g, b * c.b); }
    Color operator*(float f) const { return Color(r * f, g * f, b * f); }
    Color operator/(float f) const { return Color(r / f, g / f, b / f); }
    Color& operator+=(const Color& c) {
        r += c.r;
        g += c.g;
        b += c.b;
        return *this;
    }
    Color& operator*=(float f) {
        r *= f;
        g *= f;
        b *= f;
        return *this;
    }
    int operator==(const Color& c) const { return r == c.r && g == c.g && b == c.b; }
    int operator!=(const Color& c) const { return !(*this == c); }

private:
    static float clamp(float v) { return v > 0.0f ? (v < 1.0f ? v : 1.0f) : 0.0f; } // NaN gives 0
};

inline Color operator*(float f, const Color& c) {
    return c * f;
}

class AColor {
public:
    float r, g, b, a;

    AColor() = default; // uninitialised
    constexpr AColor(float R, float G, float B, float A = 1.0f) : r(R), g(G), b(B), a(A) {}
    AColor(const Color& c, float alpha = 1.0f) : r(c.r), g(c.g), b(c.b), a(alpha) {}
    // Unpacks a COLORREF; alpha comes separately.
    explicit AColor(DWORD rgb, float alpha = 1.0f)
        : r(GetRValue(rgb) / 255.0f), g(GetGValue(rgb) / 255.0f), b(GetBValue(rgb) / 255.0f),
          a(alpha) {}

    DWORD toRGB() const { return Color(r, g, b).toRGB(); }
    operator Color() const { return Color(r, g, b); }

    float& operator[](int i) { return i == 0 ? r : (i == 1 ? g : (i == 2 ? b : a)); }
    const float& operator[](int i) const { return i == 0 ? r : (i == 1 ? g : (i == 2 ? b : a)); }

    AColor operator+(const AColor& c) const { return AColor(r + c.r, g + c.g, b + c.b, a + c.a); }
    AColor operator-(const AColor& c) const { return AColor(r - c.r, g - c.g, b - c.b, a - c.a); }
    AColor operator*(float f) const { return AColor(r * f, g * f, b * f, a * f); }
    int operator==(const AColor& c) const { return r == c.r && g == c.g && b == c.b && a == c.a; }
    int operator!=(const AColor& c) const { return !(*this == c); }
};
