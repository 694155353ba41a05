// Values of Bezier and TCB controllers at and between keys. Expected values are worked out by
// hand from the Hermite form: between keys a and b at u, h00 a + h10 Tout(a) + h01 b + h11 Tin(b)
// with h00 = 2u^3 - 3u^2 + 1, h10 = u^3 - 2u^2 + u, h01 = -2u^3 + 3u^2, h11 = u^3 - u^2
// (at u = 0.5: 0.5, 0.125, 0.5, -0.125). A smooth (Catmull-Rom) tangent at an inner key is the
// mean of the differences around it, each side scaled by 2 * its segment / both segments; at an
// end key it is the one difference there.
#include <cmath>

#include "HostTestSupport.h"
#include "SceneKit.h"
#include "control.h"
#include "hostcore.h"
#include "maxapi.h"

namespace {

using KeyCurveTest = HostSceneTest;
using namespace scenekit;

const float kPi = 3.14159265358979f;

Control* newController(SClass_ID superID, ULONG classPartA) {
    return static_cast<Control*>(CreateInstance(superID, Class_ID(classPartA, 0)));
}

template <class Value> Value valueOf(Control* c, TimeValue t) {
    Value value;
    Interval valid = FOREVER;
    c->GetValue(t, &value, valid, CTRL_ABSOLUTE);
    return value;
}

template <class Value> void keyAt(Control* c, TimeValue t, Value value) {
    SuspendAnimate();
    AnimateOn();
    c->SetValue(t, &value);
    ResumeAnimate();
}

// A turn of `radians` about Z in the host's convention: (0, 0, -sin(a/2), cos(a/2)).
Quat turnAboutZ(float radians) {
    return Quat(0.0f, 0.0f, -std::sin(radians / 2), std::cos(radians / 2));
}

TEST_F(KeyCurveTest, BezierFloatPassesItsKeysAndEasesBetweenThem) {
    // Keys 0, 10, 0 at ticks 0, 100, 300. The tangent at the middle key is 0 (the differences
    // +10 and -10 cancel); at the ends it is the difference there (+10, -10).
    Control* c = newController(CTRL_FLOAT_CLASS_ID, HYBRIDINTERP_FLOAT_CLASS_ID);
    ASSERT_NE(c, nullptr);
    keyAt(c, 0, 0.0f);
    keyAt(c, 100, 10.0f);
    keyAt(c, 300, 0.0f);
    ASSERT_EQ(c->NumKeys(), 3);

    EXPECT_FLOAT_EQ(valueOf<float>(c, 0), 0.0f);
    EXPECT_FLOAT_EQ(valueOf<float>(c, 100), 10.0f);
    EXPECT_FLOAT_EQ(valueOf<float>(c, 300), 0.0f);
    EXPECT_NEAR(valueOf<float>(c, 50), 6.25f, 1e-4f);     // 0.125 * 10 + 0.5 * 10
    EXPECT_NEAR(valueOf<float>(c, 25), 2.96875f, 1e-4f);  // u = 0.25: 0.140625 * 10 + 0.15625 * 10
    EXPECT_NEAR(valueOf<float>(c, 200), 6.25f, 1e-4f);    // 0.5 * 10 - 0.125 * -10
    EXPECT_NEAR(valueOf<float>(c, 150), 8.90625f, 1e-4f); // 0.84375 * 10 + 0.046875 * 10
    // Outside the keys the end values hold.
    EXPECT_FLOAT_EQ(valueOf<float>(c, -500), 0.0f);
    EXPECT_FLOAT_EQ(valueOf<float>(c, 5000), 0.0f);
}

TEST_F(KeyCurveTest, BezierPositionAndScaleFollowTheSameCurvePerComponent) {
    Control* position = newController(CTRL_POSITION_CLASS_ID, HYBRIDINTERP_POSITION_CLASS_ID);
    keyAt(position, 0, Point3(0.0f, 0.0f, 0.0f));
    keyAt(position, 100, Point3(10.0f, -10.0f, 2.0f));
    keyAt(position, 300, Point3(0.0f, 0.0f, 0.0f));
    EXPECT_TRUE(pointNear(valueOf<Point3>(position, 50), Point3(6.25f, -6.25f, 1.25f)));
    EXPECT_TRUE(pointNear(valueOf<Point3>(position, 100), Point3(10.0f, -10.0f, 2.0f)));

    // Factors 1, 2, 1: the curve above scaled by 0.1 and moved up by 1.
    Control* scale = newController(CTRL_SCALE_CLASS_ID, HYBRIDINTERP_SCALE_CLASS_ID);
    keyAt(scale, 0, ScaleValue(Point3(1.0f, 1.0f, 1.0f)));
    keyAt(scale, 100, ScaleValue(Point3(2.0f, 1.0f, 3.0f)));
    keyAt(scale, 300, ScaleValue(Point3(1.0f, 1.0f, 1.0f)));
    ScaleValue s = valueOf<ScaleValue>(scale, 200);
    EXPECT_TRUE(pointNear(s.s, Point3(1.625f, 1.0f, 2.25f)));
    EXPECT_TRUE(quatNear(s.q, Quat(0.0f, 0.0f, 0.0f, 1.0f)));
}

TEST_F(KeyCurveTest, TwoKeysMoveAtConstantSpeedWhateverTheCurve) {
    for (ULONG classPartA :
         {ULONG(LININTERP_POSITION_CLASS_ID), ULONG(HYBRIDINTERP_POSITION_CLASS_ID),
          ULONG(TCBINTERP_POSITION_CLASS_ID)}) {
        Control* c = newController(CTRL_POSITION_CLASS_ID, classPartA);
        keyAt(c, 400, Point3(8.0f, 4.0f, -4.0f)); // also keys 0 with the rest value (0, 0, 0)
        ASSERT_EQ(c->NumKeys(), 2);
        EXPECT_TRUE(pointNear(valueOf<Point3>(c, 100), Point3(2.0f, 1.0f, -1.0f)))
            << std::hex << classPartA;
        EXPECT_TRUE(pointNear(valueOf<Point3>(c, -50), Point3(0.0f, 0.0f, 0.0f)))
            << std::hex << classPartA;
    }
    // A TCB rotation of two keys is the spherical interpolation between them.
    Control* rotation = newController(CTRL_ROTATION_CLASS_ID, TCBINTERP_ROTATION_CLASS_ID);
    keyAt(rotation, 0, turnAboutZ(0.0f));
    keyAt(rotation, 400, turnAboutZ(kPi / 2));
    EXPECT_TRUE(quatNear(valueOf<Quat>(rotation, 100), turnAboutZ(kPi / 8)));
}

TEST_F(KeyCurveTest, TcbPositionTensionAndBiasShapeTheTangent) {
    // Keys 0, 10, 30 at 0, 100, 200: differences 10 and 20 around the middle key. With all
    // parameters 0 its incoming tangent is 15, the first key's outgoing one 10:
    // at 50, 0.125 * 10 + 0.5 * 10 - 0.125 * 15 = 4.375.
    Control* c = newController(CTRL_POSITION_CLASS_ID, TCBINTERP_POSITION_CLASS_ID);
    keyAt(c, 0, Point3(0.0f, 0.0f, 0.0f));
    keyAt(c, 100, Point3(10.0f, 0.0f, 0.0f));
    keyAt(c, 200, Point3(30.0f, 0.0f, 0.0f));
    EXPECT_NEAR(valueOf<Point3>(c, 50).x, 4.375f, 1e-4f);

    // Tension 1 flattens the tangent to 0: 1.25 + 5 = 6.25.
    ASSERT_TRUE(hostcore::setKeyTcb(c, 1, 1.0f, 0.0f, 0.0f));
    EXPECT_NEAR(valueOf<Point3>(c, 50).x, 6.25f, 1e-4f);
    // Bias 1 takes the incoming tangent from the difference before the key alone (10):
    // 1.25 + 5 - 1.25 = 5.
    ASSERT_TRUE(hostcore::setKeyTcb(c, 1, 0.0f, 0.0f, 1.0f));
    EXPECT_NEAR(valueOf<Point3>(c, 50).x, 5.0f, 1e-4f);
    // The keys themselves never move.
    EXPECT_NEAR(valueOf<Point3>(c, 100).x, 10.0f, 1e-5f);

    EXPECT_FALSE(hostcore::setKeyTcb(c, 3, 0.0f, 0.0f, 0.0f));
    Control* bezier = newController(CTRL_POSITION_CLASS_ID, HYBRIDINTERP_POSITION_CLASS_ID);
    keyAt(bezier, 0, Point3(1.0f, 0.0f, 0.0f));
    EXPECT_FALSE(hostcore::setKeyTcb(bezier, 0, 1.0f, 0.0f, 0.0f)); // not a TCB controller
}

TEST_F(KeyCurveTest, TcbRotationAboutOneAxisIsTheAngleCurve) {
    // Angles 0, 90, 90 degrees about Z at 0, 100, 200: differences 90 and 0. Tangents: 90 out of
    // the first key, 45 into and out of the middle key, 0 into the last.
    //   at 50:  0.125 * 90 + 0.5 * 90 - 0.125 * 45 = 50.625 degrees
    //   at 150: 0.5 * 90 + 0.125 * 45 + 0.5 * 90    = 95.625 degrees (TCB overshoots)
    Control* c = newController(CTRL_ROTATION_CLASS_ID, TCBINTERP_ROTATION_CLASS_ID);
    const float degree = kPi / 180.0f;
    keyAt(c, 0, turnAboutZ(0.0f));
    keyAt(c, 100, turnAboutZ(90 * degree));
    keyAt(c, 200, turnAboutZ(90 * degree));
    EXPECT_TRUE(quatNear(valueOf<Quat>(c, 50), turnAboutZ(50.625f * degree)));
    EXPECT_TRUE(quatNear(valueOf<Quat>(c, 150), turnAboutZ(95.625f * degree)));
    EXPECT_TRUE(quatNear(valueOf<Quat>(c, 100), turnAboutZ(90 * degree)));
    EXPECT_TRUE(quatNear(valueOf<Quat>(c, 900), turnAboutZ(90 * degree)));
}

TEST_F(KeyCurveTest, TcbRotationTakesTheShortWayAndStaysARotation) {
    // Keys stored with opposite signs are the same rotations: the curve must not swing round.
    Control* c = newController(CTRL_ROTATION_CLASS_ID, TCBINTERP_ROTATION_CLASS_ID);
    Quat a = rotationAbout(0, 0.3f), b = -rotationAbout(1, 0.6f), d = rotationAbout(2, -0.4f);
    keyAt(c, 0, a);
    keyAt(c, 160, b);
    keyAt(c, 320, d);
    EXPECT_TRUE(quatNear(valueOf<Quat>(c, 160), b));
    Quat previous = valueOf<Quat>(c, 0);
    for (TimeValue t = 10; t <= 320; t += 10) {
        Quat q = valueOf<Quat>(c, t);
        EXPECT_NEAR(q % q, 1.0f, 1e-4f);
        EXPECT_GT(std::fabs(q % previous), 0.99f) << "jump at " << t; // small steps only
        previous = q;
    }
}

TEST_F(KeyCurveTest, KeysFarApartInTimeInterpolateWithoutOverflow) {
    Control* c = newController(CTRL_POSITION_CLASS_ID, HYBRIDINTERP_POSITION_CLASS_ID);
    keyAt(c, -2000000000, Point3(-4.0f, 0.0f, 0.0f)); // also keys 0 with (0, 0, 0)
    keyAt(c, 2000000000, Point3(4.0f, 0.0f, 0.0f));
    ASSERT_EQ(c->NumKeys(), 3);
    EXPECT_TRUE(pointNear(valueOf<Point3>(c, 0), Point3(0.0f, 0.0f, 0.0f)));
    // Evenly spaced, evenly rising keys: the smooth curve is the straight line.
    EXPECT_TRUE(pointNear(valueOf<Point3>(c, 1000000000), Point3(2.0f, 0.0f, 0.0f), 1e-3f));
}

TEST_F(KeyCurveTest, EveryControllerKindIsMadeByClassId) {
    struct Kind {
        SClass_ID super;
        ULONG partA;
    };
    const Kind kinds[] = {
        {CTRL_FLOAT_CLASS_ID, LININTERP_FLOAT_CLASS_ID},
        {CTRL_FLOAT_CLASS_ID, HYBRIDINTERP_FLOAT_CLASS_ID},
        {CTRL_FLOAT_CLASS_ID, TCBINTERP_FLOAT_CLASS_ID},
        {CTRL_POSITION_CLASS_ID, LININTERP_POSITION_CLASS_ID},
        {CTRL_POSITION_CLASS_ID, HYBRIDINTERP_POSITION_CLASS_ID},
        {CTRL_POSITION_CLASS_ID, TCBINTERP_POSITION_CLASS_ID},
        {CTRL_ROTATION_CLASS_ID, LININTERP_ROTATION_CLASS_ID},
        {CTRL_ROTATION_CLASS_ID, HYBRIDINTERP_ROTATION_CLASS_ID},
        {CTRL_ROTATION_CLASS_ID, TCBINTERP_ROTATION_CLASS_ID},
        {CTRL_ROTATION_CLASS_ID, EULER_CONTROL_CLASS_ID},
        {CTRL_SCALE_CLASS_ID, LININTERP_SCALE_CLASS_ID},
        {CTRL_SCALE_CLASS_ID, HYBRIDINTERP_SCALE_CLASS_ID},
        {CTRL_SCALE_CLASS_ID, TCBINTERP_SCALE_CLASS_ID},
        {CTRL_MATRIX3_CLASS_ID, PRS_CONTROL_CLASS_ID},
    };
    for (const Kind& kind : kinds) {
        Control* c = newController(kind.super, kind.partA);
        ASSERT_NE(c, nullptr) << std::hex << kind.partA;
        EXPECT_EQ(c->SuperClassID(), kind.super);
        EXPECT_EQ(c->ClassID(), Class_ID(kind.partA, 0));
        EXPECT_EQ(c->GetInterface(I_CONTROL), c);
    }
    Control* xyz =
        static_cast<Control*>(CreateInstance(CTRL_POSITION_CLASS_ID, POSITION_XYZ_CLASS_ID));
    ASSERT_NE(xyz, nullptr);
    EXPECT_EQ(xyz->ClassID(), POSITION_XYZ_CLASS_ID);
    EXPECT_EQ(newController(CTRL_SCALE_CLASS_ID, EULER_CONTROL_CLASS_ID),
              nullptr); // wrong super class

    // A transform controller made by class id has the host's parts: Bezier position, TCB
    // rotation, Bezier scale. New nodes keep linear ones.
    Control* prs = newController(CTRL_MATRIX3_CLASS_ID, PRS_CONTROL_CLASS_ID);
    EXPECT_EQ(prs->GetPositionController()->ClassID(), Class_ID(HYBRIDINTERP_POSITION_CLASS_ID, 0));
    EXPECT_EQ(prs->GetRotationController()->ClassID(), Class_ID(TCBINTERP_ROTATION_CLASS_ID, 0));
    EXPECT_EQ(prs->GetScaleController()->ClassID(), Class_ID(HYBRIDINTERP_SCALE_CLASS_ID, 0));
    EXPECT_STREQ(prs->SubAnimName(1).data(), "Rotation");
    INode* node = makeNode("Fresh");
    EXPECT_EQ(node->GetTMController()->GetPositionController()->ClassID(),
              Class_ID(LININTERP_POSITION_CLASS_ID, 0));
}

TEST_F(KeyCurveTest, SceneKitSwapsControllersKeepingTheValueAtZero) {
    INode* node = makeNode("Swapped");
    place(node, translation(1.0f, 2.0f, 3.0f));
    Control* bezier = useBezierPosition(node, {{100, Point3(5.0f, 2.0f, 3.0f)}});
    EXPECT_EQ(node->GetTMController()->GetPositionController(), bezier);
    EXPECT_EQ(bezier->ClassID(), Class_ID(HYBRIDINTERP_POSITION_CLASS_ID, 0));
    EXPECT_TRUE(pointNear(node->GetNodeTM(0).GetTrans(), Point3(1.0f, 2.0f, 3.0f)));
    EXPECT_TRUE(pointNear(node->GetNodeTM(100).GetTrans(), Point3(5.0f, 2.0f, 3.0f)));

    Control* tcb = useTcbRotation(node, {{160, turnAboutZ(kPi / 2)}});
    EXPECT_EQ(tcb->NumKeys(), 2); // the key at 160 and the one it makes at 0
    // X turns to +Y, then the position (held at its last key) moves it.
    EXPECT_TRUE(
        pointNear(Point3(1.0f, 0.0f, 0.0f) * node->GetNodeTM(160), Point3(5.0f, 3.0f, 3.0f)));
    Control* scale = useBezierScale(node, {{160, Point3(2.0f, 2.0f, 2.0f)}});
    EXPECT_EQ(scale->NumKeys(), 2);
    EXPECT_TRUE(
        pointNear(Point3(1.0f, 0.0f, 0.0f) * node->GetNodeTM(160), Point3(5.0f, 4.0f, 3.0f)));
}

} // namespace
