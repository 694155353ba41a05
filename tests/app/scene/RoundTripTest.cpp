// Every corpus glTF file goes into the host scene and back out ("scene convert"); what comes
// back must be what went in, and pass the Khronos validator.
#include "cli/Commands.h"
#include "gltf/GltfReader.h"

#include "GltfEvaluation.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <sstream>

namespace {

using apptest::Matrix4;

constexpr double tolerance = 2e-4;

bool near(double a, double b, double scale = 1, double within = tolerance) {
    return std::fabs(a - b) <= within * std::max(scale, 1.0);
}

int runProgram(std::vector<std::string> words, std::string& err) {
    std::ostringstream out, errors;
    cli::Console console(out, errors);
    int status = cli::runProgram(words, console);
    err = errors.str();
    return status;
}

struct Corner {
    gltf::Vec3 position;
    const gltf::Vec3* normal;
    const gltf::Vec2* texCoord;
    const gltf::Vec4* color;
    const std::array<std::uint16_t, 4>* joints;
    const gltf::Vec4* weights;
    int material;
};

// The corners of a mesh in the order the host keeps its faces: grouped by material, first
// appearance first, faces in file order within a group.
std::vector<Corner> corners(const gltf::Mesh& mesh) {
    std::vector<int> order;
    for (const gltf::Primitive& p : mesh.primitives)
        if (std::find(order.begin(), order.end(), p.material) == order.end())
            order.push_back(p.material);
    std::vector<Corner> out;
    for (int material : order)
        for (const gltf::Primitive& p : mesh.primitives) {
            if (p.material != material) continue;
            for (std::uint32_t v : p.indices)
                out.push_back({p.positions[v], p.normals.empty() ? nullptr : &p.normals[v],
                               p.texCoords.empty() ? nullptr : &p.texCoords[v],
                               p.colors.empty() ? nullptr : &p.colors[v],
                               p.joints.empty() ? nullptr : &p.joints[v],
                               p.weights.empty() ? nullptr : &p.weights[v], p.material});
        }
    return out;
}

gltf::Vec3 faceNormal(const gltf::Vec3& a, const gltf::Vec3& b, const gltf::Vec3& c) {
    const double u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    const double v[3] = {c[0] - b[0], c[1] - b[1], c[2] - b[2]};
    double n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
    const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    return {float(n[0] / length), float(n[1] / length), float(n[2] / length)};
}

// Weights of one corner by joint node name, normalized, zero weights left out.
std::map<std::string, double> influences(const gltf::Scene& scene, const gltf::Skin& skin,
                                         const Corner& corner) {
    std::map<std::string, double> out;
    double sum = 0;
    for (std::size_t c = 0; c < 4; ++c)
        sum += (*corner.weights)[c];
    for (std::size_t c = 0; c < 4; ++c)
        if ((*corner.weights)[c] > 0)
            out[scene.nodes[std::size_t(skin.joints[(*corner.joints)[c]])].name] +=
                (*corner.weights)[c] / sum;
    return out;
}

class RoundTrip {
public:
    RoundTrip(const gltf::Scene& in, const gltf::Scene& out) : in_(in), out_(out) {
        inOrder_ = apptest::depthFirstOrder(in);
        outOrder_ = apptest::depthFirstOrder(out);
    }

    void checkNodes() {
        ASSERT_EQ(outOrder_.size(), inOrder_.size());
        for (std::size_t i = 0; i < inOrder_.size(); ++i) {
            EXPECT_EQ(out_.nodes[std::size_t(outOrder_[i])].name,
                      in_.nodes[std::size_t(inOrder_[i])].name);
            outOf_[inOrder_[i]] = outOrder_[i];
        }
    }

