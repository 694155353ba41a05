#include "model/XModelTransforms.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float kTolerance = 1e-5f;
constexpr float kHalfRoot2 = 0.70710678f;

XMatrix rows(XVector3 r0, XVector3 r1, XVector3 r2, XVector3 t = {}) {
    XMatrix m;
    m.m = {r0.x, r0.y, r0.z, 0, r1.x, r1.y, r1.z, 0, r2.x, r2.y, r2.z, 0, t.x, t.y, t.z, 1};
    return m;
}

XMatrix product(const XMatrix& a, const XMatrix& b) {
    XMatrix p;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            double sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += double(a.at(r, k)) * b.at(k, c);
            p.at(r, c) = float(sum);
        }
    return p;
}

// The host's axis rotations, row-vector form, right-hand rule.
XMatrix rotateX(float a) {
    return rows({1, 0, 0}, {0, std::cos(a), std::sin(a)}, {0, -std::sin(a), std::cos(a)});
}
XMatrix rotateY(float a) {
    return rows({std::cos(a), 0, -std::sin(a)}, {0, 1, 0}, {std::sin(a), 0, std::cos(a)});
}
XMatrix rotateZ(float a) {
    return rows({std::cos(a), std::sin(a), 0}, {-std::sin(a), std::cos(a), 0}, {0, 0, 1});
}
XMatrix scaling(XVector3 s) {
    return rows({s.x, 0, 0}, {0, s.y, 0}, {0, 0, s.z});
}
XMatrix translation(XVector3 t) {
    return rows({1, 0, 0}, {0, 1, 0}, {0, 0, 1}, t);
}

// The frame rotation a key stands for: the standard right-handed matrix of (x, y, z, w), read as a
// row-vector matrix.
XMatrix keyRotation(const XQuaternion& q) {
    const float x = q.x, y = q.y, z = q.z, w = q.w;
    return rows({1 - 2 * (y * y + z * z), 2 * (x * y - w * z), 2 * (x * z + w * y)},
                {2 * (x * y + w * z), 1 - 2 * (x * x + z * z), 2 * (y * z - w * x)},
                {2 * (x * z - w * y), 2 * (y * z + w * x), 1 - 2 * (x * x + y * y)});
}

XQuaternion normalized(XQuaternion q) {
    const float n = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
    return {q.x / n, q.y / n, q.z / n, q.w / n};
}

// The local matrix the keys give at one time: scale x rotation x translation, or the matrix key.
XMatrix localFromKeys(const XAnimation& a, XKeyTimeTicks time) {
    if (a.matrixKeys.contains(time)) return a.matrixKeys.at(time);
    XMatrix local;
    if (a.scaleKeys.contains(time)) local = scaling(a.scaleKeys.at(time));
    if (a.rotationKeys.contains(time)) local = product(local, keyRotation(a.rotationKeys.at(time)));
    if (a.positionKeys.contains(time)) local = product(local, translation(a.positionKeys.at(time)));
    return local;
}

void expectMatrixNear(const XMatrix& actual, const XMatrix& expected,
                      float tolerance = kTolerance) {
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(actual.m[i], expected.m[i], tolerance) << "element " << i;
}

void expectSameRotation(const XQuaternion& a, const XQuaternion& b) {
    const float sign = (a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w) < 0 ? -1.0f : 1.0f;
    EXPECT_NEAR(a.x, sign * b.x, kTolerance);
    EXPECT_NEAR(a.y, sign * b.y, kTolerance);
    EXPECT_NEAR(a.z, sign * b.z, kTolerance);
    EXPECT_NEAR(a.w, sign * b.w, kTolerance);
}

