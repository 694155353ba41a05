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
#include <map>
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

// What each corpus file holds by its manifest, in scene info's words: nodes (a top-level Mesh is
// a node of its own), meshes (lobby_skybox.x's six meshes of one frame become one), triangles (a
// quad is two, an n-gon n - 2), materials per mesh (ninja.X's one material serves 17), bones and
// sets.
const std::map<std::string, std::string> kManifestCounts = {
    {"airplane 2.x", "9 nodes, 8 meshes, 596 triangles, 8 materials, 0 bones, 0 animation sets"},
    {"Cube.x", "1 node, 1 mesh, 12 triangles, 0 materials, 0 bones, 0 animation sets"},
    {"cube_on_plane.x", "1 node, 1 mesh, 1073 triangles, 2 materials, 0 bones, 0 animation sets"},
    {"heli.x", "10 nodes, 9 meshes, 793 triangles, 9 materials, 0 bones, 0 animation sets"},
    {"kid.x", "18 nodes, 1 mesh, 588 triangles, 1 material, 13 bones, 1 animation set"},
    {"lobby_skybox.x", "1 node, 1 mesh, 12 triangles, 6 materials, 0 bones, 0 animation sets"},
    {"ninja.X", "17 nodes, 17 meshes, 724 triangles, 17 materials, 0 bones, 1 animation set"},
    {"sphere0.x", "1 node, 1 mesh, 108 triangles, 1 material, 0 bones, 0 animation sets"},
    {"test_cube_binary.x", "2 nodes, 1 mesh, 12 triangles, 1 material, 1 bone, 0 animation sets"},
    {"test_cube_compressed.x",
     "2 nodes, 1 mesh, 12 triangles, 1 material, 1 bone, 0 animation sets"},
    {"test_cube_text.x", "2 nodes, 1 mesh, 12 triangles, 1 material, 1 bone, 0 animation sets"},
    {"tiger.x", "1 node, 1 mesh, 602 triangles, 1 material, 0 bones, 0 animation sets"},
    {"tiny.x", "48 nodes, 1 mesh, 6841 triangles, 1 material, 35 bones, 1 animation set"},
};

std::string countsLine(const std::string& output) {
    const std::size_t at = output.rfind("counts: ");
    return at == std::string::npos ? std::string() : output.substr(at, output.find('\n', at) - at);
}

TEST(ImportCommand, EveryCorpusFileImportsToGltfTheValidatorAccepts) {
    if (apptest::xCorpusFolder().empty())
        GTEST_SKIP() << "the X file corpus is not at " << LUMASET_CORPUS_DIR << "/x";
    const std::vector<fs::path> files = apptest::xCorpusFiles();
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
        ProgramRun info = run({"scene", "info", output});
        ASSERT_EQ(info.status, 0) << info.err;
        ASSERT_EQ(kManifestCounts.count(name), 1u) << "a corpus file the test does not know";
        EXPECT_EQ(countsLine(info.out).rfind("counts: " + kManifestCounts.at(name) + ", ", 0), 0u)
            << countsLine(info.out);
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
    // The validator cannot load the image the file names, and that is all it finds wrong.
    EXPECT_FALSE(apptest::validatesWithoutErrors(folder.file("missing.gltf"), validation));
    EXPECT_NE(validation.find(": 1 errors,"), std::string::npos) << validation;
    EXPECT_NE(validation.find("error IO_ERROR at /images/0/uri"), std::string::npos) << validation;
}

// A skinned character with matrix keys goes in and back out to X with every count it had; the
// matrix keys come back as position, rotation and scale keys. Polygons of many corners come in
// as triangles.
TEST(ImportCommand, CorpusCharactersComeBackToXWithTheirCounts) {
    const fs::path corpus = fs::path(LUMASET_CORPUS_DIR) / "x";
    if (!fs::is_directory(corpus)) GTEST_SKIP() << "the X file corpus is not at " << corpus;
    apptest::TempFolder folder;
    ProgramRun in = run(importWords(folder, (corpus / "tiny.x").string(), folder.file("tiny.glb")));
    ASSERT_EQ(in.status, 0) << in.err;
    ProgramRun out = run({"export", folder.file("tiny.glb"), folder.file("tiny.x"), "--keys",
                          "--format", "binary", "--config", folder.file("config")});
    ASSERT_EQ(out.status, 0) << out.err;
    std::string inspected;
    ASSERT_EQ(apptest::runCommand(
                  std::string(XINSPECT_PROGRAM) + " '" + folder.file("tiny.x") + "'", inspected),
              0)
        << inspected;
    EXPECT_NE(inspected.find("total: 48 frames, 1 mesh, 4432 vertices, 6841 faces, 1 material, "
                             "35 bones, 1 animation set, 47 animations, keys rotation 2794, "
                             "scale 2794, position 2794, matrix 0\n"),
              std::string::npos)
        << inspected;

    ProgramRun heli =
        run(importWords(folder, (corpus / "heli.x").string(), folder.file("heli.glb")));
    ASSERT_EQ(heli.status, 0) << heli.err;
    ProgramRun info = run({"scene", "info", folder.file("heli.glb")});
    ASSERT_EQ(info.status, 0) << info.err;
    // 26 triangles, 346 quads, a 5-gon and four 20-gons: 26 + 692 + 3 + 72.
    EXPECT_EQ(countsLine(info.out), "counts: 10 nodes, 9 meshes, 793 triangles, 9 materials, "
                                    "0 bones, 0 animation sets, 0 animated nodes, keys: "
                                    "0 position, 0 rotation, 0 scale");
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
