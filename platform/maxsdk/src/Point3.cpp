#include "point3.h"
#include "color.h"

#include <cmath>

int Point3::MaxComponent() const {
    float ax = std::fabs(x), ay = std::fabs(y), az = std::fabs(z);
    if (ax >= ay) return ax >= az ? 0 : 2;
    return ay >= az ? 1 : 2;
}

int Point3::MinComponent() const {
    float ax = std::fabs(x), ay = std::fabs(y), az = std::fabs(z);
    if (ax <= ay) return ax <= az ? 0 : 2;
    return ay <= az ? 1 : 2;
}

Point3 Point3::Normalize() const {
    float length = Length();
    if (!(length > 0.0f)) return Point3(0.0f, 0.0f, 0.0f);
    return Point3(x / length, y / length, z / length);
}

Point3& Point3::Unify() {
    return *this = Normalize();
}

BYTE ColorChannelToByte(float value) {
    if (!(value > 0.0f)) return 0;
    if (value >= 1.0f) return 255;
    return BYTE(value * 255.0f + 0.5f);
}
