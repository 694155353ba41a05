// Scenes written by writeScene and read back by readScene, in every encoding, with and without
// vertex unification.
#include "XFileIOTestSupport.h"

#include "xfile/XFileIO.h"

#include <gtest/gtest.h>

#include <functional>

using namespace xfiletest;

namespace {

struct Encoding {
    const char* name;
    std::uint32_t format;
};
const Encoding kEncodings[] = {{"text", 1}, {"binary", 0}, {"compressed", 2}};

class RoundTrip : public ::testing::TestWithParam<std::tuple<Encoding, bool>> {};

// Compaction and unification change indices, never what a mesh looks like; floats come back bit
// for bit in all three encodings; and the caller's scene is left exactly as it was.
TEST_P(RoundTrip, ReadsBackWhatWasWritten) {
    const auto [encoding, unify] = GetParam();
    const XScene scene = makeRichScene();
    const XScene before = scene;
    const auto path =
        scratchPath(std::string("rich.") + encoding.name + (unify ? ".unified" : "") + ".x");

    XFileIO io;
    ASSERT_TRUE(io.writeScene(path.c_str(), scene, encoding.format, unify));
    EXPECT_TRUE(identicalBits(before, scene)) << "the writer changed the caller's scene";

    const std::unique_ptr<XScene> back = io.readScene(path.c_str());
    ASSERT_TRUE(back);
    expectSceneInvariants(*back);
    expectSameScene(scene, *back);
}

// The body mesh lists 7 positions, two of them equal, and indexes its texture coordinates and
// colours on its own. A file holds those per vertex, so the writer unifies the body whether asked
// or not: each of its 14 corners has its own (position, normal, uv, colour) combination and
// becomes a vertex (worked out by hand from makeRichScene). The prop's texture coordinates
// follow its positions, so it keeps its 4 vertices.
TEST_P(RoundTrip, VertexCountsFollowCompactionAndUnification) {
    const auto [encoding, unify] = GetParam();
    const auto path =
        scratchPath(std::string("counts.") + encoding.name + (unify ? ".u" : "") + ".x");
    XFileIO io;
    ASSERT_TRUE(io.writeScene(path.c_str(), makeRichScene(), encoding.format, unify));
    const std::unique_ptr<XScene> back = io.readScene(path.c_str());
    ASSERT_TRUE(back);
    const XMesh& body = back->frames.front().children.front().mesh;
    EXPECT_EQ(body.positions.size(), 14u);
    EXPECT_EQ(body.texCoords.size(), 14u);
    EXPECT_EQ(back->frames.back().mesh.positions.size(), 4u);
}

INSTANTIATE_TEST_SUITE_P(EveryEncoding, RoundTrip,
                         ::testing::Combine(::testing::ValuesIn(kEncodings), ::testing::Bool()),
                         [](const auto& testInfo) {
                             return std::string(std::get<0>(testInfo.param).name) +
                                    (std::get<1>(testInfo.param) ? "Unified" : "Plain");
                         });

// Each switch that is off removes its content from the file, and only that.
TEST(RoundTripSwitches, EachSwitchRemovesItsContentOnly) {
    const XScene scene = makeRichScene();
    struct Case {
        const char* name;
        bool XFileIO::*flag;
    };
    const Case cases[] = {{"normals", &XFileIO::keepNormals},
                          {"uv", &XFileIO::keepTexCoords},
                          {"skin", &XFileIO::keepSkin},
                          {"animation", &XFileIO::keepAnimation},
                          {"colours", &XFileIO::keepVertexColors}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        XFileIO io;
        io.*c.flag = false;
        const auto path = scratchPath(std::string("without-") + c.name + ".x");
        ASSERT_TRUE(io.writeScene(path.c_str(), scene, 1, false));
        const std::unique_ptr<XScene> back = XFileIO().readScene(path.c_str());
        ASSERT_TRUE(back);

        XScene expected = scene;
        if (!io.keepAnimation) expected.animationSets.clear();
        std::function<void(std::list<XFrame>&)> trim = [&](std::list<XFrame>& frames) {
            for (XFrame& frame : frames) {
                if (!io.keepNormals) frame.mesh.normals.clear(), frame.mesh.normalFaces.clear();
                if (!io.keepTexCoords)
                    frame.mesh.texCoords.clear(), frame.mesh.texCoordFaces.clear();
                if (!io.keepSkin) frame.mesh.skinWeights.clear();
                if (!io.keepVertexColors) frame.mesh.colors.clear(), frame.mesh.colorFaces.clear();
                trim(frame.children);
            }
        };
        trim(expected.frames);
        expectSameScene(expected, *back);
    }
}

TEST(RoundTripSwitches, TexturePathSwitchKeepsOnlyTheFileName) {
    XFileIO io;
    io.keepTexturePath = false;
    const auto path = scratchPath("short-paths.x");
    ASSERT_TRUE(io.writeScene(path.c_str(), makeRichScene(), 0, false));
    const std::unique_ptr<XScene> back = io.readScene(path.c_str());
    ASSERT_TRUE(back);
    const XMesh& body = back->frames.front().children.front().mesh;
    ASSERT_EQ(body.materials.size(), 3u);
    EXPECT_EQ(body.materials[0].textureFilename, "wood.bmp");
    EXPECT_EQ(body.materials[1].textureFilename, "");
    EXPECT_EQ(body.materials[2].textureFilename, "textures/skin.png"); // forward slashes stay
}

} // namespace
