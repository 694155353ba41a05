// Comparisons and random transforms shared by the host math tests.
#pragma once

#include "max.h"

#include <gtest/gtest.h>

#include <random>

inline ::testing::AssertionResult matricesNear(const Matrix3& actual, const Matrix3& expected,
                                               float tolerance) {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 3; ++j)
            if (!(std::fabs(actual.GetRow(i)[j] - expected.GetRow(i)[j]) <= tolerance))
                return ::testing::AssertionFailure()
                       << "m[" << i << "][" << j << "] is " << actual.GetRow(i)[j] << ", expected "
                       << expected.GetRow(i)[j];
    return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult pointsNear(const Point3& actual, const Point3& expected,
                                             float tolerance) {
    if (actual.Equals(expected, tolerance)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "(" << actual.x << ", " << actual.y << ", " << actual.z << ") vs (" << expected.x
           << ", " << expected.y << ", " << expected.z << ")";
}

// q and -q are the same rotation.
inline ::testing::AssertionResult rotationsNear(const Quat& actual, const Quat& expected,
                                                float tolerance) {
    if (actual.Equals(expected, tolerance) || actual.Equals(-expected, tolerance))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "(" << actual.x << ", " << actual.y << ", " << actual.z << ", " << actual.w
           << ") vs (" << expected.x << ", " << expected.y << ", " << expected.z << ", "
           << expected.w << ")";
}

class RandomTransforms {
public:
    explicit RandomTransforms(unsigned seed) : engine(seed) {}

    float uniform(float low, float high) {
        return std::uniform_real_distribution<float>(low, high)(engine);
    }
    Point3 point(float range) {
        return Point3(uniform(-range, range), uniform(-range, range), uniform(-range, range));
    }
    Point3 factors(float low, float high) {
        return Point3(uniform(low, high), uniform(low, high), uniform(low, high));
    }
    // Any rotation: three turns about the world axes.
    Matrix3 rotation() {
        const float pi = 3.14159265f;
        return RotateXMatrix(uniform(-pi, pi)) * RotateYMatrix(uniform(-pi, pi)) *
               RotateZMatrix(uniform(-pi, pi));
    }

private:
    std::mt19937 engine;
};
