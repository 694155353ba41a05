#include "MathTestSupport.h"

#include <cmath>

namespace {

const float kPi = 3.14159265f;
const float kHalfRoot2 = 0.70710678f;

TEST(Quat, QuarterTurnAboutZHasTheLeftHandedReferenceValue) {
    Quat q(RotateZMatrix(kPi / 2));
    EXPECT_TRUE(rotationsNear(q, Quat(0, 0, -kHalfRoot2, kHalfRoot2), 1e-6f));
    Matrix3 back;
    q.MakeMatrix(back);
    EXPECT_TRUE(pointsNear(back.GetRow(0), Point3(0, 1, 0), 1e-6f));
    EXPECT_TRUE(pointsNear(back.GetRow(1), Point3(-1, 0, 0), 1e-6f));
    EXPECT_TRUE(pointsNear(back.GetRow(3), Point3(0, 0, 0), 0.0f));
}

TEST(Quat, MakeMatrixAcceptsNonUnitQuaternionsAndTransposesOnRequest) {
    Quat q = QFromAngAxis(0.8f, Point3(1, 2, 3));
    Matrix3 unit, doubled, transposed;
    q.MakeMatrix(unit);
    (q * 2.0f).MakeMatrix(doubled);
    q.MakeMatrix(transposed, true);
    EXPECT_TRUE(matricesNear(doubled, unit, 1e-6f));
    EXPECT_TRUE(matricesNear(unit * transposed, Matrix3(1),
                             1e-6f)); // a rotation's transpose is its inverse
}

TEST(Quat, AngleAxisTurnsClockwiseSeenFromTheAxisTip) {
    Quat q = QFromAngAxis(kPi / 2, Point3(0, 0, 1));
    EXPECT_TRUE(q.Equals(Quat(0, 0, kHalfRoot2, kHalfRoot2), 1e-6f));
    Matrix3 m;
    q.MakeMatrix(m);
    EXPECT_TRUE(pointsNear(Point3(1, 0, 0) * m, Point3(0, -1, 0), 1e-6f));

    float angle;
    Point3 axis;
    AngAxisFromQ(QFromAngAxis(1.2f, Point3(0, 3, 4)), &angle, axis);
    EXPECT_NEAR(angle, 1.2f, 1e-5f);
    EXPECT_TRUE(pointsNear(axis, Point3(0, 0.6f, 0.8f), 1e-6f));
    AngAxis aa(Quat(0, 0, 0, 1));
    EXPECT_EQ(aa.angle, 0.0f); // identity: no NaN axis
    EXPECT_TRUE(std::isfinite(aa.axis.x));
}

TEST(Quat, HamiltonProductFollowsTheDocumentedFormula) {
    // Half turns about X then Y: (0, 0, 1, 0) by the formula, the half turn about Z.
    Quat p(1, 0, 0, 0), q(0, 1, 0, 0);
    EXPECT_TRUE((p * q).Equals(Quat(0, 0, 1, 0), 0.0f));
    EXPECT_TRUE((p + q).Equals(p * q, 0.0f)); // the SDK's trap: + multiplies
    EXPECT_TRUE(p.Plus(q).Equals(Quat(1, 1, 0, 0), 0.0f));
    Quat r = p / q;
    EXPECT_TRUE((q * r).Equals(p, 1e-6f));
    Quat accumulated = p;
    accumulated *= q;
    EXPECT_TRUE(accumulated.Equals(p * q, 0.0f));
}

TEST(Quat, ProductOrderMatchesMatrixOrder) {
    RandomTransforms random(3);
    for (int i = 0; i < 100; ++i) {
        Matrix3 a = random.rotation(), b = random.rotation();
        EXPECT_TRUE(rotationsNear(Quat(a * b), Quat(a) * Quat(b), 1e-5f)) << i;
        Matrix3 back;
        Quat(a).MakeMatrix(back);
        EXPECT_TRUE(matricesNear(back, a, 1e-5f)) << i;
        Matrix3 rotated = TransMatrix(Point3(1, 2, 3));
        RotateMatrix(rotated, Quat(b));
        EXPECT_TRUE(matricesNear(rotated, TransMatrix(Point3(1, 2, 3)) * b, 1e-5f));
        Matrix3 preRotated = TransMatrix(Point3(1, 2, 3));
        PreRotateMatrix(preRotated, Quat(b));
        EXPECT_TRUE(matricesNear(preRotated, b * TransMatrix(Point3(1, 2, 3)), 1e-5f));
    }
}

TEST(Quat, ConjugateInverseAndNormalize) {
    Quat q(1, 2, 3, 4);
    EXPECT_TRUE(q.Conjugate().Equals(Quat(-1, -2, -3, 4), 0.0f));
    EXPECT_TRUE(Inverse(q).Equals(Quat(-1, -2, -3, 4) / 30.0f, 1e-7f));
    EXPECT_TRUE((q * Inverse(q)).IsIdentity());
    Quat zero(0, 0, 0, 0);
    zero.Normalize();
    EXPECT_TRUE(zero.IsIdentity());
    Quat far(0, 0, 0, 1), near(0.1f, 0, 0, -1);
    far.MakeClosest(near);
    EXPECT_EQ(far.w, -1.0f);
}

TEST(Quat, EulerAnglesApplyXFirst) {
    float angles[3] = {kPi / 2, 0, 0};
    Quat q;
    EulerToQuat(angles, q);
    EXPECT_TRUE(rotationsNear(q, Quat(-kHalfRoot2, 0, 0, kHalfRoot2), 1e-6f));
    // X first takes Y to Z, then Y's quarter turn takes Z to X.
    float both[3] = {kPi / 2, kPi / 2, 0};
    EulerToQuat(both, q);
    Matrix3 m;
    q.MakeMatrix(m);
    EXPECT_TRUE(pointsNear(Point3(0, 1, 0) * m, Point3(1, 0, 0), 1e-6f));

    RandomTransforms random(5);
    for (int i = 0; i < 100; ++i) {
        float original[3] = {random.uniform(-3.1f, 3.1f), random.uniform(-1.5f, 1.5f),
                             random.uniform(-3.1f, 3.1f)};
        float recovered[3];
        EulerToQuat(original, q);
        QuatToEuler(q, recovered);
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(recovered[k], original[k], 1e-4f) << i;
    }
}

TEST(Quat, SlerpFollowsTheArc) {
    Quat start(0, 0, 0, 1), end = QFromAngAxis(kPi / 2, Point3(0, 0, 1));
    Quat middle = Slerp(start, end, 0.5f);
    EXPECT_TRUE(middle.Equals(Quat(0, 0, std::sin(kPi / 8), std::cos(kPi / 8)), 1e-6f));
    EXPECT_TRUE(Slerp(start, end, 0.0f).Equals(start, 1e-6f));
    EXPECT_TRUE(Slerp(start, end, 1.0f).Equals(end, 1e-6f));
    // Exactly opposite ends: still unit all the way, still arriving at the end.
    Quat opposite = -start;
    for (float t : {0.25f, 0.5f, 1.0f}) {
        Quat q = Slerp(start, opposite, t);
        EXPECT_NEAR(q % q, 1.0f, 1e-5f);
    }
    EXPECT_TRUE(Slerp(start, opposite, 1.0f).Equals(opposite, 1e-5f));
}

TEST(Quat, LogAndExpAreInverse) {
    Quat q = QFromAngAxis(1.3f, Point3(1, -1, 2));
    EXPECT_TRUE(Exp(LogN(q)).Equals(q, 1e-6f));
    EXPECT_NEAR(LogN(q).w, 0.0f, 0.0f);
    EXPECT_NEAR(std::sqrt(LogN(q) % LogN(q)), 0.65f, 1e-6f); // half the angle
}

} // namespace
