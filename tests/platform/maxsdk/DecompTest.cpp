#include "MathTestSupport.h"

#include <algorithm>
#include <cmath>

namespace {

Matrix3 rotationOf(const Quat& q) {
    Matrix3 m;
    q.MakeMatrix(m);
    return m;
}

// A = Inverse(U) * K * U * Q * F * T.
Matrix3 recompose(const AffineParts& parts) {
    Matrix3 u = rotationOf(parts.u);
    return Inverse(u) * ScaleMatrix(parts.k) * u * rotationOf(parts.q) *
           ScaleMatrix(Point3(parts.f, parts.f, parts.f)) * TransMatrix(parts.t);
}

void expectWellFormed(const AffineParts& parts) {
    EXPECT_NEAR(parts.q % parts.q, 1.0f, 1e-5f);
    EXPECT_NEAR(parts.u % parts.u, 1.0f, 1e-5f);
    EXPECT_GE(parts.q.w, 0.0f);
    EXPECT_GE(parts.u.w, 0.0f);
    for (int i = 0; i < 3; ++i)
        EXPECT_GE(parts.k[i], 0.0f);
    EXPECT_TRUE(parts.f == 1.0f || parts.f == -1.0f);
}

TEST(DecompAffine, AxisScaleRotationAndTranslationComeBackAsGiven) {
    Matrix3 a = ScaleMatrix(Point3(2, 3, 4)) * RotateZMatrix(0.5f) * TransMatrix(Point3(1, 2, 3));
    AffineParts parts;
    decomp_affine(a, &parts);
    expectWellFormed(parts);
    EXPECT_TRUE(pointsNear(parts.t, Point3(1, 2, 3), 0.0f));
    EXPECT_TRUE(pointsNear(parts.k, Point3(2, 3, 4), 1e-5f));
    EXPECT_TRUE(rotationsNear(parts.u, Quat(0, 0, 0, 1), 1e-5f));
    // Left-handed quaternion of a right-handed turn of 0.5 about Z: w = cos 0.25, z = -sin 0.25.
    EXPECT_TRUE(rotationsNear(parts.q, Quat(0, 0, -std::sin(0.25f), std::cos(0.25f)), 1e-5f));
    EXPECT_EQ(parts.f, 1.0f);
}

TEST(DecompAffine, MirrorGivesNegativeSignAndPositiveFactors) {
    // -ScaleMatrix(-1, 1, 1) = diag(1, -1, -1): the half turn about X.
    AffineParts parts;
    decomp_affine(ScaleMatrix(Point3(-1, 1, 1)) * TransMatrix(Point3(4, 5, 6)), &parts);
    expectWellFormed(parts);
    EXPECT_EQ(parts.f, -1.0f);
    EXPECT_TRUE(pointsNear(parts.k, Point3(1, 1, 1), 1e-6f));
    EXPECT_TRUE(rotationsNear(parts.q, Quat(1, 0, 0, 0), 1e-6f));
    EXPECT_TRUE(pointsNear(parts.t, Point3(4, 5, 6), 0.0f));
}

TEST(DecompAffine, RandomTransformsRecompose) {
    RandomTransforms random(2026);
    for (int i = 0; i < 300; ++i) {
        // Uniform scale, axis scale, scale under rotation (off-axis stretch), each also mirrored.
        Point3 factors = random.factors(0.05f, 20.0f);
        Matrix3 stretchFrame = random.rotation();
        Matrix3 stretch;
        switch (i % 3) {
        case 0:
            stretch = ScaleMatrix(Point3(factors.x, factors.x, factors.x));
            break;
        case 1:
            stretch = ScaleMatrix(factors);
            break;
        default:
            stretch = Inverse(stretchFrame) * ScaleMatrix(factors) * stretchFrame;
            break;
        }
        float sign = (i / 3) % 2 == 0 ? 1.0f : -1.0f;
        Matrix3 rotation = random.rotation();
        Matrix3 a = stretch * rotation * ScaleMatrix(Point3(sign, sign, sign)) *
                    TransMatrix(random.point(500.0f));

        AffineParts parts;
        decomp_affine(a, &parts);
        expectWellFormed(parts);
        EXPECT_EQ(parts.f, sign) << i;
        float scale = std::max({factors.x, factors.y, factors.z});
        EXPECT_TRUE(matricesNear(recompose(parts), a, 2e-5f * std::max(scale, 500.0f))) << i;
        // The parts are the polar factors themselves, not just some product equal to A.
        Matrix3 u = rotationOf(parts.u);
        EXPECT_TRUE(matricesNear(Inverse(u) * ScaleMatrix(parts.k) * u, stretch, 2e-5f * scale))
            << i;
        EXPECT_TRUE(matricesNear(rotationOf(parts.q), rotation, 1e-4f)) << i;
        if (i % 3 != 0) {
            float expected[3] = {factors.x, factors.y, factors.z},
                  found[3] = {parts.k.x, parts.k.y, parts.k.z};
            std::sort(expected, expected + 3);
            std::sort(found, found + 3);
            for (int k = 0; k < 3; ++k)
                EXPECT_NEAR(found[k], expected[k], 1e-5f * scale) << i;
        }
    }
}

TEST(DecompAffine, FlatAndZeroMatricesDecomposeWithoutNaN) {
    const Matrix3 cases[] = {
        ScaleMatrix(Point3(2, 0, 3)) * RotateXMatrix(0.7f) * TransMatrix(Point3(1, 1, 1)),
        ScaleMatrix(Point3(0, 0, 3)) * RotateYMatrix(-1.2f),
        Matrix3(FALSE),
    };
    for (const Matrix3& a : cases) {
        AffineParts parts;
        decomp_affine(a, &parts);
        expectWellFormed(parts);
        EXPECT_EQ(parts.f, 1.0f);
        EXPECT_TRUE(matricesNear(recompose(parts), a, 1e-5f));
    }
}

TEST(DecompAffine, InvertedPartsRecomposeTheInverse) {
    RandomTransforms random(99);
    for (int i = 0; i < 100; ++i) {
        Matrix3 frame = random.rotation();
        float sign = i % 2 ? -1.0f : 1.0f;
        Matrix3 a = Inverse(frame) * ScaleMatrix(random.factors(0.5f, 4.0f)) * frame *
                    random.rotation() * ScaleMatrix(Point3(sign, sign, sign)) *
                    TransMatrix(random.point(10.0f));
        AffineParts parts, inverse;
        decomp_affine(a, &parts);
        invert_affine(&parts, &inverse);
        EXPECT_TRUE(matricesNear(recompose(inverse), Inverse(a), 1e-4f)) << i;
    }
}

TEST(DecompAffine, ApplyScalingUsesTheStretchFrame) {
    Matrix3 frame = RotateXMatrix(0.3f) * RotateZMatrix(1.1f);
    Matrix3 stretch = Inverse(frame) * ScaleMatrix(Point3(1, 2, 5)) * frame;
    AffineParts parts;
    decomp_affine(stretch, &parts);
    Matrix3 rebuilt(1);
    ApplyScaling(rebuilt, ScaleValue(parts.k, parts.u));
    EXPECT_TRUE(matricesNear(rebuilt, stretch, 1e-5f));

    Matrix3 m = TransMatrix(Point3(1, 2, 3));
    ApplyScaling(m, ScaleValue(Point3(2, 3, 4)));
    EXPECT_TRUE(
        matricesNear(m, ScaleMatrix(Point3(2, 3, 4)) * TransMatrix(Point3(1, 2, 3)), 1e-6f));
}

TEST(DecompAffine, SpectralDecompositionOfASymmetricMatrix) {
    Matrix3 frame = RotateYMatrix(0.6f);
    Point3 s;
    Quat q;
    SpectralDecomp(Inverse(frame) * ScaleMatrix(Point3(3, 1, 2)) * frame, s, q);
    Matrix3 u = rotationOf(q);
    EXPECT_TRUE(matricesNear(Inverse(u) * ScaleMatrix(s) * u,
                             Inverse(frame) * ScaleMatrix(Point3(3, 1, 2)) * frame, 1e-5f));
}

TEST(DecomposeMatrix, SplitsScaleAlongTheRotatedAxes) {
    Point3 p, s;
    Quat q;
    DecomposeMatrix(
        ScaleMatrix(Point3(2, 3, 4)) * RotateXMatrix(0.4f) * TransMatrix(Point3(7, 8, 9)), p, q, s);
    EXPECT_TRUE(pointsNear(p, Point3(7, 8, 9), 0.0f));
    EXPECT_TRUE(pointsNear(s, Point3(2, 3, 4), 1e-5f));
    EXPECT_TRUE(rotationsNear(q, Quat(RotateXMatrix(0.4f)), 1e-6f));
}

} // namespace
