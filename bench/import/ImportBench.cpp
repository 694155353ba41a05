// lumaset import, end to end, as a user runs it: a generated X file of one 1,000,000-triangle
// mesh (normals, texture coordinates, a material) skinned to a chain of 20 bones, with two
// animation sets of 100 keys per bone and key type, written by the project's X file writer in
// each encoding, is imported by the lumaset program in a child process and written as a .glb.
// Reports wall time, CPU time and peak memory of each run, the X file's size and peak memory as
// a multiple of it; then the same for the peer, "assimp export" of the same X file to glTF,
// when it is installed.
//
//   import_bench [FOLDER]     (default: a fresh folder under /tmp, removed afterwards)
#include "xfile/XFileIO.h"

#include "CommandRun.h"
#include "GridMesh.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kColumns = 1000;
constexpr std::uint32_t kRows = 500; // 1000 x 500 quads, two triangles each
constexpr int kBoneCount = 20;
constexpr int kKeyCount = 100;
constexpr int kTicksPerKey = 160; // a key every frame at 30 frames a second

std::string boneName(int bone) {
    return "Bone" + std::to_string(bone);
}

// The skin: each vertex follows the two bones nearest along the sheet's length.
void addSkin(XMesh& mesh, std::uint32_t stride) {
    mesh.skinWeights.resize(kBoneCount);
    for (int bone = 0; bone < kBoneCount; ++bone)
        mesh.skinWeights[std::size_t(bone)].boneName = boneName(bone);
    for (std::uint32_t row = 0; row <= kRows; ++row)
        for (std::uint32_t column = 0; column <= kColumns; ++column) {
            const float along = float(column) / kColumns * float(kBoneCount - 1);
            const int first = std::min(int(along), kBoneCount - 2);
            const float second = along - float(first);
            const auto vertex = std::int32_t(row * stride + column);
            mesh.skinWeights[std::size_t(first)].weights[vertex] = 1.0f - second;
            mesh.skinWeights[std::size_t(first + 1)].weights[vertex] = second;
        }
}

XScene makeScene() {
    XScene scene;
    XFrame body;
    body.name = "Body";
    XMesh& mesh = body.mesh;
    mesh = makeGridMesh(kColumns, kRows, float(kBoneCount - 1), 5.0f);
    const std::uint32_t stride = kColumns + 1;
    addSkin(mesh, stride);
    scene.frames.push_back(body);

    // The bones as a chain, one unit apart along x.
    XFrame* parent = nullptr;
    for (int bone = 0; bone < kBoneCount; ++bone) {
        XFrame frame;
        frame.name = boneName(bone);
        frame.transform.m[12] = bone == 0 ? 0.0f : 1.0f;
        if (!parent) {
            scene.frames.push_back(frame);
            parent = &scene.frames.back();
        } else {
            parent->children.push_back(frame);
            parent = &parent->children.back();
        }
    }
    for (const char* set : {"Walk", "Wave"})
        for (int bone = 0; bone < kBoneCount; ++bone) {
            XAnimation& animation = scene.animationSets[set][boneName(bone)];
            for (int k = 0; k < kKeyCount; ++k) {
                const float half = 0.05f * std::sin(0.2f * float(k) + 0.3f * float(bone));
                animation.rotationKeys[k * kTicksPerKey] = {0, 0, std::sin(half), std::cos(half)};
                animation.positionKeys[k * kTicksPerKey] = {bone == 0 ? 0.0f : 1.0f, 0, 0};
                animation.scaleKeys[k * kTicksPerKey] = {1, 1, 1};
            }
        }
    return scene;
}

void report(const std::string& what, const Measured& run, const std::string& input,
            const std::string& output) {
    std::error_code error;
    const double inputMegabytes = double(fs::file_size(input, error)) / (1024.0 * 1024.0);
    if (!run.ran || run.status != 0 || !fs::exists(output, error)) {
        std::printf("%-30s failed (status %d)\n", what.c_str(), run.status);
        return;
    }
    std::printf("%-30s %7.2f s wall %7.2f s CPU %7.0f MB peak %7.1f MB X file %6.2fx\n",
                what.c_str(), run.wallSeconds, run.cpuSeconds, run.peakMegabytes, inputMegabytes,
                run.peakMegabytes / inputMegabytes);
}

} // namespace

int main(int argc, char** argv) {
    const bool ownFolder = argc < 2;
    const fs::path folder =
        ownFolder ? fs::temp_directory_path() / ("lumaset-import-bench-" + std::to_string(getpid()))
                  : fs::path(argv[1]);
    fs::create_directories(folder / "config");
    const XScene scene = makeScene();
    const char* const encodings[] = {"binary", "text", "compressed"}; // by writer format number
    std::printf("scene: 1,000,000 triangles, %u vertices, %d bones, 2 weights a vertex, 2 sets of "
                "%d keys per bone and type\n",
                (kColumns + 1) * (kRows + 1), kBoneCount, kKeyCount);
    for (std::uint32_t format = 0; format < 3; ++format) {
        const std::string input =
            (folder / (std::string("sheet.") + encodings[format] + ".x")).string();
        if (!XFileIO().writeScene(input.c_str(), scene, format, false)) {
            std::fprintf(stderr, "import_bench: cannot write %s\n", input.c_str());
            return 1;
        }
        const std::string output =
            (folder / (std::string("sheet.") + encodings[format] + ".glb")).string();
        Measured run = measure(
            {LUMASET_PROGRAM, "import", input, output, "--config", (folder / "config").string()},
            (folder / "lumaset.log").string());
        report(std::string("lumaset import (") + encodings[format] + ")", run, input, output);
        if (onPath("assimp")) {
            const std::string peerOutput =
                (folder / (std::string("sheet.") + encodings[format] + ".assimp.gltf")).string();
            Measured peer =
                measure({"assimp", "export", input, peerOutput}, (folder / "assimp.log").string());
            report(std::string("assimp export (") + encodings[format] + ")", peer, input,
                   peerOutput);
        } else {
            std::printf("assimp export (peer)           skipped: assimp is not installed "
                        "(assimp-utils)\n");
        }
    }
    if (ownFolder) fs::remove_all(folder);
    return 0;
}
