#include "model/MeshIndexProcessing.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>

namespace {

XFace tri(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
    return XFace{3, {a, b, c, 0}};
}
XFace quad(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
    return XFace{4, {a, b, c, d}};
}

float nanWithPayload(std::uint32_t payload) {
    return std::bit_cast<float>(0x7FC00000u | payload);
}

// What every corner of every face shows, independent of how the lists are indexed.
struct CornerLook {
    XVector3 position;
    XVector2 texCoord;
    friend bool operator==(const CornerLook&, const CornerLook&) = default;
};

std::vector<CornerLook> cornerLooks(const XMesh& mesh) {
    std::vector<CornerLook> looks;
    for (std::size_t i = 0; i < mesh.faces.size(); ++i)
        for (std::uint32_t c = 0; c < mesh.faces[i].cornerCount; ++c)
            looks.push_back({mesh.positions[mesh.faces[i].indices[c]],
                             mesh.texCoordFaces.empty()
                                 ? XVector2{}
                                 : mesh.texCoords[mesh.texCoordFaces[i].indices[c]]});
    return looks;
}

// A cube: 8 corners, 6 quads, each quad with its own four texture coordinates.
XMesh texturedCube() {
    XMesh mesh;
    for (int i = 0; i < 8; ++i)
        mesh.positions.push_back({float(i & 1), float((i >> 1) & 1), float((i >> 2) & 1)});
    mesh.faces = {quad(0, 2, 3, 1), quad(4, 5, 7, 6), quad(0, 1, 5, 4),
                  quad(2, 6, 7, 3), quad(0, 4, 6, 2), quad(1, 3, 7, 5)};
    for (std::uint32_t f = 0; f < 6; ++f) {
        mesh.texCoordFaces.push_back(quad(4 * f, 4 * f + 1, 4 * f + 2, 4 * f + 3));
        for (int c = 0; c < 4; ++c)
            mesh.texCoords.push_back({float(f) / 8, float(c) / 4});
    }
    return mesh;
}

} // namespace

TEST(CompactMesh, MergesEqualPositionsOnlyWhenTheirSkinWeightsAreEqualToo) {
    XMesh mesh;
    // Vertices 0, 2, 3 and 4 coincide. 4 has exactly 0's weights; 2 another weight on the same
    // bone; 3 the same weight plus a second bone.
    mesh.positions = {{0, 0, 0}, {1, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}};
    mesh.faces = {tri(0, 1, 2), tri(3, 1, 4), XFace{3, {4, 1, 0, 7}}};
    XSkinWeights arm;
    arm.boneName = "Arm";
    arm.weights = {{0, 0.5f}, {1, 0.25f}, {2, 0.7f}, {3, 0.5f}, {4, 0.5f}};
    XSkinWeights leg;
    leg.boneName = "Leg";
    leg.weights = {{3, 0.5f}};
    mesh.skinWeights = {arm, leg};

    ASSERT_TRUE(compactMesh(mesh));
    EXPECT_EQ(mesh.positions, (std::vector<XVector3>{{0, 0, 0}, {1, 0, 0}, {0, 0, 0}, {0, 0, 0}}));
    EXPECT_EQ(mesh.faces, (std::vector<XFace>{tri(0, 1, 2), tri(3, 1, 0), XFace{3, {0, 1, 0, 7}}}));
    EXPECT_EQ(mesh.skinWeights[0].weights,
              (BoneVertexWeights{{0, 0.5f}, {1, 0.25f}, {2, 0.7f}, {3, 0.5f}}));
    EXPECT_EQ(mesh.skinWeights[1].weights, (BoneVertexWeights{{3, 0.5f}}));
}

