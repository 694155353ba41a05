#include "model/SceneConversion.h"

#include "model/MeshIndexProcessing.h"
#include "model/XModelTransforms.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float kHalfRoot2 = 0.70710678f;

Matrix3 matrixOfRows(Point3 r0, Point3 r1, Point3 r2, Point3 t) {
    return Matrix3(r0, r1, r2, t);
}

bool sameMatrix(const Matrix3& a, const Matrix3& b, float tolerance = 1e-5f) {
    for (int r = 0; r < 4; ++r)
        if (!a.GetRow(r).Equals(b.GetRow(r), tolerance)) return false;
    return true;
}

// A node "Box 01" with a child, a skinned, textured, coloured triangle mesh and one material.
SceneSnapshot boxSnapshot() {
    SceneSnapshot snapshot;
    SnapshotNode& box = snapshot.nodes.emplace_back();
    box.name = "Box 01";
    box.localTransform = matrixOfRows({0, 1, 0}, {-1, 0, 0}, {0, 0, 2}, {1, 2, 3});
    SnapshotMesh& mesh = box.mesh;
    mesh.positions = {Point3(0, 0, 0), Point3(1, 0, 0), Point3(0, 1, 0)};
    mesh.faces = {{{0, 1, 2}}};
    mesh.normals = {Point3(0, 0, 1)};
    mesh.normalFaces = {{{0, 0, 0}}};
    mesh.texCoords = {{0.5f, 0.25f}, {1, 0}};
    mesh.texCoordFaces = {{{1, 0, 1}}};
    mesh.colors = {{1, 0.5f, 0.25f, 1}};
    mesh.colorFaces = {{{0, 0, 0}}};
    mesh.faceMaterials = {0};
    SnapshotMaterial material;
    material.diffuse = {1, 0, 0, 0.5f};
    material.ambient = {0.1f, 0.1f, 0.1f, 1};
    material.specular = {0.9f, 0.9f, 0.9f, 0};
    material.power = 25;
    material.textureFilename = "C:\\maps\\brick wall.png";
    material.diffuseColorChannel = 2;
    material.opacityColorChannel = 3;
    mesh.materials = {material};
    SnapshotSkinWeights bone;
    bone.boneName = "Upper Arm";
    bone.offsetMatrix = matrixOfRows({1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, -5, 0});
    bone.weights = {{0, 1.0f}, {2, 0.25f}};
    mesh.skinWeights = {bone};
    SnapshotNode& lid = box.children.emplace_back();
    lid.name = "Lid";
    lid.localTransform = Matrix3(TRUE);

    SnapshotTrack& track = findOrAddTrack(snapshot.findOrAddSet("Open Lid"), "Box 01");
    track.positionKeys[0] = Point3(1, 2, 3);
    track.scaleKeys[160] = Point3(1, 1, 2);
    track.rotationKeys[320] = Quat(0, 0, kHalfRoot2, kHalfRoot2);
    snapshot.findOrAddSet("Empty");
    return snapshot;
}

} // namespace

TEST(SceneConversion, MatrixFormsAddAndDropTheFourthColumn) {
    const XMatrix x = toXMatrix(matrixOfRows({1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}));
    EXPECT_EQ(x.m, (std::array<float, 16>{1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 1}));

    XMatrix projective;
    projective.m = {1, 2, 3, 9, 4, 5, 6, 9, 7, 8, 9, 9, 10, 11, 12, 9};
    EXPECT_TRUE(toMatrix3(projective) ==
                matrixOfRows({1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}));
}

