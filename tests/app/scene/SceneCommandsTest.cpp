// The scene commands as a user meets them: bad files end in one line and status 1, missing
// images warn, the demo scene writes valid glTF, and "scene info" shows the host scene.
#include "cli/Commands.h"
#include "gltf/GltfReader.h"

#include "ProgramRun.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace {

using apptest::ProgramRun;

ProgramRun run(std::vector<std::string> words) {
    return apptest::runLumaset(std::move(words));
}

bool isOneLine(const std::string& text) {
    return !text.empty() && text.find('\n') == text.size() - 1;
}

// A triangle with a data: buffer of 36 bytes (three float positions).
std::string triangleFile(const std::string& bufferIndex, const std::string& nodes,
                         const std::string& extra = "") {
    return R"({"asset":{"version":"2.0"},"buffers":[{"byteLength":36,"uri":"data:application/octet-stream;base64,AAAAAAAAAAAAAAAAAACAPwAAAAAAAAAAAAAAAAAAgD8AAAAA"}],)"
           R"("bufferViews":[{"buffer":)" +
           bufferIndex +
           R"(,"byteLength":36}],)"
           R"("accessors":[{"bufferView":0,"componentType":5126,"count":3,"type":"VEC3","min":[0,0,0],"max":[1,1,0]}],)"
           R"("meshes":[{"primitives":[{"attributes":{"POSITION":0})" +
           (extra.empty() ? "" : R"(,"material":0)") + R"(}]}],"nodes":)" + nodes + extra + "}";
}

using apptest::writeText;

TEST(SceneCommands, BadInputGivesOneClearLineAndStatusOne) {
    apptest::TempFolder folder;
    std::vector<std::pair<std::string, std::string>> cases; // file, expected part of the message
    writeText(folder.file("buffer.gltf"), triangleFile("3", R"([{"mesh":0}])"));
    cases.push_back({folder.file("buffer.gltf"), "buffer 3"});
    writeText(
        folder.file("cycle.gltf"),
        triangleFile("0", R"([{"mesh":0,"children":[1]},{"children":[2]},{"children":[1]}])"));
    cases.push_back({folder.file("cycle.gltf"), "two parents"});
    writeText(folder.file("loop.gltf"),
              triangleFile("0", R"([{"children":[1]},{"children":[0]}])"));
    cases.push_back({folder.file("loop.gltf"), "cycle"});
    writeText(folder.file("notjson.gltf"), "{\"asset\": [");
    cases.push_back({folder.file("notjson.gltf"), ""});
    cases.push_back({folder.file("absent.gltf"), "cannot open"});
    if (!apptest::gltfCorpusFolder().empty()) {
        std::vector<std::uint8_t> glb =
            apptest::readBytes((apptest::gltfCorpusFolder() / "CesiumMan.glb").string());
        glb.resize(glb.size() / 2);
        apptest::writeBytes(folder.file("truncated.glb"), glb);
        cases.push_back({folder.file("truncated.glb"), "truncated"});
    }
    for (const auto& [file, expected] : cases) {
        for (const char* command : {"info", "convert"}) {
            std::vector<std::string> words = {"scene", command, file};
            if (std::string(command) == "convert") words.push_back(folder.file("out.gltf"));
            ProgramRun result = run(words);
            EXPECT_EQ(result.status, 1) << file;
            EXPECT_TRUE(isOneLine(result.err)) << result.err;
            EXPECT_EQ(result.err.rfind("lumaset: " + file + ": ", 0), 0u) << result.err;
            EXPECT_NE(result.err.find(expected), std::string::npos) << result.err;
            EXPECT_FALSE(std::filesystem::exists(folder.file("out.gltf")));
        }
    }
}

TEST(SceneCommands, AMissingImageWarnsAndTheTextureKeepsItsName) {
    apptest::TempFolder folder;
    writeText(
        folder.file("in.gltf"),
        triangleFile(
            "0", R"([{"mesh":0}])",
            R"(,"images":[{"uri":"wood.png"}],"textures":[{"source":0}],)"
            R"("materials":[{"name":"wood","pbrMetallicRoughness":{"baseColorTexture":{"index":0}}}])"));
    std::filesystem::create_directories(folder.path() / "out");
    ProgramRun result =
        run({"scene", "convert", folder.file("in.gltf"), folder.file("out/out.gltf")});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(isOneLine(result.err)) << result.err;
    EXPECT_EQ(result.err.rfind("lumaset: warning: " + folder.file("in.gltf") + ": image 0 '" +
                                   folder.file("wood.png") + "' not found",
                               0),
              0u)
        << result.err;
    gltf::Scene out;
    gltf::ReadReport report;
    ASSERT_TRUE(gltf::readGltfFile(folder.file("out/out.gltf"), out, report)) << report.error;
    ASSERT_EQ(out.images.size(), 1u);
    EXPECT_EQ(out.images[0].uri, "../wood.png");
    EXPECT_EQ(out.materials[0].baseColorImage, 0);
}