TEST(CompactMesh, SeamVerticesOfDifferentBonesStayApartAndUnweightedOnesMerge) {
    // A seam: two coincident pairs, each side bound wholly to its own bone, beside two
    // coincident vertices no bone moves.
    XMesh mesh;
    mesh.positions = {{0, 0, 0}, {0, 1, 0}, {0, 0, 0}, {0, 1, 0}, {5, 5, 5}, {5, 5, 5}};
    mesh.faces = {tri(0, 1, 4), tri(2, 3, 5)};
    XSkinWeights left;
    left.boneName = "Clavicle_L";
    left.weights = {{0, 1.0f}, {1, 1.0f}};
    XSkinWeights right;
    right.boneName = "Clavicle_R";
    right.weights = {{2, 1.0f}, {3, 1.0f}};
    mesh.skinWeights = {left, right};
    const XMesh source = mesh;

    ASSERT_TRUE(compactMesh(mesh));
    EXPECT_EQ(mesh.positions.size(), 5u);
    EXPECT_EQ(mesh.faces, (std::vector<XFace>{tri(0, 1, 4), tri(2, 3, 4)}));
    // Every corner keeps exactly the weights it had.
    for (std::size_t f = 0; f < source.faces.size(); ++f)
        for (std::size_t c = 0; c < 3; ++c)
            for (std::size_t b = 0; b < 2; ++b) {
                const auto& before = source.skinWeights[b].weights;
                const auto& after = mesh.skinWeights[b].weights;
                const auto was = before.find(static_cast<std::int32_t>(source.faces[f].indices[c]));
                const auto is = after.find(static_cast<std::int32_t>(mesh.faces[f].indices[c]));
                ASSERT_EQ(was == before.end(), is == after.end()) << f << " " << c << " " << b;
                if (is != after.end()) {
                    EXPECT_EQ(was->second, is->second);
                }
            }

    // Without skin the same positions merge.
    XMesh plain = source;
    plain.skinWeights.clear();
    ASSERT_TRUE(compactMesh(plain));
    EXPECT_EQ(plain.positions.size(), 3u);
}

TEST(CompactMesh, NumbersEachListInOrderOfFirstAppearance) {
    XMesh mesh;
    mesh.positions = {{3, 0, 0}, {1, 0, 0}, {2, 0, 0}, {1, 0, 0}, {3, 0, 0}};
    mesh.faces = {tri(4, 3, 2), tri(0, 1, 2)};
    mesh.normals = {{0, 0, 1}, {0, 1, 0}, {0, 0, 1}};
    mesh.normalFaces = {tri(2, 1, 0), tri(1, 1, 2)};
    mesh.texCoords = {{0.5f, 0.5f}, {0.5f, 0.5f}, {0, 1}};
    mesh.texCoordFaces = {tri(0, 1, 2), tri(2, 1, 0)};
    mesh.colors = {{1, 0, 0, 1}, {1, 0, 0, 1}};
    mesh.colorFaces = {tri(1, 1, 0), tri(0, 0, 0)};
    XSkinWeights bone;
    bone.weights = {{0, 0.4f}, {1, 0.1f}, {2, 0.2f}, {3, 0.1f}, {4, 0.4f}};
    mesh.skinWeights = {bone};

    ASSERT_TRUE(compactMesh(mesh));
    EXPECT_EQ(mesh.positions, (std::vector<XVector3>{{3, 0, 0}, {1, 0, 0}, {2, 0, 0}}));
    EXPECT_EQ(mesh.faces, (std::vector<XFace>{tri(0, 1, 2), tri(0, 1, 2)}));
    EXPECT_EQ(mesh.normals, (std::vector<XVector3>{{0, 0, 1}, {0, 1, 0}}));
    EXPECT_EQ(mesh.normalFaces, (std::vector<XFace>{tri(0, 1, 0), tri(1, 1, 0)}));
    EXPECT_EQ(mesh.texCoords, (std::vector<XVector2>{{0.5f, 0.5f}, {0, 1}}));
    EXPECT_EQ(mesh.texCoordFaces, (std::vector<XFace>{tri(0, 0, 1), tri(1, 0, 0)}));
    EXPECT_EQ(mesh.colors, (std::vector<XColor>{{1, 0, 0, 1}}));
    EXPECT_EQ(mesh.colorFaces, (std::vector<XFace>{tri(0, 0, 0), tri(0, 0, 0)}));
    // old 3 merges into 1 and old 4 into 0 (equal weights), old 2 stays 2
    EXPECT_EQ(mesh.skinWeights[0].weights, (BoneVertexWeights{{0, 0.4f}, {1, 0.1f}, {2, 0.2f}}));
}

