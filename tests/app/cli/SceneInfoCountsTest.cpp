// What an X file holds and what came in through the import, told in the same words: xinspect on
// the X file and lumaset scene info on the imported glTF end with the same counts line.
#include "ProgramRun.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

namespace {

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

} // namespace
