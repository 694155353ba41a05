#include "CaptureTestSupport.h"

#include "capture/StreamWelding.h"
#include "iskin.h"

#include <bit>

using namespace scenekit;

namespace {

using SkinCaptureTest = CaptureTest;

// The mesh as the scene capture reads it: the node evaluated first, as the host does long
// before an export.
SnapshotMesh meshOf(INode* node) {
    node->EvalWorldState(0, TRUE);
    SnapshotMesh mesh;
    SceneCapture().captureMesh(node, mesh);
    return mesh;
}

const SnapshotSkinWeights* findBone(const SnapshotMesh& mesh, const std::string& name) {
    for (const SnapshotSkinWeights& bone : mesh.skinWeights)
        if (bone.boneName == name) return &bone;
    return nullptr;
}

// The weights at every position that sits at height z.
std::vector<std::pair<std::string, float>> weightsAtHeight(const SnapshotMesh& mesh, float z) {
    std::vector<std::pair<std::string, float>> found;
    for (const SnapshotSkinWeights& bone : mesh.skinWeights)
        for (const auto& [vertex, weight] : bone.weights)
            if (std::fabs(mesh.positions.at(std::size_t(vertex)).z - z) < 1e-5f)
                found.emplace_back(bone.boneName, weight);
    return found;
}

// A square tube along Z from 0 to 4 over a chain of two bones, each 2 long: rings at heights
// 0, 1, 2, 3 and 4; the ring at 2 is shared half and half.
struct Arm {
    INode* node;
    std::vector<INode*> bones;
};
Arm makeArm() {
    Arm arm;
    arm.node = makeCylinder("arm", 1.0f, 4.0f, 4, 4);
    arm.bones = makeBoneChain("bone", 2, 2.0f);
    return arm;
}

TEST_F(SkinCaptureTest, SkinWeightsAndOffsetsAreReadInTheBindPose) {
    Arm arm = makeArm();
    Modifier* skin = skinTo(arm.node, arm.bones);
    // Posing a bone deforms the evaluated mesh; the capture still reads the bind pose.
    place(arm.bones[1], RotateXMatrix(1.0f) * translation(0, 3, 2));
    ASSERT_GT(evaluatedMesh(arm.node, 0).verts[21].y, 1.0f); // the top cap's centre

    const SnapshotMesh mesh = meshOf(arm.node);
    EXPECT_TRUE(skin->IsEnabled());
    EXPECT_EQ(mesh.positions.size(), 22u);
    for (const Point3& p : mesh.positions)
        EXPECT_LE(std::fabs(p.y), 1.0f + 1e-5f);

    ASSERT_EQ(mesh.skinWeights.size(), 2u);
    EXPECT_EQ(mesh.skinWeights[0].boneName, "bone0");
    EXPECT_EQ(mesh.skinWeights[1].boneName, "bone1");
    EXPECT_TRUE(matrixNear(mesh.skinWeights[1].offsetMatrix, translation(0, 0, -2)));
    const auto shared = weightsAtHeight(mesh, 2.0f);
    EXPECT_EQ(shared.size(), 8u); // four corners, two bones each
    for (const auto& [bone, weight] : shared)
        EXPECT_FLOAT_EQ(weight, 0.5f) << bone;
    for (const auto& [bone, weight] : weightsAtHeight(mesh, 4.0f)) {
        EXPECT_EQ(bone, "bone1");
        EXPECT_FLOAT_EQ(weight, 1.0f);
    }
}

TEST_F(SkinCaptureTest, ZeroWeightsAreDroppedAndABoneWithoutWeightsHasNoEntry) {
    Arm arm = makeArm();
    std::vector<VertexWeights> weights(22, VertexWeights{{0, 1.0f}, {1, 0.0f}});
    skinTo(arm.node, arm.bones, weights);
    const SnapshotMesh mesh = meshOf(arm.node);
    ASSERT_EQ(mesh.skinWeights.size(), 1u);
    EXPECT_EQ(mesh.skinWeights[0].boneName, "bone0");
    EXPECT_EQ(mesh.skinWeights[0].weights.size(), mesh.positions.size());
}

TEST_F(SkinCaptureTest, WeightsAreReadOnlyForVerticesTheMeshAndTheDeformerBothHave) {
    for (bool physique : {false, true}) {
        hostcore::resetScene();
        Arm arm = makeArm();
        if (physique)
            physiqueTo(arm.node, arm.bones);
        else
            skinTo(arm.node, arm.bones);
        arm.node->EvalWorldState(0, TRUE);
        SceneCapture capture;

        SnapshotMesh more;
        more.positions.assign(1000, Point3(0, 0, 0));
        capture.captureSkin(arm.node, more);
        std::int32_t highest = -1;
        for (const SnapshotSkinWeights& bone : more.skinWeights)
            highest = std::max(highest, bone.weights.rbegin()->first);
        EXPECT_EQ(highest, 21) << (physique ? "Physique" : "Skin");

        SnapshotMesh fewer;
        fewer.positions.assign(3, Point3(0, 0, 0));
        capture.captureSkin(arm.node, fewer);
        ASSERT_EQ(fewer.skinWeights.size(), 1u); // the first ring follows bone0 alone
        EXPECT_EQ(fewer.skinWeights[0].weights.size(), 3u);
    }
}

TEST_F(SkinCaptureTest, PhysiqueBonesComeInOrderOfFirstAppearance) {
    Arm arm = makeArm();
    std::vector<VertexWeights> weights(22);
    weights[0] = {{1, 1.0f}};              // bone1 is met first
    weights[1] = {{0, 0.25f}, {1, 0.75f}}; // blended
    // vertex 2 has no links: it has no vertex interface and is skipped
    for (std::size_t v = 3; v < weights.size(); ++v)
        weights[v] = {{0, 1.0f}};
    Modifier* physique = physiqueTo(arm.node, arm.bones, weights);
    place(arm.bones[0], translation(7, 0, 0));

    const SnapshotMesh mesh = meshOf(arm.node);
    EXPECT_TRUE(physique->IsEnabled());
    ASSERT_EQ(mesh.skinWeights.size(), 2u);
    const SnapshotSkinWeights& first = mesh.skinWeights[0];
    const SnapshotSkinWeights& second = mesh.skinWeights[1];
    EXPECT_EQ(first.boneName, "bone1");
    EXPECT_EQ(second.boneName, "bone0");
    EXPECT_TRUE(matrixNear(first.offsetMatrix, translation(0, 0, -2)));
    EXPECT_TRUE(matrixNear(second.offsetMatrix, Matrix3(1)));
    EXPECT_EQ(first.weights.size(), 2u);
    EXPECT_EQ(second.weights.size(), 20u);
    // The rigid vertex counts fully; the blended one keeps both weights.
    std::size_t weightedCorners = 0;
    for (const SnapshotSkinWeights& bone : mesh.skinWeights)
        weightedCorners += bone.weights.size();
    EXPECT_EQ(weightedCorners, 22u);
    EXPECT_TRUE(findBone(mesh, "bone1"));
}

// Two triangles meeting at one place with their own copy of the corner, as at a seam.
INode* makeSeam() {
    TriObject* tri = CreateNewTriObject();
    Mesh& mesh = tri->mesh;
    mesh.setNumVerts(4);
    mesh.setVert(0, 0, 0, 0);
    mesh.setVert(1, 1, 0, 0);
    mesh.setVert(2, 0, 1, 0);
    mesh.setVert(3, 0, 0, 0);
    mesh.setNumFaces(2);
    mesh.faces[0].setVerts(0, 1, 2);
    mesh.faces[1].setVerts(3, 2, 1);
    return makeNode("seam", tri);
}

TEST_F(SkinCaptureTest, CoincidentVerticesMergeOnlyWhenTheirWeightsAgree) {
    INode* seam = makeSeam();
    std::vector<INode*> bones = makeBoneChain("b", 2, 1.0f);
    skinTo(seam, bones, {{{0, 1.0f}}, {{0, 1.0f}}, {{1, 1.0f}}, {{1, 1.0f}}});
    const SnapshotMesh apart = meshOf(seam);
    EXPECT_EQ(apart.positions.size(), 4u);
    ASSERT_EQ(apart.skinWeights.size(), 2u);
    EXPECT_EQ(apart.skinWeights[0].weights.size(), 2u);
    EXPECT_EQ(apart.skinWeights[1].weights.size(), 2u);

    INode* agreed = makeSeam();
    skinTo(agreed, bones, {{{0, 1.0f}}, {{0, 1.0f}}, {{1, 1.0f}}, {{0, 1.0f}}});
    const SnapshotMesh merged = meshOf(agreed);
    ASSERT_EQ(merged.positions.size(), 3u);
    EXPECT_EQ(merged.faces[1].indices[0], 0u);
    EXPECT_EQ(merged.skinWeights[0].weights, (BoneVertexWeights{{0, 1.0f}, {1, 1.0f}}));
    EXPECT_EQ(merged.skinWeights[1].weights, (BoneVertexWeights{{2, 1.0f}}));
}

float nanWithPayload(std::uint32_t payload) {
    return std::bit_cast<float>(0x7FC00000u | payload);
}

TEST(StreamWelding, ValuesMergeAsFloatsAndNaNOnlyWithItsOwnBits) {
    std::vector<Point3> values = {{0.0f, 1, 2},
                                  {-0.0f, 1, 2},
                                  {nanWithPayload(1), 0, 0},
                                  {nanWithPayload(2), 0, 0},
                                  {nanWithPayload(1), 0, 0},
                                  {1, nanWithPayload(1), 0},
                                  {0.0f, 1, 2}};
    std::vector<SnapshotTriangle> triangles = {{{0, 1, 2}}, {{3, 4, 5}}, {{6, 5, 4}}};
    const auto remap = weldStream(values, triangles);
    EXPECT_EQ(remap, (std::vector<std::uint32_t>{0, 0, 1, 2, 1, 3, 0}));
    EXPECT_EQ(values.size(), 4u);
    EXPECT_EQ(triangles[2], (SnapshotTriangle{{0, 3, 1}}));
}

TEST(StreamWelding, TexCoordsAndColoursWeldByEveryComponent) {
    std::vector<SnapshotTexCoord> uvs = {{0.5f, 0.5f}, {0.5f, 0.25f}, {0.5f, 0.5f}};
    std::vector<SnapshotTriangle> uvFaces = {{{2, 1, 0}}};
    weldStream(uvs, uvFaces);
    EXPECT_EQ(uvs.size(), 2u);
    EXPECT_EQ(uvFaces[0], (SnapshotTriangle{{0, 1, 0}}));

    std::vector<SnapshotColor> colors = {{1, 0, 0, 1}, {1, 0, 0, 0.5f}, {1, 0, 0, 1}};
    std::vector<SnapshotTriangle> colorFaces = {{{0, 1, 2}}};
    weldStream(colors, colorFaces);
    EXPECT_EQ(colors.size(), 2u);
    EXPECT_EQ(colorFaces[0], (SnapshotTriangle{{0, 1, 0}}));
}

} // namespace