TEST(CompactMesh, EmptyColourListLeavesColourFacesAlone) {
    XMesh mesh;
    mesh.positions = {{0, 0, 0}, {0, 0, 0}, {1, 1, 1}};
    mesh.faces = {tri(0, 1, 2)};
    ASSERT_TRUE(compactMesh(mesh));
    EXPECT_TRUE(mesh.colors.empty());
    EXPECT_TRUE(mesh.colorFaces.empty());
    EXPECT_EQ(mesh.faces, (std::vector<XFace>{tri(0, 0, 1)}));
}

TEST(CompactMesh, MergesNegativeAndPositiveZeroKeepingTheFirst) {
    XMesh mesh;
    mesh.positions = {{-0.0f, 1, 0}, {0.0f, 1, -0.0f}};
    mesh.faces = {tri(1, 0, 1)};
    ASSERT_TRUE(compactMesh(mesh));
    ASSERT_EQ(mesh.positions.size(), 1u);
    EXPECT_TRUE(std::signbit(mesh.positions[0].x));
    EXPECT_EQ(mesh.faces[0], tri(0, 0, 0));
}

TEST(CompactMesh, MatchesNaNOnlyWithTheSameNaNAndNeverWithANumber) {
    const float nanA = nanWithPayload(1);
    const float nanB = nanWithPayload(2);
    XMesh mesh;
    mesh.positions = {{nanA, 0, 0}, {1, 0, 0}, {nanA, 0, 0}, {nanB, 0, 0}, {1, 0, 0}, {nanA, 0, 1}};
    mesh.faces = {tri(0, 1, 2), tri(3, 4, 5)};
    mesh.texCoords = {{nanA, nanA}, {nanA, nanA}, {0, 0}};
    mesh.texCoordFaces = {tri(0, 1, 2), tri(2, 1, 0)};

    ASSERT_TRUE(compactMesh(mesh));
    ASSERT_EQ(mesh.positions.size(), 4u);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(mesh.positions[0].x),
              std::bit_cast<std::uint32_t>(nanA));
    EXPECT_EQ(mesh.positions[1], (XVector3{1, 0, 0}));
    EXPECT_EQ(std::bit_cast<std::uint32_t>(mesh.positions[2].x),
              std::bit_cast<std::uint32_t>(nanB));
    EXPECT_EQ(mesh.positions[3].z, 1);
    EXPECT_EQ(mesh.faces, (std::vector<XFace>{tri(0, 1, 0), tri(2, 1, 3)}));
    EXPECT_EQ(mesh.texCoords.size(), 2u);
    EXPECT_EQ(mesh.texCoordFaces, (std::vector<XFace>{tri(0, 0, 1), tri(1, 0, 0)}));
}

TEST(CompactMesh, DropsWeightsOfVerticesThatDoNotExist) {
    XMesh mesh;
    mesh.positions = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}};
    mesh.faces = {tri(0, 1, 2)};
    XSkinWeights bone;
    bone.weights = {{-1, 0.9f}, {1, 0.5f}, {3, 0.9f}};
    mesh.skinWeights = {bone};
    ASSERT_TRUE(compactMesh(mesh));
    EXPECT_EQ(mesh.skinWeights[0].weights, (BoneVertexWeights{{1, 0.5f}}));
}

