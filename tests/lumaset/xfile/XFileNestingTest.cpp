// Nesting: the writer writes frames exactly as deep as X readers go and refuses anything deeper,
// leaving the target file as it was and the reason with the file services.
#include "XFileIOTestSupport.h"

#include "xfile/XFileIO.h"
#include "xfile/XFileServices.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace xfiletest;

namespace {

// A chain of `depth` frames; the last one holds a textured triangle when asked.
XScene chainOfFrames(int depth, bool texturedLeaf) {
    XScene scene;
    XFrame* frame = &scene.frames.emplace_back();
    for (int level = 1; level < depth; ++level) {
        frame->name = "Level" + std::to_string(level);
        frame = &frame->children.emplace_back();
    }
    frame->name = "Leaf";
    if (texturedLeaf) {
        XMesh& mesh = frame->mesh;
        mesh.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
        mesh.faces = {XFace{3, {0, 1, 2, 0}}};
        mesh.materials.emplace_back().textureFilename = "leaf.png";
        mesh.faceMaterials = {0};
    }
    return scene;
}

int depthOf(const XScene& scene) {
    int depth = 0;
    for (const XFrame* frame = scene.frames.empty() ? nullptr : &scene.frames.front(); frame;
         frame = frame->children.empty() ? nullptr : &frame->children.front())
        ++depth;
    return depth;
}

std::string lastServicesReason() {
    const auto getLastError = reinterpret_cast<LPDIRECTXFILEGETLASTERROR>(
        GetProcAddress(xfileServices().library(), "DirectXFileGetLastError"));
    DXFILEDIAGNOSTIC diagnostic{};
    if (!getLastError || getLastError(xfileServices().rootFile(), &diagnostic) != DXFILE_OK ||
        !diagnostic.reason)
        return std::string();
    return diagnostic.reason;
}

} // namespace

// A bare frame adds one level (its transform matrix), a textured mesh four (mesh, material
// list, material, texture name): 127 and 124 frames fill the 128 levels readers take.
TEST(XFileNesting, ChainsAsDeepAsReadersGoAreWrittenAndDeeperOnesRefused) {
    const struct {
        bool textured;
        int deepest;
    } cases[] = {{false, XFileIO::kMaxObjectNesting - 1}, {true, XFileIO::kMaxObjectNesting - 4}};
    for (const auto& c : cases) {
        for (std::uint32_t format : {0u, 1u, 2u}) {
            SCOPED_TRACE(std::to_string(format) + (c.textured ? " textured" : " bare"));
            const auto path = scratchPath("chain.x");
            ASSERT_TRUE(XFileIO().writeScene(path.c_str(), chainOfFrames(c.deepest, c.textured),
                                             format, false));
            const std::unique_ptr<XScene> back = XFileIO().readScene(path.c_str());
            ASSERT_TRUE(back);
            EXPECT_EQ(depthOf(*back), c.deepest);

            const auto refusedPath = scratchPath("chain-refused.x");
            EXPECT_FALSE(XFileIO().writeScene(
                refusedPath.c_str(), chainOfFrames(c.deepest + 1, c.textured), format, false));
            EXPECT_FALSE(std::filesystem::exists(refusedPath));
        }
    }
}

TEST(XFileNesting, AHundredThousandDeepChainIsRefusedAndTheTargetKept) {
    const XScene scene = chainOfFrames(100000, true);
    const auto path = scratchPath("deep.x");
    const std::vector<std::uint8_t> earlier = {'k', 'e', 'e', 'p'};
    for (std::uint32_t format : {0u, 1u, 2u}) {
        SCOPED_TRACE(format);
        writeBytes(path, earlier);
        EXPECT_FALSE(XFileIO().writeScene(path.c_str(), scene, format, true));
        EXPECT_EQ(readBytes(path), earlier);
        EXPECT_NE(lastServicesReason().find("nested too deeply"), std::string::npos)
            << lastServicesReason();
        // Nothing else was left beside the target.
        std::size_t entries = 0;
        for (const auto& entry : std::filesystem::directory_iterator(path.parent_path()))
            entries += entry.path().filename().string().rfind("deep.x", 0) == 0 ? 1 : 0;
        EXPECT_EQ(entries, 1u);
    }
    // Without animation or skin switches the limit is the same: frames alone are too deep.
    XFileIO framesOnly;
    framesOnly.keepAnimation = framesOnly.keepSkin = false;
    EXPECT_FALSE(framesOnly.writeScene(path.c_str(), chainOfFrames(100000, false), 1, false));
    EXPECT_EQ(readBytes(path), earlier);
}
