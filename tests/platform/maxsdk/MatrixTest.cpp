#include "MathTestSupport.h"

namespace {

const float kPi = 3.14159265f;

TEST(Matrix3, RotationsFollowTheRightHandRuleOnRowVectors) {
    EXPECT_TRUE(pointsNear(Point3(1, 0, 0) * RotateZMatrix(kPi / 2), Point3(0, 1, 0), 1e-6f));
    EXPECT_TRUE(pointsNear(Point3(0, 1, 0) * RotateXMatrix(kPi / 2), Point3(0, 0, 1), 1e-6f));
    EXPECT_TRUE(pointsNear(Point3(0, 0, 1) * RotateYMatrix(kPi / 2), Point3(1, 0, 0), 1e-6f));
    Point3 zAxis(0, 0, 1);
    EXPECT_TRUE(matricesNear(RotAngleAxisMatrix(zAxis, 0.7f), RotateZMatrix(0.7f), 1e-6f));
}

TEST(Matrix3, ProductAppliesTheLeftMatrixFirst) {
    // (1, 0, 0) moved by (1, 2, 3) is (2, 2, 3); a quarter turn about Z then gives (-2, 2, 3).
    Matrix3 moveThenTurn = TransMatrix(Point3(1, 2, 3)) * RotateZMatrix(kPi / 2);
    EXPECT_TRUE(pointsNear(Point3(1, 0, 0) * moveThenTurn, Point3(-2, 2, 3), 1e-5f));
    EXPECT_TRUE(pointsNear(moveThenTurn * Point3(1, 0, 0), Point3(-2, 2, 3),
                           1e-5f)); // operand order is free
    Matrix3 accumulated = TransMatrix(Point3(1, 2, 3));
    accumulated *= RotateZMatrix(kPi / 2);
    EXPECT_TRUE(matricesNear(accumulated, moveThenTurn, 0.0f));
}

TEST(Matrix3, VectorTransformIgnoresTheTranslation) {
    Matrix3 m = ScaleMatrix(Point3(2, 3, 4)) * TransMatrix(Point3(10, 20, 30));
    EXPECT_TRUE(pointsNear(VectorTransform(m, Point3(1, 1, 1)), Point3(2, 3, 4), 0.0f));
    EXPECT_TRUE(pointsNear(VectorTransform(Point3(1, 1, 1), m), Point3(2, 3, 4), 0.0f));
    EXPECT_TRUE(pointsNear(m.PointTransform(Point3(1, 1, 1)), Point3(12, 23, 34), 0.0f));
}

TEST(Matrix3, YawPitchRollTurnAboutZThenXThenY) {
    // Pitch takes Z to -Y; yaw about Y then leaves -Y alone. The other order would give +X.
    Matrix3 m;
    m.SetRotate(kPi / 2, kPi / 2, 0.0f);
    EXPECT_TRUE(pointsNear(Point3(0, 0, 1) * m, Point3(0, -1, 0), 1e-6f));
    EXPECT_TRUE(matricesNear(RotateYPRMatrix(0.3f, -0.2f, 1.1f),
                             RotateZMatrix(1.1f) * RotateXMatrix(-0.2f) * RotateYMatrix(0.3f),
                             1e-6f));

    RandomTransforms random(7);
    for (int i = 0; i < 100; ++i) {
        float yaw = random.uniform(-3.1f, 3.1f), pitch = random.uniform(-1.5f, 1.5f),
              roll = random.uniform(-3.1f, 3.1f);
        float yaw2, pitch2, roll2;
        RotateYPRMatrix(yaw, pitch, roll).GetYawPitchRoll(&yaw2, &pitch2, &roll2);
        EXPECT_NEAR(yaw2, yaw, 1e-4f);
        EXPECT_NEAR(pitch2, pitch, 1e-4f);
        EXPECT_NEAR(roll2, roll, 1e-4f);
    }
}

TEST(Matrix3, PreAndPostOperationsMultiplyOnTheirSide) {
    Matrix3 turned = RotateZMatrix(kPi / 2);
    Matrix3 pre = turned, post = turned;
    pre.PreTranslate(Point3(1, 0, 0)); // moved along X, then turned: ends at +Y
    post.Translate(Point3(1, 0, 0));
    EXPECT_TRUE(pointsNear(pre.GetTrans(), Point3(0, 1, 0), 1e-6f));
    EXPECT_TRUE(pointsNear(post.GetTrans(), Point3(1, 0, 0), 0.0f));

    Matrix3 scaled = TransMatrix(Point3(1, 1, 1));
    scaled.Scale(Point3(2, 3, 4));
    EXPECT_TRUE(pointsNear(scaled.GetTrans(), Point3(1, 1, 1), 0.0f));
    scaled.Scale(Point3(2, 3, 4), TRUE);
    EXPECT_TRUE(pointsNear(scaled.GetTrans(), Point3(2, 3, 4), 0.0f));

    Matrix3 m = RotateXMatrix(0.4f) * TransMatrix(Point3(5, 6, 7));
    Matrix3 preRotated = m;
    preRotated.PreRotateY(0.9f);
    EXPECT_TRUE(matricesNear(preRotated, RotateYMatrix(0.9f) * m, 1e-6f));
    Matrix3 rotated = m;
    rotated.RotateY(0.9f);
    EXPECT_TRUE(matricesNear(rotated, m * RotateYMatrix(0.9f), 1e-6f));
}

TEST(Matrix3, InverseUndoesScaleShearAndTranslation) {
    RandomTransforms random(11);
    for (int i = 0; i < 200; ++i) {
        Matrix3 m = random.rotation() * ScaleMatrix(random.factors(0.2f, 5.0f)) *
                    random.rotation() * TransMatrix(random.point(100.0f));
        EXPECT_TRUE(matricesNear(m * Inverse(m), Matrix3(1), 1e-4f)) << i;
        EXPECT_TRUE(matricesNear(Inverse(m) * m, Matrix3(1), 1e-4f)) << i;
    }
}

TEST(Matrix3, SingularMatrixInvertsToZerosNotInfinities) {
    Matrix3 flat = ScaleMatrix(Point3(1, 0, 1)) * TransMatrix(Point3(1, 2, 3));
    Matrix3 inverse = Inverse(flat);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 3; ++j)
            EXPECT_EQ(inverse.GetRow(i)[j], 0.0f);
}