TEST(MeshIndexProcessing, MeshesBreakingTheIndexInvariantsAreLeftUntouched) {
    XMesh good;
    good.positions = {{0, 0, 0}, {0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    good.faces = {quad(0, 1, 2, 3)};
    good.texCoords = {{0, 0}};
    good.texCoordFaces = {quad(0, 0, 0, 0)};
    good.faceMaterials = {0};
    ASSERT_TRUE(meshIndicesAreValid(good));

    std::vector<XMesh> broken(6, good);
    broken[0].faces[0].indices[3] = 4;               // position index out of range
    broken[1].texCoordFaces.push_back(tri(0, 0, 0)); // more texture faces than faces
    broken[2].texCoordFaces[0].cornerCount = 3;      // corners do not match the polygon
    broken[3].faces[0].cornerCount = 5;              // no such polygon
    broken[4].faceMaterials = {0, 0};                // materials for faces that do not exist
    broken[5].colorFaces = {quad(0, 0, 0, 0)};       // indices into an empty colour list
    for (std::size_t i = 0; i < broken.size(); ++i) {
        XMesh mesh = broken[i];
        EXPECT_FALSE(meshIndicesAreValid(mesh)) << i;
        EXPECT_FALSE(compactMesh(mesh)) << i;
        EXPECT_FALSE(unifyVertices(mesh)) << i;
        EXPECT_FALSE(triangulateMesh(mesh)) << i;
        EXPECT_EQ(mesh, broken[i]) << i;
    }
}

TEST(UnifyVertices, CubeWithTexturedQuadsGetsOneVertexPerCorner) {
    XMesh mesh = texturedCube();
    const std::vector<CornerLook> before = cornerLooks(mesh);

    ASSERT_TRUE(unifyVertices(mesh));
    EXPECT_EQ(mesh.positions.size(), 24u);
    EXPECT_EQ(mesh.texCoords.size(), 24u);
    EXPECT_EQ(mesh.texCoordFaces, mesh.faces);
    for (std::uint32_t f = 0; f < 6; ++f) // first appearance numbers the corners in face order
        EXPECT_EQ(mesh.faces[f], quad(4 * f, 4 * f + 1, 4 * f + 2, 4 * f + 3));
    EXPECT_EQ(cornerLooks(mesh), before);
}

TEST(UnifyVertices, SharedCornersStayShared) {
    XMesh mesh;
    mesh.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}, {9, 9, 9}};
    mesh.faces = {tri(3, 2, 1), tri(1, 2, 0)};
    mesh.texCoords = {{0, 0}, {1, 0}};
    mesh.texCoordFaces = {tri(0, 0, 1), tri(1, 0, 0)};
    mesh.colors = {{1, 1, 1, 1}};
    mesh.colorFaces = {tri(0, 0, 0), tri(0, 0, 0)};
    mesh.normals = {{0, 0, 1}};
    mesh.normalFaces = {tri(0, 0, 0), tri(0, 0, 0)};

    ASSERT_TRUE(unifyVertices(mesh));
    // corner keys in order: (3,t0) (2,t0) (1,t1) | (1,t1) (2,t0) (0,t0)
    EXPECT_EQ(mesh.faces, (std::vector<XFace>{tri(0, 1, 2), tri(2, 1, 3)}));
    EXPECT_EQ(mesh.positions, (std::vector<XVector3>{{1, 1, 0}, {0, 1, 0}, {1, 0, 0}, {0, 0, 0}}));
    EXPECT_EQ(mesh.texCoords, (std::vector<XVector2>{{0, 0}, {0, 0}, {1, 0}, {0, 0}}));
    EXPECT_EQ(mesh.colors.size(), 4u);
    EXPECT_EQ(mesh.colorFaces, mesh.faces);
    EXPECT_EQ(mesh.normalFaces, (std::vector<XFace>{tri(0, 0, 0), tri(0, 0, 0)}));
    EXPECT_EQ(mesh.normals.size(), 1u);
}

