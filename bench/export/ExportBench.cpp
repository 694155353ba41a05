// lumaset export, end to end, as a user runs it: a generated 1,000,000-triangle tube skinned to
// a chain of 40 bones (4 weights a vertex) with 100 keyframes a bone is written as a .glb file,
// then exported to each X encoding by the lumaset program in a child process. Reports wall time,
// CPU time and peak memory of each run, the X file's size and peak memory as a multiple of it;
// then the same for the peer, "assimp export" of the same .glb to .x, when it is installed.
//
//   export_bench [FOLDER]     (default: a fresh folder under /tmp, removed afterwards)
#include "gltf/GltfWriter.h"

#include "CommandRun.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kBoneCount = 40;
constexpr int kSides = 500;    // around the tube
constexpr int kRings = 1001;   // along it: 1000 bands of 2 * kSides triangles
constexpr int kKeyCount = 100; // keyframes per bone
constexpr float kFramesPerSecond = 30.0f;

gltf::Scene makeScene() {
    gltf::Scene scene;
    const float length = float(kBoneCount);
    gltf::Primitive tube;
    for (int ring = 0; ring < kRings; ++ring) {
        const float y = length * float(ring) / float(kRings - 1);
        // The four bones nearest to this height, weighted by closeness.
        const float boneAt = std::clamp(y - 0.5f, 0.0f, float(kBoneCount - 1));
        const int first = std::clamp(int(boneAt) - 1, 0, kBoneCount - 4);
        std::array<std::uint16_t, 4> joints{};
        gltf::Vec4 weights{};
        float total = 0.0f;
        for (int k = 0; k < 4; ++k) {
            joints[std::size_t(k)] = std::uint16_t(first + k);
            const float w = 1.0f / (1.0f + 4.0f * std::fabs(boneAt - float(first + k)));
            weights[std::size_t(k)] = w;
            total += w;
        }
        for (float& w : weights)
            w /= total;
        for (int side = 0; side <= kSides; ++side) { // the seam column twice, for the texture
            const float angle = 2.0f * float(M_PI) * float(side) / float(kSides);
            tube.positions.push_back({std::cos(angle), y, std::sin(angle)});
            tube.normals.push_back({std::cos(angle), 0.0f, std::sin(angle)});
            tube.texCoords.push_back({float(side) / float(kSides), y / length});
            tube.joints.push_back(joints);
            tube.weights.push_back(weights);
        }
    }
    const std::uint32_t columns = kSides + 1;
    for (std::uint32_t ring = 0; ring + 1 < std::uint32_t(kRings); ++ring)
        for (std::uint32_t side = 0; side < std::uint32_t(kSides); ++side) {
            const std::uint32_t a = ring * columns + side, b = a + 1, c = a + columns, d = c + 1;
            tube.indices.insert(tube.indices.end(), {a, c, b, b, c, d});
        }
    scene.materials.push_back({"tube", {0.8f, 0.6f, 0.4f, 1.0f}});
    tube.material = 0;
    scene.meshes.push_back({"tube", {std::move(tube)}});

    gltf::Node body;
    body.name = "Body";
    body.mesh = 0;
    body.skin = 0;
    scene.nodes.push_back(body);
    gltf::Skin skin;
    skin.name = "chain";
    gltf::Animation animation;
    animation.name = "bend";
    for (int bone = 0; bone < kBoneCount; ++bone) {
        gltf::Node node;
        node.name = "Bone" + std::to_string(bone);
        node.translation = {0.0f, bone == 0 ? 0.0f : 1.0f, 0.0f};
        const int index = int(scene.nodes.size());
        if (bone + 1 < kBoneCount) node.children.push_back(index + 1);
        scene.nodes.push_back(node);
        skin.joints.push_back(index);
        gltf::Mat4 inverseBind = gltf::identityMatrix();
        inverseBind[13] = -float(bone);
        skin.inverseBindMatrices.push_back(inverseBind);
        gltf::Channel channel;
        channel.node = index;
        channel.path = gltf::AnimationPath::rotation;
        for (int key = 0; key < kKeyCount; ++key) {
            channel.timesSeconds.push_back(float(key) / kFramesPerSecond);
            const float half = 0.05f * std::sin(0.2f * float(key) + 0.3f * float(bone));
            channel.values.insert(channel.values.end(),
                                  {0.0f, 0.0f, std::sin(half), std::cos(half)});
        }
        animation.channels.push_back(std::move(channel));
    }
    skin.skeleton = 1;
    scene.skins.push_back(std::move(skin));
    scene.animations.push_back(std::move(animation));
    scene.roots = {0, 1};
    return scene;
}

void report(const std::string& what, const Measured& run, const std::string& output) {
    std::error_code error;
    const double fileMegabytes = double(fs::file_size(output, error)) / (1024.0 * 1024.0);
    if (!run.ran || run.status != 0 || error) {
        std::printf("%-34s failed (status %d)\n", what.c_str(), run.status);
        return;
    }
    std::printf("%-34s %8.2f s wall %8.2f s CPU %8.0f MB peak %8.1f MB file %6.2fx\n", what.c_str(),
                run.wallSeconds, run.cpuSeconds, run.peakMegabytes, fileMegabytes,
                run.peakMegabytes / fileMegabytes);
}

} // namespace

int main(int argc, char** argv) {
    const bool ownFolder = argc < 2;
    fs::path folder =
        ownFolder ? fs::temp_directory_path() / ("lumaset-export-bench-" + std::to_string(getpid()))
                  : fs::path(argv[1]);
    fs::create_directories(folder / "config");
    const std::string input = (folder / "tube.glb").string();
    std::string error;
    if (!gltf::writeGltfFile(makeScene(), input, error)) {
        std::fprintf(stderr, "export_bench: %s: %s\n", input.c_str(), error.c_str());
        return 1;
    }
    std::printf(
        "scene: %s, %.1f MB: 1,000,000 triangles, %d vertices, %d bones, 4 weights a vertex, "
        "%d keys a bone\n",
        input.c_str(), double(fs::file_size(input)) / (1024.0 * 1024.0), kRings * (kSides + 1),
        kBoneCount, kKeyCount);
    for (const char* format : {"binary", "text", "compressed"}) {
        const std::string output = (folder / (std::string("tube.") + format + ".x")).string();
        Measured run = measure({LUMASET_PROGRAM, "export", input, output, "--format", format,
                                "--config", (folder / "config").string()},
                               (folder / "lumaset.log").string());
        report(std::string("lumaset export --format ") + format, run, output);
    }
    if (onPath("assimp")) {
        const std::string output = (folder / "tube.assimp.x").string();
        Measured run =
            measure({"assimp", "export", input, output}, (folder / "assimp.log").string());
        report("assimp export (peer)", run, output);
    } else {
        std::printf(
            "assimp export (peer)               skipped: assimp is not installed (assimp-utils)\n");
    }
    if (ownFolder) fs::remove_all(folder);
    return 0;
}
