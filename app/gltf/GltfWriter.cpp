#include "gltf/GltfWriter.h"

#include "gltf/FiniteCheck.h"
#include "gltf/Uri.h"

#include <WholeFile.h>
#include <tiny_gltf.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <set>
#include <unistd.h>

namespace gltf {
namespace {

namespace fs = std::filesystem;

// Whether `text` is well-formed UTF-8 (no overlong forms, no surrogates, nothing past U+10FFFF).
bool isUtf8(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int length = lead < 0x80           ? 1
                     : (lead >> 5) == 0x6  ? 2
                     : (lead >> 4) == 0xE  ? 3
                     : (lead >> 3) == 0x1E ? 4
                                           : 0;
        if (length == 0 || i + std::size_t(length) > text.size()) return false;
        std::uint32_t code = length == 1 ? lead : lead & (0x7Fu >> length);
        for (int k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + std::size_t(k)]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3Fu);
        }
        const std::uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += std::size_t(length);
    }
    return true;
}

// glTF text is UTF-8 and the JSON writer refuses anything else, while the host's names are 8-bit
// text: a name that is not UTF-8 already is taken as Latin-1 and written as those characters.
std::string utf8Name(const std::string& name) {
    if (isUtf8(name)) return name;
    std::string text;
    text.reserve(name.size() * 2);
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            text += c;
        } else {
            text += char(0xC0 | (byte >> 6));
            text += char(0x80 | (byte & 0x3F));
        }
    }
    return text;
}

// Images reach the file with the uri the builder gave them; nothing is re-encoded.
bool keepImageUri(const std::string*, const std::string*, const tinygltf::Image* image, bool,
                  std::string* outUri, void*) {
    *outUri = image->uri;
    return true;
}

template <std::size_t N> double lengthOf(const std::array<float, N>& v) {
    double squares = 0;
    for (float c : v)
        squares += double(c) * double(c);
    return std::sqrt(squares);
}

// `v` scaled to unit length; `fallback` when it has no direction (zero, or not finite).
template <std::size_t N>
std::array<float, N> unitOr(std::array<float, N> v, const std::array<float, N>& fallback) {
    const double length = lengthOf(v);
    if (!(length > 0) || !std::isfinite(length)) return fallback;
    for (float& c : v)
        c = float(c / length);
    return v;
}

Vec4 unitRotation(const Vec4& q) {
    return unitOr(q, Vec4{0, 0, 0, 1});
}

// Unit normals for a primitive. A normal without a direction (zero length, as a degenerate face
// leaves behind, or not finite) takes the direction of the triangles around its vertex, weighted
// by their area; when those have no area either, +Z.
std::vector<Vec3> unitNormals(const Primitive& primitive) {
    std::vector<Vec3> out(primitive.normals.size());
    std::vector<std::size_t> lacking;
    for (std::size_t v = 0; v < out.size(); ++v) {
        out[v] = unitOr(primitive.normals[v], Vec3{0, 0, 0});
        if (out[v] == Vec3{0, 0, 0}) lacking.push_back(v);
    }
    if (lacking.empty()) return out;
    std::vector<std::array<double, 3>> around(out.size(), {0, 0, 0});
    const auto& p = primitive.positions;
    for (std::size_t t = 0; t + 2 < primitive.indices.size(); t += 3) {
        const std::uint32_t a = primitive.indices[t], b = primitive.indices[t + 1],
                            c = primitive.indices[t + 2];
        if (a >= out.size() || b >= out.size() || c >= out.size()) continue;
        double u[3], w[3];
        for (int k = 0; k < 3; ++k) {
            u[k] = double(p[b][std::size_t(k)]) - p[a][std::size_t(k)];
            w[k] = double(p[c][std::size_t(k)]) - p[a][std::size_t(k)];
        }
        const double cross[3] = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2],
                                 u[0] * w[1] - u[1] * w[0]};
        for (std::uint32_t corner : {a, b, c})
            for (int k = 0; k < 3; ++k)
                around[corner][std::size_t(k)] += cross[k];
    }
    for (std::size_t v : lacking) {
        const std::array<double, 3>& sum = around[v];
        const double length = std::sqrt(sum[0] * sum[0] + sum[1] * sum[1] + sum[2] * sum[2]);
        if (length > 0 && std::isfinite(length))
            out[v] = {float(sum[0] / length), float(sum[1] / length), float(sum[2] / length)};
        else
            out[v] = {0, 0, 1};
    }
    return out;
}