TEST(UnifyVertices, NormalIndexSplitsCornersOnlyOfSkinnedMeshes) {
    XMesh mesh;
    mesh.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {5, 5, 5}};
    mesh.faces = {tri(0, 1, 2), tri(0, 2, 1)};
    mesh.normals = {{0, 0, 1}, {0, 0, -1}};
    mesh.normalFaces = {tri(0, 0, 0), tri(1, 1, 1)};
    mesh.texCoords = {{0, 0}};
    mesh.texCoordFaces = {tri(0, 0, 0), tri(0, 0, 0)};

    XMesh plain = mesh;
    ASSERT_TRUE(unifyVertices(plain));
    EXPECT_EQ(plain.positions.size(), 3u);
    EXPECT_EQ(plain.faces, (std::vector<XFace>{tri(0, 1, 2), tri(0, 2, 1)}));

    XSkinWeights bone;
    bone.weights = {{0, 0.25f}, {2, 0.5f}, {3, 1.0f}};
    mesh.skinWeights = {bone};
    ASSERT_TRUE(unifyVertices(mesh));
    EXPECT_EQ(mesh.positions.size(), 6u);
    EXPECT_EQ(mesh.faces, (std::vector<XFace>{tri(0, 1, 2), tri(3, 4, 5)}));
    EXPECT_EQ(mesh.normalFaces, (std::vector<XFace>{tri(0, 0, 0), tri(1, 1, 1)}));
    // old 0 fans out to 0 and 3, old 2 to 2 and 4; old 3 is used by no face and disappears
    EXPECT_EQ(mesh.skinWeights[0].weights,
              (BoneVertexWeights{{0, 0.25f}, {2, 0.5f}, {3, 0.25f}, {4, 0.5f}}));
}

TEST(UnifyVertices, SkinnedMeshWithoutPerCornerListsIsUnchanged) {
    XMesh mesh;
    mesh.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {7, 7, 7}};
    mesh.faces = {tri(2, 1, 0)};
    XSkinWeights bone;
    bone.weights = {{3, 1.0f}};
    mesh.skinWeights = {bone};
    const XMesh before = mesh;
    ASSERT_TRUE(unifyVertices(mesh));
    EXPECT_EQ(mesh, before);
}

TEST(TriangulateMesh, SplitsQuadsKeepingWindingAndMaterials) {
    XMesh mesh;
    mesh.positions.resize(8);
    mesh.normals.resize(8);
    mesh.faces = {tri(5, 6, 7), quad(0, 1, 2, 3)};
    mesh.normalFaces = {tri(0, 1, 2), quad(4, 5, 6, 7)};
    mesh.faceMaterials = {1, 5};

    ASSERT_TRUE(triangulateMesh(mesh));
    EXPECT_EQ(mesh.faces, (std::vector<XFace>{tri(5, 6, 7), tri(2, 3, 0), tri(0, 1, 2)}));
    EXPECT_EQ(mesh.normalFaces, (std::vector<XFace>{tri(0, 1, 2), tri(6, 7, 4), tri(4, 5, 6)}));
    EXPECT_EQ(mesh.faceMaterials, (std::vector<std::uint32_t>{1, 5, 5}));
}

TEST(TriangulateMesh, MeshOfTrianglesIsUnchanged) {
    XMesh mesh;
    mesh.positions.resize(3);
    mesh.faces = {tri(0, 1, 2), XFace{3, {2, 1, 0, 9}}};
    mesh.faceMaterials = {3, 4};
    const XMesh before = mesh;
    ASSERT_TRUE(triangulateMesh(mesh));
    EXPECT_EQ(mesh, before);
}

TEST(PrepareImportedScene, SplitsTheQuadsOfEveryFrameAtEveryDepth) {
    XMesh quadMesh;
    quadMesh.positions.resize(4);
    quadMesh.faces = {quad(0, 1, 2, 3)};
    XScene scene;
    XFrame& top = scene.frames.emplace_back();
    top.mesh = quadMesh;
    XFrame& child = top.children.emplace_back();
    child.children.emplace_back().mesh = quadMesh;
    scene.frames.emplace_back().mesh = quadMesh;

    prepareImportedScene(scene);
    const std::vector<XFace> split = {tri(2, 3, 0), tri(0, 1, 2)};
    EXPECT_EQ(scene.frames.front().mesh.faces, split);
    EXPECT_TRUE(scene.frames.front().children.front().mesh.faces.empty());
    EXPECT_EQ(scene.frames.front().children.front().children.front().mesh.faces, split);
    EXPECT_EQ(scene.frames.back().mesh.faces, split);
}