TEST(SceneConversion, ExportTurnsSpacesIntoUnderscoresExceptInSetNames) {
    const std::unique_ptr<XScene> scene = snapshotToXScene(boxSnapshot());
    const XFrame& box = scene->frames.front();
    EXPECT_EQ(box.name, "Box_01");
    EXPECT_EQ(box.mesh.skinWeights[0].boneName, "Upper_Arm");
    EXPECT_EQ(box.mesh.materials[0].textureFilename, "C:\\maps\\brick wall.png");
    ASSERT_TRUE(scene->animationSets.contains("Open Lid"));
    EXPECT_TRUE(scene->animationSets.at("Open Lid").contains("Box_01"));
    EXPECT_TRUE(scene->animationSets.at("Empty").empty());
    EXPECT_EQ(box.mesh.faces[0], (XFace{3, {0, 1, 2, 0}}));
    EXPECT_EQ(box.mesh.materials[0].emissive, (XColor{0, 0, 0, 0}));
    EXPECT_EQ(box.transform.m[12], 1);
    EXPECT_EQ(box.transform.m[15], 1);
}

TEST(SceneConversion, TracksDifferingOnlyBySpacesMeetInOneAnimation) {
    SceneSnapshot snapshot;
    SnapshotAnimationSet& set = snapshot.findOrAddSet("Set");
    findOrAddTrack(set, "Arm_L").positionKeys[0] = Point3(2, 0, 0); // "Arm_L" > "Arm L": later
    findOrAddTrack(set, "Arm L").positionKeys[0] = Point3(1, 0, 0);
    findOrAddTrack(set, "Arm L").positionKeys[10] = Point3(3, 0, 0);
    const std::unique_ptr<XScene> scene = snapshotToXScene(snapshot);
    const XAnimationSet& xSet = scene->animationSets.at("Set");
    ASSERT_EQ(xSet.size(), 1u);
    EXPECT_EQ(xSet.at("Arm_L").positionKeys.at(0), (XVector3{2, 0, 0}));
    EXPECT_EQ(xSet.at("Arm_L").positionKeys.at(10), (XVector3{3, 0, 0}));
}