class ModelBuilder {
public:
    ModelBuilder() {
        model_.asset.version = "2.0";
        model_.asset.generator = "Lumaset";
        model_.buffers.emplace_back();
    }

    tinygltf::Model& model() { return model_; }

    // Room for `byteCount` bytes of buffer: a buffer that grows by doubling holds up to twice
    // its size, and the old and the new block at once while it moves.
    void reserveBuffer(std::size_t byteCount) { model_.buffers[0].data.reserve(byteCount); }

    int addView(const void* bytes, std::size_t size, int target) {
        std::vector<unsigned char>& data = model_.buffers[0].data;
        while (data.size() % 4)
            data.push_back(0);
        tinygltf::BufferView view;
        view.buffer = 0;
        view.byteOffset = data.size();
        view.byteLength = size;
        view.target = target;
        const auto* begin = static_cast<const unsigned char*>(bytes);
        data.insert(data.end(), begin, begin + size);
        model_.bufferViews.push_back(view);
        return int(model_.bufferViews.size() - 1);
    }

    // Float elements of N components; with `bounds`, min and max are written (POSITION and
    // animation inputs must have them).
    template <std::size_t N>
    int addFloats(const std::vector<std::array<float, N>>& elements, int type, int target,
                  bool bounds) {
        tinygltf::Accessor accessor;
        accessor.bufferView = addView(elements.data(), elements.size() * N * sizeof(float), target);
        accessor.componentType = TINYGLTF_COMPONENT_TYPE_FLOAT;
        accessor.type = type;
        accessor.count = elements.size();
        if (bounds && !elements.empty()) {
            accessor.minValues.assign(N, std::numeric_limits<double>::max());
            accessor.maxValues.assign(N, std::numeric_limits<double>::lowest());
            for (const auto& element : elements)
                for (std::size_t c = 0; c < N; ++c) {
                    accessor.minValues[c] = std::min(accessor.minValues[c], double(element[c]));
                    accessor.maxValues[c] = std::max(accessor.maxValues[c], double(element[c]));
                }
        }
        model_.accessors.push_back(accessor);
        return int(model_.accessors.size() - 1);
    }

    int addScalars(const std::vector<float>& values, bool bounds) {
        std::vector<std::array<float, 1>> elements(values.size());
        for (std::size_t i = 0; i < values.size(); ++i)
            elements[i][0] = values[i];
        return addFloats(elements, TINYGLTF_TYPE_SCALAR, 0, bounds);
    }

    // Indices in the smallest unsigned type that holds the largest. A type's largest value is
    // its primitive-restart value, which a triangle list must not hold: 255 needs 16 bits and
    // 65535 needs 32.
    int addIndices(const std::vector<std::uint32_t>& indices) {
        const std::uint32_t largest =
            indices.empty() ? 0 : *std::max_element(indices.begin(), indices.end());
        tinygltf::Accessor accessor;
        accessor.type = TINYGLTF_TYPE_SCALAR;
        accessor.count = indices.size();
        if (largest < 0xFF) {
            std::vector<std::uint8_t> narrow(indices.begin(), indices.end());
            accessor.bufferView =
                addView(narrow.data(), narrow.size(), TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER);
            accessor.componentType = TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE;
        } else if (largest < 0xFFFF) {
            std::vector<std::uint16_t> narrow(indices.begin(), indices.end());
            accessor.bufferView =
                addView(narrow.data(), narrow.size() * 2, TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER);
            accessor.componentType = TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT;
        } else {
            accessor.bufferView =
                addView(indices.data(), indices.size() * 4, TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER);
            accessor.componentType = TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT;
        }
        model_.accessors.push_back(accessor);
        return int(model_.accessors.size() - 1);
    }

