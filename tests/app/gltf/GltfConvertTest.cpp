// glTF through the program and out again ("lumaset scene convert"): what a legal file holds comes
// out as a file the Khronos validator accepts, and what the program cannot honour is refused in
// one line with nothing left behind.
#include "cli/Commands.h"
#include "gltf/GltfReader.h"
#include "gltf/GltfWriter.h"

#include "ProgramRun.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <sstream>
#include <unistd.h>

namespace {

using namespace gltf;
namespace fs = std::filesystem;

using apptest::ProgramRun;

ProgramRun run(std::vector<std::string> words) {
    return apptest::runLumaset(std::move(words));
}

using apptest::writeText;

using apptest::entriesIn;

// A lit box corner: three faces of a cube meeting at the origin, with normals.
Primitive corner() {
    Primitive primitive;
    primitive.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 0}, {0, 1, 0},
                           {0, 0, 1}, {0, 0, 0}, {0, 0, 1}, {1, 0, 0}};
    primitive.normals = {{0, 0, -1}, {0, 0, -1}, {0, 0, -1}, {-1, 0, 0}, {-1, 0, 0},
                         {-1, 0, 0}, {0, -1, 0}, {0, -1, 0}, {0, -1, 0}};
    primitive.indices = {0, 2, 1, 3, 5, 4, 6, 8, 7};
    return primitive;
}

// A prop that pops in: its node is scaled to 0 at rest and grows to full size, and two children
// hang under it, one placed by parts and one by a matrix, as scenes of that kind are made.
Scene popInScene() {
    Scene scene;
    scene.meshes.push_back({"prop", {corner()}});
    scene.meshes.push_back({"tag", {corner()}});
    Node prop;
    prop.name = "prop";
    prop.mesh = 0;
    prop.scale = {0, 0, 0};
    prop.translation = {1, 2, 3};
    prop.children = {1, 2};
    Node tag;
    tag.name = "tag";
    tag.mesh = 1;
    tag.translation = {0, 1, 0};
    Node badge;
    badge.name = "badge";
    badge.hasMatrix = true;
    badge.matrix[12] = 2;
    scene.nodes = {prop, tag, badge};
    scene.roots = {0};
    scene.animations.push_back(
        {"appear", {{0, AnimationPath::scale, Interpolation::linear, {0, 1}, {0, 0, 0, 1, 1, 1}}}});
    return scene;
}

bool allFinite(const std::vector<Vec3>& values) {
    for (const Vec3& v : values)
        for (float c : v)
            if (!std::isfinite(c)) return false;
    return true;
}

TEST(GltfConvert, ANodeScaledToZeroConvertsToValidGltfWithItsGeometry) {
    apptest::TempFolder folder;
    std::string error;
    ASSERT_TRUE(writeGltfFile(popInScene(), folder.file("popin.gltf"), error)) << error;
    for (const std::string name : {"out.gltf", "out.glb"}) {
        ProgramRun result = run({"scene", "convert", folder.file("popin.gltf"), folder.file(name)});
        ASSERT_EQ(result.status, 0) << result.err;
        std::string validation;
        EXPECT_TRUE(apptest::validatesWithoutErrors(folder.file(name), validation)) << validation;
        Scene out;
        ReadReport report;
        ASSERT_TRUE(readGltfFile(folder.file(name), out, report)) << report.error;
        ASSERT_EQ(out.nodes.size(), 3u);
        EXPECT_EQ(out.nodes[0].scale, (Vec3{0, 0, 0}));
        EXPECT_EQ(out.nodes[0].translation, (Vec3{1, 2, 3}));
        EXPECT_EQ(out.nodes[1].translation, (Vec3{0, 1, 0}));
        EXPECT_EQ(out.nodes[2].translation, (Vec3{2, 0, 0}));
        EXPECT_EQ(out.nodes[2].scale, (Vec3{1, 1, 1}));
        for (int n : {0, 1}) {
            ASSERT_GE(out.nodes[std::size_t(n)].mesh, 0);
            const Primitive& p =
                out.meshes[std::size_t(out.nodes[std::size_t(n)].mesh)].primitives[0];
            ASSERT_TRUE(allFinite(p.positions)) << "node " << n;
            // The geometry is the corner as it went in: every position of the input is there.
            for (const Vec3& position : corner().positions)
                EXPECT_NE(std::find(p.positions.begin(), p.positions.end(), position),
                          p.positions.end());
            ASSERT_EQ(p.normals.size(), p.positions.size());
            for (const Vec3& normal : p.normals)
                EXPECT_NEAR(std::sqrt(normal[0] * normal[0] + normal[1] * normal[1] +
                                      normal[2] * normal[2]),
                            1.0, 1e-6);
        }
    }
}

