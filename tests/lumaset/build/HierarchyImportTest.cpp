// Imported hierarchies land where the file puts them: a node's scene transform is its own
// transform times its parent's, at time 0 and at every key, with the object scale and rotation
// applied after the top-level nodes.
#include "ImportTestSupport.h"

#include "resources/resource.h"

#include "maxapi.h"
#include "quat.h"

#include <cmath>

using namespace importtest;

namespace {

const float kTolerance = 1e-5f;
const float kRadiansPerDegree = 0.017453292f;

XQuaternion toXQuaternion(const Quat& q) {
    return {q.x, q.y, q.z, q.w};
}

struct Key {
    int ticks;
    Point3 scale;
    Quat rotation;
    Point3 position;
    Matrix3 local() const {
        Matrix3 turn;
        rotation.MakeMatrix(turn);
        return ScaleMatrix(scale) * turn * TransMatrix(position);
    }
};

void addKeys(XAnimation& animation, const std::vector<Key>& keys) {
    for (const Key& key : keys) {
        animation.scaleKeys[key.ticks] = {key.scale.x, key.scale.y, key.scale.z};
        animation.rotationKeys[key.ticks] = toXQuaternion(key.rotation);
        animation.positionKeys[key.ticks] = {key.position.x, key.position.y, key.position.z};
    }
}

// Body at the top, Arm below it, Hand below Arm; Hand's transform mirrors z.
struct ThreeLevels {
    Matrix3 body = srt(Point3(1.0f, 1.0f, 1.0f), 2, 0.3f, Point3(3.0f, 0.0f, 0.0f));
    Matrix3 arm = srt(Point3(2.0f, 1.0f, 1.0f), 0, 0.5f, Point3(0.0f, 2.0f, 0.0f));
    Matrix3 hand = srt(Point3(1.0f, 0.5f, -1.0f), 1, -0.7f, Point3(1.0f, 0.5f, 0.25f));

    std::vector<Key> bodyKeys = {
        {0, Point3(1, 1, 1), Quat(RotateZMatrix(0.3f)), Point3(3, 0, 0)},
        {4800, Point3(1, 1, 1), Quat(RotateZMatrix(0.9f)), Point3(3, 1, 0)}};
    std::vector<Key> armKeys = {
        {0, Point3(2, 1, 1), Quat(RotateXMatrix(0.5f)), Point3(0, 2, 0)},
        {2400, Point3(1.5f, 1, 1), Quat(RotateXMatrix(-0.25f)), Point3(0, 2.5f, 0)},
        {4800, Point3(1, 1, 1), Quat(RotateXMatrix(1.0f)), Point3(0, 1.5f, 0.5f)}};
    std::vector<Key> handKeys = {
        {0, Point3(1, 0.5f, -1), Quat(RotateYMatrix(-0.7f)), Point3(1, 0.5f, 0.25f)},
        {4800, Point3(-1, 1, 1), Quat(RotateYMatrix(0.4f)), Point3(0.5f, 0, 0)}};