    // Between keys the host's tick grid moves the output keys by up to 1/9600 s, hence the
    // looser `within` there.
    void expectSameWorld(const gltf::Animation* inAnimation, const gltf::Animation* outAnimation,
                         double seconds, const std::string& when, double within = tolerance) {
        // The host keeps times in ticks of 1/4800 s.
        const double outSeconds = std::round(seconds * 4800) / 4800;
        auto inWorld = apptest::worldMatrices(in_, inAnimation, seconds);
        auto outWorld = apptest::worldMatrices(out_, outAnimation, outSeconds);
        for (int index : inOrder_) {
            const Matrix4& a = inWorld[std::size_t(index)];
            const Matrix4& b = outWorld[std::size_t(outOf_[index])];
            double scale = 1;
            for (double v : a)
                scale = std::max(scale, std::fabs(v));
            for (std::size_t k = 0; k < 16; ++k)
                ASSERT_TRUE(near(a[k], b[k], scale, within))
                    << in_.nodes[std::size_t(index)].name << " " << when << " element " << k << ": "
                    << a[k] << " vs " << b[k];
        }
    }

    void checkTransformsAndKeys() {
        expectSameWorld(nullptr, nullptr, 0, "at rest");
        std::size_t inCount = 0;
        for (const gltf::Animation& animation : in_.animations)
            inCount += animation.channels.empty() ? 0 : 1;
        ASSERT_EQ(out_.animations.size(), inCount);
        for (std::size_t a = 0; a < in_.animations.size(); ++a) {
            const gltf::Animation& inAnimation = in_.animations[a];
            const gltf::Animation& outAnimation = out_.animations[a];
            EXPECT_EQ(outAnimation.name, inAnimation.name);
            std::set<double> times;
            bool allLinear = true;
            for (const gltf::Channel& channel : inAnimation.channels) {
                times.insert(channel.timesSeconds.begin(), channel.timesSeconds.end());
                allLinear = allLinear && channel.interpolation == gltf::Interpolation::linear;
                checkChannelKeys(channel, outAnimation);
            }
            const std::vector<double> keys(times.begin(), times.end());
            for (double t : keys)
                expectSameWorld(&inAnimation, &outAnimation, t,
                                inAnimation.name + " at " + std::to_string(t));
            if (allLinear)
                for (std::size_t k = 0; k + 1 < keys.size() && k < 40; ++k) {
                    const double t = (keys[k] + keys[k + 1]) / 2;
                    expectSameWorld(&inAnimation, &outAnimation, t,
                                    inAnimation.name + " between keys at " + std::to_string(t),
                                    2e-3);
                }
        }
    }

    // Every key of the input comes back at its time with its value.
    void checkChannelKeys(const gltf::Channel& channel, const gltf::Animation& outAnimation) {
        const gltf::Channel* found = nullptr;
        for (const gltf::Channel& candidate : outAnimation.channels)
            if (candidate.node == outOf_[channel.node] && candidate.path == channel.path)
                found = &candidate;
        ASSERT_NE(found, nullptr) << in_.nodes[std::size_t(channel.node)].name;
        for (std::size_t k = 0; k < channel.timesSeconds.size(); ++k) {
            const double t = std::round(double(channel.timesSeconds[k]) * 4800) / 4800;
            const bool hasTime = std::any_of(found->timesSeconds.begin(), found->timesSeconds.end(),
                                             [&](float s) { return std::fabs(s - t) < 1e-4; });
            EXPECT_TRUE(hasTime) << "key time " << t;
            std::vector<double> expected = apptest::sampleChannel(channel, channel.timesSeconds[k]);
            std::vector<double> actual = apptest::sampleChannel(*found, t);
            double sign = 1;
            if (channel.path == gltf::AnimationPath::rotation) {
                double dot = 0;
                for (std::size_t c = 0; c < 4; ++c)
                    dot += expected[c] * actual[c];
                sign = dot < 0 ? -1 : 1;
            }
            for (std::size_t c = 0; c < expected.size(); ++c)
                EXPECT_TRUE(near(expected[c], sign * actual[c], std::fabs(expected[c])))
                    << "key " << k << " component " << c << ": " << expected[c] << " vs "
                    << actual[c];
        }
    }