TEST(UnifyVertices, ManyMoreCornersThanPositionsAllGetTheirOwnVertex) {
    XMesh mesh;
    mesh.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    for (std::uint32_t f = 0; f < 1000; ++f) {
        mesh.faces.push_back(tri(0, 1, 2));
        mesh.texCoordFaces.push_back(tri(3 * f, 3 * f + 1, 3 * f + 2));
        for (int c = 0; c < 3; ++c)
            mesh.texCoords.push_back({float(f), float(c)});
    }
    const std::vector<CornerLook> before = cornerLooks(mesh);
    ASSERT_TRUE(unifyVertices(mesh));
    EXPECT_EQ(mesh.positions.size(), 3000u);
    for (std::uint32_t f = 0; f < 1000; ++f)
        ASSERT_EQ(mesh.faces[f], tri(3 * f, 3 * f + 1, 3 * f + 2));
    EXPECT_EQ(mesh.texCoordFaces, mesh.faces);
    EXPECT_EQ(cornerLooks(mesh), before);
}

// Per-corner lists that share the faces' storage (as a file's texture coordinates do) must come
// out of every operation as if each had its own: a change to one is never seen in another.
TEST(MeshIndexProcessing, ListsSharingTheFacesStorageChangeApartOrTogetherAsTheyShould) {
    XMesh mesh;
    mesh.positions = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {1, 0, 0}};
    // Texture coordinates 1 and 3 are equal, positions 1 and 4 are equal.
    mesh.texCoords = {{0, 0}, {1, 0}, {1, 1}, {1, 0}, {0, 1}};
    mesh.faces = {tri(0, 1, 2), quad(0, 2, 3, 4)};
    mesh.texCoordFaces = mesh.faces;
    mesh.colors = {{1, 0, 0, 1}, {0, 1, 0, 1}, {0, 0, 1, 1}, {1, 1, 1, 1}, {0, 0, 0, 1}};
    mesh.colorFaces = mesh.faces;
    const XMesh original = mesh;
    const std::vector<CornerLook> looks = cornerLooks(mesh);

    ASSERT_TRUE(compactMesh(mesh));
    const XMesh& compacted = mesh;
    EXPECT_EQ(compacted.texCoordFaces, (std::vector<XFace>{tri(0, 1, 2), quad(0, 2, 1, 3)}));
    EXPECT_EQ(compacted.faces, (std::vector<XFace>{tri(0, 1, 2), quad(0, 2, 3, 1)}));
    EXPECT_EQ(compacted.colorFaces, original.faces); // no two colours are equal
    EXPECT_EQ(cornerLooks(mesh), looks);
    // The copy taken before sees none of it.
    EXPECT_EQ(original.faces, (std::vector<XFace>{tri(0, 1, 2), quad(0, 2, 3, 4)}));
    EXPECT_EQ(original.texCoordFaces, original.faces);

    ASSERT_TRUE(unifyVertices(mesh));
    EXPECT_EQ(cornerLooks(mesh), looks);
    EXPECT_TRUE(compacted.texCoordFaces.sharesStorageWith(compacted.faces));
    EXPECT_TRUE(compacted.colorFaces.sharesStorageWith(compacted.faces));

    ASSERT_TRUE(triangulateMesh(mesh));
    EXPECT_EQ(cornerLooks(mesh).size(), 9u);
    EXPECT_TRUE(compacted.texCoordFaces.sharesStorageWith(compacted.faces));
    EXPECT_EQ(original.faces[1], quad(0, 2, 3, 4));
}

// A list sharing the faces' storage with fewer values than positions is judged by the indices the
// faces use, as any other list is: position 3 here is in no face.
TEST(MeshIndexProcessing, ASharedListShorterThanThePositionsIsValidWhenTheFacesStayWithinIt) {
    XMesh mesh;
    mesh.positions = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {5, 5, 5}};
    mesh.faces = {tri(0, 1, 2)};
    mesh.texCoords = {{0, 0}, {1, 0}, {1, 1}};
    mesh.texCoordFaces = mesh.faces;
    EXPECT_TRUE(meshIndicesAreValid(mesh));
    mesh.faces = {tri(0, 1, 3)};
    mesh.texCoordFaces = mesh.faces;
    EXPECT_FALSE(meshIndicesAreValid(mesh));
}
