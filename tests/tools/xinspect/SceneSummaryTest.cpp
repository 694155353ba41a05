// The summary a user reads first: every count in it, and names shown for what they are.
#include "SceneSummary.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

XScene sceneWithOneOfEverything() {
    XScene scene;
    XFrame root;
    root.name = "Root";
    root.transform.m[12] = 2.0f;
    XFrame body;
    body.name = "Bo\"dy";
    XMesh& mesh = body.mesh;
    mesh.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}};
    XFace triangle;
    triangle.indices = {0, 1, 2, 0};
    XFace quad;
    quad.cornerCount = 4;
    quad.indices = {0, 1, 3, 2};
    mesh.faces = {triangle, quad};
    mesh.normals = {{0, 0, 1}};
    mesh.texCoords = {{0, 0}, {1, 0}, {0, 1}};
    mesh.colors = {{1, 1, 1, 1}};
    XMaterial wood;
    wood.diffuse = {0.5f, 0.25f, 1, 1};
    wood.power = 8;
    wood.textureFilename = "C:\\maps\\wood.bmp";
    mesh.materials = {wood, XMaterial()};
    mesh.faceMaterials = {0, 0};
    XSkinWeights bone;
    bone.boneName = "Hip";
    bone.weights = {{0, 1.0f}, {3, 0.5f}};
    mesh.skinWeights = {bone};
    root.children.push_back(body);
    scene.frames.push_back(root);
    XAnimation hip;
    hip.rotationKeys = {{0, {}}, {10, {}}};
    hip.positionKeys = {{0, {}}};
    scene.animationSets["Walk"]["Hip"] = hip;
    scene.animationSets["Walk"]["Root"].matrixKeys = {{0, XMatrix()}, {5, XMatrix()}, {9, {}}};
    scene.animationSets["Walk"]["Unmoved"] = XAnimation();
    return scene;
}

TEST(SceneSummary, ListsEveryPartWithItsCounts) {
    std::ostringstream out;
    printSceneSummary(out, sceneWithOneOfEverything());
    const std::string expected =
        "frame \"Root\" at (2 0 0)\n"
        "  frame \"Bo\\x22dy\"\n"
        "    mesh: 4 vertices, 2 faces (1 tri, 1 quad), normals 1 (0 faces), texture coordinates "
        "3, colours 1\n"
        "    material 0: diffuse (0.5 0.25 1 1), power 8, specular (0 0 0), emissive (0 0 0), "
        "texture \"C:\\x5Cmaps\\x5Cwood.bmp\", 2 faces\n"
        "    material 1: diffuse (0 0 0 0), power 0, specular (0 0 0), emissive (0 0 0), 0 faces\n"
        "    bone \"Hip\": 2 weights\n"
        "animation set \"Walk\": 3 animations\n"
        "  \"Hip\": rotation 2, scale 0, position 1, matrix 0\n"
        "  \"Root\": rotation 0, scale 0, position 0, matrix 3\n"
        "  \"Unmoved\": rotation 0, scale 0, position 0, matrix 0\n"
        "total: 2 frames, 1 mesh, 4 vertices, 2 faces, 2 materials, 1 bone, 1 animation set, "
        "3 animations, keys rotation 2, scale 0, position 1, matrix 3\n"
        // The words of `lumaset scene info`: the quad is two triangles, each matrix key one key
        // of every kind, and an animation without keys moves no node.
        "counts: 2 nodes, 1 mesh, 3 triangles, 2 materials, 1 bone, 1 animation set, "
        "2 animated nodes, keys: 4 position, 5 rotation, 3 scale\n";
    EXPECT_EQ(out.str(), expected);
}

TEST(SceneSummary, AnEmptySceneStillGetsItsTotals) {
    std::ostringstream out;
    printSceneSummary(out, XScene());
    EXPECT_EQ(out.str(), "total: 0 frames, 0 meshes, 0 vertices, 0 faces, 0 materials, 0 bones, "
                         "0 animation sets, 0 animations, keys rotation 0, scale 0, position 0, "
                         "matrix 0\n"
                         "counts: 0 nodes, 0 meshes, 0 triangles, 0 materials, 0 bones, "
                         "0 animation sets, 0 animated nodes, keys: 0 position, 0 rotation, "
                         "0 scale\n");
}

} // namespace
