// Keeping read meshes valid: dropping broken streams, and merging several meshes into one.
#include "xfile/MeshAssembly.h"

#include <gtest/gtest.h>

namespace {

XFace tri(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
    XFace face;
    face.cornerCount = 3;
    face.indices = {a, b, c, 0};
    return face;
}

XMesh triangleMesh() {
    XMesh mesh;
    mesh.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    mesh.faces = {tri(0, 1, 2)};
    return mesh;
}

TEST(DropBrokenStreams, AValidMeshIsLeftAlone) {
    XMesh mesh = triangleMesh();
    mesh.normals = {{0, 0, 1}};
    mesh.normalFaces = {tri(0, 0, 0)};
    const XMesh before = mesh;
    EXPECT_TRUE(dropBrokenStreams(mesh));
    EXPECT_EQ(mesh, before);
}

TEST(DropBrokenStreams, BadFacesDropTheWholeMesh) {
    XMesh outOfRange = triangleMesh();
    outOfRange.faces[0].indices[2] = 3;
    EXPECT_FALSE(dropBrokenStreams(outOfRange));
    EXPECT_EQ(outOfRange, XMesh());

    XMesh badCorners = triangleMesh();
    badCorners.faces[0].cornerCount = 5;
    EXPECT_FALSE(dropBrokenStreams(badCorners));
    EXPECT_EQ(badCorners, XMesh());
}

TEST(DropBrokenStreams, CornerCountMismatchDropsThatStream) {
    XMesh mesh = triangleMesh();
    mesh.texCoords = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
    XFace quadFace;
    quadFace.cornerCount = 4;
    quadFace.indices = {0, 1, 2, 3};
    mesh.texCoordFaces = {quadFace};
    mesh.colors = {{1, 1, 1, 1}};
    mesh.colorFaces = {tri(0, 0, 0)};
    EXPECT_FALSE(dropBrokenStreams(mesh));
    EXPECT_TRUE(mesh.texCoords.empty());
    EXPECT_TRUE(mesh.texCoordFaces.empty());
    EXPECT_EQ(mesh.colors.size(), 1u);
}

TEST(DropBrokenStreams, WeightsOnMissingVerticesGoAlone) {
    XMesh mesh = triangleMesh();
    XSkinWeights bone;
    bone.boneName = "B";
    bone.weights = {{-1, 0.5f}, {1, 0.25f}, {3, 1.0f}};
    mesh.skinWeights = {bone};
    EXPECT_FALSE(dropBrokenStreams(mesh));
    ASSERT_EQ(mesh.skinWeights.size(), 1u);
    EXPECT_EQ(mesh.skinWeights[0].weights, (BoneVertexWeights{{1, 0.25f}}));
}

TEST(AppendMesh, IntoAnEmptyMeshTakesThePartWhole) {
    XMesh mesh;
    XMesh part = triangleMesh();
    part.faceMaterials = {0};
    part.materials = {XMaterial()};
    const XMesh expected = part;
    appendMesh(mesh, std::move(part));
    EXPECT_EQ(mesh, expected);
}

// A side without a stream the other side has gets a neutral value for all its corners; normals
// cannot be made up, so they go; a side without materials gets one plain white material.
TEST(AppendMesh, CompletesStreamsOnlyOneSideHas) {
    XMesh mesh = triangleMesh();
    mesh.normals = {{0, 0, 1}};
    mesh.normalFaces = {tri(0, 0, 0)};
    XMesh part = triangleMesh();
    part.texCoords = {{0.5f, 0.5f}, {1, 0}, {0, 1}};
    part.texCoordFaces = {tri(2, 1, 0)};
    XMaterial red;
    red.diffuse = {1, 0, 0, 1};
    part.materials = {red};
    part.faceMaterials = {0};

    appendMesh(mesh, std::move(part));
    EXPECT_EQ(mesh.faces, (std::vector<XFace>{tri(0, 1, 2), tri(3, 4, 5)}));
    EXPECT_TRUE(mesh.normals.empty());
    EXPECT_TRUE(mesh.normalFaces.empty());
    ASSERT_EQ(mesh.texCoords.size(), 4u);
    EXPECT_EQ(mesh.texCoords[0], (XVector2{0, 0}));
    EXPECT_EQ(mesh.texCoordFaces, (std::vector<XFace>{tri(0, 0, 0), tri(3, 2, 1)}));
    ASSERT_EQ(mesh.materials.size(), 2u);
    EXPECT_EQ(mesh.materials[0].diffuse, (XColor{1, 1, 1, 1}));
    EXPECT_EQ(mesh.materials[1].diffuse, (XColor{1, 0, 0, 1}));
    EXPECT_EQ(mesh.faceMaterials, (std::vector<std::uint32_t>{0, 1}));
    XMesh copy = mesh;
    EXPECT_TRUE(dropBrokenStreams(copy));
}

} // namespace
