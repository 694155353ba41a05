// Keyed capture over the controllers a real scene carries: values are compared at key times,
// where every interpolation scheme passes through its keys.
#include "CaptureTestSupport.h"

#include "iskin.h"

using namespace scenekit;

namespace {

using ControllerCaptureTest = CaptureTest;

Quat eulerRotation(float x, float y, float z) {
    const float angles[3] = {x, y, z};
    Quat q;
    EulerToQuat(angles, q);
    return q;
}

template <class Map> std::vector<TimeValue> timesOf(const Map& keys) {
    std::vector<TimeValue> times;
    for (const auto& key : keys)
        times.push_back(key.first);
    return times;
}

const SnapshotTrack& defaultTrack(const SceneSnapshot& snapshot, const std::string& node) {
    return snapshot.animationSets.at("default").at(node);
}

TEST_F(ControllerCaptureTest, EulerRotationIsKeyedAtTheKeysOfAllThreeAxes) {
    INode* node = makeNode("euler");
    useEulerRotation(
        node, {{0, Point3(0, 0, 0)}, {1600, Point3(0.5f, 0.25f, 0)}, {4800, Point3(1, 0, 0.5f)}});
    keyEulerAxis(node, 1, 3200, 0.75f); // a key on Y alone

    auto snapshot = capture();
    const SnapshotTrack& track = defaultTrack(*snapshot, "euler");
    EXPECT_EQ(timesOf(track.rotationKeys), (std::vector<TimeValue>{0, 1600, 3200, 4800, 16000}));
    EXPECT_TRUE(sameRotation(track.rotationKeys.at(1600), eulerRotation(0.5f, 0.25f, 0)));
    EXPECT_TRUE(sameRotation(track.rotationKeys.at(4800), eulerRotation(1, 0, 0.5f)));
    EXPECT_TRUE(sameRotation(track.rotationKeys.at(16000), eulerRotation(1, 0, 0.5f)));
    // Position and scale have no keys: held at the start and the end only.
    EXPECT_EQ(timesOf(track.positionKeys), (std::vector<TimeValue>{0, 16000}));
}

TEST_F(ControllerCaptureTest, BezierAndTcbTracksPassThroughTheirKeys) {
    INode* node = makeNode("curves");
    useBezierPosition(node,
                      {{0, Point3(0, 0, 0)}, {1600, Point3(1, 2, 3)}, {3200, Point3(4, 5, 6)}});
    useTcbRotation(
        node,
        {{0, Quat(0, 0, 0, 1)}, {1600, rotationAbout(2, 1.0f)}, {3200, rotationAbout(0, 0.5f)}});
    useBezierScale(node, {{0, Point3(1, 1, 1)}, {2400, Point3(2, 3, 4)}});

    auto snapshot = capture();
    const SnapshotTrack& track = defaultTrack(*snapshot, "curves");
    EXPECT_TRUE(pointNear(track.positionKeys.at(1600), Point3(1, 2, 3)));
    EXPECT_TRUE(pointNear(track.positionKeys.at(3200), Point3(4, 5, 6)));
    EXPECT_TRUE(pointNear(track.positionKeys.at(16000), Point3(4, 5, 6)));
    EXPECT_TRUE(sameRotation(track.rotationKeys.at(1600), rotationAbout(2, 1.0f)));
    EXPECT_TRUE(sameRotation(track.rotationKeys.at(3200), rotationAbout(0, 0.5f)));
    EXPECT_TRUE(pointNear(track.scaleKeys.at(2400), Point3(2, 3, 4)));
    EXPECT_EQ(timesOf(track.scaleKeys), (std::vector<TimeValue>{0, 2400, 16000}));
}

TEST_F(ControllerCaptureTest, PositionXYZIsKeyedAtItsKeysWithinAStoredRange) {
    INode* node = makeNode("xyz");
    usePositionXYZ(node,
                   {{800, Point3(1, 0, 0)}, {2400, Point3(0, 2, 0)}, {4000, Point3(0, 0, 3)}});
    storeAnimationSets({{"middle", 10, 20}});

    auto snapshot = capture();
    const SnapshotTrack& track = snapshot->animationSets.at("middle").at("xyz");
    // Ticks 1600 to 3200: the key at 2400 lies 800 in; the ones at 800 and 4000 lie outside.
    EXPECT_EQ(timesOf(track.positionKeys), (std::vector<TimeValue>{0, 800, 1600}));
    EXPECT_TRUE(pointNear(track.positionKeys.at(800), Point3(0, 2, 0)));
}

TEST_F(ControllerCaptureTest, SampledCaptureFollowsTheControllersBetweenKeys) {
    INode* node = makeNode("curves");
    useBezierPosition(node, {{0, Point3(0, 0, 0)}, {4800, Point3(3, 0, 0)}});
    useEulerRotation(node, {{0, Point3(0, 0, 0)}, {4800, Point3(0, 0, 1)}});
    GetCOREInterface()->SetAnimRange(Interval(0, 4800));

    auto snapshot = capture(10);
    const auto& keys = defaultTrack(*snapshot, "curves").matrixKeys;
    ASSERT_EQ(keys.size(), 10u);
    // Each sample is the node's own matrix at that time, whatever the curve between keys.
    for (const auto& [time, local] : keys)
        EXPECT_TRUE(matrixNear(local, node->GetNodeTM(time))) << time;
    EXPECT_TRUE(matrixNear(keys.at(0), Matrix3(1)));
}

TEST_F(ControllerCaptureTest, HelpersCamerasAndLightsAreNodesWithoutMeshes) {
    INode* dummy = makeDummy("dummy");
    makeCamera("camera", dummy);
    makeLight("light");
    INode* box = makePrimitiveBox("primitive", Point3(2, 4, 6), dummy);

    auto snapshot = capture();
    ASSERT_EQ(snapshot->nodes.size(), 2u);
    const SnapshotNode& dummyNode = snapshot->nodes[0];
    EXPECT_TRUE(dummyNode.mesh.positions.empty());
    EXPECT_TRUE(dummyNode.mesh.materials.empty());
    ASSERT_EQ(dummyNode.children.size(), 2u);
    EXPECT_TRUE(dummyNode.children[0].mesh.positions.empty());
    EXPECT_TRUE(snapshot->nodes[1].mesh.positions.empty());
    // The primitive converts to a new triangle object each time; the capture reads and drops it
    // (the leak checker of the sanitizer build sees any that stays).
    const SnapshotMesh& primitive = dummyNode.children[1].mesh;
    EXPECT_EQ(primitive.positions.size(), 8u);
    EXPECT_EQ(primitive.faces.size(), 12u);
    for (const Point3& p : primitive.positions) {
        EXPECT_FLOAT_EQ(std::fabs(p.x), 1.0f);
        EXPECT_FLOAT_EQ(std::fabs(p.y), 2.0f);
    }
    EXPECT_NE(box->GetObjectRef()->ClassID(), triObjectClassID); // the node's object stays
}

TEST_F(ControllerCaptureTest, SkinDataMadeOnlyByEvaluationIsReadAfterTheFirstOne) {
    INode* arm = makeCylinder("arm", 1.0f, 4.0f, 4, 4);
    auto bones = makeBoneChain("bone", 2, 2.0f);
    auto* skin = static_cast<Modifier*>(CreateInstance(OSM_CLASS_ID, SKIN_CLASSID));
    addModifier(arm, skin);
    // Before any evaluation the node has no skin data: nothing to read, nothing to trip over.
    SnapshotMesh unevaluated;
    unevaluated.positions.assign(22, Point3(0, 0, 0));
    SceneCapture().captureSkin(arm, unevaluated);
    EXPECT_TRUE(unevaluated.skinWeights.empty());

    // The scene capture evaluates every node before it reads it.
    skinTo(arm, bones);
    auto snapshot = capture();
    EXPECT_FALSE(snapshot->nodes.at(0).mesh.skinWeights.empty());
}

TEST_F(ControllerCaptureTest, DeformablePhysiqueVerticesAreReadAsRigid) {
    INode* arm = makeCylinder("arm", 1.0f, 4.0f, 4, 4);
    auto bones = makeBoneChain("bone", 2, 2.0f);
    physiqueTo(arm, bones, {}, true);
    auto snapshot = capture();
    const SnapshotMesh& mesh = snapshot->nodes.at(0).mesh;
    ASSERT_EQ(mesh.skinWeights.size(), 2u);
    std::size_t weighted = 0;
    for (const SnapshotSkinWeights& bone : mesh.skinWeights)
        weighted += bone.weights.size();
    EXPECT_EQ(weighted, 22u + 4u); // every vertex, the shared ring with both bones
}

} // namespace