    void checkMeshes(const std::string& outputFolder) {
        for (int index : inOrder_) {
            const gltf::Node& inNode = in_.nodes[std::size_t(index)];
            const gltf::Node& outNode = out_.nodes[std::size_t(outOf_[index])];
            if (inNode.mesh < 0) {
                EXPECT_LT(outNode.mesh, 0);
                continue;
            }
            ASSERT_GE(outNode.mesh, 0) << inNode.name;
            const std::vector<Corner> a = corners(in_.meshes[std::size_t(inNode.mesh)]);
            const std::vector<Corner> b = corners(out_.meshes[std::size_t(outNode.mesh)]);
            ASSERT_EQ(a.size(), b.size()) << inNode.name;
            for (std::size_t i = 0; i < a.size(); ++i) {
                SCOPED_TRACE(inNode.name + " corner " + std::to_string(i));
                for (std::size_t c = 0; c < 3; ++c)
                    ASSERT_TRUE(
                        near(a[i].position[c], b[i].position[c], std::fabs(a[i].position[c])));
                ASSERT_NE(b[i].normal, nullptr);
                const std::size_t first = i / 3 * 3;
                const gltf::Vec3 normal = a[i].normal
                                              ? *a[i].normal
                                              : faceNormal(a[first].position, a[first + 1].position,
                                                           a[first + 2].position);
                double length = std::sqrt(normal[0] * normal[0] + normal[1] * normal[1] +
                                          normal[2] * normal[2]);
                for (std::size_t c = 0; c < 3; ++c)
                    ASSERT_TRUE(near(normal[c] / length, (*b[i].normal)[c]));
                if (a[i].texCoord) {
                    ASSERT_NE(b[i].texCoord, nullptr);
                    for (std::size_t c = 0; c < 2; ++c)
                        ASSERT_TRUE(near((*a[i].texCoord)[c], (*b[i].texCoord)[c]));
                }
                if (a[i].color) {
                    ASSERT_NE(b[i].color, nullptr);
                    for (std::size_t c = 0; c < 4; ++c)
                        ASSERT_TRUE(near((*a[i].color)[c], (*b[i].color)[c]));
                }
                checkMaterial(a[i].material, b[i].material, outputFolder);
                if (inNode.skin >= 0 && a[i].weights) {
                    ASSERT_GE(outNode.skin, 0);
                    ASSERT_NE(b[i].weights, nullptr);
                    auto expected = influences(in_, in_.skins[std::size_t(inNode.skin)], a[i]);
                    auto actual = influences(out_, out_.skins[std::size_t(outNode.skin)], b[i]);
                    ASSERT_EQ(expected.size(), actual.size());
                    for (const auto& [joint, weight] : expected)
                        ASSERT_TRUE(near(weight, actual[joint])) << joint;
                }
            }
            if (inNode.skin >= 0)
                checkSkin(in_.skins[std::size_t(inNode.skin)],
                          out_.skins[std::size_t(outNode.skin)]);
        }
    }

    void checkMaterial(int inIndex, int outIndex, const std::string& outputFolder) {
        if (!checkedMaterials_.insert({inIndex, outIndex}).second) return;
        if (inIndex < 0) return; // the host shows glTF's default material as none
        ASSERT_GE(outIndex, 0);
        const gltf::Material& a = in_.materials[std::size_t(inIndex)];
        const gltf::Material& b = out_.materials[std::size_t(outIndex)];
        EXPECT_EQ(a.name, b.name);
        for (std::size_t c = 0; c < 4; ++c)
            ASSERT_TRUE(near(a.baseColorFactor[c], b.baseColorFactor[c]));
        ASSERT_EQ(a.baseColorImage < 0, b.baseColorImage < 0);
        if (a.baseColorImage < 0) return;
        const gltf::Image& inImage = in_.images[std::size_t(a.baseColorImage)];
        const gltf::Image& outImage = out_.images[std::size_t(b.baseColorImage)];
        if (!inImage.path.empty()) {
            EXPECT_EQ(outImage.path, inImage.path);
        } else { // embedded: written beside the output, the same bytes
            EXPECT_EQ(std::filesystem::path(outImage.path).parent_path().string(), outputFolder);
            EXPECT_EQ(apptest::readBytes(outImage.path), inImage.bytes);
        }
    }