TEST(SceneConversion, RoundTripKeepsEverythingButEmissiveAndChannels) {
    const SceneSnapshot original = boxSnapshot();
    const std::unique_ptr<SceneSnapshot> back = xSceneToSnapshot(*snapshotToXScene(original));

    ASSERT_EQ(back->nodes.size(), 1u);
    const SnapshotNode& box = back->nodes[0];
    const SnapshotNode& source = original.nodes[0];
    EXPECT_EQ(box.name, "Box_01");
    EXPECT_TRUE(box.localTransform == source.localTransform);
    EXPECT_EQ(box.mesh.faces, source.mesh.faces);
    EXPECT_EQ(box.mesh.normalFaces, source.mesh.normalFaces);
    EXPECT_EQ(box.mesh.texCoordFaces, source.mesh.texCoordFaces);
    EXPECT_EQ(box.mesh.colorFaces, source.mesh.colorFaces);
    ASSERT_EQ(box.mesh.positions.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_TRUE(box.mesh.positions[i] == source.mesh.positions[i]);
    EXPECT_TRUE(box.mesh.normals[0] == source.mesh.normals[0]);
    EXPECT_EQ(box.mesh.texCoords, source.mesh.texCoords);
    EXPECT_EQ(box.mesh.colors, source.mesh.colors);
    EXPECT_EQ(box.mesh.faceMaterials, source.mesh.faceMaterials);
    EXPECT_EQ(box.mesh.skinWeights[0].boneName, "Upper_Arm");
    EXPECT_EQ(box.mesh.skinWeights[0].weights, source.mesh.skinWeights[0].weights);
    EXPECT_TRUE(box.mesh.skinWeights[0].offsetMatrix == source.mesh.skinWeights[0].offsetMatrix);
    const SnapshotMaterial& material = box.mesh.materials[0];
    EXPECT_EQ(material.diffuse, (SnapshotColor{1, 0, 0, 0.5f}));
    EXPECT_EQ(material.specular, (SnapshotColor{0.9f, 0.9f, 0.9f, 0}));
    EXPECT_EQ(material.power, 25);
    EXPECT_EQ(material.textureFilename, "C:\\maps\\brick wall.png");
    EXPECT_EQ(material.diffuseColorChannel, -1);
    EXPECT_EQ(material.opacityColorChannel, -1);
    ASSERT_EQ(box.children.size(), 1u);
    EXPECT_EQ(box.children[0].name, "Lid");

    const SnapshotTrack& track = back->animationSets.at("Open Lid").at("Box_01");
    EXPECT_TRUE(track.positionKeys.at(0) == Point3(1, 2, 3));
    EXPECT_TRUE(track.scaleKeys.at(160) == Point3(1, 1, 2));
    EXPECT_TRUE(track.rotationKeys.at(320) == Quat(0, 0, kHalfRoot2, kHalfRoot2));
    EXPECT_TRUE(back->animationSets.at("Empty").empty());
}

TEST(SceneConversion, TakingTheSnapshotGivesTheSameSceneAndEmptiesOnlyTheMeshes) {
    SceneSnapshot snapshot = boxSnapshot();
    const std::unique_ptr<XScene> read = snapshotToXScene(snapshot);
    const std::unique_ptr<XScene> taken = snapshotToXScene(std::move(snapshot));
    EXPECT_TRUE(*taken == *read);
    EXPECT_FALSE(taken->frames.front().mesh.skinWeights.front().weights.empty());

    ASSERT_EQ(snapshot.nodes.size(), 1u);
    const SnapshotMesh& left = snapshot.nodes[0].mesh;
    EXPECT_TRUE(left.faces.empty() && left.positions.empty() && left.normals.empty() &&
                left.texCoords.empty() && left.skinWeights.empty() && left.materials.empty() &&
                left.faceMaterials.empty());
    EXPECT_EQ(snapshot.nodes[0].name, "Box 01");
    EXPECT_EQ(snapshot.nodes[0].children.size(), 1u);
    EXPECT_EQ(snapshot.animationSets.size(), boxSnapshot().animationSets.size());
}

// Taking the X scene's meshes gives the snapshot that reading it gives, and leaves the scene with
// its tree, names, transforms and sets but empty meshes.
TEST(SceneConversion, TakingTheSceneGivesTheSameSnapshotAndEmptiesOnlyTheMeshes) {
    XScene scene = *snapshotToXScene(boxSnapshot());
    const std::unique_ptr<SceneSnapshot> read = xSceneToSnapshot(scene);
    const XScene before = scene;
    const std::unique_ptr<SceneSnapshot> taken = xSceneToSnapshot(std::move(scene));

    ASSERT_EQ(taken->nodes.size(), 1u);
    const SnapshotMesh& a = read->nodes[0].mesh;
    const SnapshotMesh& b = taken->nodes[0].mesh;
    EXPECT_EQ(a.faces, b.faces);
    EXPECT_EQ(a.normalFaces, b.normalFaces);
    EXPECT_EQ(a.texCoordFaces, b.texCoordFaces);
    EXPECT_EQ(a.colorFaces, b.colorFaces);
    ASSERT_EQ(a.positions.size(), b.positions.size());
    for (std::size_t i = 0; i < a.positions.size(); ++i)
        EXPECT_TRUE(a.positions[i] == b.positions[i]);
    ASSERT_EQ(a.normals.size(), b.normals.size());
    EXPECT_EQ(a.texCoords, b.texCoords);
    EXPECT_EQ(a.colors, b.colors);
    EXPECT_EQ(a.faceMaterials, b.faceMaterials);
    ASSERT_EQ(b.skinWeights.size(), 1u);
    EXPECT_EQ(b.skinWeights[0].boneName, a.skinWeights[0].boneName);
    EXPECT_FALSE(b.skinWeights[0].weights.empty());
    EXPECT_EQ(b.skinWeights[0].weights, a.skinWeights[0].weights);
    EXPECT_EQ(b.materials.size(), a.materials.size());
    ASSERT_EQ(taken->nodes[0].children.size(), 1u);
    EXPECT_EQ(taken->animationSets.size(), read->animationSets.size());

    ASSERT_EQ(scene.frames.size(), 1u);
    EXPECT_TRUE(scene.frames.front().mesh == XMesh());
    EXPECT_EQ(scene.frames.front().name, before.frames.front().name);
    EXPECT_EQ(scene.frames.front().transform, before.frames.front().transform);
    EXPECT_EQ(scene.frames.front().children.size(), 1u);
    EXPECT_EQ(scene.animationSets, before.animationSets);
}

TEST(SceneConversion, ImportTakesTheFirstThreeCornersAndKeepsNames) {
    XScene scene;
    XFrame& frame = scene.frames.emplace_back();
    frame.name = "Name With Spaces";
    frame.mesh.positions.resize(4);
    frame.mesh.faces = {XFace{4, {3, 2, 1, 0}}};
    frame.mesh.faceMaterials = {0xFFFFFFFFu};
    const std::unique_ptr<SceneSnapshot> snapshot = xSceneToSnapshot(scene);
    EXPECT_EQ(snapshot->nodes[0].name, "Name With Spaces");
    EXPECT_EQ(snapshot->nodes[0].mesh.faces, (std::vector<SnapshotTriangle>{{{3, 2, 1}}}));
    EXPECT_EQ(snapshot->nodes[0].mesh.faceMaterials, (std::vector<std::int32_t>{-1}));
}

TEST(SceneConversion, MatrixKeysBecomePositionScaleAndRotationKeys) {
    XScene scene;
    XAnimation& animation = scene.animationSets["Sampled"]["Bone"];
    // scale (2, 3, 4), then 90 degrees about z (x to +y), then translation (1, 2, 3)
    animation.matrixKeys[0].m = {0, 2, 0, 0, -3, 0, 0, 0, 0, 0, 4, 0, 1, 2, 3, 1};
    animation.positionKeys[0] = {9, 9, 9}; // replaced by the matrix key's translation
    animation.positionKeys[80] = {5, 6, 7};
    // a mirror through z = 0
    animation.matrixKeys[160].m = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1};

    const std::unique_ptr<SceneSnapshot> snapshot = xSceneToSnapshot(scene);
    const SnapshotTrack& track = snapshot->animationSets.at("Sampled").at("Bone");
    EXPECT_TRUE(track.matrixKeys.empty());
    EXPECT_TRUE(track.positionKeys.at(0).Equals(Point3(1, 2, 3)));
    EXPECT_TRUE(track.positionKeys.at(80) == Point3(5, 6, 7));
    EXPECT_TRUE(track.scaleKeys.at(0).Equals(Point3(2, 3, 4), 1e-5f));
    // the host's quaternion of a quarter turn about z is (0, 0, -sqrt(1/2), sqrt(1/2)), up to sign
    const Quat q = track.rotationKeys.at(0);
    const float sign = q.w < 0 ? -1.0f : 1.0f;
    EXPECT_TRUE((q * sign).Equals(Quat(0, 0, -kHalfRoot2, kHalfRoot2), 1e-5f));

    // The mirrored key recomposes from its keys: scale, then rotation, then translation.
    ASSERT_EQ(track.scaleKeys.size(), 2u);
    Matrix3 rotation;
    track.rotationKeys.at(160).MakeMatrix(rotation);
    const Matrix3 recomposed =
        ScaleMatrix(track.scaleKeys.at(160)) * rotation * TransMatrix(track.positionKeys.at(160));
    EXPECT_TRUE(sameMatrix(recomposed, matrixOfRows({1, 0, 0}, {0, 1, 0}, {0, 0, -1}, {0, 0, 0})));
}