// A top-level frame "Hip" with a child, animated in one set by every kind of key.
XScene walkingScene() {
    XScene scene;
    XFrame& hip = scene.frames.emplace_back();
    hip.name = "Hip";
    hip.transform = product(rotateZ(0.3f), translation({1, 2, 3}));
    XFrame& knee = hip.children.emplace_back();
    knee.name = "Knee";
    knee.transform = translation({0, -4, 0});

    XAnimation& hipKeys = scene.animationSets["Walk"]["Hip"];
    hipKeys.positionKeys = {{0, {1, 2, 3}}, {160, {1.5f, 2, 3}}, {320, {2, 2.5f, 3}}};
    hipKeys.rotationKeys = {{0, {0, 0, 0, 1}},
                            {160, normalized({0.1f, 0.2f, 0.3f, 0.9f})},
                            {320, normalized({-0.4f, 0.1f, 0.5f, 0.6f})}};
    hipKeys.scaleKeys = {{0, {1, 1, 1}}, {160, {1.2f, 1.2f, 1.2f}}, {320, {1, 2, 3}}};
    hipKeys.matrixKeys = {{480, product(rotateX(0.7f), translation({3, 2, 1}))}};
    scene.animationSets["Walk"]["Knee"].positionKeys = {{0, {0, -4, 0}}};
    return scene;
}

} // namespace

TEST(MirrorMatrix, IdentityStaysIdentityAndTranslationFlipsItsZ) {
    expectMatrixNear(mirrorMatrix(XMatrix{}), XMatrix{});
    expectMatrixNear(mirrorMatrix(translation({1, 2, 3})), translation({1, 2, -3}));
}

TEST(MirrorMatrix, TurnsRotationsAboutXAndYTheOtherWayAndKeepsScale) {
    // diag(2, 1, 1) then 90 degrees about x: rows (2,0,0) (0,0,1) (0,-1,0)
    const XMatrix m = rows({2, 0, 0}, {0, 0, 1}, {0, -1, 0}, {4, 5, 6});
    expectMatrixNear(mirrorMatrix(m), rows({2, 0, 0}, {0, 0, -1}, {0, 1, 0}, {4, 5, -6}));
    // scale (2,3,4) then 90 degrees about z commutes with the mirror
    const XMatrix z = rows({0, 2, 0}, {-3, 0, 0}, {0, 0, 4}, {1, 2, 3});
    expectMatrixNear(mirrorMatrix(z), rows({0, 2, 0}, {-3, 0, 0}, {0, 0, 4}, {1, 2, -3}));
    // a mirrored matrix (negative determinant) keeps its mirror
    const XMatrix flip = rows({1, 0, 0}, {0, 1, 0}, {0, 0, -1});
    expectMatrixNear(mirrorMatrix(flip), flip);
}

TEST(MirrorMatrix, MirroringTwiceGivesBackAScaledRotatedMatrix) {
    const XMatrix m = product(product(scaling({1.5f, 0.5f, 2}), rotateX(0.4f)),
                              product(rotateY(-1.1f), translation({7, -3, 2})));
    expectMatrixNear(mirrorMatrix(mirrorMatrix(m)), m);
}

TEST(MirrorMatrix, ZeroLengthRowGivesTheFiniteMirrorImage) {
    const XMatrix m = rows({0, 0, 0}, {0, 2, 0}, {1, 0, 3}, {4, 5, 6});
    const XMatrix mirrored = mirrorMatrix(m);
    for (float value : mirrored.m)
        EXPECT_TRUE(std::isfinite(value));
    expectMatrixNear(mirrored, rows({0, 0, 0}, {0, 2, 0}, {-1, 0, 3}, {4, 5, -6}));
    expectMatrixNear(mirrorMatrix(XMatrix{{0}}), rows({0, 0, 0}, {0, 0, 0}, {0, 0, 0}));
}