    void checkSkin(const gltf::Skin& a, const gltf::Skin& b) {
        ASSERT_EQ(a.joints.size(), b.joints.size());
        for (std::size_t j = 0; j < a.joints.size(); ++j) {
            EXPECT_EQ(out_.nodes[std::size_t(b.joints[j])].name,
                      in_.nodes[std::size_t(a.joints[j])].name);
            for (std::size_t k = 0; k < 16; ++k)
                ASSERT_TRUE(near(a.inverseBindMatrices[j][k], b.inverseBindMatrices[j][k],
                                 std::fabs(a.inverseBindMatrices[j][k])))
                    << "joint " << j << " element " << k;
        }
    }

private:
    const gltf::Scene& in_;
    const gltf::Scene& out_;
    std::vector<int> inOrder_, outOrder_;
    std::map<int, int> outOf_;
    std::set<std::pair<int, int>> checkedMaterials_;
};

// The corpus files, as its manifest lists them; one test each, so they run in parallel.
const char* const corpusFiles[] = {"AnimatedTriangle.gltf", "Box.gltf",      "BoxAnimated.gltf",
                                   "BoxTextured.gltf",      "CesiumMan.glb", "simple_skin.gltf"};

class CorpusRoundTrip : public testing::TestWithParam<const char*> {};

TEST_P(CorpusRoundTrip, ComesBackAsItWentInAndValidates) {
    if (apptest::gltfCorpusFolder().empty())
        GTEST_SKIP() << "the corpus folder " LUMASET_CORPUS_DIR " is absent";
    const std::filesystem::path file = apptest::gltfCorpusFolder() / GetParam();
    for (const char* extension : {".gltf", ".glb"}) {
        SCOPED_TRACE(extension);
        apptest::TempFolder folder;
        const std::string output = folder.file(file.stem().string() + extension);
        std::string err;
        ASSERT_EQ(runProgram({"scene", "convert", file.string(), output}, err), 0) << err;
        EXPECT_TRUE(err.empty()) << err;
        std::string validation;
        EXPECT_TRUE(apptest::validatesWithoutErrors(output, validation)) << validation;

        gltf::Scene in, out;
        gltf::ReadReport report;
        ASSERT_TRUE(gltf::readGltfFile(file.string(), in, report)) << report.error;
        ASSERT_TRUE(gltf::readGltfFile(output, out, report)) << report.error;
        RoundTrip check(in, out);
        check.checkNodes();
        if (testing::Test::HasFatalFailure()) return;
        check.checkMeshes(folder.path().string());
        check.checkTransformsAndKeys();
    }
}

INSTANTIATE_TEST_SUITE_P(Corpus, CorpusRoundTrip, testing::ValuesIn(corpusFiles),
                         [](const testing::TestParamInfo<const char*>& param) {
                             std::string name = std::filesystem::path(param.param).stem().string();
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

TEST(CorpusRoundTrip, CoversEveryCorpusFile) {
    if (apptest::gltfCorpusFolder().empty())
        GTEST_SKIP() << "the corpus folder " LUMASET_CORPUS_DIR " is absent";
    for (const auto& file : apptest::gltfCorpusFiles())
        EXPECT_NE(
            std::find(std::begin(corpusFiles), std::end(corpusFiles), file.filename().string()),
            std::end(corpusFiles))
            << file.filename() << " is not in the round-trip list";
}

} // namespace