    XScene scene(bool animated) const {
        XScene x;
        XFrame& bodyFrame = x.frames.emplace_back();
        bodyFrame.name = "Body";
        bodyFrame.transform = toX(body);
        XFrame& armFrame = bodyFrame.children.emplace_back();
        armFrame.name = "Arm";
        armFrame.transform = toX(arm);
        XFrame& handFrame = armFrame.children.emplace_back();
        handFrame.name = "Hand";
        handFrame.transform = toX(hand);
        if (animated) {
            XAnimationSet& set = x.animationSets["wave"];
            addKeys(set["Body"], bodyKeys);
            addKeys(set["Arm"], armKeys);
            addKeys(set["Hand"], handKeys);
        }
        return x;
    }
};

// The key in effect at `ticks` (the keys here are all at the same times for one node, or the
// test asks only at key times).
Matrix3 localAt(const std::vector<Key>& keys, int ticks) {
    for (const Key& key : keys)
        if (key.ticks == ticks) return key.local();
    return keys.back().local();
}

class HierarchyImport : public ImportTest {};

TEST_F(HierarchyImport, NestedNodesCombineTheirTransformsWithTheirParentsAtTimeZero) {
    const ThreeLevels levels;
    importWithDialog(writeXFile(scratch("levels.x"), levels.scene(false)));
    INode* body = findNode("Body");
    INode* arm = findNode("Arm");
    INode* hand = findNode("Hand");
    ASSERT_TRUE(body && arm && hand);
    EXPECT_EQ(arm->GetParentNode(), body);
    EXPECT_EQ(hand->GetParentNode(), arm);
    expectNear(levels.body, body->GetNodeTM(0), kTolerance, "Body");
    expectNear(levels.arm * levels.body, arm->GetNodeTM(0), kTolerance, "Arm");
    expectNear(levels.hand * levels.arm * levels.body, hand->GetNodeTM(0), kTolerance, "Hand");
    EXPECT_TRUE(hand->GetNodeTM(0).Parity()); // the mirror survives
}

TEST_F(HierarchyImport, KeysGiveTheFilesTransformsAtEveryKeyTime) {
    const ThreeLevels levels;
    importWithDialog(writeXFile(scratch("levels.x"), levels.scene(true), 0));
    INode* body = findNode("Body");
    INode* arm = findNode("Arm");
    INode* hand = findNode("Hand");
    ASSERT_TRUE(body && arm && hand);
    for (int ticks : {0, 2400, 4800}) {
        const std::string at = " at " + std::to_string(ticks);
        if (ticks == 2400) {
            // Only Arm has a key there: its own transform holds over its parent's.
            expectNear(localAt(levels.armKeys, ticks) * body->GetNodeTM(ticks),
                       arm->GetNodeTM(ticks), kTolerance, "Arm" + at);
            continue;
        }
        const Matrix3 bodyWorld = localAt(levels.bodyKeys, ticks);
        const Matrix3 armWorld = localAt(levels.armKeys, ticks) * bodyWorld;
        expectNear(armWorld, arm->GetNodeTM(ticks), kTolerance, "Arm" + at);
        expectNear(bodyWorld, body->GetNodeTM(ticks), kTolerance, "Body" + at);
        expectNear(localAt(levels.handKeys, ticks) * armWorld, hand->GetNodeTM(ticks), kTolerance,
                   "Hand" + at);
    }
}

TEST_F(HierarchyImport, TheObjectScaleAndRotationFollowTheTopLevelNodeAndReachItsChildren) {
    const ThreeLevels levels;
    DialogAnswers answers;
    answers.edits = {{IDC_OBJECT_SCALE_X, "2"},
                     {IDC_OBJECT_SCALE_Y, "2"},
                     {IDC_OBJECT_SCALE_Z, "2"},
                     {IDC_OBJECT_ROTATION_Y, "90"}};
    importWithDialog(writeXFile(scratch("levels.x"), levels.scene(false)), answers);
    const Matrix3 object = ScaleMatrix(Point3(2, 2, 2)) * RotateYMatrix(90 * kRadiansPerDegree);
    INode* body = findNode("Body");
    INode* hand = findNode("Hand");
    ASSERT_TRUE(body && hand);
    expectNear(levels.body * object, body->GetNodeTM(0), kTolerance, "Body");
    expectNear(levels.hand * levels.arm * levels.body * object, hand->GetNodeTM(0), 2 * kTolerance,
               "Hand");
}

TEST_F(HierarchyImport, AnAnimatedTopLevelNodeMovesInTheScaledAndTurnedSpace) {
    const ThreeLevels levels;
    DialogAnswers answers;
    answers.edits = {{IDC_OBJECT_SCALE_X, "0.5"},
                     {IDC_OBJECT_SCALE_Y, "0.5"},
                     {IDC_OBJECT_SCALE_Z, "0.5"},
                     {IDC_OBJECT_ROTATION_X, "30"}};
    importWithDialog(writeXFile(scratch("levels.x"), levels.scene(true)), answers);
    const Matrix3 object =
        ScaleMatrix(Point3(0.5f, 0.5f, 0.5f)) * RotateXMatrix(30 * kRadiansPerDegree); // pitch
    INode* body = findNode("Body");
    INode* arm = findNode("Arm");
    ASSERT_TRUE(body && arm);
    for (int ticks : {0, 4800}) {
        const Matrix3 bodyWorld = localAt(levels.bodyKeys, ticks) * object;
        expectNear(bodyWorld, body->GetNodeTM(ticks), kTolerance, "Body");
        expectNear(localAt(levels.armKeys, ticks) * bodyWorld, arm->GetNodeTM(ticks), kTolerance,
                   "Arm");
    }
}

} // namespace
