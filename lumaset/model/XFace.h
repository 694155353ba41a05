// One polygon of an X mesh, as the per-corner face lists hold it.
#pragma once

#include <array>
#include <cstdint>

// A polygon of three (triangle) or four (quad) corners. Slots at and beyond cornerCount carry no
// meaning; faces this code makes hold 0 there.
struct XFace {
    std::uint32_t cornerCount = 3;
    std::array<std::uint32_t, 4> indices = {0, 0, 0, 0};
    friend bool operator==(const XFace&, const XFace&) = default;
};
