// Reading glTF: the corpus as its manifest describes it, hand-made files for the geometry rules,
// and damaged files that must end in one clear error.
#include "gltf/GltfReader.h"
#include "gltf/GltfWriter.h"
#include "scene/DemoScene.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <limits>

namespace {

using namespace gltf;

std::string base64(const std::vector<std::uint8_t>& bytes) {
    static const char alphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        std::uint32_t chunk = std::uint32_t(bytes[i]) << 16;
        if (i + 1 < bytes.size()) chunk |= std::uint32_t(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size()) chunk |= bytes[i + 2];
        out += alphabet[(chunk >> 18) & 63];
        out += alphabet[(chunk >> 12) & 63];
        out += i + 1 < bytes.size() ? alphabet[(chunk >> 6) & 63] : '=';
        out += i + 2 < bytes.size() ? alphabet[chunk & 63] : '=';
    }
    return out;
}

std::vector<std::uint8_t> floatBytes(std::initializer_list<float> values) {
    std::vector<std::uint8_t> bytes(values.size() * 4);
    std::memcpy(bytes.data(), values.begin(), bytes.size());
    return bytes;
}

// Four vertices in a unit square, 48 bytes of positions, as a data: URI buffer.
std::string squareFile(const std::string& primitive, const std::string& nodes = R"([{"mesh":0}])",
                       const std::string& extra = "") {
    std::string buffer = base64(floatBytes({0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0}));
    return R"({"asset":{"version":"2.0"},"buffers":[{"byteLength":48,"uri":"data:application/octet-stream;base64,)" +
           buffer + R"("}],"bufferViews":[{"buffer":0,"byteLength":48}],)" +
           R"("accessors":[{"bufferView":0,"componentType":5126,"count":4,"type":"VEC3"}],)" +
           R"("meshes":[{"primitives":[)" + primitive + R"(]}],"nodes":)" + nodes + extra + "}";
}

bool readText(const std::string& text, Scene& scene, ReadReport& report) {
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    return readGltfBytes(bytes, "/nonexistent", scene, report);
}

struct CorpusExpectation {
    const char* file;
    std::size_t nodes, primitives, positions, indices, materials, images, skinJoints, animations,
        channels;
};

// Counts from the corpus manifest ("In the file" column).
const CorpusExpectation corpusExpectations[] = {
    {"Box.gltf", 2, 1, 24, 36, 1, 0, 0, 0, 0},
    {"BoxAnimated.gltf", 4, 2, 320, 762, 2, 0, 0, 2, 2},
    {"AnimatedTriangle.gltf", 1, 1, 3, 3, 0, 0, 0, 1, 1},
    {"BoxTextured.gltf", 2, 1, 24, 36, 1, 1, 0, 0, 0},
    {"simple_skin.gltf", 3, 1, 10, 24, 0, 0, 2, 1, 1},
    {"CesiumMan.glb", 22, 1, 3273, 14016, 1, 1, 19, 1, 57},
};

TEST(GltfReader, ReadsEveryCorpusFileWithTheCountsItsManifestGives) {
    if (apptest::gltfCorpusFolder().empty())
        GTEST_SKIP() << "the corpus folder " LUMASET_CORPUS_DIR " is absent";
    for (const CorpusExpectation& expected : corpusExpectations) {
        Scene scene;
        ReadReport report;
        ASSERT_TRUE(
            readGltfFile((apptest::gltfCorpusFolder() / expected.file).string(), scene, report))
            << expected.file << ": " << report.error;
        EXPECT_TRUE(report.warnings.empty()) << expected.file << ": " << report.warnings.front();
        std::size_t primitives = 0, positions = 0, indices = 0, joints = 0, channels = 0;
        for (const Mesh& mesh : scene.meshes)
            for (const Primitive& primitive : mesh.primitives) {
                ++primitives;
                positions += primitive.positions.size();
                indices += primitive.indices.size();
            }
        for (const Skin& skin : scene.skins)
            joints += skin.joints.size();
        for (const Animation& animation : scene.animations)
            channels += animation.channels.size();
        EXPECT_EQ(scene.nodes.size(), expected.nodes) << expected.file;
        EXPECT_EQ(primitives, expected.primitives) << expected.file;
        EXPECT_EQ(positions, expected.positions) << expected.file;
        EXPECT_EQ(indices, expected.indices) << expected.file;
        EXPECT_EQ(scene.materials.size(), expected.materials) << expected.file;
        EXPECT_EQ(scene.images.size(), expected.images) << expected.file;
        EXPECT_EQ(joints, expected.skinJoints) << expected.file;
        EXPECT_EQ(scene.animations.size(), expected.animations) << expected.file;
        EXPECT_EQ(channels, expected.channels) << expected.file;
        for (const Node& node : scene.nodes)
            EXPECT_FALSE(node.name.empty()) << expected.file;
    }
}

