// Every corpus glTF file and the demo scene through lumaset export, in each encoding, read back
// with the plug-in's X file reader and compared with the glTF file's own values: world transforms
// at rest and at every key time, per-corner positions, normals and texture coordinates, skin
// weights and material colours.
#include "cli/Commands.h"
#include "gltf/GltfReader.h"
#include "scene/DemoScene.h"
#include "xfile/XFileIO.h"

#include "GltfEvaluation.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <sstream>

namespace {

using apptest::Matrix4;

constexpr double kTolerance = 1e-4;

bool near(double a, double b, double tolerance = kTolerance) {
    return std::fabs(a - b) <= tolerance * std::max(1.0, std::max(std::fabs(a), std::fabs(b)));
}

// X matrices are row-major with row vectors; stored in that order they are the numbers of the
// same transform in glTF's column-major, column-vector form.
Matrix4 fromX(const XMatrix& m) {
    Matrix4 out{};
    for (std::size_t i = 0; i < 16; ++i)
        out[i] = m.m[i];
    return out;
}

Matrix4 multiply(const Matrix4& a, const Matrix4& b) { // column-major a * b
    Matrix4 out{};
    for (int col = 0; col < 4; ++col)
        for (int row = 0; row < 4; ++row)
            for (int k = 0; k < 4; ++k)
                out[std::size_t(col * 4 + row)] +=
                    a[std::size_t(k * 4 + row)] * b[std::size_t(col * 4 + k)];
    return out;
}

// glTF-style local matrix T * R * S from a translation, a glTF rotation and a scale.
Matrix4 compose(const double t[3], const double q[4], const double s[3]) {
    const double x = q[0], y = q[1], z = q[2], w = q[3];
    const double r[9] = {1 - 2 * (y * y + z * z), 2 * (x * y + z * w),     2 * (x * z - y * w),
                         2 * (x * y - z * w),     1 - 2 * (x * x + z * z), 2 * (y * z + x * w),
                         2 * (x * z + y * w),     2 * (y * z - x * w),     1 - 2 * (x * x + y * y)};
    Matrix4 m{};
    for (int col = 0; col < 3; ++col)
        for (int row = 0; row < 3; ++row)
            m[std::size_t(col * 4 + row)] = r[col * 3 + row] * s[col];
    m[12] = t[0], m[13] = t[1], m[14] = t[2], m[15] = 1;
    return m;
}

template <class Value>
const Value* keyAtOrBefore(const std::map<XKeyTimeTicks, Value>& keys, XKeyTimeTicks tick) {
    auto after = keys.upper_bound(tick);
    return after == keys.begin() ? nullptr : &std::prev(after)->second;
}

// The X local transform of an animated frame at `tick`: keys interpolated linearly (positions,
// scales) and spherically (rotations), held before the first and after the last key.
bool xLocalAt(const XAnimation& animation, XKeyTimeTicks tick, Matrix4& out) {
    if (!animation.matrixKeys.empty()) {
        const XMatrix* key = keyAtOrBefore(animation.matrixKeys, tick);
        if (!key || animation.matrixKeys.count(tick) == 0) return false;
        out = fromX(*key);
        return true;
    }
    if (animation.positionKeys.empty() || animation.rotationKeys.empty() ||
        animation.scaleKeys.empty())
        return false;
    auto lerp3 = [&](const std::map<XKeyTimeTicks, XVector3>& keys, double v[3]) {
        auto after = keys.lower_bound(tick);
        const XVector3* a = after == keys.begin() ? &after->second : &std::prev(after)->second;
        const XVector3* b = after == keys.end() ? a : &after->second;
        double f = 0;
        if (after != keys.end() && after != keys.begin() && after->first != tick)
            f = double(tick - std::prev(after)->first) /
                double(after->first - std::prev(after)->first);
        if (after != keys.end() && after->first == tick) a = b = &after->second;
        v[0] = a->x + f * (b->x - a->x), v[1] = a->y + f * (b->y - a->y),
        v[2] = a->z + f * (b->z - a->z);
    };
    double t[3], s[3];
    lerp3(animation.positionKeys, t);
    lerp3(animation.scaleKeys, s);
    // Rotation keys follow the host's convention, the conjugate of glTF's.
    const auto& rotations = animation.rotationKeys;
    auto after = rotations.lower_bound(tick);
    std::vector<double> qa, qb;
    double f = 0;
    auto asGltf = [](const XQuaternion& q) { return std::vector<double>{-q.x, -q.y, -q.z, q.w}; };
    if (after == rotations.end()) {
        qa = qb = asGltf(std::prev(after)->second);
    } else if (after->first == tick || after == rotations.begin()) {
        qa = qb = asGltf(after->second);
    } else {
        qa = asGltf(std::prev(after)->second);
        qb = asGltf(after->second);
        f = double(tick - std::prev(after)->first) / double(after->first - std::prev(after)->first);
    }
    gltf::Channel channel;
    channel.path = gltf::AnimationPath::rotation;
    channel.timesSeconds = {0.0f, 1.0f};
    channel.values.assign(qa.begin(), qa.end());
    channel.values.insert(channel.values.end(), qb.begin(), qb.end());
    const std::vector<double> q = apptest::sampleChannel(channel, f);
    const double rotation[4] = {q[0], q[1], q[2], q[3]};
    out = compose(t, rotation, s);
    return true;
}

struct XNode {
    const XFrame* frame;
    int parent;
};

// The frames depth first, parents before children, in file order.
std::vector<XNode> framesInOrder(const XScene& scene) {
    std::vector<XNode> nodes;
    std::vector<std::pair<const XFrame*, int>> pending;
    for (auto frame = scene.frames.rbegin(); frame != scene.frames.rend(); ++frame)
        pending.push_back({&*frame, -1});
    while (!pending.empty()) {
        auto [frame, parent] = pending.back();
        pending.pop_back();
        nodes.push_back({frame, parent});
        const int index = int(nodes.size()) - 1;
        for (auto child = frame->children.rbegin(); child != frame->children.rend(); ++child)
            pending.push_back({&*child, index});
    }
    return nodes;
}

std::vector<Matrix4> xWorlds(const std::vector<XNode>& nodes, const XAnimationSet* set,
                             XKeyTimeTicks tick) {
    std::vector<Matrix4> worlds;
    for (const XNode& node : nodes) {
        Matrix4 local = fromX(node.frame->transform);
        if (set)
            if (auto found = set->find(node.frame->name); found != set->end()) {
                Matrix4 animated;
                if (xLocalAt(found->second, tick, animated)) local = animated;
            }
        worlds.push_back(node.parent < 0 ? local
                                         : multiply(worlds[std::size_t(node.parent)], local));
    }
    return worlds;
}

struct Corner {
    gltf::Vec3 position, normal;
    gltf::Vec2 uv;
    std::map<std::string, float> weights;
};

class ExportRoundTrip : public ::testing::TestWithParam<std::string> {
protected:
    static std::string exportTo(const std::string& input, const std::string& output,
                                const std::string& format, const std::string& config) {
        std::vector<std::string> words = {"export"};
        if (input == "demo")
            words.push_back("--demo");
        else
            words.push_back(input);
        for (const char* word : {"--keys", "--no-left-handed", "--normals", "--uv", "--skin",
                                 "--animation", "--colors", "--unify"})
            words.push_back(word);
        words.insert(words.end(), {output, "--format", format, "--config", config, "--scale",
                                   "1,1,1", "--rotate", "0,0,0"});
        std::ostringstream out, err;
        cli::Console console(out, err);
        const int status = cli::runProgram(words, console);
        return status == 0 ? std::string() : "status " + std::to_string(status) + ": " + err.str();
    }
};

TEST_P(ExportRoundTrip, EachEncodingHoldsTheGltfScene) {
    const std::string name = GetParam();
    gltf::Scene source;
    std::string input = "demo";
    if (name == "demo") {
        source = scene::demoScene();
    } else {
        const std::filesystem::path corpus = apptest::gltfCorpusFolder();
        if (corpus.empty()) GTEST_SKIP() << "the glTF corpus is not beside the checkout";
        input = (corpus / name).string();
        gltf::ReadReport report;
        ASSERT_TRUE(gltf::readGltfFile(input, source, report)) << report.error;
    }
    const std::vector<int> order = apptest::depthFirstOrder(source);
    apptest::TempFolder folder;
    for (const char* format : {"text", "binary", "compressed"}) {
        SCOPED_TRACE(name + " as " + format);
        const std::string output = folder.file(std::string("out.") + format + ".x");
        ASSERT_EQ(exportTo(input, output, format, folder.path().string()), "");
        const std::unique_ptr<XScene> written = XFileIO().readScene(output.c_str());
        ASSERT_TRUE(written);
        const std::vector<XNode> frames = framesInOrder(*written);
        ASSERT_EQ(frames.size(), order.size());
        std::vector<int> frameOf(source.nodes.size(), -1);
        for (std::size_t i = 0; i < order.size(); ++i)
            frameOf[std::size_t(order[i])] = int(i);

        // World transforms at rest, then at every key time of every animation.
        auto compareWorlds = [&](const gltf::Animation* animation, double seconds) {
            const XAnimationSet* set = nullptr;
            if (animation) {
                auto found = written->animationSets.find(animation->name);
                ASSERT_NE(found, written->animationSets.end()) << animation->name;
                set = &found->second;
            }
            const std::vector<Matrix4> expected =
                apptest::worldMatrices(source, animation, seconds);
            const std::vector<Matrix4> actual =
                xWorlds(frames, set, XKeyTimeTicks(std::llround(seconds * 4800.0)));
            for (std::size_t node = 0; node < source.nodes.size(); ++node)
                for (std::size_t k = 0; k < 16; ++k)
                    ASSERT_TRUE(
                        near(actual[std::size_t(frameOf[node])][k], expected[node][k], 1e-3))
                        << "node " << source.nodes[node].name << " at " << seconds << " s element "
                        << k << ": " << actual[std::size_t(frameOf[node])][k] << " vs "
                        << expected[node][k];
        };
        compareWorlds(nullptr, 0.0);
        for (const gltf::Animation& animation : source.animations)
            for (const gltf::Channel& channel : animation.channels)
                for (float seconds : channel.timesSeconds)
                    compareWorlds(&animation, seconds);

        // Meshes: each glTF triangle's corners against the X face at the same place.
        for (std::size_t node = 0; node < source.nodes.size(); ++node) {
            const gltf::Node& gltfNode = source.nodes[node];
            if (gltfNode.mesh < 0) continue;
            const XMesh& mesh = frames[std::size_t(frameOf[node])].frame->mesh;
            const gltf::Skin* skin =
                gltfNode.skin >= 0 ? &source.skins[std::size_t(gltfNode.skin)] : nullptr;
            std::size_t face = 0;
            for (const gltf::Primitive& primitive :
                 source.meshes[std::size_t(gltfNode.mesh)].primitives) {
                for (std::size_t t = 0; t + 2 < primitive.indices.size(); t += 3, ++face) {
                    ASSERT_LT(face, mesh.faces.size());
                    for (int c = 0; c < 3; ++c) {
                        const std::uint32_t v = primitive.indices[t + std::size_t(c)];
                        const gltf::Vec3& p = primitive.positions[v];
                        // The corner of the X face at the same position (winding may turn).
                        int corner = -1;
                        for (int k = 0; k < 3; ++k) {
                            const XVector3& q =
                                mesh.positions[mesh.faces[face].indices[std::size_t(k)]];
                            if (near(q.x, p[0]) && near(q.y, p[1]) && near(q.z, p[2])) corner = k;
                        }
                        ASSERT_GE(corner, 0) << gltfNode.name << " face " << face;
                        const std::size_t at = std::size_t(corner);
                        if (!primitive.normals.empty() && !mesh.normals.empty()) {
                            const XVector3& n = mesh.normals[mesh.normalFaces[face].indices[at]];
                            const gltf::Vec3& e = primitive.normals[v];
                            EXPECT_TRUE(near(n.x, e[0], 1e-3) && near(n.y, e[1], 1e-3) &&
                                        near(n.z, e[2], 1e-3))
                                << gltfNode.name << " normal of face " << face;
                        }
                        if (!primitive.texCoords.empty()) {
                            ASSERT_FALSE(mesh.texCoordFaces.empty()) << gltfNode.name;
                            const XVector2& uv =
                                mesh.texCoords[mesh.texCoordFaces[face].indices[at]];
                            EXPECT_TRUE(near(uv.u, primitive.texCoords[v][0]) &&
                                        near(uv.v, primitive.texCoords[v][1]))
                                << gltfNode.name << " uv of face " << face;
                        }
                        if (skin && !primitive.joints.empty()) {
                            std::map<std::string, float> expected, actual;
                            for (int j = 0; j < 4; ++j)
                                if (primitive.weights[v][std::size_t(j)] > 1e-6f)
                                    expected
                                        [source
                                             .nodes[std::size_t(
                                                 skin->joints[primitive.joints[v][std::size_t(j)]])]
                                             .name] += primitive.weights[v][std::size_t(j)];
                            const std::int32_t vertex = std::int32_t(mesh.faces[face].indices[at]);
                            for (const XSkinWeights& bone : mesh.skinWeights)
                                if (auto w = bone.weights.find(vertex);
                                    w != bone.weights.end() && w->second > 1e-6f)
                                    actual[bone.boneName] += w->second;
                            ASSERT_EQ(actual.size(), expected.size())
                                << gltfNode.name << " face " << face;
                            double total = 0;
                            for (const auto& [bone, weight] : expected)
                                total += weight;
                            for (const auto& [bone, weight] : expected)
                                EXPECT_TRUE(near(actual[bone], weight / total, 1e-3)) << bone;
                        }
                    }
                    if (primitive.material >= 0 && !mesh.faceMaterials.empty()) {
                        const gltf::Vec4& color =
                            source.materials[std::size_t(primitive.material)].baseColorFactor;
                        const XColor& diffuse = mesh.materials[mesh.faceMaterials[face]].diffuse;
                        EXPECT_TRUE(near(diffuse.r, color[0]) && near(diffuse.g, color[1]) &&
                                    near(diffuse.b, color[2]) && near(diffuse.a, color[3]))
                            << gltfNode.name << " material of face " << face;
                    }
                }
            }
            EXPECT_EQ(face, mesh.faces.size()) << gltfNode.name;
        }
    }
}

std::vector<std::string> scenes() {
    std::vector<std::string> names = {"demo"};
    for (const std::filesystem::path& file : apptest::gltfCorpusFiles())
        names.push_back(file.filename().string());
    return names;
}

INSTANTIATE_TEST_SUITE_P(Scenes, ExportRoundTrip, ::testing::ValuesIn(scenes()),
                         [](const auto& info) {
                             std::string name = info.param;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

} // namespace
