#include "CaptureTestSupport.h"

#include <limits>

using namespace scenekit;

namespace {

using SceneCaptureTest = CaptureTest;

TEST_F(SceneCaptureTest, CapturesEveryNodeInChildOrderWithLocalMatricesAtTimeZero) {
    INode* body = makeNode("Body Part");
    INode* arm = makeNode("arm", nullptr, body);
    INode* hand = makeNode("hand", nullptr, arm);
    INode* leg = makeNode("leg", nullptr, body);
    INode* hidden = makeNode("hidden");
    hidden->Hide(TRUE);
    place(body, translation(1, 2, 3));
    place(arm, RotateZMatrix(1.5707964f) * translation(1, 2, 5));
    place(hand, translation(4, 4, 4));
    GetCOREInterface()->SetTime(800);
    GetCOREInterface()->SelectNode(leg);

    auto snapshot = capture();
    ASSERT_EQ(snapshot->nodes.size(), 2u);
    const SnapshotNode& captured = snapshot->nodes[0];
    EXPECT_EQ(captured.name, "Body Part");
    EXPECT_EQ(snapshot->nodes[1].name, "hidden");
    ASSERT_EQ(captured.children.size(), 2u);
    EXPECT_EQ(captured.children[0].name, "arm");
    EXPECT_EQ(captured.children[1].name, "leg");
    ASSERT_EQ(captured.children[0].children.size(), 1u);
    EXPECT_EQ(captured.children[0].children[0].name, "hand");

    EXPECT_TRUE(matrixNear(captured.localTransform, translation(1, 2, 3)));
    // arm: a quarter turn about Z, two units above the body.
    EXPECT_TRUE(
        matrixNear(captured.children[0].localTransform,
                   Matrix3(Point3(0, 1, 0), Point3(-1, 0, 0), Point3(0, 0, 1), Point3(0, 0, 2))));
    // hand at world (4, 4, 4) seen from the turned arm at (1, 2, 5): (3, 2, -1) turned back.
    EXPECT_TRUE(
        matrixNear(captured.children[0].children[0].localTransform,
                   Matrix3(Point3(0, -1, 0), Point3(1, 0, 0), Point3(0, 0, 1), Point3(2, -3, -1))));
}

TEST_F(SceneCaptureTest, AnEmptySceneHasNoNodesAndNoSetsEvenWithStoredRanges) {
    storeAnimationSets({{"walk", 0, 10}});
    auto snapshot = capture();
    EXPECT_TRUE(snapshot->nodes.empty());
    EXPECT_TRUE(snapshot->animationSets.empty());
    auto sampled = capture(30);
    EXPECT_TRUE(sampled->animationSets.empty());
}

TEST_F(SceneCaptureTest, WithoutStoredRangesOneDefaultSetCoversTheSceneRange) {
    INode* node = makeNode("mover");
    keyPosition(node, 1600, Point3(0, 0, 16));
    GetCOREInterface()->SetAnimRange(Interval(800, 4000));

    auto snapshot = capture();
    ASSERT_EQ(snapshot->animationSets.size(), 1u);
    const SnapshotAnimationSet& set = snapshot->animationSets.at("default");
    const SnapshotTrack& track = set.at("mover");
    // Keys at 0 and 1600 (the first key away from 0 also keys 0): start 800 holds 8, the key
    // at 1600 is 800 into the set, the end at 4000 holds the last key.
    ASSERT_EQ(track.positionKeys.size(), 3u);
    EXPECT_TRUE(pointNear(track.positionKeys.at(0), Point3(0, 0, 8)));
    EXPECT_TRUE(pointNear(track.positionKeys.at(800), Point3(0, 0, 16)));
    EXPECT_TRUE(pointNear(track.positionKeys.at(3200), Point3(0, 0, 16)));
    EXPECT_EQ(track.rotationKeys.size(), 2u); // start and end only
    EXPECT_TRUE(track.matrixKeys.empty());
}

TEST_F(SceneCaptureTest, StoredRangeTenToTwentyIsKeyedBetweenTicks1600And3200) {
    INode* node = makeNode("mover");
    keyPosition(node, 2000, Point3(20, 0, 0)); // also keys 0 at the origin
    keyPosition(node, 4000, Point3(40, 0, 0));
    storeAnimationSets({{"walk", 10, 20}});

    auto snapshot = capture();
    ASSERT_EQ(snapshot->animationSets.count("default"), 0u);
    const SnapshotTrack& track = snapshot->animationSets.at("walk").at("mover");
    ASSERT_EQ(track.positionKeys.size(), 3u);
    EXPECT_TRUE(pointNear(track.positionKeys.at(0), Point3(16, 0, 0)));
    EXPECT_TRUE(pointNear(track.positionKeys.at(400), Point3(20, 0, 0)));
    EXPECT_TRUE(pointNear(track.positionKeys.at(1600), Point3(32, 0, 0)));
}

TEST_F(SceneCaptureTest, SampledRangesGiveEveryNodeATrackInEverySet) {
    INode* parent = makeNode("parent");
    INode* child = makeNode("child", nullptr, parent);
    place(child, translation(0, 0, 1));
    keyPosition(parent, 3200, Point3(32, 0, 0));
    storeAnimationSets({{"walk", 10, 20}, {"run", 0, 1}});

    auto snapshot = capture(30);
    ASSERT_EQ(snapshot->animationSets.size(), 2u);
    const SnapshotTrack& walkParent = snapshot->animationSets.at("walk").at("parent");
    const SnapshotTrack& walkChild = snapshot->animationSets.at("walk").at("child");
    ASSERT_EQ(walkParent.matrixKeys.size(), 10u);
    EXPECT_EQ(walkParent.matrixKeys.begin()->first, 0);
    EXPECT_EQ(walkParent.matrixKeys.rbegin()->first, 1440);
    EXPECT_TRUE(matrixNear(walkParent.matrixKeys.at(160), translation(17.6f, 0, 0)));
    ASSERT_EQ(walkChild.matrixKeys.size(), 10u);
    EXPECT_TRUE(matrixNear(walkChild.matrixKeys.at(1440), translation(0, 0, 1)));
    EXPECT_TRUE(walkParent.positionKeys.empty());
    EXPECT_EQ(snapshot->animationSets.at("run").at("child").matrixKeys.size(), 1u);
}

TEST_F(SceneCaptureTest, ANegativeSamplingRateMeansKeyedCapture) {
    INode* node = makeNode("mover");
    keyPosition(node, 1600, Point3(1, 0, 0));
    auto snapshot = capture(-30);
    const SnapshotTrack& track = snapshot->animationSets.at("default").at("mover");
    EXPECT_TRUE(track.matrixKeys.empty());
    EXPECT_FALSE(track.positionKeys.empty());
}

// Every walk over the tree keeps its own stack, so depth is no limit.
TEST_F(SceneCaptureTest, ADeepChainIsCapturedWhole) {
    constexpr int kDepth = 2000;
    INode* parent = nullptr;
    for (int i = 0; i < kDepth; ++i)
        parent = makeNode("n" + std::to_string(i), nullptr, parent);
    keyPosition(parent, 160, Point3(0, 0, 1));

    auto snapshot = capture();
    int depth = 0;
    const SnapshotNode* node = snapshot->nodes.empty() ? nullptr : &snapshot->nodes[0];
    for (; node; node = node->children.empty() ? nullptr : &node->children[0]) {
        ++depth;
        if (!node->children.empty()) {
            EXPECT_EQ(node->children.size(), 1u);
        }
    }
    EXPECT_EQ(depth, kDepth);
    EXPECT_EQ(snapshot->animationSets.at("default").size(), 1u); // only the keyed leaf
    // Dismantle the tree from the top, so that the snapshot's own destruction stays shallow.
    for (std::vector<SnapshotNode> level = std::move(snapshot->nodes); !level.empty();) {
        std::vector<SnapshotNode> next = std::move(level[0].children);
        level = std::move(next);
    }
}

} // namespace
