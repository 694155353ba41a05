// lumaset import as a user meets it: X files of every encoding and from other exporters come out
// as glTF the Khronos validator accepts, the dialog is answered from flags, textures are found as
// Windows finds them, and a file that cannot be read ends in one line with nothing left behind.
#include "cli/Commands.h"
#include "cli/ImportedTextures.h"
#include "gltf/GltfReader.h"
#include "gltf/GltfWriter.h"

#include "ProgramRun.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <sstream>

namespace {

namespace fs = std::filesystem;

using apptest::ProgramRun;

ProgramRun run(std::vector<std::string> words) {
    return apptest::runLumaset(std::move(words));
}

using apptest::writeText;

using apptest::entriesIn;

// A textured quad under a frame, in text X, naming its texture as `texture`.
std::string quadFile(const std::string& texture) {
    return "xof 0303txt 0032\n"
           "Frame Body {\n"
           " FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 10,0,0,1;; }\n"
           " Mesh Quad {\n"
           "  4; 0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;;\n"
           "  1; 4;0,1,2,3;;\n"
           "  MeshTextureCoords { 4; 0;1;, 1;1;, 1;0;, 0;0;; }\n"
           "  MeshMaterialList { 1; 1; 0;;\n"
           "   Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;;\n"
           "    TextureFilename { \"" +
           texture +
           "\"; }\n"
           "   }\n"
           "  }\n"
           " }\n"
           "}\n";
}

// Every run keeps the plug-in's settings in a folder of its own.
std::vector<std::string> importWords(const apptest::TempFolder& folder, const std::string& in,
                                     const std::string& out, std::vector<std::string> flags = {}) {
    fs::create_directories(folder.path() / "config");
    std::vector<std::string> words = {"import", in, out, "--config", folder.file("config")};
    words.insert(words.end(), flags.begin(), flags.end());
    return words;
}

TEST(ImportCommand, EveryCorpusFileImportsToGltfTheValidatorAccepts) {
    const fs::path corpus = fs::path(LUMASET_CORPUS_DIR) / "x";
    if (!fs::is_directory(corpus)) GTEST_SKIP() << "the X file corpus is not at " << corpus;
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(corpus))
        if (entry.path().extension() == ".x" || entry.path().extension() == ".X")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    ASSERT_GE(files.size(), 13u);
    apptest::TempFolder folder;
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.filename().string());
        const std::string output = folder.file(file.stem().string() + ".glb");
        ProgramRun result = run(importWords(folder, file.string(), output));
        ASSERT_EQ(result.status, 0) << result.err;
        std::string validation;
        EXPECT_TRUE(apptest::validatesWithoutErrors(output, validation)) << validation;
        gltf::Scene scene;
        gltf::ReadReport report;
        ASSERT_TRUE(gltf::readGltfFile(output, scene, report)) << report.error;
        EXPECT_FALSE(scene.meshes.empty());
        const std::string name = file.filename().string();
        const bool animated = name == "kid.x" || name == "ninja.X" || name == "tiny.x";
        EXPECT_EQ(scene.animations.size(), animated ? 1u : 0u);
        const bool skinned = name == "kid.x" || name == "tiny.x" || name.starts_with("test_cube");
        EXPECT_EQ(scene.skins.size(), skinned ? 1u : 0u);
    }
}

TEST(ImportCommand, AFileThatCannotBeReadIsOneLineWithItsPlaceAndNothingIsWritten) {
    apptest::TempFolder folder;
    const std::string whole = quadFile("wood.png");
    writeText(folder.file("cut.x"), whole.substr(0, whole.find("  1; 4;")));
    writeText(folder.file("flipped.x"),
              "xof 0303txt 0032\nFrame Body { Mesh { 4; 0;0;0;, ]; } }\n");
    writeText(folder.file("header.x"), "xof 0303zzz 0032\n");
    fs::create_directory(folder.path() / "folder.x");
    fs::create_directory(folder.path() / "out");
    for (const std::string name : {"cut.x", "flipped.x", "header.x", "folder.x", "absent.x"})
        for (const std::string output : {"out/quad.gltf", "out/quad.glb"}) {
            ProgramRun result = run(importWords(folder, folder.file(name), folder.file(output)));
            EXPECT_EQ(result.status, 1) << name;
            EXPECT_EQ(result.err.rfind("lumaset: " + folder.file(name), 0), 0u) << result.err;
            EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
            EXPECT_EQ(entriesIn(folder.path() / "out"), 0u) << name;
        }
    // The place is the line and column of the damage.
    ProgramRun cut = run(importWords(folder, folder.file("cut.x"), folder.file("out/quad.glb")));
    EXPECT_NE(cut.err.find("cut.x:6:"), std::string::npos) << cut.err;
}

