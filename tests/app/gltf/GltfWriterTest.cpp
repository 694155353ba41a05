// Writing glTF: what is written reads back the same, in both containers, and passes the Khronos
// validator.
#include "gltf/GltfWriter.h"
#include "gltf/GltfReader.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <regex>

namespace {

using namespace gltf;

// Two primitives of one skinned mesh (the second large enough to need 16-bit indices), a
// textured material and a plain one, an embedded image, a skin of two joints and an animation.
Scene sampleScene(const std::string& imagePath) {
    Scene scene;
    Primitive small;
    small.material = 0;
    small.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    small.normals = {{0, 0, 2}, {0, 0, 1}, {0, 0, 1}}; // the first is not unit length
    small.texCoords = {{0, 0}, {1, 0}, {0, 1}};
    small.colors = {{1, 0, 0, 0.5f}, {0, 1, 0, 1}, {0, 0, 1, 0.25f}};
    small.colorsHaveAlpha = true;
    small.joints = {{0, 1, 0, 0}, {1, 0, 0, 0}, {0, 0, 0, 0}};
    small.weights = {{0.25f, 0.25f, 0, 0}, {1, 0, 0, 0}, {1, 0, 0, 0}}; // the first sums to 0.5
    small.indices = {0, 1, 2};
    Primitive large;
    large.material = 1;
    for (int i = 0; i < 300; ++i) {
        large.positions.push_back({float(i), float(i % 7), 0});
        large.joints.push_back({1, 0, 0, 0});
        large.weights.push_back({1, 0, 0, 0});
    }
    for (std::uint32_t i = 0; i + 2 < 300; ++i)
        large.indices.insert(large.indices.end(), {i, i + 1, i + 2});
    scene.meshes.push_back({"body", {small, large}});

    scene.images.push_back({"wood", "", imagePath, "image/png", {}});
    scene.images.push_back({"logo", "", "", "image/png", apptest::tinyPng()});
    scene.materials.push_back({"textured", {1, 1, 1, 1}, 0, 0, 0.5f, false});
    scene.materials.push_back({"glass", {0.2f, 0.4f, 0.6f, 0.5f}, 1, 0, 1, true});

    Node root{"root", {1, 2}, false, identityMatrix(), {0, 0, 0}, {0, 0, 0, 1}, {1, 1, 1}, -1, -1};
    Node bone{"bone",    {}, false, identityMatrix(), {0, 2, 0}, {0, 0, 0.70710678f, 0.70710678f},
              {1, 1, 1}, -1, -1};
    Node body{"body", {}, false, identityMatrix(), {0, 0, 0}, {0, 0, 0, 1}, {1, 1, 1}, 0, 0};
    scene.nodes = {root, bone, body};
    scene.roots = {0};
    Mat4 shifted = identityMatrix();
    shifted[13] = -2;
    scene.skins.push_back({"rig", {0, 1}, {identityMatrix(), shifted}, 0});

    Channel turn{1,
                 AnimationPath::rotation,
                 Interpolation::linear,
                 {0, 0.5f, 1},
                 {0, 0, 0, 1, 0, 0, 0.70710678f, 0.70710678f, 0, 0, 2, 0}}; // last key not unit
    Channel move{0, AnimationPath::translation, Interpolation::step, {0, 1}, {0, 0, 0, 1, 2, 3}};
    scene.animations.push_back({"wave", {turn, move}});
    return scene;
}

void expectSameScene(const Scene& written, const Scene& read) {
    ASSERT_EQ(read.nodes.size(), written.nodes.size());
    for (std::size_t i = 0; i < read.nodes.size(); ++i) {
        EXPECT_EQ(read.nodes[i].name, written.nodes[i].name);
        EXPECT_EQ(read.nodes[i].children, written.nodes[i].children);
        EXPECT_EQ(read.nodes[i].translation, written.nodes[i].translation);
    }
    ASSERT_EQ(read.meshes.size(), 1u);
    ASSERT_EQ(read.meshes[0].primitives.size(), 2u);
    const Primitive& small = read.meshes[0].primitives[0];
    EXPECT_EQ(small.positions, written.meshes[0].primitives[0].positions);
    EXPECT_EQ(small.texCoords, written.meshes[0].primitives[0].texCoords);
    EXPECT_EQ(small.colors, written.meshes[0].primitives[0].colors);
    EXPECT_TRUE(small.colorsHaveAlpha);
    EXPECT_FLOAT_EQ(small.normals[0][2], 1.0f);
    // Weights come back normalized: 0.25 + 0.25 of 0.5 becomes a half each.
    EXPECT_FLOAT_EQ(small.weights[0][0], 0.5f);
    EXPECT_FLOAT_EQ(small.weights[0][1], 0.5f);
    EXPECT_EQ(small.joints[0], (std::array<std::uint16_t, 4>{0, 1, 0, 0}));
    EXPECT_EQ(read.meshes[0].primitives[1].indices, written.meshes[0].primitives[1].indices);
    // A textured primitive without coordinates gets zeros, as glTF wants coordinates there.
    EXPECT_EQ(read.meshes[0].primitives[1].texCoords, std::vector<Vec2>(300, Vec2{0, 0}));
    ASSERT_EQ(read.materials.size(), 2u);
    EXPECT_EQ(read.materials[1].baseColorFactor, written.materials[1].baseColorFactor);
    EXPECT_EQ(read.materials[1].baseColorImage, 1);
    ASSERT_EQ(read.images.size(), 2u);
    EXPECT_EQ(read.images[0].path, written.images[0].path);
    EXPECT_EQ(read.images[1].bytes, apptest::tinyPng());
    ASSERT_EQ(read.skins.size(), 1u);
    EXPECT_EQ(read.skins[0].joints, written.skins[0].joints);
    EXPECT_EQ(read.skins[0].inverseBindMatrices, written.skins[0].inverseBindMatrices);
    ASSERT_EQ(read.animations.size(), 1u);
    ASSERT_EQ(read.animations[0].channels.size(), 2u);
    const Channel& turn = read.animations[0].channels[0];
    EXPECT_EQ(turn.timesSeconds, written.animations[0].channels[0].timesSeconds);
    EXPECT_FLOAT_EQ(turn.values[10], 1.0f); // (0, 0, 2, 0) normalized
    EXPECT_EQ(read.animations[0].channels[1].interpolation, Interpolation::step);
    EXPECT_EQ(read.animations[0].channels[1].values, written.animations[0].channels[1].values);
}

TEST(GltfWriter, WritesJsonAndBinaryFilesThatReadBackAndPassTheValidator) {
    apptest::TempFolder folder;
    std::filesystem::create_directories(folder.path() / "maps");
    const std::string imagePath = folder.file("maps/wood grain.png");
    apptest::writeBytes(imagePath, apptest::tinyPng());
    const Scene scene = sampleScene(imagePath);
    for (const std::string name : {"scene.gltf", "scene.glb"}) {
        std::string error;
        ASSERT_TRUE(writeGltfFile(scene, folder.file(name), error)) << name << ": " << error;
        Scene read;
        ReadReport report;
        ASSERT_TRUE(readGltfFile(folder.file(name), read, report)) << name << ": " << report.error;
        EXPECT_TRUE(report.warnings.empty());
        expectSameScene(scene, read);
        std::string validation;
        EXPECT_TRUE(apptest::validatesWithoutErrors(folder.file(name), validation)) << validation;
    }
    // The JSON file points at its buffer and at the image by relative, encoded uris.
    EXPECT_TRUE(std::filesystem::exists(folder.file("scene.bin")));
    std::vector<std::uint8_t> json = apptest::readBytes(folder.file("scene.gltf"));
    std::string text(json.begin(), json.end());
    EXPECT_NE(text.find("\"maps/wood%20grain.png\""), std::string::npos);
    EXPECT_NE(text.find("\"scene.bin\""), std::string::npos);
}

// A node with no name, no children, no mesh and the rest transform still is a node in the file
// (an X file's unnamed empty frame imports as one).
TEST(GltfWriter, AnUnnamedEmptyNodeAtRestReadsBackAsANode) {
    apptest::TempFolder folder;
    Scene scene;
    scene.nodes.resize(2);
    scene.nodes[0].children = {1};
    scene.roots = {0};
    for (const std::string name : {"empty.gltf", "empty.glb"}) {
        std::string error;
        ASSERT_TRUE(writeGltfFile(scene, folder.file(name), error)) << name << ": " << error;
        Scene read;
        ReadReport report;
        ASSERT_TRUE(readGltfFile(folder.file(name), read, report)) << name << ": " << report.error;
        ASSERT_EQ(read.nodes.size(), 2u) << name;
        EXPECT_EQ(read.nodes[0].children, std::vector<int>{1}) << name;
        EXPECT_EQ(read.nodes[1].scale, (Vec3{1, 1, 1})) << name;
        std::string validation;
        EXPECT_TRUE(apptest::validatesWithoutErrors(folder.file(name), validation)) << validation;
    }
}

// The host's names are 8-bit text; glTF's are UTF-8. A name that is UTF-8 already stays as it is,
// any other is read as Latin-1.
TEST(GltfWriter, NamesThatAreNotUtf8AreWrittenAsLatin1) {
    apptest::TempFolder folder;
    Scene scene;
    scene.nodes.resize(2);
    scene.nodes[0].name = "Caf\xe9";
    scene.nodes[0].children = {1};
    scene.nodes[1].name = "Caf\xc3\xa9";
    scene.roots = {0};
    std::string error;
    ASSERT_TRUE(writeGltfFile(scene, folder.file("names.gltf"), error)) << error;
    Scene read;
    ReadReport report;
    ASSERT_TRUE(readGltfFile(folder.file("names.gltf"), read, report)) << report.error;
    ASSERT_EQ(read.nodes.size(), 2u);
    EXPECT_EQ(read.nodes[0].name, "Caf\xc3\xa9");
    EXPECT_EQ(read.nodes[1].name, "Caf\xc3\xa9");
}

TEST(GltfWriter, ABinaryFileCanCarryPngAndJpegImagesAndReferencesOtherFiles) {
    apptest::TempFolder folder;
    // A 1x1 BMP, which glTF cannot carry; and a "JPEG" name holding PNG bytes, which it can.
    std::vector<std::uint8_t> bmp = {'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 54, 0,   0, 0,  40,
                                     0,   0,   0,  1, 0, 0, 0, 1, 0, 0, 0,  1,   0, 24, 0,
                                     0,   0,   0,  0, 4, 0, 0, 0, 0, 0, 0,  0,   0, 0,  0,
                                     0,   0,   0,  0, 0, 0, 0, 0, 0, 0, 0,  255, 0};
    apptest::writeBytes(folder.file("wood.bmp"), bmp);
    apptest::writeBytes(folder.file("photo.jpg"), apptest::tinyPng());
    Scene scene = sampleScene(folder.file("wood.bmp"));
    scene.images[1] = {"photo", "", folder.file("photo.jpg"), "", {}};
    std::string error;
    ASSERT_TRUE(writeGltfFile(scene, folder.file("out.glb"), error, {.embedImageFiles = true}))
        << error;
    Scene read;
    ReadReport report;
    ASSERT_TRUE(readGltfFile(folder.file("out.glb"), read, report)) << report.error;
    ASSERT_EQ(read.images.size(), 2u);
    EXPECT_EQ(read.images[0].uri, "wood.bmp");
    EXPECT_TRUE(read.images[0].bytes.empty());
    EXPECT_EQ(read.images[1].mimeType, "image/png"); // told by the bytes, not the name
    EXPECT_EQ(read.images[1].bytes, apptest::tinyPng());
    std::string validation;
    EXPECT_TRUE(apptest::validatesWithoutErrors(folder.file("out.glb"), validation)) << validation;
    // Without the option, and always in a .gltf, the files are referenced.
    for (const std::string name : {"plain.glb", "plain.gltf"}) {
        ASSERT_TRUE(writeGltfFile(scene, folder.file(name), error,
                                  {.embedImageFiles = name == "plain.gltf"}))
            << error;
        ASSERT_TRUE(readGltfFile(folder.file(name), read, report)) << report.error;
        EXPECT_EQ(read.images[1].uri, "photo.jpg") << name;
        EXPECT_TRUE(read.images[1].bytes.empty()) << name;
    }
}

TEST(GltfWriter, AFailedWriteLeavesWhatWasThereAndNoTemporaryFiles) {
    apptest::TempFolder folder;
    std::string error;
    EXPECT_FALSE(writeGltfFile(Scene{}, folder.file("missing/out.gltf"), error));
    EXPECT_NE(error.find("does not exist"), std::string::npos);

    // A folder in the target's place cannot be replaced by a file: the write fails at the end.
    std::filesystem::create_directories(folder.path() / "out.glb");
    apptest::writeBytes(folder.file("out.glb/keep"), {1, 2, 3});
    EXPECT_FALSE(writeGltfFile(sampleScene(""), folder.file("out.glb"), error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(apptest::readBytes(folder.file("out.glb/keep")),
              (std::vector<std::uint8_t>{1, 2, 3}));
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path()))
        ++entries;
    EXPECT_EQ(entries, 1u);
}

// A strip of `count` vertices along x, as triangles (0 1 2) (1 2 3) ..., so its largest index
// is count - 1.
Primitive strip(std::uint32_t count) {
    Primitive primitive;
    for (std::uint32_t i = 0; i < count; ++i)
        primitive.positions.push_back({float(i), float(i % 2), 0});
    for (std::uint32_t i = 0; i + 2 < count; ++i)
        primitive.indices.insert(primitive.indices.end(), {i, i + 1, i + 2});
    return primitive;
}

Scene meshScene(std::vector<Primitive> primitives) {
    Scene scene;
    scene.meshes.push_back({"strip", std::move(primitives)});
    Node node;
    node.name = "strip";
    node.mesh = 0;
    scene.nodes = {node};
    scene.roots = {0};
    return scene;
}

std::string fileText(const std::string& file) {
    std::vector<std::uint8_t> bytes = apptest::readBytes(file);
    return std::string(bytes.begin(), bytes.end());
}

// The component types of the file's accessors, in order.
std::vector<int> componentTypes(const std::string& json) {
    std::vector<int> types;
    static const std::regex pattern("\"componentType\"\\s*:\\s*([0-9]+)");
    for (auto it = std::sregex_iterator(json.begin(), json.end(), pattern);
         it != std::sregex_iterator(); ++it)
        types.push_back(std::stoi((*it)[1]));
    return types;
}

TEST(GltfWriter, IndicesNeverHoldTheRestartValueOfTheirType) {
    constexpr int unsignedByte = 5121, unsignedShort = 5123, unsignedInt = 5125, floats = 5126;
    // Largest index 254 fits a byte; 255 and 65535 are the restart values of byte and short.
    const std::vector<std::pair<std::uint32_t, int>> cases = {
        {255, unsignedByte}, {256, unsignedShort}, {65535, unsignedShort}, {65536, unsignedInt}};
    apptest::TempFolder folder;
    for (const auto& [count, expected] : cases) {
        const Scene scene = meshScene({strip(count)});
        const std::string file = folder.file("strip" + std::to_string(count) + ".gltf");
        std::string error;
        ASSERT_TRUE(writeGltfFile(scene, file, error)) << error;
        EXPECT_EQ(componentTypes(fileText(file)), (std::vector<int>{floats, expected}))
            << count << " vertices";
        Scene read;
        ReadReport report;
        ASSERT_TRUE(readGltfFile(file, read, report)) << report.error;
        EXPECT_EQ(read.meshes[0].primitives[0].indices, scene.meshes[0].primitives[0].indices);
        std::string validation;
        EXPECT_TRUE(apptest::validatesWithoutErrors(file, validation)) << validation;
    }
}

TEST(GltfWriter, ANumberThatIsNotFiniteIsRefusedAndNothingIsWritten) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float infinity = std::numeric_limits<float>::infinity();
    Scene base = meshScene({strip(4)});
    base.skins.push_back({"rig", {0}, {identityMatrix()}, -1});
    base.animations.push_back(
        {"move",
         {{0, AnimationPath::translation, Interpolation::linear, {0, 1}, {0, 0, 0, 1, 1, 1}}}});
    std::vector<std::pair<Scene, std::string>> cases;
    auto add = [&](auto change, const std::string& expected) {
        Scene scene = base;
        change(scene);
        cases.emplace_back(std::move(scene), expected);
    };
    add([&](Scene& s) { s.meshes[0].primitives[0].positions[2][1] = nan; }, "a position");
    add([&](Scene& s) { s.nodes[0].translation[0] = infinity; },
        "node 0 'strip' has a translation");
    add([&](Scene& s) { s.nodes[0].scale[2] = -infinity; }, "a scale");
    add([&](Scene& s) { s.skins[0].inverseBindMatrices[0][12] = nan; }, "an inverse bind matrix");
    add([&](Scene& s) { s.animations[0].channels[0].values[4] = infinity; }, "a key value");
    add(
        [&](Scene& s) {
            s.meshes[0].primitives[0].texCoords.assign(4, {0, nan});
        },
        "a texture coordinate");
    apptest::TempFolder folder;
    for (const auto& [scene, expected] : cases)
        for (const std::string name : {"out.gltf", "out.glb"}) {
            std::string error;
            EXPECT_FALSE(writeGltfFile(scene, folder.file(name), error)) << expected;
            EXPECT_NE(error.find(expected), std::string::npos) << error;
            EXPECT_NE(error.find("not a finite 32-bit number"), std::string::npos) << error;
            EXPECT_EQ(error.find('\n'), std::string::npos) << error;
            EXPECT_TRUE(std::filesystem::is_empty(folder.path())) << name;
        }
}

