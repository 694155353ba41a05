// Shared pieces of the host core's tests: a fresh scene per test and tolerant comparisons.
#pragma once

#include <gtest/gtest.h>

#include <cmath>

#include "HostAssertions.h"
#include "hostcore.h"
#include "matrix3.h"
#include "point3.h"
#include "quat.h"

// Each test starts from a new, empty scene with animate mode off.
class HostSceneTest : public ::testing::Test {
protected:
    void SetUp() override { hostcore::resetScene(); }
    void TearDown() override { hostcore::resetScene(); }
};

// q and -q are the same rotation.
inline ::testing::AssertionResult quatNear(const Quat& actual, const Quat& expected,
                                           float tolerance = 1e-4f) {
    float same = std::fabs(actual.x - expected.x) + std::fabs(actual.y - expected.y) +
                 std::fabs(actual.z - expected.z) + std::fabs(actual.w - expected.w);
    float opposite = std::fabs(actual.x + expected.x) + std::fabs(actual.y + expected.y) +
                     std::fabs(actual.z + expected.z) + std::fabs(actual.w + expected.w);
    if (same <= 4 * tolerance || opposite <= 4 * tolerance) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "(" << actual.x << ", " << actual.y << ", " << actual.z << ", " << actual.w
           << ") is not (" << expected.x << ", " << expected.y << ", " << expected.z << ", "
           << expected.w << ") up to sign";
}

inline ::testing::AssertionResult matrixNear(const Matrix3& actual, const Matrix3& expected,
                                             float tolerance = 1e-4f) {
    for (int row = 0; row < 4; ++row) {
        ::testing::AssertionResult rowResult =
            pointNear(actual.GetRow(row), expected.GetRow(row), tolerance);
        if (!rowResult) return rowResult << " in row " << row;
    }
    return ::testing::AssertionSuccess();
}