TEST(ImportCommand, TexturesAreFoundAsWindowsFindsThemAndAMissingOneKeepsItsName) {
    apptest::TempFolder folder;
    fs::create_directories(folder.path() / "Maps");
    apptest::writeBytes(folder.file("Maps/wood.png"), apptest::tinyPng());
    writeText(folder.file("found.x"), quadFile("maps\\\\WOOD.PNG"));
    writeText(folder.file("missing.x"), quadFile("C:\\\\art\\\\stone.png"));
    // Found in another case and with the other separator: inside the .glb, beside the .gltf.
    ProgramRun found = run(importWords(folder, folder.file("found.x"), folder.file("found.glb")));
    ASSERT_EQ(found.status, 0) << found.err;
    EXPECT_TRUE(found.err.empty()) << found.err;
    gltf::Scene scene;
    gltf::ReadReport report;
    ASSERT_TRUE(gltf::readGltfFile(folder.file("found.glb"), scene, report)) << report.error;
    ASSERT_EQ(scene.images.size(), 1u);
    EXPECT_EQ(scene.images[0].bytes, apptest::tinyPng());
    std::string validation;
    EXPECT_TRUE(apptest::validatesWithoutErrors(folder.file("found.glb"), validation))
        << validation;
    ProgramRun json = run(importWords(folder, folder.file("found.x"), folder.file("found.gltf")));
    ASSERT_EQ(json.status, 0) << json.err;
    ASSERT_TRUE(gltf::readGltfFile(folder.file("found.gltf"), scene, report)) << report.error;
    EXPECT_EQ(scene.images[0].uri, "Maps/wood.png");

    ProgramRun missing =
        run(importWords(folder, folder.file("missing.x"), folder.file("missing.gltf")));
    ASSERT_EQ(missing.status, 0) << missing.err;
    EXPECT_NE(missing.err.find("warning"), std::string::npos) << missing.err;
    EXPECT_NE(missing.err.find("stone.png"), std::string::npos) << missing.err;
    ASSERT_TRUE(gltf::readGltfFile(folder.file("missing.gltf"), scene, report)) << report.error;
    ASSERT_EQ(scene.images.size(), 1u);
    EXPECT_NE(scene.images[0].uri.find("stone.png"), std::string::npos) << scene.images[0].uri;
}

TEST(ImportCommand, TheDialogIsAnsweredFromFlags) {
    apptest::TempFolder folder;
    writeText(folder.file("quad.x"), quadFile("wood.png"));
    ProgramRun printed = run(importWords(folder, folder.file("quad.x"), folder.file("quad.glb"),
                                         {"--no-uv", "--scale", "2,2,2", "--print-options"}));
    ASSERT_EQ(printed.status, 0) << printed.err;
    EXPECT_NE(printed.out.find("UV: off"), std::string::npos) << printed.out;
    EXPECT_NE(printed.out.find("Object Scale: 2, 2, 2"), std::string::npos) << printed.out;
    EXPECT_FALSE(fs::exists(folder.file("quad.glb")));

    ProgramRun scaled = run(importWords(folder, folder.file("quad.x"), folder.file("quad.glb"),
                                        {"--no-uv", "--scale", "2,2,2"}));
    ASSERT_EQ(scaled.status, 0) << scaled.err;
    gltf::Scene scene;
    gltf::ReadReport report;
    ASSERT_TRUE(gltf::readGltfFile(folder.file("quad.glb"), scene, report)) << report.error;
    ASSERT_FALSE(scene.nodes.empty());
    EXPECT_FLOAT_EQ(scene.nodes[scene.roots[0]].translation[0], 20.0f);
    for (const gltf::Mesh& mesh : scene.meshes)
        for (const gltf::Primitive& primitive : mesh.primitives)
            EXPECT_TRUE(primitive.texCoords.empty() ||
                        std::all_of(primitive.texCoords.begin(), primitive.texCoords.end(),
                                    [](const gltf::Vec2& uv) {
                                        return uv == gltf::Vec2{0, 0};
                                    }));

    ProgramRun wrong = run(
        importWords(folder, folder.file("quad.x"), folder.file("quad.glb"), {"--uv", "--no-uv"}));
    EXPECT_EQ(wrong.status, 2) << wrong.err;
    ProgramRun notGltf = run(importWords(folder, folder.file("quad.x"), folder.file("quad.obj")));
    EXPECT_EQ(notGltf.status, 2) << notGltf.err;
}

} // namespace
