#include "model/XScene.h"

#include <gtest/gtest.h>

#include <iterator>

namespace {

XScene sceneWithOneAnimatedMesh() {
    XScene scene;
    XFrame& root = scene.frames.emplace_back();
    root.name = "Root";
    XFrame& child = root.children.emplace_back();
    child.name = "Box";
    child.mesh.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    child.mesh.faces = {XFace{3, {0, 1, 2, 0}}};
    child.mesh.materials.push_back(XMaterial{"wood.png", {1, 1, 1, 1}, {}, {}, {}, 8});
    scene.animationSets["Walk"]["Box"].rotationKeys[4800] = {0, 0, 0, 1};
    return scene;
}

} // namespace

TEST(XScene, EmptySceneCopiesToAnEqualEmptyScene) {
    XScene source;
    XScene target = sceneWithOneAnimatedMesh();
    target = source;
    EXPECT_TRUE(target.frames.empty());
    EXPECT_TRUE(target.animationSets.empty());
}

TEST(XScene, AnimationSetsAreVisitedInByteOrderWhateverTheOrderAdded) {
    XScene scene;
    scene.animationSets["walk"];
    scene.animationSets["Walk"];
    scene.animationSets["\xE9tape"]; // bytes above 127 sort after ASCII letters
    scene.animationSets["Run"];
    scene.animationSets["Ru"];
    const char* expected[] = {"Ru", "Run", "Walk", "walk", "\xE9tape"};
    ASSERT_EQ(scene.animationSets.size(), std::size(expected));
    auto it = scene.animationSets.begin();
    for (const char* name : expected)
        EXPECT_EQ((it++)->first, name);
}

TEST(XScene, SettingAKeyTwiceAtOneTimeKeepsTheSecondValue) {
    XAnimation animation;
    animation.rotationKeys[4800] = {0, 0, 0, 1};
    animation.rotationKeys[4800] = {0, 0, 0.7071f, 0.7071f};
    ASSERT_EQ(animation.rotationKeys.size(), 1u);
    EXPECT_EQ(animation.rotationKeys.at(4800), (XQuaternion{0, 0, 0.7071f, 0.7071f}));
}

TEST(XScene, DeepCopyIsIndependentOfItsSource) {
    const XScene source = sceneWithOneAnimatedMesh();
    XScene copy = source;
    ASSERT_EQ(copy, source);

    XFrame& box = copy.frames.front().children.front();
    box.mesh.positions[1].x = 5;
    box.mesh.materials[0].textureFilename = "stone.png";
    copy.animationSets["Walk"]["Box"].rotationKeys[4800].w = -1;

    const XFrame& sourceBox = source.frames.front().children.front();
    EXPECT_EQ(sourceBox.mesh.positions[1].x, 1);
    EXPECT_EQ(sourceBox.mesh.materials[0].textureFilename, "wood.png");
    EXPECT_EQ(source.animationSets.at("Walk").at("Box").rotationKeys.at(4800).w, 1);
}

TEST(XScene, AssigningASceneToItselfChangesNothing) {
    XScene scene = sceneWithOneAnimatedMesh();
    const XScene before = scene;
    XScene& alias = scene;
    scene = alias;
    EXPECT_EQ(scene, before);
}
