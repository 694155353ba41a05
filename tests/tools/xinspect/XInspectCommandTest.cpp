// The xinspect command on every corpus file: it prints a summary, rewrites the file in each
// encoding, and the rewrite prints the same summary (vertex counts apart).
#include "xfile/XFileIO.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct CommandResult {
    int exitCode = -1;
    std::string output;
};

CommandResult run(const std::string& arguments) {
    CommandResult result;
    const std::string command = std::string(XINSPECT_PROGRAM) + " " + arguments + " 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return result;
    std::array<char, 4096> buffer;
    while (std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe))
        result.output.append(buffer.data(), n);
    const int status = ::pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string quoted(const std::filesystem::path& path) {
    return "'" + path.string() + "'";
}

// The totals, less the vertex count: the writer compacts (and may unify) vertices on the way.
std::string totalLine(const std::string& output) {
    const std::size_t at = output.rfind("total: ");
    if (at == std::string::npos) return std::string();
    std::string line = output.substr(at, output.find('\n', at) - at);
    const std::size_t vertices = line.find(" vertices, ");
    const std::size_t start = line.rfind(", ", vertices);
    if (vertices != std::string::npos && start != std::string::npos)
        line.erase(start, vertices - start + 9);
    return line;
}

TEST(XInspectCommand, EveryCorpusFileReadsAndRewrites) {
    const std::filesystem::path corpus = std::filesystem::path(LUMASET_CORPUS_DIR) / "x";
    if (!std::filesystem::is_directory(corpus))
        GTEST_SKIP() << "corpus folder not found at " << corpus;
    const std::filesystem::path scratch =
        std::filesystem::temp_directory_path() / ("lumaset-xinspect-" + std::to_string(::getpid()));
    std::filesystem::create_directories(scratch);
    int fileCount = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        const std::string extension = entry.path().extension().string();
        if (extension != ".x" && extension != ".X") continue;
        ++fileCount;
        SCOPED_TRACE(entry.path().filename().string());
        const CommandResult original = run(quoted(entry.path()));
        ASSERT_EQ(original.exitCode, 0) << original.output;
        ASSERT_NE(totalLine(original.output), "");
        for (const char* format : {"text", "binary", "compressed"}) {
            const std::filesystem::path out = scratch / (std::string("out.") + format + ".x");
            const CommandResult written =
                run(quoted(entry.path()) + " --write " + quoted(out) + " --format " + format);
            ASSERT_EQ(written.exitCode, 0) << written.output;
            const CommandResult reread = run(quoted(out));
            ASSERT_EQ(reread.exitCode, 0) << reread.output;
            EXPECT_EQ(totalLine(reread.output), totalLine(original.output)) << format;
        }
    }
    EXPECT_GE(fileCount, 13);
    std::filesystem::remove_all(scratch);
}

// A skinned triangle whose bone is animated, written by the plug-in's own writer.
XScene skinnedAnimatedTriangle() {
    XScene scene;
    XFrame& root = scene.frames.emplace_back();
    root.name = "Body";
    root.mesh.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    root.mesh.faces = {XFace{3, {0, 1, 2, 0}}};
    root.mesh.normals = {{0, 0, 1}};
    root.mesh.normalFaces = {XFace{3, {0, 0, 0, 0}}};
    root.mesh.texCoords = {{0, 0}, {1, 0}, {0, 1}};
    root.mesh.texCoordFaces = root.mesh.faces;
    XSkinWeights& skin = root.mesh.skinWeights.emplace_back();
    skin.boneName = "Arm";
    skin.weights = {{0, 1.0f}, {1, 1.0f}, {2, 1.0f}};
    XFrame& bone = root.children.emplace_back();
    bone.name = "Arm";
    XAnimation& wave = scene.animationSets["Wave"]["Arm"];
    wave.positionKeys = {{0, {0, 0, 0}}, {4800, {1, 0, 0}}};
    return scene;
}

TEST(XInspectCommand, TrimsWhatKeepLeavesOut) {
    const std::filesystem::path in =
        std::filesystem::temp_directory_path() /
        ("lumaset-xinspect-skinned-" + std::to_string(::getpid()) + ".x");
    ASSERT_TRUE(XFileIO().writeScene(in.c_str(), skinnedAnimatedTriangle(), 1, false));
    const CommandResult original = run(quoted(in));
    ASSERT_EQ(original.exitCode, 0) << original.output;
    ASSERT_NE(original.output.find(", 1 bone, 1 animation set,"), std::string::npos)
        << original.output;

    const std::filesystem::path out =
        std::filesystem::temp_directory_path() /
        ("lumaset-xinspect-keep-" + std::to_string(::getpid()) + ".x");
    const CommandResult written =
        run(quoted(in) + " --write " + quoted(out) + " --format binary --keep normals,uv");
    std::filesystem::remove(in);
    ASSERT_EQ(written.exitCode, 0) << written.output;
    const CommandResult reread = run(quoted(out));
    std::filesystem::remove(out);
    ASSERT_EQ(reread.exitCode, 0);
    EXPECT_NE(reread.output.find(", 0 bones, 0 animation sets,"), std::string::npos)
        << reread.output;
}