TEST(MirrorHandedness, WorldPointsLandOnTheirMirrorImages) {
    XScene scene;
    XFrame& frame = scene.frames.emplace_back();
    frame.transform = product(product(scaling({2, 2, 2}), rotateY(0.5f)), translation({1, 2, 3}));
    frame.mesh.positions = {{1, 2, 3}, {-1, 0.5f, 2}};
    const XVector3 p = frame.mesh.positions[0];
    const XMatrix& m = frame.transform;
    const XVector3 world{p.x * m.at(0, 0) + p.y * m.at(1, 0) + p.z * m.at(2, 0) + m.at(3, 0),
                         p.x * m.at(0, 1) + p.y * m.at(1, 1) + p.z * m.at(2, 1) + m.at(3, 1),
                         p.x * m.at(0, 2) + p.y * m.at(1, 2) + p.z * m.at(2, 2) + m.at(3, 2)};

    mirrorHandedness(scene);
    const XVector3 q = scene.frames.front().mesh.positions[0];
    const XMatrix& n = scene.frames.front().transform;
    EXPECT_NEAR(q.x * n.at(0, 0) + q.y * n.at(1, 0) + q.z * n.at(2, 0) + n.at(3, 0), world.x, 1e-4);
    EXPECT_NEAR(q.x * n.at(0, 1) + q.y * n.at(1, 1) + q.z * n.at(2, 1) + n.at(3, 1), world.y, 1e-4);
    EXPECT_NEAR(q.x * n.at(0, 2) + q.y * n.at(1, 2) + q.z * n.at(2, 2) + n.at(3, 2), -world.z,
                1e-4);
}

TEST(MirrorHandedness, FlipsMeshesWindingsAndKeys) {
    XScene scene;
    XFrame& top = scene.frames.emplace_back();
    XMesh& mesh = top.children.emplace_back().mesh;
    mesh.positions = {{1, 2, 3}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}};
    mesh.normals = {{0, 0, 1}};
    mesh.texCoords = {{0.25f, 0.75f}};
    mesh.faces = {XFace{3, {0, 1, 2, 0}}, XFace{4, {0, 1, 2, 3}}};
    mesh.normalFaces = {XFace{3, {0, 0, 0, 0}}, XFace{4, {0, 0, 0, 0}}};
    mesh.texCoordFaces = mesh.normalFaces;
    XSkinWeights bone;
    bone.offsetMatrix = translation({0, 0, 5});
    mesh.skinWeights = {bone};
    XAnimation& keys = scene.animationSets["Idle"]["Anything"];
    keys.positionKeys[0] = {1, 2, 3};
    keys.rotationKeys[0] = {0, 0, kHalfRoot2, kHalfRoot2};
    keys.rotationKeys[10] = {kHalfRoot2, 0, 0, kHalfRoot2};
    keys.scaleKeys[0] = {1, 2, 3};
    keys.matrixKeys[0] = translation({0, 0, 1});

    mirrorHandedness(scene);
    const XMesh& out = scene.frames.front().children.front().mesh;
    EXPECT_EQ(out.positions[0], (XVector3{1, 2, -3}));
    EXPECT_EQ(out.normals[0], (XVector3{0, 0, -1}));
    EXPECT_EQ(out.texCoords[0], (XVector2{0.25f, 0.75f}));
    EXPECT_EQ(out.faces[0], (XFace{3, {0, 2, 1, 0}}));
    EXPECT_EQ(out.faces[1], (XFace{4, {0, 3, 2, 1}})); // a quad reversed, not twisted
    expectMatrixNear(out.skinWeights[0].offsetMatrix, translation({0, 0, -5}));
    const XAnimation& mirrored = scene.animationSets["Idle"]["Anything"];
    EXPECT_EQ(mirrored.positionKeys.at(0), (XVector3{1, 2, -3}));
    EXPECT_EQ(mirrored.rotationKeys.at(0), (XQuaternion{0, 0, -kHalfRoot2, -kHalfRoot2}));
    EXPECT_EQ(mirrored.rotationKeys.at(10), (XQuaternion{kHalfRoot2, 0, -0.0f, -kHalfRoot2}));
    EXPECT_EQ(mirrored.scaleKeys.at(0), (XVector3{1, 2, 3}));
    expectMatrixNear(mirrored.matrixKeys.at(0), translation({0, 0, -1}));
}

TEST(ScaleTopFrames, ScalesTopTransformsWithTranslationAndLeavesChildrenAlone) {
    XScene scene = walkingScene();
    const XMatrix hip = scene.frames.front().transform;
    scaleTopFrames(scene, 2, 2, 2);
    const XFrame& out = scene.frames.front();
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_FLOAT_EQ(out.transform.at(r, c), c < 3 ? 2 * hip.at(r, c) : hip.at(r, c));
    expectMatrixNear(out.children.front().transform, translation({0, -4, 0}));
    EXPECT_EQ(scene.animationSets["Walk"]["Hip"].scaleKeys.at(320), (XVector3{2, 4, 6}));
    EXPECT_EQ(scene.animationSets["Walk"]["Knee"].positionKeys.at(0), (XVector3{0, -4, 0}));
}