TEST(Matrix3, ParityIsTrueOnlyForMirrors) {
    EXPECT_TRUE(ScaleMatrix(Point3(-1, 1, 1)).Parity());
    EXPECT_TRUE((RotateXMatrix(1.0f) * ScaleMatrix(Point3(2, 2, -0.5f))).Parity());
    EXPECT_FALSE(ScaleMatrix(Point3(-1, -1, 1)).Parity()); // a half turn, not a mirror
    EXPECT_FALSE(RotateYMatrix(2.0f).Parity());
}

TEST(Matrix3, IdentityFlagsAreNeverFalseClaims) {
    Matrix3 m(1);
    EXPECT_TRUE(m.IsIdentity());
    m.SetTrans(Point3(1, 0, 0));
    EXPECT_EQ(m.GetIdentFlags(), DWORD(ROT_IDENT | SCL_IDENT));
    Matrix3 product = Matrix3(1) * RotateZMatrix(1.0f);
    EXPECT_FALSE(product.GetIdentFlags() & ROT_IDENT);
    Matrix3 rowSet(1);
    rowSet.SetRow(0, Point3(2, 0, 0));
    EXPECT_FALSE(rowSet.GetIdentFlags() & SCL_IDENT);
    Matrix3 built(Point3(1, 0, 0), Point3(0, 1, 0), Point3(0, 0, 1), Point3(0, 0, 0));
    EXPECT_TRUE(built.IsIdentity()); // validated from the numbers
    built.SetRow(3, Point3(0, 0, 0));
    built.ValidateFlags();
    EXPECT_TRUE(built.IsIdentity());
}

TEST(Matrix3, ColumnsAndRowTransformsAgree) {
    Matrix3 m(Point3(1, 2, 3), Point3(4, 5, 6), Point3(7, 8, 9), Point3(10, 11, 12));
    Point4 column = m.GetColumn(1);
    EXPECT_EQ(column, Point4(2, 5, 8, 11));
    m.SetColumn(0, Point4(-1, -2, -3, -4));
    EXPECT_TRUE(pointsNear(m.GetRow(3), Point3(-4, 11, 12), 0.0f));
    EXPECT_TRUE(pointsNear(m.GetColumn3(2), Point3(3, 6, 9), 0.0f));
}

TEST(Matrix3, NoScaleAndNoRotKeepTheOtherPart) {
    Matrix3 m = ScaleMatrix(Point3(2, 3, 4)) * RotateZMatrix(0.5f) * TransMatrix(Point3(1, 2, 3));
    Matrix3 unscaled = m;
    unscaled.NoScale();
    EXPECT_TRUE(matricesNear(unscaled, RotateZMatrix(0.5f) * TransMatrix(Point3(1, 2, 3)), 1e-6f));
    Matrix3 unrotated = m;
    unrotated.NoRot();
    EXPECT_TRUE(matricesNear(unrotated, ScaleMatrix(Point3(2, 3, 4)) * TransMatrix(Point3(1, 2, 3)),
                             1e-6f));
}

} // namespace