TEST(XInspectCommand, ClearErrorsAndExitCodes) {
    const CommandResult missing = run("/nonexistent/file.x");
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.output.find("xinspect: /nonexistent/file.x"), std::string::npos)
        << missing.output;
    const std::filesystem::path broken =
        std::filesystem::temp_directory_path() /
        ("lumaset-xinspect-broken-" + std::to_string(::getpid()) + ".x");
    {
        std::FILE* file = std::fopen(broken.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fputs(
            "xof 0303txt 0032\nFrame Kept { }\nFrame Broken { FrameTransformMatrix { 1.0, ; } }\n",
            file);
        std::fclose(file);
    }
    const CommandResult partial = run(quoted(broken));
    std::filesystem::remove(broken);
    EXPECT_EQ(partial.exitCode, 1);
    EXPECT_NE(partial.output.find("frame \"Kept\""), std::string::npos) << partial.output;
    EXPECT_NE(partial.output.find("read stopped early: "), std::string::npos) << partial.output;
    EXPECT_EQ(run("").exitCode, 2);
    EXPECT_EQ(run("a.x --format text").exitCode, 2);
    EXPECT_EQ(run("a.x --write b.x --format jpeg").exitCode, 2);
    EXPECT_EQ(run("a.x --write b.x --format text --keep wings").exitCode, 2);
    EXPECT_EQ(run("--help").exitCode, 0);
}

std::filesystem::path scratchFile(const std::string& name) {
    return std::filesystem::temp_directory_path() /
           ("lumaset-xinspect-" + std::to_string(::getpid()) + "-" + name);
}

TEST(XInspectCommand, TextRewritesListTheNamesTheyChanged) {
    // Names only the binary encoding carries: a keyword and a dot.
    XScene scene;
    XFrame& sword = scene.frames.emplace_back();
    sword.name = "sword";
    sword.children.emplace_back().name = "Bone.000";
    scene.animationSets["Swing"]["Bone.000"].positionKeys[0] = XVector3{1, 2, 3};
    const std::filesystem::path in = scratchFile("names.x");
    const std::filesystem::path out = scratchFile("names-text.x");
    ASSERT_TRUE(XFileIO().writeScene(in.c_str(), scene, 0, false));

    const CommandResult written = run(quoted(in) + " --write " + quoted(out) + " --format text");
    EXPECT_EQ(written.exitCode, 0) << written.output;
    EXPECT_NE(written.output.find("renamed for the text encoding: \"sword\" -> \"sword_\""),
              std::string::npos)
        << written.output;
    EXPECT_NE(written.output.find("\"Bone.000\" -> \"Bone_000\""), std::string::npos);
    const CommandResult reread = run(quoted(out));
    EXPECT_EQ(reread.exitCode, 0) << reread.output;
    EXPECT_NE(reread.output.find("frame \"sword_\""), std::string::npos) << reread.output;
    EXPECT_NE(reread.output.find("\"Bone_000\": rotation 0, scale 0, position 1"),
              std::string::npos);

    const CommandResult binary = run(quoted(in) + " --write " + quoted(out) + " --format binary");
    EXPECT_EQ(binary.output.find("renamed"), std::string::npos) << binary.output;
    std::filesystem::remove(in);
    std::filesystem::remove(out);
}

TEST(XInspectCommand, ARewriteNoReaderCouldReadIsRefusedWithTheReason) {
    // 128 nested frames are as deep as a file goes; the rewrite gives each a transform matrix,
    // one level more than readers take.
    std::string text = "xof 0303txt 0032\n";
    for (int level = 0; level < XFileIO::kMaxObjectNesting; ++level)
        text += "Frame F" + std::to_string(level) + " {\n";
    for (int level = 0; level < XFileIO::kMaxObjectNesting; ++level)
        text += "}\n";
    const std::filesystem::path in = scratchFile("deep.x");
    const std::filesystem::path out = scratchFile("deep-out.x");
    {
        std::FILE* file = std::fopen(in.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fputs(text.c_str(), file);
        std::fclose(file);
    }
    const CommandResult written = run(quoted(in) + " --write " + quoted(out) + " --format text");
    std::filesystem::remove(in);
    EXPECT_EQ(written.exitCode, 1);
    EXPECT_NE(written.output.find("objects nested too deeply"), std::string::npos)
        << written.output;
    EXPECT_FALSE(std::filesystem::exists(out));
}

} // namespace