    int addJoints(const std::vector<std::array<std::uint16_t, 4>>& joints) {
        tinygltf::Accessor accessor;
        accessor.type = TINYGLTF_TYPE_VEC4;
        accessor.count = joints.size();
        accessor.componentType = TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT;
        accessor.bufferView =
            addView(joints.data(), joints.size() * 8, TINYGLTF_TARGET_ARRAY_BUFFER);
        model_.accessors.push_back(accessor);
        return int(model_.accessors.size() - 1);
    }

private:
    tinygltf::Model model_;
};

// Weights summing to one, unused joints set to 0: what the validator insists on.
void normalizeWeights(std::array<std::uint16_t, 4>& joints, Vec4& weights) {
    double sum = 0;
    for (std::size_t c = 0; c < 4; ++c) {
        if (!(weights[c] > 0) || !std::isfinite(weights[c])) weights[c] = 0;
        sum += weights[c];
    }
    if (sum <= 0) {
        weights = {1, 0, 0, 0};
        joints = {joints[0], 0, 0, 0};
        return;
    }
    for (std::size_t c = 0; c < 4; ++c) {
        weights[c] = float(weights[c] / sum);
        if (weights[c] == 0) joints[c] = 0;
    }
}

// `needsTexCoords`: the primitive's material shows a texture, and glTF then wants TEXCOORD_0
// even where the scene has none (zeros are written).
void addPrimitive(ModelBuilder& builder, const Primitive& source, bool needsTexCoords,
                  tinygltf::Mesh& mesh) {
    tinygltf::Primitive primitive;
    primitive.mode = TINYGLTF_MODE_TRIANGLES;
    primitive.material = source.material;
    primitive.attributes["POSITION"] =
        builder.addFloats(source.positions, TINYGLTF_TYPE_VEC3, TINYGLTF_TARGET_ARRAY_BUFFER, true);
    if (!source.normals.empty())
        primitive.attributes["NORMAL"] = builder.addFloats(unitNormals(source), TINYGLTF_TYPE_VEC3,
                                                           TINYGLTF_TARGET_ARRAY_BUFFER, false);
    if (!source.texCoords.empty())
        primitive.attributes["TEXCOORD_0"] = builder.addFloats(source.texCoords, TINYGLTF_TYPE_VEC2,
                                                               TINYGLTF_TARGET_ARRAY_BUFFER, false);
    else if (needsTexCoords)
        primitive.attributes["TEXCOORD_0"] =
            builder.addFloats(std::vector<Vec2>(source.positions.size(), Vec2{0, 0}),
                              TINYGLTF_TYPE_VEC2, TINYGLTF_TARGET_ARRAY_BUFFER, false);
    if (!source.colors.empty()) {
        if (source.colorsHaveAlpha) {
            primitive.attributes["COLOR_0"] = builder.addFloats(
                source.colors, TINYGLTF_TYPE_VEC4, TINYGLTF_TARGET_ARRAY_BUFFER, false);
        } else {
            std::vector<Vec3> rgb(source.colors.size());
            for (std::size_t i = 0; i < rgb.size(); ++i)
                rgb[i] = {source.colors[i][0], source.colors[i][1], source.colors[i][2]};
            primitive.attributes["COLOR_0"] =
                builder.addFloats(rgb, TINYGLTF_TYPE_VEC3, TINYGLTF_TARGET_ARRAY_BUFFER, false);
        }
    }
    if (!source.joints.empty() && source.joints.size() == source.weights.size()) {
        auto joints = source.joints;
        auto weights = source.weights;
        for (std::size_t i = 0; i < joints.size(); ++i)
            normalizeWeights(joints[i], weights[i]);
        primitive.attributes["JOINTS_0"] = builder.addJoints(joints);
        primitive.attributes["WEIGHTS_0"] =
            builder.addFloats(weights, TINYGLTF_TYPE_VEC4, TINYGLTF_TARGET_ARRAY_BUFFER, false);
    }
    primitive.indices = builder.addIndices(source.indices);
    mesh.primitives.push_back(std::move(primitive));
}

