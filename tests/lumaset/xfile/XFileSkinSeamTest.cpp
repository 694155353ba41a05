// Skinned meshes through the writer: coincident vertices bound to different bones (a seam) stay
// apart, so every corner keeps exactly the weights it had.
#include "XFileIOTestSupport.h"

#include "xfile/XFileIO.h"

#include <gtest/gtest.h>

using namespace xfiletest;

namespace {

// For each bone, how many face corners it weights.
std::map<std::string, std::size_t> weightedCorners(const XMesh& mesh) {
    std::map<std::string, std::size_t> counts;
    for (const XSkinWeights& bone : mesh.skinWeights) {
        std::size_t& count = counts[bone.boneName];
        for (const XFace& face : mesh.faces)
            for (std::uint32_t c = 0; c < face.cornerCount; ++c)
                count += bone.weights.count(static_cast<std::int32_t>(face.indices[c]));
    }
    return counts;
}

const XMesh* firstMesh(const XScene& scene) {
    std::vector<const XFrame*> pending;
    for (const XFrame& frame : scene.frames)
        pending.push_back(&frame);
    while (!pending.empty()) {
        const XFrame* frame = pending.back();
        pending.pop_back();
        if (!frame->mesh.isEmpty()) return &frame->mesh;
        for (const XFrame& child : frame->children)
            pending.push_back(&child);
    }
    return nullptr;
}

// Two strips meeting at a seam: the left strip's vertices on one bone, the right strip's on
// another, with the seam vertices doubled at the same positions (and texture coordinates).
XScene seamScene() {
    XScene scene;
    scene.frames.emplace_back().name = "Left";
    scene.frames.emplace_back().name = "Right";
    XFrame& body = scene.frames.emplace_back();
    body.name = "Body";
    XMesh& mesh = body.mesh;
    mesh.positions = {{-1, 0, 0}, {-1, 1, 0}, {0, 0, 0}, {0, 1, 0},  // left strip
                      {0, 0, 0},  {0, 1, 0},  {1, 0, 0}, {1, 1, 0}}; // right strip
    mesh.faces = {XFace{3, {0, 2, 1, 0}}, XFace{3, {1, 2, 3, 0}}, XFace{3, {4, 6, 5, 0}},
                  XFace{3, {5, 6, 7, 0}}};
    mesh.texCoords = {{0, 0}, {0, 1}, {0.5f, 0}, {0.5f, 1}, {0.5f, 0}, {0.5f, 1}, {1, 0}, {1, 1}};
    mesh.texCoordFaces = mesh.faces;
    mesh.normals = {{0, 0, 1}};
    mesh.normalFaces.assign(mesh.faces.size(), XFace{3, {0, 0, 0, 0}});
    XSkinWeights& left = mesh.skinWeights.emplace_back();
    left.boneName = "Left";
    left.weights = {{0, 1.0f}, {1, 1.0f}, {2, 1.0f}, {3, 1.0f}};
    XSkinWeights& right = mesh.skinWeights.emplace_back();
    right.boneName = "Right";
    right.weights = {{4, 1.0f}, {5, 1.0f}, {6, 1.0f}, {7, 1.0f}};
    return scene;
}

} // namespace

TEST(XFileSkinSeam, CoincidentVerticesOfDifferentBonesKeepTheirOwnWeights) {
    const XScene scene = seamScene();
    const XMesh& source = *firstMesh(scene);
    for (std::uint32_t format : {0u, 1u, 2u})
        for (bool unify : {false, true}) {
            SCOPED_TRACE(std::to_string(format) + (unify ? " unified" : ""));
            const auto path = scratchPath("seam.x");
            ASSERT_TRUE(XFileIO().writeScene(path.c_str(), scene, format, unify));
            const std::unique_ptr<XScene> back = XFileIO().readScene(path.c_str());
            ASSERT_TRUE(back);
            const XMesh* mesh = firstMesh(*back);
            ASSERT_NE(mesh, nullptr);
            expectSameLook(source, *mesh, "seam");
            EXPECT_EQ(weightedCorners(*mesh), weightedCorners(source));
            EXPECT_EQ(mesh->positions.size(), 8u);
        }
}

// The character of the corpus: after a rewrite each bone weights exactly the corners it did.
TEST(XFileSkinSeam, CorpusCharacterKeepsItsWeightedCornersThroughARewrite) {
    if (!corpusAvailable()) GTEST_SKIP() << "corpus folder not found at " << LUMASET_CORPUS_DIR;
    const std::unique_ptr<XScene> scene = XFileIO().readScene(corpusPath("tiny.x").c_str());
    ASSERT_TRUE(scene);
    const XMesh* source = firstMesh(*scene);
    ASSERT_NE(source, nullptr);
    const auto before = weightedCorners(*source);
    ASSERT_GT(before.at("Bip01_L_Clavicle"), 0u);
    for (std::uint32_t format : {0u, 1u}) {
        const auto path = scratchPath("tiny-rewritten.x");
        ASSERT_TRUE(XFileIO().writeScene(path.c_str(), *scene, format, false));
        const std::unique_ptr<XScene> back = XFileIO().readScene(path.c_str());
        ASSERT_TRUE(back);
        ASSERT_NE(firstMesh(*back), nullptr);
        EXPECT_EQ(weightedCorners(*firstMesh(*back)), before);
    }
}