TEST(SceneCommands, TheDemoSceneWritesValidGltfWithEverythingItShows) {
    apptest::TempFolder folder;
    for (const char* name : {"demo.gltf", "demo.glb"}) {
        ProgramRun result = run({"scene", "convert", "--demo", folder.file(name)});
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_TRUE(result.err.empty()) << result.err;
        std::string validation;
        EXPECT_TRUE(apptest::validatesWithoutErrors(folder.file(name), validation)) << validation;
        gltf::Scene demo;
        gltf::ReadReport report;
        ASSERT_TRUE(gltf::readGltfFile(folder.file(name), demo, report)) << report.error;
        ASSERT_EQ(demo.animations.size(), 2u);
        EXPECT_EQ(demo.animations[0].name, "wave");
        EXPECT_EQ(demo.animations[1].name, "spin");
        EXPECT_EQ(demo.skins.size(), 1u);
        bool multiMaterial = false, texturedWithColours = false, mirrored = false;
        for (const gltf::Mesh& mesh : demo.meshes) {
            multiMaterial = multiMaterial || mesh.primitives.size() == 2;
            for (const gltf::Primitive& p : mesh.primitives)
                texturedWithColours =
                    texturedWithColours || (!p.texCoords.empty() && p.colorsHaveAlpha);
        }
        for (const gltf::Node& node : demo.nodes)
            mirrored =
                mirrored || (node.mesh >= 0 && node.scale[0] * node.scale[1] * node.scale[2] < 0);
        EXPECT_TRUE(multiMaterial);
        EXPECT_TRUE(texturedWithColours);
        EXPECT_TRUE(mirrored);
    }
    EXPECT_EQ(apptest::readBytes(folder.file("demo_checker.png")), apptest::tinyPng());
}

TEST(SceneCommands, SceneInfoShowsRangesAtTheChosenFrameRate) {
    // wave lasts 1 s and spin 2 s; frame 0 is the rest pose, the ranges follow from frame 1.
    ProgramRun thirty = run({"scene", "info", "--demo"});
    ASSERT_EQ(thirty.status, 0) << thirty.err;
    EXPECT_NE(
        thirty.out.find("animation sets: 2\n  'wave' frames 1 to 31\n  'spin' frames 32 to 92\n"),
        std::string::npos)
        << thirty.out;
    EXPECT_NE(thirty.out.find("animation range: frames 0 to 92"), std::string::npos);
    EXPECT_NE(thirty.out.find("skin: 2 bones, 12 points"), std::string::npos);
    EXPECT_NE(thirty.out.find("multi/sub-object, 2 slots"), std::string::npos);
    EXPECT_NE(thirty.out.find("scale (-1 1 1)"), std::string::npos);

    ProgramRun twentyFour = run({"scene", "info", "--demo", "--fps", "24"});
    ASSERT_EQ(twentyFour.status, 0);
    EXPECT_NE(twentyFour.out.find("'wave' frames 1 to 25\n  'spin' frames 26 to 74\n"),
              std::string::npos)
        << twentyFour.out;

    ProgramRun seven = run({"scene", "info", "--demo", "--fps", "7"});
    EXPECT_EQ(seven.status, 2);
    EXPECT_TRUE(isOneLine(seven.err)) << seven.err;
    ProgramRun extra = run({"scene", "convert", "a.gltf"});
    EXPECT_EQ(extra.status, 2);
    EXPECT_TRUE(isOneLine(extra.err)) << extra.err;
}

TEST(SceneCommands, ConvertingTwiceGivesTheSameScene) {
    apptest::TempFolder folder;
    ASSERT_EQ(run({"scene", "convert", "--demo", folder.file("once.gltf")}).status, 0);
    ASSERT_EQ(run({"scene", "convert", folder.file("once.gltf"), folder.file("twice.gltf")}).status,
              0);
    gltf::Scene once, twice;
    gltf::ReadReport report;
    ASSERT_TRUE(gltf::readGltfFile(folder.file("once.gltf"), once, report));
    ASSERT_TRUE(gltf::readGltfFile(folder.file("twice.gltf"), twice, report));
    ASSERT_EQ(once.nodes.size(), twice.nodes.size());
    for (std::size_t i = 0; i < once.nodes.size(); ++i) {
        EXPECT_EQ(once.nodes[i].name, twice.nodes[i].name);
        EXPECT_EQ(once.nodes[i].translation, twice.nodes[i].translation);
    }
    ASSERT_EQ(once.animations.size(), twice.animations.size());
    for (std::size_t a = 0; a < once.animations.size(); ++a) {
        ASSERT_EQ(once.animations[a].channels.size(), twice.animations[a].channels.size());
        for (std::size_t c = 0; c < once.animations[a].channels.size(); ++c) {
            EXPECT_EQ(once.animations[a].channels[c].timesSeconds,
                      twice.animations[a].channels[c].timesSeconds);
            EXPECT_EQ(once.animations[a].channels[c].values,
                      twice.animations[a].channels[c].values);
        }
    }
    // The image written beside the first output is the one the second output names.
    ASSERT_EQ(twice.images.size(), 1u);
    EXPECT_EQ(twice.images[0].uri, "demo_checker.png");
}

} // namespace