const char* pathName(AnimationPath path) {
    switch (path) {
    case AnimationPath::translation:
        return "translation";
    case AnimationPath::rotation:
        return "rotation";
    default:
        return "scale";
    }
}

const char* interpolationName(Interpolation interpolation) {
    switch (interpolation) {
    case Interpolation::step:
        return "STEP";
    case Interpolation::cubicSpline:
        return "CUBICSPLINE";
    default:
        return "LINEAR";
    }
}

// The keys of a channel as a sampler may hold them: times from 0 on, each later than the one
// before. A key that would break that (two times that round to one float) is dropped.
void samplerKeys(const Channel& channel, std::vector<float>& times, std::vector<float>& values) {
    const std::size_t perKey = std::size_t(componentCount(channel.path)) *
                               (channel.interpolation == Interpolation::cubicSpline ? 3 : 1);
    const std::size_t count = std::min(channel.timesSeconds.size(), channel.values.size() / perKey);
    for (std::size_t k = 0; k < count; ++k) {
        const float time = channel.timesSeconds[k];
        if (!(time >= 0) || (!times.empty() && !(time > times.back()))) continue;
        times.push_back(time);
        values.insert(values.end(), channel.values.begin() + std::ptrdiff_t(k * perKey),
                      channel.values.begin() + std::ptrdiff_t((k + 1) * perKey));
    }
}

// One glTF animation; a node's property is animated by one channel at most, the first.
void addAnimation(ModelBuilder& builder, const Animation& source, std::size_t nodeCount) {
    tinygltf::Animation animation;
    animation.name = utf8Name(source.name);
    if (source.timelineStartSeconds) {
        tinygltf::Value::Object ours{
            {"timelineStart", tinygltf::Value(*source.timelineStartSeconds)}};
        animation.extras =
            tinygltf::Value(tinygltf::Value::Object{{"lumaset", tinygltf::Value(std::move(ours))}});
    }
    std::set<std::pair<int, AnimationPath>> targets;
    for (const Channel& channel : source.channels) {
        if (channel.node < 0 || std::size_t(channel.node) >= nodeCount ||
            !targets.insert({channel.node, channel.path}).second)
            continue;
        std::vector<float> times, values;
        samplerKeys(channel, times, values);
        if (times.empty()) continue;
        tinygltf::AnimationSampler sampler;
        sampler.input = builder.addScalars(times, true);
        sampler.interpolation = interpolationName(channel.interpolation);
        if (channel.path == AnimationPath::rotation) {
            std::vector<Vec4> rotations(values.size() / 4);
            for (std::size_t k = 0; k < rotations.size(); ++k) {
                Vec4 q{values[k * 4], values[k * 4 + 1], values[k * 4 + 2], values[k * 4 + 3]};
                // Cubic-spline tangents are not unit quaternions; only values are normalized.
                bool isTangent = channel.interpolation == Interpolation::cubicSpline && k % 3 != 1;
                rotations[k] = isTangent ? q : unitRotation(q);
            }
            sampler.output = builder.addFloats(rotations, TINYGLTF_TYPE_VEC4, 0, false);
        } else {
            std::vector<Vec3> vectors(values.size() / 3);
            for (std::size_t k = 0; k < vectors.size(); ++k)
                vectors[k] = {values[k * 3], values[k * 3 + 1], values[k * 3 + 2]};
            sampler.output = builder.addFloats(vectors, TINYGLTF_TYPE_VEC3, 0, false);
        }
        animation.samplers.push_back(sampler);
        tinygltf::AnimationChannel target;
        target.sampler = int(animation.samplers.size() - 1);
        target.target_node = channel.node;
        target.target_path = pathName(channel.path);
        animation.channels.push_back(target);
    }
    if (!animation.channels.empty()) builder.model().animations.push_back(std::move(animation));
}

