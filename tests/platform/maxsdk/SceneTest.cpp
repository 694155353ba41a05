#include <cmath>

#include "HostTestSupport.h"
#include "control.h"
#include "maxapi.h"

namespace {

using SceneTest = HostSceneTest;

const float kHalfSqrt2 = std::sqrt(0.5f);

// Keys a value on a node's position or rotation track, as a user does in animate mode.
void keyPosition(INode* node, TimeValue t, Point3 p) {
    SuspendAnimate();
    AnimateOn();
    node->GetTMController()->GetPositionController()->SetValue(t, &p);
    ResumeAnimate();
}

void keyRotation(INode* node, TimeValue t, Quat q) {
    SuspendAnimate();
    AnimateOn();
    node->GetTMController()->GetRotationController()->SetValue(t, &q);
    ResumeAnimate();
}

Matrix3 translation(float x, float y, float z) {
    Matrix3 m(1);
    m.SetTrans(Point3(x, y, z));
    return m;
}

TEST_F(SceneTest, ChildrenKeepTheirAttachmentOrderUnderTheirParent) {
    Interface* ip = GetCOREInterface();
    INode* parent = ip->CreateObjectNode(nullptr);
    INode* first = ip->CreateObjectNode(nullptr);
    INode* second = ip->CreateObjectNode(nullptr);
    first->SetName("first");
    second->SetName("second");
    EXPECT_EQ(first->GetParentNode(), ip->GetRootNode());
    EXPECT_EQ(ip->GetRootNode()->NumberOfChildren(), 3);

    parent->AttachChild(second);
    parent->AttachChild(first);
    ASSERT_EQ(parent->NumberOfChildren(), 2);
    EXPECT_STREQ(parent->GetChildNode(0)->GetName(), "second");
    EXPECT_STREQ(parent->GetChildNode(1)->GetName(), "first");
    EXPECT_EQ(parent->GetChildNode(2), nullptr);
    EXPECT_EQ(ip->GetRootNode()->NumberOfChildren(), 1);
    EXPECT_EQ(ip->GetINodeByName("first"), first);

    first->AttachChild(parent); // a cycle is refused
    EXPECT_EQ(parent->GetParentNode(), ip->GetRootNode());
}

TEST_F(SceneTest, ChildWorldMatrixFollowsItsParentsKeysAtAnyTime) {
    Interface* ip = GetCOREInterface();
    INode* parent = ip->CreateObjectNode(nullptr);
    INode* child = ip->CreateObjectNode(nullptr);
    parent->AttachChild(child, 0);
    Point3 offset(1.0f, 0.0f, 0.0f);
    child->GetTMController()->GetPositionController()->SetValue(0, &offset);

    // The parent turns a quarter about Z between ticks 0 and 1600 and moves up by 10.
    keyRotation(parent, 0, Quat(0.0f, 0.0f, 0.0f, 1.0f));
    keyRotation(parent, 1600,
                Quat(0.0f, 0.0f, -kHalfSqrt2, kHalfSqrt2)); // host form of RotateZ(pi/2)
    keyPosition(parent, 0, Point3(0.0f, 0.0f, 0.0f));
    keyPosition(parent, 1600, Point3(0.0f, 0.0f, 10.0f));

    EXPECT_TRUE(pointNear(child->GetNodeTM(0).GetTrans(), Point3(1.0f, 0.0f, 0.0f)));
    EXPECT_TRUE(pointNear(child->GetNodeTM(1600).GetTrans(), Point3(0.0f, 1.0f, 10.0f)));
    // Half way the parent has turned 45 degrees and risen 5.
    EXPECT_TRUE(pointNear(child->GetNodeTM(800).GetTrans(), Point3(kHalfSqrt2, kHalfSqrt2, 5.0f)));
    // Past the last key the values hold.
    EXPECT_TRUE(pointNear(child->GetNodeTM(9999).GetTrans(), Point3(0.0f, 1.0f, 10.0f)));
    // The child's X axis turns with the parent.
    EXPECT_TRUE(pointNear(child->GetNodeTM(1600).GetRow(0), Point3(0.0f, 1.0f, 0.0f)));
}

TEST_F(SceneTest, ObjectMatrixAppliesTheOffsetBeforeTheNodeMatrix) {
    INode* node = GetCOREInterface()->CreateObjectNode(nullptr);
    Matrix3 world = translation(10.0f, 0.0f, 0.0f);
    node->SetNodeTM(0, world);
    node->SetObjOffsetPos(Point3(1.0f, 2.0f, 3.0f));
    node->SetObjOffsetScale(ScaleValue(Point3(2.0f, 2.0f, 2.0f)));
    node->SetObjOffsetRot(Quat(0.0f, 0.0f, -kHalfSqrt2, kHalfSqrt2)); // X to +Y

    // Object point (1, 0, 0): scaled to (2, 0, 0), turned to (0, 2, 0), moved by the offset
    // to (1, 4, 3), then by the node to (11, 4, 3).
    Point3 p = Point3(1.0f, 0.0f, 0.0f) * node->GetObjectTM(0);
    EXPECT_TRUE(pointNear(p, Point3(11.0f, 4.0f, 3.0f)));
    EXPECT_TRUE(
        pointNear(node->GetNodeTM(0).GetTrans(), Point3(10.0f, 0.0f, 0.0f))); // pivot unchanged
}

TEST_F(SceneTest, AttachChildKeepsTheWorldOrTheLocalMatrix) {
    Interface* ip = GetCOREInterface();
    INode* parent = ip->CreateObjectNode(nullptr);
    Matrix3 parentWorld = translation(0.0f, 5.0f, 0.0f);
    parent->SetNodeTM(0, parentWorld);
    INode* kept = ip->CreateObjectNode(nullptr);
    INode* moved = ip->CreateObjectNode(nullptr);
    Matrix3 world = translation(1.0f, 0.0f, 0.0f);
    kept->SetNodeTM(0, world);
    moved->SetNodeTM(0, world);

    parent->AttachChild(kept, 1);
    parent->AttachChild(moved, 0);
    EXPECT_TRUE(pointNear(kept->GetNodeTM(0).GetTrans(), Point3(1.0f, 0.0f, 0.0f)));
    EXPECT_TRUE(pointNear(moved->GetNodeTM(0).GetTrans(), Point3(1.0f, 5.0f, 0.0f)));
    // Keeping the world matrix outside animate mode makes no key.
    EXPECT_EQ(kept->GetTMController()->GetPositionController()->NumKeys(), 0);
}

TEST_F(SceneTest, SetNodeTMStoresMirrorsAndRotationsThatComeBack) {
    INode* parent = GetCOREInterface()->CreateObjectNode(nullptr);
    INode* node = GetCOREInterface()->CreateObjectNode(nullptr);
    parent->AttachChild(node, 0);
    Matrix3 parentWorld = RotateXMatrix(0.7f) * translation(3.0f, -2.0f, 1.0f);
    parent->SetNodeTM(0, parentWorld);

    Matrix3 wanted = ScaleMatrix(Point3(-1.0f, 2.0f, 0.5f)) * RotateYMatrix(0.4f) *
                     translation(4.0f, 5.0f, 6.0f);
    node->SetNodeTM(0, wanted);
    EXPECT_TRUE(matrixNear(node->GetNodeTM(0), wanted));
    EXPECT_TRUE(node->GetNodeTM(0).Parity());
}

TEST_F(SceneTest, VisibilityRenderableAndDisplayFlags) {
    Interface* ip = GetCOREInterface();
    INode* parent = ip->CreateObjectNode(nullptr);
    INode* child = ip->CreateObjectNode(nullptr);
    parent->AttachChild(child);
    EXPECT_TRUE(child->Renderable());
    EXPECT_FLOAT_EQ(child->GetVisibility(0), 1.0f);
    parent->SetVisibility(0, 0.0f);
    EXPECT_FLOAT_EQ(child->GetVisibility(0), 0.0f); // inherited
    EXPECT_FLOAT_EQ(child->GetLocalVisibility(0), 1.0f);

    Matrix3 before = child->GetNodeTM(0);
    child->SetBoneNodeOnOff(TRUE, 0);
    EXPECT_TRUE(child->GetBoneNodeOnOff());
    EXPECT_TRUE(matrixNear(child->GetNodeTM(0), before));
    child->SetRenderable(FALSE);
    EXPECT_FALSE(child->Renderable());
    child->SetWireColor(0x00336699);
    EXPECT_EQ(child->GetWireColor(), 0x00336699u);
}

} // namespace