TEST(GltfReader, KeepsTheFactsOfBoxTexturedAndCesiumMan) {
    if (apptest::gltfCorpusFolder().empty())
        GTEST_SKIP() << "the corpus folder " LUMASET_CORPUS_DIR " is absent";
    Scene box;
    ReadReport report;
    ASSERT_TRUE(
        readGltfFile((apptest::gltfCorpusFolder() / "BoxTextured.gltf").string(), box, report));
    ASSERT_EQ(box.images.size(), 1u);
    EXPECT_EQ(box.images[0].path,
              (apptest::gltfCorpusFolder() / "CesiumLogoFlat.png").lexically_normal().string());
    EXPECT_EQ(box.materials[0].baseColorImage, 0);
    EXPECT_EQ(box.meshes[0].primitives[0].texCoords.size(), 24u);
    // The parent node of the box carries a matrix that turns Y up into Z up.
    EXPECT_TRUE(box.nodes[0].hasMatrix || box.nodes[1].hasMatrix);

    Scene man;
    ASSERT_TRUE(
        readGltfFile((apptest::gltfCorpusFolder() / "CesiumMan.glb").string(), man, report));
    ASSERT_EQ(man.images.size(), 1u);
    EXPECT_TRUE(man.images[0].path.empty());
    ASSERT_GE(man.images[0].bytes.size(), 8u);
    EXPECT_EQ(std::memcmp(man.images[0].bytes.data(), "\x89PNG", 4), 0);
    const Primitive& body = man.meshes[0].primitives[0];
    ASSERT_EQ(body.weights.size(), body.positions.size());
    for (const Vec4& w : body.weights)
        EXPECT_NEAR(w[0] + w[1] + w[2] + w[3], 1.0f, 1e-3f);
    for (const Channel& channel : man.animations[0].channels)
        EXPECT_EQ(channel.interpolation, Interpolation::linear);
}

TEST(GltfReader, TurnsStripsAndFansIntoTrianglesAndSkipsPointsWithAWarning) {
    Scene scene;
    ReadReport report;
    ASSERT_TRUE(readText(squareFile(R"({"attributes":{"POSITION":0},"mode":5},)"
                                    R"({"attributes":{"POSITION":0},"mode":6},)"
                                    R"({"attributes":{"POSITION":0},"mode":0})"),
                         scene, report))
        << report.error;
    ASSERT_EQ(scene.meshes[0].primitives.size(), 2u);
    // Strip 0 1 2 3: (0 1 2), then (2 1 3) keeps the winding; fan: (1 2 0), (2 3 0).
    EXPECT_EQ(scene.meshes[0].primitives[0].indices,
              (std::vector<std::uint32_t>{0, 1, 2, 2, 1, 3}));
    EXPECT_EQ(scene.meshes[0].primitives[1].indices,
              (std::vector<std::uint32_t>{1, 2, 0, 2, 3, 0}));
    ASSERT_EQ(report.warnings.size(), 1u);
    EXPECT_NE(report.warnings[0].find("points or lines"), std::string::npos);
}

TEST(GltfReader, NamesWhatTheFileLeavesUnnamedUniquelyAndStably) {
    Scene scene;
    ReadReport report;
    ASSERT_TRUE(readText(squareFile(R"({"attributes":{"POSITION":0}})",
                                    R"([{"mesh":0,"children":[1,2]},{"name":"node_0"},{}])",
                                    R"(,"scenes":[{"nodes":[0]}])"),
                         scene, report))
        << report.error;
    EXPECT_EQ(scene.nodes[0].name, "node_0_2");
    EXPECT_EQ(scene.nodes[1].name, "node_0");
    EXPECT_EQ(scene.nodes[2].name, "node_2");
    EXPECT_EQ(scene.meshes[0].name, "mesh_0");
    EXPECT_EQ(scene.roots, std::vector<int>{0});
}