// The uri of an image file as seen from `outputFolder`.
std::string relativeUri(const std::string& imagePath, const fs::path& outputFolder) {
    std::error_code failed;
    fs::path relative = fs::relative(fs::path(imagePath), outputFolder, failed);
    if (failed || relative.empty()) return encodeUriPath(fs::path(imagePath).generic_string());
    return encodeUriPath(relative.generic_string());
}

// The bytes and media type of an image file glTF can carry inside (PNG or JPEG, told by its
// first bytes); false for any other file, or one that cannot be read.
bool readEmbeddableImage(const std::string& path, std::vector<std::uint8_t>& bytes,
                         std::string& mimeType) {
    std::error_code failed;
    if (!fs::is_regular_file(path, failed)) return false;
    if (!fileio::readWholeFile(path, 0x7FFFFFFFu, bytes).ok() || bytes.size() < 8) return false;
    static const std::uint8_t png[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (std::equal(png, png + 8, bytes.begin()))
        mimeType = "image/png";
    else if (bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF)
        mimeType = "image/jpeg";
    else
        return false;
    return true;
}

// `embedImageFiles`: the PNG and JPEG files images name go into the buffer; other files are
// referenced.
// The buffer bytes of everything but image files, each view padded to 4 bytes, as an upper
// bound (indices may come out narrower).
std::size_t bufferBytesOf(const Scene& scene) {
    std::size_t bytes = 0;
    const auto add = [&](std::size_t size) { bytes += size + 3; };
    for (const Image& image : scene.images)
        add(image.bytes.size());
    for (const Mesh& mesh : scene.meshes)
        for (const Primitive& primitive : mesh.primitives) {
            add(primitive.positions.size() * sizeof(Vec3));
            add(primitive.normals.size() * sizeof(Vec3));
            add(primitive.positions.size() * sizeof(Vec2)); // texture coordinates, even made up
            add(primitive.colors.size() * sizeof(Vec4));
            add(primitive.joints.size() * sizeof(primitive.joints[0]));
            add(primitive.weights.size() * sizeof(Vec4));
            add(primitive.indices.size() * sizeof(std::uint32_t));
        }
    for (const Skin& skin : scene.skins)
        add(skin.joints.size() * sizeof(Mat4));
    for (const Animation& animation : scene.animations)
        for (const Channel& channel : animation.channels) {
            add(channel.timesSeconds.size() * sizeof(float));
            add(channel.values.size() * sizeof(float));
        }
    return bytes;
}

void buildModel(const Scene& scene, ModelBuilder& builder, const fs::path& outputFolder,
                bool embedImageFiles) {
    tinygltf::Model& model = builder.model();
    builder.reserveBuffer(bufferBytesOf(scene));
    for (const Image& source : scene.images) {
        tinygltf::Image image;
        image.name = utf8Name(source.name);
        std::vector<std::uint8_t> bytes;
        if (!source.path.empty() && embedImageFiles &&
            readEmbeddableImage(source.path, bytes, image.mimeType)) {
            image.bufferView = builder.addView(bytes.data(), bytes.size(), 0);
        } else if (!source.path.empty()) {
            image.uri = relativeUri(source.path, outputFolder);
        } else if (!source.bytes.empty()) {
            image.bufferView = builder.addView(source.bytes.data(), source.bytes.size(), 0);
            image.mimeType = source.mimeType.empty() ? "image/png" : source.mimeType;
        } else {
            image.uri = source.uri;
        }
        model.images.push_back(std::move(image));
        tinygltf::Texture texture;
        texture.source = int(model.images.size() - 1);
        model.textures.push_back(texture);
    }
    for (const Material& source : scene.materials) {
        tinygltf::Material material;
        material.name = utf8Name(source.name);
        auto& pbr = material.pbrMetallicRoughness;
        pbr.baseColorFactor.assign(source.baseColorFactor.begin(), source.baseColorFactor.end());
        for (double& c : pbr.baseColorFactor)
            c = std::clamp(c, 0.0, 1.0);
        pbr.metallicFactor = std::clamp(double(source.metallicFactor), 0.0, 1.0);
        pbr.roughnessFactor = std::clamp(double(source.roughnessFactor), 0.0, 1.0);
        if (source.baseColorImage >= 0) pbr.baseColorTexture.index = source.baseColorImage;
        if (source.baseColorFactor[3] < 1) material.alphaMode = "BLEND";
        material.doubleSided = source.doubleSided;
        model.materials.push_back(std::move(material));
    }
    // glTF wants at least one primitive per mesh: a mesh left without any is dropped, and the
    // nodes that showed it show nothing.
    std::vector<int> meshIndex(scene.meshes.size(), -1);
    for (std::size_t m = 0; m < scene.meshes.size(); ++m) {
        tinygltf::Mesh mesh;
        mesh.name = utf8Name(scene.meshes[m].name);
        for (const Primitive& primitive : scene.meshes[m].primitives)
            if (!primitive.indices.empty() && !primitive.positions.empty()) {
                const bool textured =
                    primitive.material >= 0 &&
                    std::size_t(primitive.material) < scene.materials.size() &&
                    scene.materials[std::size_t(primitive.material)].baseColorImage >= 0;
                addPrimitive(builder, primitive, textured, mesh);
            }
        if (mesh.primitives.empty()) continue;
        meshIndex[m] = int(model.meshes.size());
        model.meshes.push_back(std::move(mesh));
    }
    for (const Node& source : scene.nodes) {
        tinygltf::Node node;
        node.name = utf8Name(source.name);
        node.children = source.children;
        node.mesh = source.mesh >= 0 ? meshIndex[std::size_t(source.mesh)] : -1;
        node.skin = node.mesh >= 0 ? source.skin : -1;
        if (source.hasMatrix) {
            node.matrix.assign(source.matrix.begin(), source.matrix.end());
        } else {
            if (source.translation != Vec3{0, 0, 0})
                node.translation.assign(source.translation.begin(), source.translation.end());
            Vec4 rotation = unitRotation(source.rotation);
            if (rotation != Vec4{0, 0, 0, 1})
                node.rotation.assign(rotation.begin(), rotation.end());
            if (source.scale != Vec3{1, 1, 1})
                node.scale.assign(source.scale.begin(), source.scale.end());
        }
        // tinygltf writes a node with no member at all as null, which no reader takes for a
        // node: an unnamed empty leaf at rest states its (unit) scale.
        if (node.name.empty() && node.children.empty() && node.mesh < 0 && node.matrix.empty() &&
            node.translation.empty() && node.rotation.empty() && node.scale.empty())
            node.scale = {1, 1, 1};
        model.nodes.push_back(std::move(node));
    }
    for (const Skin& source : scene.skins) {
        tinygltf::Skin skin;
        skin.name = utf8Name(source.name);
        skin.joints = source.joints;
        skin.skeleton = source.skeleton;
        if (!source.inverseBindMatrices.empty()) {
            std::vector<Mat4> matrices = source.inverseBindMatrices;
            for (Mat4& m : matrices) { // the last row of an affine matrix, exactly
                m[3] = m[7] = m[11] = 0;
                m[15] = 1;
            }
            skin.inverseBindMatrices = builder.addFloats(matrices, TINYGLTF_TYPE_MAT4, 0, false);
        }
        model.skins.push_back(std::move(skin));
    }
    // Meshes whose mesh lost its skin attributes keep no skin.
    for (tinygltf::Node& node : model.nodes) {
        if (node.skin < 0) continue;
        bool skinned = true;
        for (const auto& primitive : model.meshes[std::size_t(node.mesh)].primitives)
            skinned = skinned && primitive.attributes.count("JOINTS_0");
        if (!skinned) node.skin = -1;
    }
    for (const Animation& animation : scene.animations)
        addAnimation(builder, animation, scene.nodes.size());
    tinygltf::Scene root;
    root.nodes = scene.roots;
    if (scene.animationRange) {
        tinygltf::Value::Array range{tinygltf::Value(scene.animationRange->startSeconds),
                                     tinygltf::Value(scene.animationRange->endSeconds)};
        tinygltf::Value::Object ours{{"animationRange", tinygltf::Value(std::move(range))}};
        root.extras =
            tinygltf::Value(tinygltf::Value::Object{{"lumaset", tinygltf::Value(std::move(ours))}});
    }
    model.scenes.push_back(root);
    model.defaultScene = 0;
    if (model.buffers[0].data.empty()) model.buffers.clear();
}

// Every attribute array as long as the positions and every index inside them; one line naming
// the first primitive that is not, else empty.
std::string checkPrimitives(const Scene& scene) {
    for (std::size_t m = 0; m < scene.meshes.size(); ++m)
        for (std::size_t p = 0; p < scene.meshes[m].primitives.size(); ++p) {
            const Primitive& primitive = scene.meshes[m].primitives[p];
            const std::string where =
                "mesh " + std::to_string(m) + " primitive " + std::to_string(p);
            const std::size_t count = primitive.positions.size();
            for (std::size_t size :
                 {primitive.normals.size(), primitive.texCoords.size(), primitive.colors.size(),
                  primitive.joints.size(), primitive.weights.size()})
                if (size != 0 && size != count)
                    return where + " has an attribute of " + std::to_string(size) + " values for " +
                           std::to_string(count) + " positions";
            for (std::uint32_t index : primitive.indices)
                if (index >= count)
                    return where + " uses vertex " + std::to_string(index) + " of its " +
                           std::to_string(count);
        }
    return {};
}

bool isGlbName(const fs::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return extension == ".glb";
}

} // namespace