TEST(GltfConvert, MeshesAroundEveryIndexLimitValidate) {
    apptest::TempFolder folder;
    Scene scene;
    for (std::uint32_t count : {255u, 256u, 65535u, 65536u}) {
        Primitive strip;
        for (std::uint32_t i = 0; i < count; ++i)
            strip.positions.push_back({float(i % 256), float(i / 256), float(i % 2)});
        for (std::uint32_t i = 0; i + 2 < count; ++i)
            strip.indices.insert(strip.indices.end(), {i, i + 1, i + 2});
        Node node;
        node.name = "strip" + std::to_string(count);
        node.mesh = int(scene.meshes.size());
        scene.roots.push_back(int(scene.nodes.size()));
        scene.nodes.push_back(node);
        scene.meshes.push_back({node.name, {strip}});
    }
    std::string error;
    ASSERT_TRUE(writeGltfFile(scene, folder.file("strips.glb"), error)) << error;
    ProgramRun result =
        run({"scene", "convert", folder.file("strips.glb"), folder.file("out.gltf")});
    ASSERT_EQ(result.status, 0) << result.err;
    std::string validation;
    EXPECT_TRUE(apptest::validatesWithoutErrors(folder.file("out.gltf"), validation)) << validation;
}

TEST(GltfConvert, WhatCannotBeHonouredIsRefusedInOneLineWithNothingLeftBehind) {
    apptest::TempFolder inputs;
    // A triangle whose buffer is a data: URI, in a node given as `nodes`, with `extra` members.
    auto triangle = [&](const std::string& file, const std::string& nodes,
                        const std::string& extra) {
        writeText(
            inputs.file(file),
            R"({"asset":{"version":"2.0"},"buffers":[{"byteLength":36,"uri":"data:application/octet-stream;base64,AAAAAAAAAAAAAAAAAACAPwAAAAAAAAAAAAAAAAAAgD8AAAAA"}],)"
            R"("bufferViews":[{"buffer":0,"byteLength":36}],)"
            R"("accessors":[{"bufferView":0,"componentType":5126,"count":3,"type":"VEC3","min":[0,0,0],"max":[1,1,0]}],)"
            R"("meshes":[{"primitives":[{"attributes":{"POSITION":0}}]}],"nodes":)" +
                nodes + extra + "}");
        return inputs.file(file);
    };
    std::vector<std::pair<std::string, std::string>> cases; // input, expected part of the line
    cases.push_back({triangle("far.gltf", R"([{"mesh":0,"translation":[0,1e39,0]}])", ""),
                     "has a translation that is not a finite 32-bit number"});
    cases.push_back({triangle("draco.gltf", R"([{"mesh":0}])",
                              R"(,"extensionsUsed":["KHR_draco_mesh_compression"],)"
                              R"("extensionsRequired":["KHR_draco_mesh_compression"])"),
                     "requires the extension KHR_draco_mesh_compression"});
    cases.push_back({triangle("quantized.gltf", R"([{"mesh":0}])",
                              R"(,"extensionsRequired":["KHR_mesh_quantization"])"),
                     "KHR_mesh_quantization"});
    // A binary file of the program's own, cut short, and one with a byte of its header changed.
    std::string error;
    Scene whole;
    whole.meshes.push_back({"corner", {corner()}});
    whole.nodes.push_back({});
    whole.nodes[0].name = "corner";
    whole.nodes[0].mesh = 0;
    whole.roots = {0};
    ASSERT_TRUE(writeGltfFile(whole, inputs.file("whole.glb"), error)) << error;
    std::vector<std::uint8_t> bytes = apptest::readBytes(inputs.file("whole.glb"));
    std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + std::ptrdiff_t(bytes.size() - 9));
    apptest::writeBytes(inputs.file("cut.glb"), cut);
    cases.push_back({inputs.file("cut.glb"), "truncated"});
    bytes[4] = 7;
    apptest::writeBytes(inputs.file("version.glb"), bytes);
    cases.push_back({inputs.file("version.glb"), "version 7"});
    fs::create_directory(inputs.path() / "folder.gltf");
    cases.push_back({inputs.file("folder.gltf"), "it is a folder"});
    cases.push_back({inputs.file("absent.gltf"), "cannot open"});
    if (geteuid() != 0) { // the superuser reads any file
        fs::copy_file(inputs.file("whole.glb"), inputs.file("locked.glb"));
        fs::permissions(inputs.file("locked.glb"), fs::perms::none);
        cases.push_back({inputs.file("locked.glb"), "cannot open"});
    }

    apptest::TempFolder outputs;
    for (const auto& [input, expected] : cases)
        for (const std::string name : {"out.gltf", "out.glb"}) {
            ProgramRun result = run({"scene", "convert", input, outputs.file(name)});
            EXPECT_EQ(result.status, 1) << input;
            EXPECT_EQ(result.err.rfind("lumaset: " + input + ": ", 0), 0u) << result.err;
            EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
            EXPECT_NE(result.err.find(expected), std::string::npos) << result.err;
            EXPECT_EQ(entriesIn(outputs.path()), 0u) << input << " -> " << name;
        }
}

} // namespace
