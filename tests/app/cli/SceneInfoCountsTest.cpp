// What an X file holds and what came in through the import, told in the same words: xinspect on
// the X file and lumaset scene info on the imported glTF end with the same counts line.
#include "ProgramRun.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string countsLine(const std::string& output) {
    const std::size_t at = output.rfind("counts: ");
    if (at == std::string::npos) return std::string();
    return output.substr(at, output.find('\n', at) - at);
}

TEST(SceneInfoCounts, XInspectAndSceneInfoCountAnImportedFileAlike) {
    apptest::TempFolder folder;
    const std::string config = folder.path().string();
    // The demo: a skinned arm, a mesh of two materials, two animations; keys as they stand and
    // sampled at every frame, in text and binary.
    const std::vector<std::vector<std::string>> exports = {
        {"--keys", "--format", "text"},
        {"--sample", "30", "--format", "binary"},
    };
    for (const std::vector<std::string>& flags : exports) {
        SCOPED_TRACE(flags[0]);
        std::vector<std::string> words = {"export", "--demo", folder.file("demo.x"), "--config",
                                          config};
        words.insert(words.end(), flags.begin(), flags.end());
        apptest::ProgramRun exported = apptest::runLumaset(words);
        ASSERT_EQ(exported.status, 0) << exported.err;

        std::string inspected;
        ASSERT_EQ(
            apptest::runCommand(std::string(XINSPECT_PROGRAM) + " '" + folder.file("demo.x") + "'",
                                inspected),
            0)
            << inspected;
        apptest::ProgramRun imported = apptest::runLumaset(
            {"import", folder.file("demo.x"), folder.file("demo.glb"), "--config", config});
        ASSERT_EQ(imported.status, 0) << imported.err;
        apptest::ProgramRun info = apptest::runLumaset({"scene", "info", folder.file("demo.glb")});
        ASSERT_EQ(info.status, 0) << info.err;

        const std::string file = countsLine(inspected);
        EXPECT_EQ(file.rfind("counts: 7 nodes, 4 meshes, 32 triangles, 5 materials, 2 bones, "
                             "2 animation sets, ",
                             0),
                  0u)
            << file;
        EXPECT_EQ(countsLine(info.out), file);
    }
}

// The counts line of xinspect on `xFile`, and that of scene info on its import to `gltfFile`.
std::pair<std::string, std::string> countsOfFileAndImport(const apptest::TempFolder& folder,
                                                          const std::string& xFile,
                                                          const std::string& gltfFile) {
    std::string inspected;
    EXPECT_EQ(apptest::runCommand(std::string(XINSPECT_PROGRAM) + " '" + xFile + "'", inspected), 0)
        << inspected;
    fs::create_directories(folder.path() / "config");
    apptest::ProgramRun imported =
        apptest::runLumaset({"import", xFile, gltfFile, "--config", folder.file("config")});
    EXPECT_EQ(imported.status, 0) << imported.err;
    apptest::ProgramRun info = apptest::runLumaset({"scene", "info", gltfFile});
    EXPECT_EQ(info.status, 0) << info.err;
    return {countsLine(inspected), countsLine(info.out)};
}

// Keys between frames (the file runs at 4800 ticks a second, a frame is 160 ticks), a top-level
// frame animated without scale keys and a nested one with scale keys only: the import makes no
// key at the set's end beyond the file's, and its added scale and rotation keys on the top-level
// frame are counted on both sides.
TEST(SceneInfoCounts, KeysBetweenFramesAndAddedObjectKeysCountAlike) {
    apptest::TempFolder folder;
    const std::string triangle = "  Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }\n";
    apptest::writeText(folder.file("between.x"),
                       "xof 0303txt 0032\n"
                       "Frame Root {\n" +
                           triangle +
                           " Frame Child {\n"
                           "  FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,2,0,1;; }\n" +
                           triangle +
                           " }\n"
                           "}\n"
                           "AnimationSet walk {\n"
                           " Animation { {Root}\n"
                           "  AnimationKey { 2; 3; 0;3;0,0,0;;, 37;3;1,0,0;;, 93;3;2,0,0;;; }\n"
                           " }\n"
                           " Animation { {Child}\n"
                           "  AnimationKey { 1; 2; 0;3;1,1,1;;, 50;3;2,2,2;;; }\n"
                           " }\n"
                           "}\n");
    const auto [file, imported] =
        countsOfFileAndImport(folder, folder.file("between.x"), folder.file("between.gltf"));
    EXPECT_EQ(file, "counts: 2 nodes, 2 meshes, 2 triangles, 0 materials, 0 bones, "
                    "1 animation set, 2 animated nodes, keys: 3 position, 1 rotation, 3 scale");
    EXPECT_EQ(imported, file);
}

TEST(SceneInfoCounts, EveryCorpusFileAndItsImportCountAlike) {
    if (apptest::xCorpusFolder().empty())
        GTEST_SKIP() << "the X file corpus is not at " << LUMASET_CORPUS_DIR << "/x";
    const std::vector<fs::path> files = apptest::xCorpusFiles();
    ASSERT_FALSE(files.empty());
    apptest::TempFolder folder;
    for (const fs::path& path : files) {
        SCOPED_TRACE(path.filename().string());
        const auto [file, imported] = countsOfFileAndImport(
            folder, path.string(), folder.file(path.stem().string() + ".glb"));
        EXPECT_FALSE(file.empty());
        EXPECT_EQ(imported, file);
    }
}

} // namespace