TEST(GltfReader, RejectsDamagedFilesWithOneClearLine) {
    struct Case {
        std::string text;
        std::string expected;
    };
    const Case cases[] = {
        {squareFile(R"({"attributes":{"POSITION":0}})"), ""},
        {[] {
             std::string t = squareFile(R"({"attributes":{"POSITION":0}})");
             t.replace(t.find(R"("buffer":0)"), 10, R"("buffer":3)");
             return t;
         }(),
         "buffer 3"},
        {[] {
             std::string t = squareFile(R"({"attributes":{"POSITION":0}})");
             t.replace(t.find(R"("count":4)"), 9, R"("count":5)");
             return t;
         }(),
         "accessor 0 points past the end of buffer 0"},
        {squareFile(R"({"attributes":{"POSITION":0},"indices":0})"), "accessor 0 has 3 components"},
        {squareFile(R"({"attributes":{"POSITION":7}})"), "accessor 7"},
        {squareFile(R"({"attributes":{"POSITION":0}})", R"([{"children":[1]},{"children":[0]}])"),
         "cycle"},
        {squareFile(R"({"attributes":{"POSITION":0}})", R"([{"children":[0]}])"), "cycle"},
        {squareFile(R"({"attributes":{"POSITION":0}})",
                    R"([{"children":[2]},{"children":[2]},{}])"),
         "two parents"},
        {squareFile(R"({"attributes":{"POSITION":0}})", R"([{"mesh":4}])"), "mesh 4"},
        {"{\"asset\":{\"version\":\"2.0\"}", ""},
    };
    for (const Case& c : cases) {
        Scene scene;
        ReadReport report;
        bool read = readText(c.text, scene, report);
        if (c.expected.empty() && &c == &cases[0]) {
            EXPECT_TRUE(read) << report.error;
            continue;
        }
        EXPECT_FALSE(read) << c.text;
        EXPECT_NE(report.error.find(c.expected), std::string::npos) << report.error;
        EXPECT_EQ(report.error.find('\n'), std::string::npos) << report.error;
        EXPECT_FALSE(report.error.empty());
    }
}

TEST(GltfReader, RefusesAFileThatRequiresAnExtensionItDoesNotImplementNamingIt) {
    const std::string primitive = R"({"attributes":{"POSITION":0}})";
    const std::string nodes = R"([{"mesh":0}])";
    // Used but not required: the file reads as if the extension were absent, which it allows.
    Scene scene;
    ReadReport report;
    EXPECT_TRUE(
        readText(squareFile(primitive, nodes, R"(,"extensionsUsed":["KHR_materials_unlit"])"),
                 scene, report))
        << report.error;

    const std::pair<std::string, std::string> cases[] = {
        {R"(,"extensionsUsed":["KHR_draco_mesh_compression"],"extensionsRequired":["KHR_draco_mesh_compression"])",
         "the file requires the extension KHR_draco_mesh_compression, which lumaset does not "
         "implement"},
        {R"(,"extensionsRequired":["EXT_meshopt_compression","KHR_mesh_quantization","EXT_meshopt_compression"])",
         "the extensions EXT_meshopt_compression and KHR_mesh_quantization,"},
        {R"(,"extensionsRequired":["KHR_texture_basisu","EXT_texture_webp","KHR_texture_transform"])",
         "KHR_texture_basisu, EXT_texture_webp and KHR_texture_transform"},
    };
    for (const auto& [extra, expected] : cases) {
        EXPECT_FALSE(readText(squareFile(primitive, nodes, extra), scene, report)) << extra;
        EXPECT_NE(report.error.find(expected), std::string::npos) << report.error;
        EXPECT_EQ(report.error.find('\n'), std::string::npos) << report.error;
    }
    // A compressed file's buffer may have no data of its own; the extension is still the reason.
    std::string fallback =
        squareFile(primitive, nodes, R"(,"extensionsRequired":["EXT_meshopt_compression"])");
    fallback.replace(fallback.find(R"("uri":)"),
                     fallback.find("\"}]") + 1 - fallback.find(R"("uri":)"),
                     R"("extensions":{"EXT_meshopt_compression":{"fallback":true}})");
    EXPECT_FALSE(readText(fallback, scene, report));
    EXPECT_NE(report.error.find("EXT_meshopt_compression"), std::string::npos) << report.error;
}

TEST(GltfReader, RefusesNumbersThatAreNotFinite32BitFloats) {
    const std::string primitive = R"({"attributes":{"POSITION":0}})";
    const std::pair<std::string, std::string> nodeCases[] = {
        {R"([{"mesh":0,"translation":[1e39,0,0]}])", "node 0 'node_0' has a translation"},
        {R"([{"mesh":0,"scale":[1,-1e300,1]}])", "node 0 'node_0' has a scale"},
        {R"([{"name":"Arm","matrix":[1,0,0,0,0,1,0,0,0,0,1,0,0,0,4e38,1]}])",
         "node 0 'Arm' has a matrix"},
    };
    Scene scene;
    ReadReport report;
    for (const auto& [nodes, expected] : nodeCases) {
        EXPECT_FALSE(readText(squareFile(primitive, nodes), scene, report)) << nodes;
        EXPECT_NE(report.error.find(expected + " that is not a finite 32-bit number"),
                  std::string::npos)
            << report.error;
    }
    // The largest float itself is fine.
    EXPECT_TRUE(readText(squareFile(primitive, R"([{"mesh":0,"translation":[3.4028234e38,0,0]}])"),
                         scene, report))
        << report.error;

    // Not a number in a buffer: a position, then a normal.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (const std::string attribute : {"POSITION", "NORMAL"}) {
        const std::vector<float> good = {0, 0, 1, 0, 0, 1, 0, 0, 1};
        std::vector<float> values = {0, 0, 0, 1, 0, 0, 0, 1, 0};
        std::vector<float> normals = good;
        (attribute == "POSITION" ? values : normals)[4] = nan;
        values.insert(values.end(), normals.begin(), normals.end());
        std::vector<std::uint8_t> bytes(values.size() * 4);
        std::memcpy(bytes.data(), values.data(), bytes.size());
        const std::string text =
            R"({"asset":{"version":"2.0"},"buffers":[{"byteLength":72,"uri":"data:application/octet-stream;base64,)" +
            base64(bytes) +
            R"("}],"bufferViews":[{"buffer":0,"byteLength":36},{"buffer":0,"byteOffset":36,"byteLength":36}],)"
            R"("accessors":[{"bufferView":0,"componentType":5126,"count":3,"type":"VEC3"},)"
            R"({"bufferView":1,"componentType":5126,"count":3,"type":"VEC3"}],)"
            R"("meshes":[{"primitives":[{"attributes":{"POSITION":0,"NORMAL":1}}]}],"nodes":[{"mesh":0}]})";
        EXPECT_FALSE(readText(text, scene, report)) << attribute;
        EXPECT_NE(report.error.find(attribute == "POSITION" ? "has a position" : "has a normal"),
                  std::string::npos)
            << report.error;
    }
}

