#include "CaptureTestSupport.h"

#include "animsets/FrameTicks.h"
#include "capture/CaptureTime.h"

#include <limits>

using namespace scenekit;

namespace {

using TrackCaptureTest = CaptureTest;

constexpr TimeValue kMaxTime = std::numeric_limits<TimeValue>::max();

TEST_F(TrackCaptureTest, SamplingAtThirtyASecondStopsBeforeTheEnd) {
    INode* node = makeNode("n");
    SceneCapture capture;
    capture.samplingFps = 30;
    SnapshotAnimationSet set;
    capture.sampleTrack(node, set, 0, 4800);
    const auto& keys = set.at("n").matrixKeys;
    ASSERT_EQ(keys.size(), 30u);
    EXPECT_EQ(keys.begin()->first, 0);
    EXPECT_EQ(keys.rbegin()->first, 4640);

    SnapshotAnimationSet empty;
    capture.sampleTrack(node, empty, 4800, 4800);
    EXPECT_TRUE(empty.at("n").matrixKeys.empty()); // the track is made, without keys
}

TEST_F(TrackCaptureTest, ARateAboveTheTimeBaseSamplesEveryTick) {
    INode* node = makeNode("n");
    SceneCapture capture;
    capture.samplingFps = 100000;
    SnapshotAnimationSet set;
    capture.sampleTrack(node, set, 100, 110);
    const auto& keys = set.at("n").matrixKeys;
    ASSERT_EQ(keys.size(), 10u);
    EXPECT_EQ(keys.rbegin()->first, 9);
}

TEST_F(TrackCaptureTest, TickArithmeticClampsToTheTimeRange) {
    EXPECT_EQ(frameToTicks(10, 160), 1600);
    EXPECT_EQ(frameToTicks(20000000, 160), kMaxTime);
    EXPECT_EQ(frameToTicks(-20000000, 160), std::numeric_limits<TimeValue>::min() + 1);
    EXPECT_EQ(samplingStepTicks(4800, 30), 160);
    EXPECT_EQ(samplingStepTicks(4800, 9600), 1);
    EXPECT_EQ(samplingStepTicks(0, 30), 1);
}

TEST_F(TrackCaptureTest, AHugeStoredRangeFinishesWithoutWrappedKeyTimes) {
    INode* node = makeNode("mover");
    keyPosition(node, 1600, Point3(1, 0, 0));
    storeAnimationSets({{"long", 0, 20000000}, {"both ways", -20000000, 20000000}});

    auto keyed = capture();
    const SnapshotTrack& longTrack = keyed->animationSets.at("long").at("mover");
    ASSERT_EQ(longTrack.positionKeys.size(), 3u);
    EXPECT_EQ(longTrack.positionKeys.rbegin()->first, kMaxTime); // the end, clamped
    EXPECT_EQ(std::next(longTrack.positionKeys.begin())->first, 1600);
    // From the lowest frame to the highest, the key at 0 lands on the last relative time that
    // fits; neither the key at 1600 nor the end fit and are left out.
    const SnapshotTrack& both = keyed->animationSets.at("both ways").at("mover");
    ASSERT_EQ(both.positionKeys.size(), 2u);
    EXPECT_EQ(both.positionKeys.begin()->first, 0);
    EXPECT_EQ(both.positionKeys.rbegin()->first, kMaxTime);
    EXPECT_TRUE(pointNear(both.positionKeys.rbegin()->second, Point3(0, 0, 0)));

    auto sampled = capture(30);
    for (const auto& [setName, set] : sampled->animationSets) {
        const auto& keys = set.at("mover").matrixKeys;
        ASSERT_FALSE(keys.empty()) << setName;
        EXPECT_LE(std::int64_t(keys.size()), kMaxSamplesPerTrack) << setName;
        EXPECT_EQ(keys.begin()->first, 0) << setName;
        EXPECT_GT(keys.rbegin()->first, kMaxTime / 2) << setName; // spread over the whole range
    }
    // The start of "long" is the scene at tick 0; later samples hold the key at 1600.
    EXPECT_TRUE(
        matrixNear(sampled->animationSets.at("long").at("mover").matrixKeys.rbegin()->second,
                   translation(1, 0, 0)));
}

TEST_F(TrackCaptureTest, ASetThatEndsBeforeItStartsKeepsOnlyItsStartKeys) {
    INode* node = makeNode("mover");
    keyPosition(node, 4800, Point3(30, 0, 0));
    storeAnimationSets({{"backwards", 20, 10}});
    auto snapshot = capture();
    const SnapshotTrack& track = snapshot->animationSets.at("backwards").at("mover");
    ASSERT_EQ(track.positionKeys.size(), 1u);
    EXPECT_TRUE(pointNear(track.positionKeys.at(0), Point3(20, 0, 0)));
    EXPECT_EQ(track.rotationKeys.size(), 1u);
    EXPECT_EQ(track.scaleKeys.size(), 1u);
}

TEST_F(TrackCaptureTest, OpenEndedSetsTakeEveryLaterKeyAndNoEndKey) {
    INode* node = makeNode("mover");
    keyPosition(node, 1600, Point3(1, 0, 0));
    keyPosition(node, 9600, Point3(6, 0, 0));
    SceneCapture capture;
    SnapshotAnimationSet set;
    capture.keyTrack(node, set, 0, -1);
    const auto& keys = set.at("mover").positionKeys;
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_TRUE(pointNear(keys.at(9600), Point3(6, 0, 0)));

    SnapshotAnimationSet endsAtZero;
    capture.keyTrack(node, endsAtZero, -3200, 0);
    EXPECT_EQ(endsAtZero.at("mover").positionKeys.size(), 1u);
}

TEST_F(TrackCaptureTest, KeylessNodesGetNoTrackButTheirChildrenAreVisited) {
    INode* still = makeNode("still");
    INode* child = makeNode("child", nullptr, still);
    keyRotation(child, 800, rotationAbout(2, 1.0f));
    keyScale(child, 1600, Point3(2, 2, 2));

    auto snapshot = capture();
    const SnapshotAnimationSet& set = snapshot->animationSets.at("default");
    EXPECT_EQ(set.count("still"), 0u);
    const SnapshotTrack& track = set.at("child");
    ASSERT_EQ(track.rotationKeys.size(), 3u); // start, the key at 800, the end at 16000
    EXPECT_TRUE(sameRotation(track.rotationKeys.at(800), rotationAbout(2, 1.0f)));
    EXPECT_TRUE(sameRotation(track.rotationKeys.at(0), Quat(0, 0, 0, 1)));
    ASSERT_EQ(track.scaleKeys.size(), 3u);
    EXPECT_TRUE(pointNear(track.scaleKeys.at(1600), Point3(2, 2, 2)));
    // The position has no keys of its own: start and end only, at the node's place.
    EXPECT_EQ(track.positionKeys.size(), 2u);
}

TEST_F(TrackCaptureTest, ABipedBodyIsKeyedFromItsThreeSubTracks) {
    INode* root = makeNode("Bip01");
    useBipedBody(root);
    keyWorld(root, 0, translation(0, 0, 0));
    keyWorld(root, 1600, RotateZMatrix(0.5f) * translation(0, 0, 10));

    auto snapshot = capture();
    const SnapshotTrack& track = snapshot->animationSets.at("default").at("Bip01");
    ASSERT_EQ(track.positionKeys.count(1600), 1u);
    EXPECT_TRUE(pointNear(track.positionKeys.at(1600), Point3(0, 0, 10)));
    EXPECT_TRUE(sameRotation(track.rotationKeys.at(1600), Quat(RotateZMatrix(0.5f))));
    EXPECT_TRUE(pointNear(track.scaleKeys.at(1600), Point3(1, 1, 1)));
}

// The body's sub-tracks give world matrices; each key is made relative to the parent where the
// parent is at that key's time, the set's start and end included.
TEST_F(TrackCaptureTest, ABipedBodyUnderAMovingParentKeepsItsLocalPlace) {
    INode* carrier = makeNode("carrier");
    keyPosition(carrier, 3200, Point3(10, 0, 0));
    INode* body = makeNode("Bip01", nullptr, carrier);
    useBipedBody(body);
    keyWorld(body, 0, translation(0, 0, 1));
    keyWorld(body, 3200, translation(10, 0, 1));
    storeAnimationSets({{"carried", 10, 15}});

    auto snapshot = capture();
    const SnapshotTrack& track = snapshot->animationSets.at("carried").at("Bip01");
    ASSERT_EQ(track.positionKeys.size(), 2u);
    EXPECT_TRUE(pointNear(track.positionKeys.at(0), Point3(0, 0, 1)));
    EXPECT_TRUE(pointNear(track.positionKeys.at(800), Point3(0, 0, 1)));
}

TEST_F(TrackCaptureTest, AMirroredNodeKeepsItsMirrorInTheScaleKeys) {
    INode* node = makeNode("mirror");
    keyWorld(node, 0, ScaleMatrix(Point3(-1, 1, 1)));
    keyWorld(node, 1600, ScaleMatrix(Point3(-2, 2, 2)) * translation(1, 0, 0));
    auto snapshot = capture();
    const SnapshotTrack& track = snapshot->animationSets.at("default").at("mirror");
    const Point3 s = track.scaleKeys.at(1600);
    const Matrix3 rebuilt = ScaleMatrix(s) * [&] {
        Matrix3 r;
        track.rotationKeys.at(1600).MakeMatrix(r);
        return r;
    }();
    EXPECT_TRUE(rebuilt.Parity());
    EXPECT_NEAR(std::fabs(s.x * s.y * s.z), 8.0f, 1e-3f);
}

} // namespace
