// Shared pieces of the capture tests: a fresh host scene per test and tolerant comparisons of
// host values.
#pragma once

#include "HostAssertions.h"
#include "SceneKit.h"
#include "capture/SceneCapture.h"

#include <gtest/gtest.h>

#include <cmath>

class CaptureTest : public ::testing::Test {
protected:
    void SetUp() override { hostcore::resetScene(); }
    void TearDown() override { hostcore::resetScene(); }

    std::unique_ptr<SceneSnapshot> capture(std::int32_t samplingFps = 0) const {
        SceneCapture capture;
        capture.samplingFps = samplingFps;
        return capture.captureScene(GetCOREInterface());
    }
};

// q and -q are the same rotation.
inline ::testing::AssertionResult sameRotation(const Quat& actual, const Quat& expected,
                                               float tolerance = 1e-4f) {
    const float dot = std::fabs(actual % expected);
    if (std::fabs(dot - 1.0f) <= tolerance) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "(" << actual.x << ", " << actual.y << ", " << actual.z << ", " << actual.w
           << ") is not the rotation (" << expected.x << ", " << expected.y << ", " << expected.z
           << ", " << expected.w << ")";
}

inline ::testing::AssertionResult matrixNear(const Matrix3& actual, const Matrix3& expected,
                                             float tolerance = 1e-4f) {
    for (int row = 0; row < 4; ++row) {
        auto near = pointNear(actual.GetRow(row), expected.GetRow(row), tolerance);
        if (!near) return near << " in row " << row;
    }
    return ::testing::AssertionSuccess();
}
