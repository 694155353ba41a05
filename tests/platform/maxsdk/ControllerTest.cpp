#include <cmath>

#include "HostTestSupport.h"
#include "control.h"
#include "maxapi.h"

namespace {

using ControllerTest = HostSceneTest;

Control* positionTrack() {
    INode* node = GetCOREInterface()->CreateObjectNode(nullptr);
    return node->GetTMController()->GetPositionController();
}

Point3 positionAt(Control* c, TimeValue t) {
    Point3 p;
    Interval valid = FOREVER;
    c->GetValue(t, &p, valid, CTRL_ABSOLUTE);
    return p;
}

void setAnimated(Control* c, TimeValue t, Point3 p) {
    SuspendAnimate();
    AnimateOn();
    c->SetValue(t, &p, 1, CTRL_ABSOLUTE);
    ResumeAnimate();
}

TEST_F(ControllerTest, TransformControllerHasThreeKindsOfTrack) {
    INode* node = GetCOREInterface()->CreateObjectNode(nullptr);
    Control* tm = node->GetTMController();
    ASSERT_NE(tm, nullptr);
    EXPECT_EQ(tm->SuperClassID(), ULONG(CTRL_MATRIX3_CLASS_ID));
    EXPECT_EQ(tm->GetPositionController()->SuperClassID(), ULONG(0x900B));
    EXPECT_EQ(tm->GetRotationController()->SuperClassID(), ULONG(0x900C));
    EXPECT_EQ(tm->GetScaleController()->SuperClassID(), ULONG(0x900D));
    EXPECT_EQ(tm->SubAnim(0)->GetInterface(I_CONTROL), tm->GetPositionController());
    EXPECT_EQ(tm->SubAnim(2)->GetInterface(I_CONTROL), tm->GetScaleController());
}

TEST_F(ControllerTest, AnimateModeMakesAKeyAtEveryTimeItSetsIncludingZero) {
    Control* c = positionTrack();
    setAnimated(c, 0, Point3(1.0f, 2.0f, 3.0f));
    ASSERT_EQ(c->NumKeys(), 1);
    EXPECT_EQ(c->GetKeyTime(0), 0);
    setAnimated(c, 320, Point3(5.0f, 2.0f, 3.0f));
    setAnimated(c, 160, Point3(2.0f, 2.0f, 3.0f));
    ASSERT_EQ(c->NumKeys(), 3);
    EXPECT_EQ(c->GetKeyTime(1), 160); // ascending
    EXPECT_EQ(c->GetKeyTime(2), 320);
    setAnimated(c, 160, Point3(3.0f, 2.0f, 3.0f)); // replaces
    EXPECT_EQ(c->NumKeys(), 3);
    EXPECT_TRUE(pointNear(positionAt(c, 160), Point3(3.0f, 2.0f, 3.0f)));
    EXPECT_EQ(c->GetKeyIndex(320), 2);
    EXPECT_EQ(c->GetKeyIndex(321), -1);
}

TEST_F(ControllerTest, FirstKeyAwayFromZeroAlsoKeysZeroWithTheValueHeldSoFar) {
    Control* c = positionTrack();
    Point3 rest(7.0f, 0.0f, 0.0f);
    c->SetValue(0, &rest);
    EXPECT_EQ(c->NumKeys(), 0); // outside animate mode: no key
    setAnimated(c, 480, Point3(1.0f, 1.0f, 1.0f));
    ASSERT_EQ(c->NumKeys(), 2);
    EXPECT_EQ(c->GetKeyTime(0), 0);
    EXPECT_TRUE(pointNear(positionAt(c, 0), rest));
    EXPECT_TRUE(pointNear(positionAt(c, 480), Point3(1.0f, 1.0f, 1.0f)));
}

TEST_F(ControllerTest, OutsideAnimateModeKeysShiftByTheChange) {
    Control* c = positionTrack();
    setAnimated(c, 0, Point3(0.0f, 0.0f, 0.0f));
    setAnimated(c, 100, Point3(10.0f, 0.0f, 0.0f));
    Point3 wanted(5.0f, 1.0f, 0.0f); // the value at 50 was (5, 0, 0)
    AnimateOff();
    c->SetValue(50, &wanted);
    EXPECT_EQ(c->NumKeys(), 2);
    EXPECT_TRUE(pointNear(positionAt(c, 0), Point3(0.0f, 1.0f, 0.0f)));
    EXPECT_TRUE(pointNear(positionAt(c, 100), Point3(10.0f, 1.0f, 0.0f)));
}

TEST_F(ControllerTest, ValuesBetweenKeysInterpolate) {
    INode* node = GetCOREInterface()->CreateObjectNode(nullptr);
    Control* tm = node->GetTMController();
    SuspendAnimate();
    AnimateOn();
    Point3 p0(0.0f, 0.0f, 0.0f), p1(4.0f, -8.0f, 2.0f);
    tm->GetPositionController()->SetValue(0, &p0);
    tm->GetPositionController()->SetValue(400, &p1);
    Quat q0(0.0f, 0.0f, 0.0f, 1.0f), q1(0.0f, 0.0f, -std::sqrt(0.5f), std::sqrt(0.5f));
    tm->GetRotationController()->SetValue(0, &q0);
    tm->GetRotationController()->SetValue(400, &q1);
    ScaleValue s0(Point3(1.0f, 1.0f, 1.0f)), s1(Point3(3.0f, 1.0f, 0.5f));
    tm->GetScaleController()->SetValue(0, &s0);
    tm->GetScaleController()->SetValue(400, &s1);
    ResumeAnimate();

    Interval valid = FOREVER;
    Point3 p;
    tm->GetPositionController()->GetValue(100, &p, valid);
    EXPECT_TRUE(pointNear(p, Point3(1.0f, -2.0f, 0.5f)));
    EXPECT_TRUE(valid.InInterval(100));

    Quat q;
    tm->GetRotationController()->GetValue(200, &q, valid); // 45 degrees about Z
    const float half = 3.14159265f / 8.0f;
    EXPECT_TRUE(quatNear(q, Quat(0.0f, 0.0f, -std::sin(half), std::cos(half))));

    ScaleValue s;
    tm->GetScaleController()->GetValue(200, &s, valid);
    EXPECT_TRUE(pointNear(s.s, Point3(2.0f, 1.0f, 0.75f)));

    // Scale acts first, then rotation, then position: (1, 0, 0) at 400 becomes (3, 0, 0),
    // turned to (0, 3, 0), moved to (4, -5, 2).
    EXPECT_TRUE(
        pointNear(Point3(1.0f, 0.0f, 0.0f) * node->GetNodeTM(400), Point3(4.0f, -5.0f, 2.0f)));
}

TEST_F(ControllerTest, SetNodeTMInAnimateModeKeysAllThreeTracks) {
    INode* node = GetCOREInterface()->CreateObjectNode(nullptr);
    Matrix3 atZero(1), atOne = RotateZMatrix(1.0f);
    atOne.SetTrans(Point3(0.0f, 0.0f, 3.0f));
    SuspendAnimate();
    AnimateOn();
    node->SetNodeTM(0, atZero);
    node->SetNodeTM(160, atOne);
    ResumeAnimate();
    Control* tm = node->GetTMController();
    EXPECT_EQ(tm->GetPositionController()->NumKeys(), 2);
    EXPECT_EQ(tm->GetRotationController()->NumKeys(), 2);
    EXPECT_EQ(tm->GetScaleController()->NumKeys(), 2);
    EXPECT_TRUE(matrixNear(node->GetNodeTM(160), atOne));
    EXPECT_TRUE(matrixNear(node->GetNodeTM(0), atZero));
}

TEST_F(ControllerTest, SuspendSavesTheAnimateStateAndResumeRestoresIt) {
    AnimateOn();
    SuspendAnimate();
    EXPECT_FALSE(Animating());
    AnimateOn();
    SuspendAnimate();
    AnimateOff();
    ResumeAnimate();
    EXPECT_TRUE(Animating());
    ResumeAnimate();
    EXPECT_TRUE(Animating());
    AnimateOff();
    ResumeAnimate(); // unmatched: no change
    EXPECT_FALSE(Animating());
}

} // namespace
