// Tolerant comparisons of the host's value types for GoogleTest, shared by the tests that build
// host scenes.
#pragma once

#include <gtest/gtest.h>

#include <cmath>

#include "point3.h"

inline ::testing::AssertionResult pointNear(const Point3& actual, const Point3& expected,
                                            float tolerance = 1e-4f) {
    if (std::fabs(actual.x - expected.x) <= tolerance &&
        std::fabs(actual.y - expected.y) <= tolerance &&
        std::fabs(actual.z - expected.z) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "(" << actual.x << ", " << actual.y << ", " << actual.z << ") is not (" << expected.x
           << ", " << expected.y << ", " << expected.z << ")";
}