bool writeGltfFile(const Scene& scene, const std::string& path, std::string& error,
                   const WriteOptions& options) {
    std::error_code failed;
    const fs::path target = fs::absolute(fs::path(path), failed);
    if (failed || target.filename().empty()) {
        error = "not a file name";
        return false;
    }
    const fs::path folder = target.parent_path();
    const bool binary = isGlbName(target);
    if (!fs::is_directory(folder, failed)) {
        error = "the folder '" + folder.string() + "' does not exist";
        return false;
    }

    error = checkPrimitives(scene);
    if (error.empty()) error = findNonFinite(scene, NormalCheck::skipped);
    if (!error.empty()) return false;

    ModelBuilder builder;
    buildModel(scene, builder, folder, binary && options.embedImageFiles);
    const std::string binName = target.stem().string() + ".bin";
    if (!binary && !builder.model().buffers.empty()) builder.model().buffers[0].uri = binName;

    // Everything is written into a private folder beside the target first, then moved into
    // place, so a failure leaves the existing files untouched.
    const fs::path staging =
        folder / ("." + target.filename().string() + ".tmp" + std::to_string(getpid()));
    fs::remove_all(staging, failed);
    if (!fs::create_directory(staging, failed)) {
        error = "cannot write in '" + folder.string() + "': " + failed.message();
        return false;
    }
    tinygltf::TinyGLTF writer;
    writer.SetImageWriter(keepImageUri, nullptr);
    const fs::path stagedFile = staging / target.filename();
    bool written = writer.WriteGltfSceneToFile(&builder.model(), stagedFile.string(), false, false,
                                               true, binary);
    if (written && !binary && !builder.model().buffers.empty())
        fs::rename(staging / binName, folder / binName, failed), written = !failed;
    if (written) fs::rename(stagedFile, target, failed), written = !failed;
    std::error_code ignored;
    fs::remove_all(staging, ignored);
    if (!written) {
        error = failed ? "cannot write the file: " + failed.message() : "cannot write the file";
        return false;
    }
    return true;
}

} // namespace gltf