// Far deeper than any call stack could recurse: every operation over the models walks with a
// work list, and copies, comparisons and destruction do too.
constexpr int kDeepChain = 100000;

TEST(SceneConversion, AChainOfAHundredThousandFramesSurvivesEveryOperation) {
    XScene scene;
    XFrame* frame = &scene.frames.emplace_back();
    for (int depth = 1; depth < kDeepChain; ++depth) {
        frame->name = "Level " + std::to_string(depth);
        frame = &frame->children.emplace_back();
    }
    frame->mesh.positions.resize(4);
    frame->mesh.faces = {XFace{4, {0, 1, 2, 3}}};
    scene.animationSets["Spin"]["Level 1"].rotationKeys[0] = XQuaternion{0, 0, 0, 1};

    XScene copy = scene;
    EXPECT_TRUE(copy == scene);
    prepareImportedScene(copy);
    EXPECT_FALSE(copy == scene);
    mirrorHandedness(copy);
    scaleTopFrames(copy, 2, 2, 2);
    rotateTopFrames(copy, 0, 90, 0);
    const std::unique_ptr<SceneSnapshot> snapshot = xSceneToSnapshot(copy);
    const SceneSnapshot snapshotCopy = *snapshot;
    const std::unique_ptr<XScene> back = snapshotToXScene(snapshotCopy);
    const XFrame* deepest = &back->frames.front();
    int depth = 1;
    while (!deepest->children.empty()) {
        deepest = &deepest->children.front();
        ++depth;
    }
    EXPECT_EQ(depth, kDeepChain);
    EXPECT_EQ(deepest->mesh.faces.size(), 2u);
    EXPECT_EQ(back->frames.front().name, "Level_1");

    copy = *back; // assignment over a deep tree drops the old one without recursion
    EXPECT_TRUE(copy == *back);
}