TEST(GltfWriter, RefusesIndicesAndAttributesThatDoNotMatchThePositions) {
    Scene outside = meshScene({strip(4)});
    outside.meshes[0].primitives[0].indices.back() = 4;
    Scene shortNormals = meshScene({strip(4)});
    shortNormals.meshes[0].primitives[0].normals.assign(3, {0, 0, 1});
    apptest::TempFolder folder;
    std::string error;
    EXPECT_FALSE(writeGltfFile(outside, folder.file("out.glb"), error));
    EXPECT_NE(error.find("uses vertex 4 of its 4"), std::string::npos) << error;
    EXPECT_FALSE(writeGltfFile(shortNormals, folder.file("out.glb"), error));
    EXPECT_NE(error.find("3 values for 4 positions"), std::string::npos) << error;
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

TEST(GltfWriter, ANormalOrRotationWithoutADirectionGetsAUnitSubstitute) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    // A triangle in the plane x = 0, facing +x, whose corner normals are zero, tiny and not a
    // number; then a triangle collapsed to a point, with one good normal and two zero ones.
    Primitive lit;
    lit.positions = {{0, 0, 0}, {0, 1, 0}, {0, 0, 1}, {5, 5, 5}, {5, 5, 5}, {5, 5, 5}};
    lit.normals = {{0, 0, 0}, {1e-30f, 0, 0}, {nan, 0, 0}, {0, 2, 0}, {0, 0, 0}, {0, 0, 0}};
    lit.indices = {0, 1, 2, 3, 4, 5};
    Scene scene = meshScene({lit});
    scene.nodes[0].rotation = {0, 0, 0, 0};
    scene.animations.push_back(
        {"spin",
         {{0, AnimationPath::rotation, Interpolation::linear, {0, 1}, {0, 0, 0, 0, 0, 0, 0, 3}}}});
    apptest::TempFolder folder;
    for (const std::string name : {"lit.gltf", "lit.glb"}) {
        std::string error;
        ASSERT_TRUE(writeGltfFile(scene, folder.file(name), error)) << error;
        Scene read;
        ReadReport report;
        ASSERT_TRUE(readGltfFile(folder.file(name), read, report)) << report.error;
        const std::vector<Vec3>& normals = read.meshes[0].primitives[0].normals;
        // The triangle (0,0,0) (0,1,0) (0,0,1) winds about +x.
        EXPECT_EQ(normals[0], (Vec3{1, 0, 0}));
        EXPECT_EQ(normals[1], (Vec3{1, 0, 0})); // tiny but with a direction: kept
        EXPECT_EQ(normals[2], (Vec3{1, 0, 0}));
        EXPECT_EQ(normals[3], (Vec3{0, 1, 0}));
        EXPECT_EQ(normals[4], (Vec3{0, 0, 1})); // no face with an area: +Z
        EXPECT_EQ(read.nodes[0].rotation, (Vec4{0, 0, 0, 1}));
        EXPECT_EQ(read.animations[0].channels[0].values,
                  (std::vector<float>{0, 0, 0, 1, 0, 0, 0, 1}));
        std::string validation;
        EXPECT_TRUE(apptest::validatesWithoutErrors(folder.file(name), validation)) << validation;
    }
}