TEST(GltfReader, WarnsAboutAMissingImageAndKeepsItsPath) {
    apptest::TempFolder folder;
    std::string text =
        squareFile(R"({"attributes":{"POSITION":0},"material":0})", R"([{"mesh":0}])",
                   R"(,"images":[{"uri":"maps/wood%20grain.png"}],"textures":[{"source":0}],)"
                   R"("materials":[{"pbrMetallicRoughness":{"baseColorTexture":{"index":0}}}])");
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    Scene scene;
    ReadReport report;
    ASSERT_TRUE(readGltfBytes(bytes, folder.path().string(), scene, report)) << report.error;
    ASSERT_EQ(report.warnings.size(), 1u);
    EXPECT_NE(report.warnings[0].find("not found"), std::string::npos);
    EXPECT_EQ(scene.images[0].path, (folder.path() / "maps/wood grain.png").string());
    EXPECT_EQ(scene.materials[0].baseColorImage, 0);
}

// Only regular files are read for what a file names: a folder in a buffer's URI is one clear
// error, in an image's URI a warning, never an attempt to read it whole.
TEST(GltfReader, AFolderNamedAsAFileIsRefusedNeverRead) {
    apptest::TempFolder folder;
    std::filesystem::create_directories(folder.path() / "sub");
    Scene scene;
    ReadReport report;
    std::string buffer = R"({"asset":{"version":"2.0"},"buffers":[{"uri":"sub","byteLength":4}]})";
    std::vector<std::uint8_t> bytes(buffer.begin(), buffer.end());
    EXPECT_FALSE(readGltfBytes(bytes, folder.path().string(), scene, report));
    EXPECT_NE(report.error.find("sub"), std::string::npos) << report.error;
    EXPECT_EQ(report.error.find('\n'), std::string::npos) << report.error;

    std::string image = squareFile(R"({"attributes":{"POSITION":0}})", R"([{"mesh":0}])",
                                   R"(,"images":[{"uri":"sub"}])");
    bytes.assign(image.begin(), image.end());
    report = ReadReport{};
    ASSERT_TRUE(readGltfBytes(bytes, folder.path().string(), scene, report)) << report.error;
    ASSERT_EQ(report.warnings.size(), 1u);
    EXPECT_NE(report.warnings[0].find("is not a file"), std::string::npos) << report.warnings[0];
    EXPECT_TRUE(scene.images[0].bytes.empty());
}

TEST(GltfReader, EveryTruncationOfABinaryFileEndsInAnErrorNeverACrash) {
    // The demo scene holds a skinned, animated, textured mesh: every kind of chunk content.
    apptest::TempFolder folder;
    std::string error;
    ASSERT_TRUE(writeGltfFile(scene::demoScene(), folder.file("demo.glb"), error)) << error;
    std::vector<std::uint8_t> file = apptest::readBytes(folder.file("demo.glb"));
    ASSERT_GT(file.size(), 1024u);
    // The header, the JSON chunk and the start of the binary chunk, byte by byte; then a stride.
    for (std::size_t length = 0; length < file.size(); length += length < 4096 ? 1 : 997) {
        // A fresh heap block of exactly the prefix, so a read one byte past it is caught.
        std::vector<std::uint8_t> prefix(file.begin(), file.begin() + std::ptrdiff_t(length));
        Scene scene;
        ReadReport report;
        EXPECT_FALSE(readGltfBytes(prefix, "/nonexistent", scene, report)) << length;
        EXPECT_FALSE(report.error.empty()) << length;
    }
}

} // namespace
