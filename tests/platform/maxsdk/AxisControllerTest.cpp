// Euler XYZ rotation and Position XYZ: three float tracks behind one controller.
#include <cmath>

#include "HostTestSupport.h"
#include "SceneKit.h"
#include "control.h"
#include "maxapi.h"

namespace {

using AxisControllerTest = HostSceneTest;
using namespace scenekit;

const float kPi = 3.14159265358979f;

float floatAt(Control* c, TimeValue t) {
    float value = 0.0f;
    Interval valid = FOREVER;
    c->GetValue(t, &value, valid, CTRL_ABSOLUTE);
    return value;
}

TEST_F(AxisControllerTest, EulerRotationIsThreeFloatTracksNotALeaf) {
    INode* node = makeNode("Turning");
    Control* euler = useEulerRotation(node);
    ASSERT_NE(euler, nullptr);
    EXPECT_EQ(euler->SuperClassID(), ULONG(CTRL_ROTATION_CLASS_ID));
    EXPECT_EQ(euler->ClassID(), Class_ID(EULER_CONTROL_CLASS_ID, 0));
    EXPECT_FALSE(euler->IsLeaf());
    ASSERT_EQ(euler->NumSubs(), 3);
    const char* names[3] = {"X Rotation", "Y Rotation", "Z Rotation"};
    Control* axes[3] = {euler->GetXController(), euler->GetYController(), euler->GetZController()};
    for (int i = 0; i < 3; ++i) {
        auto* track = static_cast<Control*>(euler->SubAnim(i)->GetInterface(I_CONTROL));
        ASSERT_NE(track, nullptr);
        EXPECT_EQ(track, axes[i]);
        EXPECT_EQ(track->SuperClassID(), ULONG(CTRL_FLOAT_CLASS_ID));
        EXPECT_EQ(track->ClassID(), Class_ID(HYBRIDINTERP_FLOAT_CLASS_ID, 0));
        EXPECT_STREQ(euler->SubAnimName(i).data(), names[i]);
    }
    EXPECT_EQ(euler->SubAnim(3), nullptr);
    // A float track is no rotation: it cannot take an axis's place.
    EXPECT_FALSE(euler->SetXController(NewDefaultPositionController()));
}

TEST_F(AxisControllerTest, EulerKeyTimesArePooledOverTheAxes) {
    INode* node = makeNode("Turning");
    Control* euler = useEulerRotation(node);
    keyEulerAxis(node, 0, 0, 0.0f);
    keyEulerAxis(node, 0, 100, kPi / 2);
    keyEulerAxis(node, 1, 50, 0.2f); // also keys 0, the track's first key away from it
    keyEulerAxis(node, 1, 100, 0.0f);
    keyEulerAxis(node, 2, 200, kPi);
    EXPECT_EQ(euler->GetXController()->NumKeys(), 2);
    EXPECT_EQ(euler->GetYController()->NumKeys(), 3);
    EXPECT_EQ(euler->GetZController()->NumKeys(), 2);
    ASSERT_EQ(euler->NumKeys(), 4); // 0, 50, 100, 200
    EXPECT_EQ(euler->GetKeyTime(0), 0);
    EXPECT_EQ(euler->GetKeyTime(1), 50);
    EXPECT_EQ(euler->GetKeyTime(2), 100);
    EXPECT_EQ(euler->GetKeyTime(3), 200);
    EXPECT_EQ(euler->GetKeyIndex(100), 2);
    EXPECT_EQ(euler->GetKeyIndex(150), -1);
    // The transform controller above pools them too.
    EXPECT_EQ(node->GetTMController()->NumKeys(), 4);
}

TEST_F(AxisControllerTest, EulerAnglesTurnXFirstThenYThenZ) {
    INode* node = makeNode("Turning");
    useEulerRotation(node);
    keyEulerAxis(node, 0, 0, 0.0f);
    keyEulerAxis(node, 0, 100, kPi / 2);
    keyEulerAxis(node, 2, 0, 0.0f);
    keyEulerAxis(node, 2, 200, kPi);
    // At 50: X = pi/4 (two keys: a straight line), Z = pi/4. (0, 1, 0) turns about X to
    // (0, c, s), then about Z to (-c s, c c, s) = (-0.5, 0.5, 0.7071).
    const float h = std::sqrt(0.5f);
    EXPECT_TRUE(pointNear(Point3(0.0f, 1.0f, 0.0f) * node->GetNodeTM(50), Point3(-0.5f, 0.5f, h)));
    // At 100: X = pi/2 (held), Z = pi/2. (0, 1, 0) -> (0, 0, 1), which Z leaves; (1, 0, 0) -> (0,
    // 1, 0).
    EXPECT_TRUE(
        pointNear(Point3(0.0f, 1.0f, 0.0f) * node->GetNodeTM(100), Point3(0.0f, 0.0f, 1.0f)));
    EXPECT_TRUE(
        pointNear(Point3(1.0f, 0.0f, 0.0f) * node->GetNodeTM(100), Point3(0.0f, 1.0f, 0.0f)));
    // The rotation value itself is the quaternion of the same turns.
    Quat q;
    Interval valid = FOREVER;
    node->GetTMController()->GetRotationController()->GetValue(100, &q, valid, CTRL_ABSOLUTE);
    EXPECT_TRUE(quatNear(q, Quat(RotateXMatrix(kPi / 2) * RotateZMatrix(kPi / 2))));
    EXPECT_EQ(valid, Interval(100, 100));
}

TEST_F(AxisControllerTest, SettingEulerRotationsKeysEveryAxisWithoutJumpsOfAWholeTurn) {
    INode* node = makeNode("Spinning");
    Control* euler = useEulerRotation(node);
    // Turning about Z past half a turn: 3.0 then 3.3 radians. The angles written must go on
    // rising (3.3), not jump back to its principal value (3.3 - 2 pi).
    keyWorld(node, 160, RotateZMatrix(3.0f));
    keyWorld(node, 320, RotateZMatrix(3.3f));
    EXPECT_NEAR(floatAt(euler->GetZController(), 160), 3.0f, 1e-4f);
    EXPECT_NEAR(floatAt(euler->GetZController(), 320), 3.3f, 1e-4f);
    EXPECT_EQ(euler->GetXController()->NumKeys(), 3); // 0, 160, 320 on every axis
    EXPECT_EQ(euler->NumKeys(), 3);
    EXPECT_TRUE(matrixNear(node->GetNodeTM(320), RotateZMatrix(3.3f)));
    // Half way the angle lies near both keys (the smooth curve overshoots a little: 3.31875),
    // never half a turn away.
    EXPECT_NEAR(floatAt(euler->GetZController(), 240), 3.31875f, 1e-4f);

    // Outside animate mode a set value moves every key of every axis by the change.
    place(node, RotateZMatrix(3.1f), 320);
    EXPECT_NEAR(floatAt(euler->GetZController(), 160), 2.8f, 1e-4f);
    EXPECT_EQ(euler->NumKeys(), 3);
}

TEST_F(AxisControllerTest, PositionXYZPoolsItsTracksAndAddsRelativeMoves) {
    INode* node = makeNode("Moving");
    Control* xyz = usePositionXYZ(node, {{100, Point3(1.0f, 2.0f, 3.0f)}});
    EXPECT_EQ(xyz->ClassID(), POSITION_XYZ_CLASS_ID);
    EXPECT_FALSE(xyz->IsLeaf());
    SuspendAnimate();
    AnimateOn();
    float y = 7.0f;
    xyz->GetYController()->SetValue(300, &y);
    ResumeAnimate();
    ASSERT_EQ(xyz->NumKeys(), 3); // 0, 100, 300
    EXPECT_EQ(xyz->GetKeyTime(2), 300);
    EXPECT_TRUE(pointNear(node->GetNodeTM(100).GetTrans(), Point3(1.0f, 2.0f, 3.0f)));
    EXPECT_TRUE(pointNear(node->GetNodeTM(300).GetTrans(), Point3(1.0f, 7.0f, 3.0f)));

    // Relative: the offset is added (outside animate mode: all keys move).
    Point3 offset(0.0f, 0.0f, 10.0f);
    xyz->SetValue(300, &offset, 1, CTRL_RELATIVE);
    EXPECT_TRUE(pointNear(node->GetNodeTM(100).GetTrans(), Point3(1.0f, 2.0f, 13.0f)));
}

} // namespace
