// A scene of thousands of names the text encoding cannot carry: the frames get text-safe names,
// each told apart where two would meet, and the program lists the first few renamings and counts
// the rest instead of printing a line per node.
#include "xfile/XFileIO.h"

#include "ProgramRun.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>

namespace {

TEST(RenamedNodesReport, ThousandsOfRenamedSiblingsAreListedBrieflyAndKeptApart) {
    apptest::TempFolder folder;
    const std::string scene = folder.file("siblings.gltf");
    const int pairs = 1000;
    {
        std::ofstream out(scene);
        out << R"({"asset":{"version":"2.0"},"scene":0,"scenes":[{"nodes":[)";
        for (int i = 0; i <= 2 * pairs; ++i)
            out << (i ? "," : "") << i;
        out << R"(]}],"nodes":[)";
        for (int i = 0; i < pairs; ++i) {
            char bone[16];
            std::snprintf(bone, sizeof bone, "Bone.%03d", i);
            out << (i ? "," : "") << R"({"name":"sword"},{"name":")" << bone << R"("})";
        }
        // Already text-safe, and what Bone.001 would become: that one has to take a suffix.
        out << R"(,{"name":"Bone_001"}]})";
    }
    const std::string output = folder.file("siblings.x");
    apptest::ProgramRun run = apptest::runLumaset(
        {"export", scene, output, "--format", "text", "--config", folder.path().string()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 3) << run.err;
    EXPECT_NE(run.err.find("node 'sword' is written as 'sword_'"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("node 'Bone.000' is written as 'Bone_000'"), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("... and " + std::to_string(2 * pairs - 2) + " more nodes renamed"),
              std::string::npos)
        << run.err;

    const std::unique_ptr<XScene> written = XFileIO().readScene(output.c_str());
    ASSERT_NE(written, nullptr);
    ASSERT_EQ(written->frames.size(), std::size_t(2 * pairs + 1));
    std::multiset<std::string> names;
    for (const XFrame& frame : written->frames)
        names.insert(frame.name);
    EXPECT_EQ(names.count("sword_"), std::size_t(pairs));
    EXPECT_EQ(names.count("Bone_000"), 1u);
    EXPECT_EQ(names.count("Bone_999"), 1u);
    EXPECT_EQ(names.count("Bone_001"), 1u);
    EXPECT_EQ(names.count("Bone_001_1"), 1u);
    EXPECT_EQ(names.count("sword"), 0u);
}

} // namespace