TEST(GltfWriter, AnimationsKeepIncreasingKeyTimesAndOneChannelPerTarget) {
    Scene scene = meshScene({strip(3)});
    Channel move{0,
                 AnimationPath::translation,
                 Interpolation::linear,
                 {0, 0.5f, 0.5f, 0.25f, 1},
                 {0, 0, 0, 1, 0, 0, 2, 0, 0, 3, 0, 0, 4, 0, 0}};
    Channel again{0, AnimationPath::translation, Interpolation::linear, {0, 2}, {9, 9, 9, 9, 9, 9}};
    Channel stranger{7, AnimationPath::scale, Interpolation::linear, {0}, {1, 1, 1}};
    scene.animations.push_back({"move", {move, again, stranger}});
    apptest::TempFolder folder;
    std::string error;
    ASSERT_TRUE(writeGltfFile(scene, folder.file("keys.gltf"), error)) << error;
    Scene read;
    ReadReport report;
    ASSERT_TRUE(readGltfFile(folder.file("keys.gltf"), read, report)) << report.error;
    ASSERT_EQ(read.animations.size(), 1u);
    ASSERT_EQ(read.animations[0].channels.size(), 1u);
    EXPECT_EQ(read.animations[0].channels[0].timesSeconds, (std::vector<float>{0, 0.5f, 1}));
    EXPECT_EQ(read.animations[0].channels[0].values,
              (std::vector<float>{0, 0, 0, 1, 0, 0, 4, 0, 0}));
    std::string validation;
    EXPECT_TRUE(apptest::validatesWithoutErrors(folder.file("keys.gltf"), validation))
        << validation;
}

} // namespace