TEST(SceneConversion, AChainOfAHundredThousandNodesConvertsToFrames) {
    SceneSnapshot snapshot;
    SnapshotNode* node = &snapshot.nodes.emplace_back();
    for (int depth = 1; depth < kDeepChain; ++depth) {
        node->name = "Bone " + std::to_string(depth);
        node = &node->children.emplace_back();
    }
    node->name = "Tip";
    const std::unique_ptr<XScene> scene = snapshotToXScene(snapshot);
    const XFrame* frame = &scene->frames.front();
    int depth = 1;
    while (!frame->children.empty()) {
        frame = &frame->children.front();
        ++depth;
    }
    EXPECT_EQ(depth, kDeepChain);
    EXPECT_EQ(frame->name, "Tip");
}

TEST(SceneConversion, ACollapsedMatrixKeyGivesFiniteKeys) {
    XScene scene;
    XAnimation& animation = scene.animationSets["Vanish"]["Box"];
    animation.matrixKeys[0].m = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 5, 6, 1};
    const std::unique_ptr<SceneSnapshot> snapshot = xSceneToSnapshot(scene);
    const SnapshotTrack& track = snapshot->animationSets.at("Vanish").at("Box");
    EXPECT_TRUE(track.positionKeys.at(0) == Point3(4, 5, 6));
    EXPECT_TRUE(track.scaleKeys.at(0) == Point3(0, 0, 0));
    const Quat q = track.rotationKeys.at(0);
    for (float value : {q.x, q.y, q.z, q.w})
        EXPECT_TRUE(std::isfinite(value));
}

// Per-corner lists equal to the faces become lists that share the faces' storage, read or taken;
// the others keep their own indices.
TEST(SceneConversion, CornerListsEqualToTheFacesShareTheirStorage) {
    SceneSnapshot snapshot = boxSnapshot();
    SnapshotMesh& mesh = snapshot.nodes[0].mesh;
    mesh.texCoords.resize(3);
    mesh.texCoordFaces = mesh.faces;
    mesh.colors.resize(3);
    mesh.colorFaces = {{{2, 1, 0}}};

    const std::unique_ptr<XScene> read = snapshotToXScene(snapshot);
    const std::unique_ptr<XScene> taken = snapshotToXScene(std::move(snapshot));
    for (const XScene* scene : {read.get(), taken.get()}) {
        const XMesh& x = scene->frames.front().mesh;
        EXPECT_EQ(x.faces, (std::vector<XFace>{XFace{3, {0, 1, 2, 0}}}));
        EXPECT_TRUE(x.texCoordFaces.sharesStorageWith(x.faces));
        EXPECT_FALSE(x.normalFaces.sharesStorageWith(x.faces));
        EXPECT_EQ(x.normalFaces, (std::vector<XFace>{XFace{3, {0, 0, 0, 0}}}));
        EXPECT_EQ(x.colorFaces, (std::vector<XFace>{XFace{3, {2, 1, 0, 0}}}));
    }
    EXPECT_TRUE(snapshot.nodes[0].mesh.texCoordFaces.empty()); // NOLINT: taken, as documented
}
