// lumaset export as a user meets it: help, a wrong command line, files that cannot be written
// and scenes no X file can hold, each one clear line with nothing lost.
#include "cli/Commands.h"
#include "cli/ExportDialog.h"

#include "ProgramRun.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

using apptest::ProgramRun;

ProgramRun run(std::vector<std::string> words) {
    return apptest::runLumaset(std::move(words));
}

bool isOneLine(const std::string& text) {
    return !text.empty() && text.find('\n') == text.size() - 1;
}

std::string contentsOf(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A chain of `depth` nodes, each the only child of the one before.
void writeChain(const std::string& file, int depth) {
    std::ofstream out(file);
    out << R"({"asset":{"version":"2.0"},"scene":0,"scenes":[{"nodes":[0]}],"nodes":[)";
    for (int i = 0; i < depth; ++i) {
        out << (i ? "," : "") << R"({"name":"n)" << i << '"';
        if (i + 1 < depth) out << R"(,"children":[)" << i + 1 << ']';
        out << '}';
    }
    out << "]}";
}

TEST(ExportCommand, HelpListsEveryFlagWithTheDialogLabelItSets) {
    ProgramRun help = run({"export", "--help"});
    ASSERT_EQ(help.status, cli::exitSuccess);
    for (const cli::DialogControl& control : cli::exportDialogControls()) {
        const std::string flag = control.offFlag == "no-" + std::string(control.flag)
                                     ? "--[no-]" + std::string(control.flag)
                                     : "--" + std::string(control.flag);
        const std::size_t line = help.out.find("\n  " + flag);
        ASSERT_NE(line, std::string::npos) << flag;
        const std::string text = help.out.substr(line + 1, help.out.find('\n', line + 1) - line);
        EXPECT_NE(text.find("\"" + std::string(control.label) + "\""), std::string::npos) << text;
    }
    for (const char* option : {"--config DIR", "--print-options", "--demo", "--keys"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
}

TEST(ExportCommand, FlagsSetTheDialogAndTheChoicesPersist) {
    apptest::TempFolder folder;
    const std::string config = folder.path().string();
    ProgramRun first =
        run({"export", "--demo", folder.file("demo.x"), "--config", config, "--format", "binary",
             "--no-uv", "--left-handed", "--scale", "2,2,2", "--sample", "24"});
    ASSERT_EQ(first.status, cli::exitSuccess) << first.err;
    EXPECT_EQ(contentsOf(folder.file("demo.x")).substr(0, 16), "xof 0303bin 0032");
    const std::string settings = contentsOf(folder.file("Lumaset.xml"));
    for (const char* saved : {"<FORMAT value=\"1\"/>", "<UV value=\"0\"/>", "<CHAND value=\"1\"/>",
                              "<OBJECTSCALE_Y value=\"2.000000\"/>", "<SAMPLING value=\"1\"/>",
                              "<SAMPLINGFPS value=\"24\"/>"})
        EXPECT_NE(settings.find(saved), std::string::npos) << saved << "\n" << settings;

    // The next run's dialog shows them; flags given then change only their own controls.
    ProgramRun shown = run({"export", "--print-options", "--config", config, "--keys", "--uv"});
    ASSERT_EQ(shown.status, cli::exitSuccess) << shown.err;
    EXPECT_EQ(shown.out, "Format: Binary\nNormal: on\nUV: on\nVertex Color: on\nSkin: on\n"
                         "Animation key: on\nFull path texfile: off\nLeft hand: on\nD3DX Opt: on\n"
                         "Sampling: off, 24\nScale: 2, 2, 2\nRotation: 0, 0, 0\n");
    EXPECT_EQ(contentsOf(folder.file("Lumaset.xml")), settings) << "printing options saves nothing";
}

TEST(ExportCommand, NamesTheTextEncodingChangesAreReported) {
    apptest::TempFolder folder;
    const std::string scene = folder.file("names.gltf");
    std::ofstream(scene)
        << R"({"asset":{"version":"2.0"},"scene":0,"scenes":[{"nodes":[0,1,2]}],)"
           R"("nodes":[{"name":"sword"},{"name":"Bone.000"},{"name":"left arm"}]})";
    ProgramRun text = run({"export", scene, folder.file("names.x"), "--format", "text", "--config",
                           folder.path().string()});
    ASSERT_EQ(text.status, cli::exitSuccess) << text.err;
    EXPECT_NE(text.err.find("node 'sword' is written as 'sword_'"), std::string::npos) << text.err;
    EXPECT_NE(text.err.find("node 'Bone.000' is written as 'Bone_000'"), std::string::npos)
        << text.err;
    EXPECT_EQ(text.err.find("left"), std::string::npos)
        << "spaces becoming underscores is the rule";

    ProgramRun binary = run({"export", scene, folder.file("names.bin.x"), "--format", "binary",
                             "--config", folder.path().string()});
    ASSERT_EQ(binary.status, cli::exitSuccess) << binary.err;
    EXPECT_EQ(binary.err, "") << "binary files keep names as they are";
}

TEST(ExportCommand, AWrongCommandLineIsOneLineAndStatusTwo) {
    apptest::TempFolder folder;
    const std::string out = folder.file("out.x");
    const std::vector<std::vector<std::string>> cases = {
        {"export", "--demo"},
        {"export", "--demo", folder.file("out.gltf")},
        {"export", "--demo", out, "--format", "jpeg"},
        {"export", "--demo", out, "--scale", "1,1"},
        {"export", "--demo", out, "--skin", "--no-skin"},
        {"export", "--demo", out, "--config", folder.file("absent")},
        {"export", "--demo", out, "--bogus"},
    };
    for (const std::vector<std::string>& words : cases) {
        ProgramRun result = run(words);
        EXPECT_EQ(result.status, cli::exitUsage) << words.back();
        EXPECT_TRUE(isOneLine(result.err)) << result.err;
        EXPECT_TRUE(result.err.starts_with("lumaset: ")) << result.err;
        EXPECT_TRUE(fs::is_empty(folder.path()));
    }
}

TEST(ExportCommand, AnUnwritableTargetIsReportedAndAnExistingFileStays) {
    apptest::TempFolder folder;
    const std::string config = folder.file("config");
    fs::create_directory(config);
    // A folder that does not exist.
    ProgramRun missing = run({"export", "--demo", folder.file("absent/out.x"), "--config", config});
    EXPECT_EQ(missing.status, cli::exitFailure);
    EXPECT_TRUE(isOneLine(missing.err)) << missing.err;
    EXPECT_NE(missing.err.find(folder.file("absent/out.x") + ": "), std::string::npos);
    EXPECT_NE(missing.err.find("No such file or directory"), std::string::npos) << missing.err;
    EXPECT_FALSE(fs::exists(folder.file("absent")));

    // A read-only file, in a folder that could be written.
    const std::string target = folder.file("kept.x");
    std::ofstream(target) << "keep me";
    fs::permissions(target, fs::perms::owner_read | fs::perms::group_read);
    ProgramRun readOnly = run({"export", "--demo", target, "--config", config});
    EXPECT_EQ(readOnly.status, cli::exitFailure);
    EXPECT_TRUE(isOneLine(readOnly.err)) << readOnly.err;
    EXPECT_NE(readOnly.err.find("read-only"), std::string::npos) << readOnly.err;
    EXPECT_EQ(contentsOf(target), "keep me");
    EXPECT_FALSE(fs::exists(config + "/Lumaset.xml")) << "no export ran, nothing was confirmed";
}

TEST(ExportCommand, AHundredThousandNestedNodesConvertAndAreRefusedForXFiles) {
    apptest::TempFolder folder;
    const std::string chain = folder.file("chain.gltf");
    writeChain(chain, 100000);
    // Through the host and back to glTF: no walk may recurse per level.
    ProgramRun converted = run({"scene", "convert", chain, folder.file("copy.glb")});
    EXPECT_EQ(converted.status, cli::exitSuccess) << converted.err;
    EXPECT_TRUE(fs::exists(folder.file("copy.glb")));

    const std::string out = folder.file("chain.x");
    ProgramRun exported = run({"export", chain, out, "--config", folder.path().string()});
    EXPECT_EQ(exported.status, cli::exitFailure);
    EXPECT_TRUE(isOneLine(exported.err)) << exported.err;
    EXPECT_NE(exported.err.find("nest too deeply"), std::string::npos) << exported.err;
    EXPECT_FALSE(fs::exists(out));
    EXPECT_FALSE(fs::exists(folder.file("Lumaset.xml")));
}

} // namespace