TEST(ScaleTopFrames, AnimatedTopFrameMovesAsItsTransformDoes) {
    const XScene original = walkingScene();
    XScene scene = original;
    scaleTopFrames(scene, 2.5f, 2.5f, 2.5f);
    const XAnimation& before = original.animationSets.at("Walk").at("Hip");
    const XAnimation& after = scene.animationSets.at("Walk").at("Hip");
    for (XKeyTimeTicks time : {0, 160, 320, 480})
        expectMatrixNear(localFromKeys(after, time),
                         product(localFromKeys(before, time), scaling({2.5f, 2.5f, 2.5f})), 1e-4f);
}

TEST(RotateTopFrames, NinetyDegreesAboutYMultipliesTopTransformsAndFollowsIdentityKeys) {
    XScene scene;
    XFrame& top = scene.frames.emplace_back();
    top.name = "Root";
    top.transform = translation({1, 2, 3});
    top.children.emplace_back().transform = translation({4, 5, 6});
    scene.animationSets["Turn"]["Root"].rotationKeys[0] = {0, 0, 0, 1};

    rotateTopFrames(scene, 0, 90, 0);
    // x goes to -z, z goes to x; the translation (1, 2, 3) turns to (3, 2, -1)
    expectMatrixNear(scene.frames.front().transform,
                     rows({0, 0, -1}, {0, 1, 0}, {1, 0, 0}, {3, 2, -1}));
    expectMatrixNear(scene.frames.front().children.front().transform, translation({4, 5, 6}));
    // identity followed by the turn: the turn's quaternion with w negated
    expectSameRotation(scene.animationSets["Turn"]["Root"].rotationKeys.at(0),
                       {0, kHalfRoot2, 0, -kHalfRoot2});
}

TEST(RotateTopFrames, AnimatedTopFrameTurnsAsItsTransformDoes) {
    const XScene original = walkingScene();
    XScene scene = original;
    rotateTopFrames(scene, 30, -45, 60);
    const float degree = 0.017453292f;
    const XMatrix turn =
        product(product(rotateZ(60 * degree), rotateX(30 * degree)), rotateY(-45 * degree));
    expectMatrixNear(scene.frames.front().transform,
                     product(original.frames.front().transform, turn));
    const XAnimation& before = original.animationSets.at("Walk").at("Hip");
    const XAnimation& after = scene.animationSets.at("Walk").at("Hip");
    for (XKeyTimeTicks time : {0, 160, 320, 480})
        expectMatrixNear(localFromKeys(after, time), product(localFromKeys(before, time), turn));
    EXPECT_EQ(after.scaleKeys, before.scaleKeys);
    EXPECT_EQ(scene.animationSets.at("Walk").at("Knee"),
              original.animationSets.at("Walk").at("Knee"));
}

TEST(TopFrameTransforms, FramesSharingANameAdjustTheirAnimationOnce) {
    XScene scene;
    scene.frames.emplace_back().name = "Twin";
    scene.frames.emplace_back().name = "Twin";
    XAnimation& keys = scene.animationSets["Set"]["Twin"];
    keys.scaleKeys[0] = {1, 1, 1};
    keys.positionKeys[0] = {1, 0, 0};
    scaleTopFrames(scene, 2, 3, 4);
    EXPECT_EQ(keys.scaleKeys.at(0), (XVector3{2, 3, 4}));
    EXPECT_EQ(keys.positionKeys.at(0), (XVector3{2, 0, 0}));
    rotateTopFrames(scene, 0, 0, 90); // x turns to +y, once
    EXPECT_NEAR(keys.positionKeys.at(0).x, 0, kTolerance);
    EXPECT_NEAR(keys.positionKeys.at(0).y, 2, kTolerance);
}
