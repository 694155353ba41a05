#include "gltf/GltfReader.h"

#include "gltf/Accessors.h"
#include "gltf/FiniteCheck.h"
#include "gltf/Names.h"
#include "gltf/Uri.h"

#include <WholeFile.h>
#include <tiny_gltf.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <new>
#include <set>
#include <string_view>

namespace gltf {
namespace {

namespace fs = std::filesystem;

// tinygltf hands images to this callback. The encoded bytes of a data: URI are kept as they
// are; images in buffer views are taken later through the checked path (tinygltf does not check
// a view against its buffer before calling here), and image files are only referenced.
bool keepEncodedImage(tinygltf::Image* image, const int, std::string*, std::string*, int, int,
                      const unsigned char* bytes, int size, void*) {
    if (image->bufferView < 0 && image->uri.empty() && bytes && size > 0)
        image->image.assign(bytes, bytes + size);
    image->as_is = true;
    return true;
}

// A glTF buffer, and the length field of the binary container, address at most 4 GiB.
constexpr std::uint64_t kMaxGltfFileBytes = 0xFFFFFFFFu;

// Files a glTF file names (external buffers and images) are read here rather than by tinygltf's
// own reader, which takes a directory or a device for a file of 2^63 bytes. Only a regular file
// is read, and only up to the 4 GiB a glTF buffer can address.
bool readReferencedFile(std::vector<unsigned char>* out, std::string* error,
                        const std::string& path, void*) {
    auto fail = [&](const std::string& why) {
        if (error) *error += path + ": " + why + "\n";
        return false;
    };
    std::error_code code;
    if (!fs::is_regular_file(path, code)) return fail("not a regular file");
    const fileio::ReadResult read = fileio::readWholeFile(path, kMaxGltfFileBytes, *out);
    return read.ok() || fail(read.reason);
}

std::uint32_t readU32(const std::uint8_t* at) {
    return std::uint32_t(at[0]) | std::uint32_t(at[1]) << 8 | std::uint32_t(at[2]) << 16 |
           std::uint32_t(at[3]) << 24;
}

// The binary container: a 12-byte header (magic "glTF", version 2, total length), then chunks
// of (length, type, data), the first one JSON, an optional second one BIN.
bool checkGlbLayout(std::span<const std::uint8_t> bytes, std::string& error) {
    if (bytes.size() < 12) {
        error = "the binary glTF header is cut short";
        return false;
    }
    const std::uint32_t version = readU32(bytes.data() + 4);
    const std::uint32_t length = readU32(bytes.data() + 8);
    if (version != 2) {
        error = "binary glTF version " + std::to_string(version) + " is not supported (only 2)";
        return false;
    }
    if (length > bytes.size()) {
        error = "the file is truncated: its header promises " + std::to_string(length) +
                " bytes, it has " + std::to_string(bytes.size());
        return false;
    }
    std::size_t offset = 12;
    for (int chunk = 0; offset < length; ++chunk) {
        if (length - offset < 8) {
            error = "chunk " + std::to_string(chunk) + " header is cut short";
            return false;
        }
        const std::uint32_t chunkLength = readU32(bytes.data() + offset);
        const std::uint32_t chunkType = readU32(bytes.data() + offset + 4);
        if (chunkLength > length - offset - 8) {
            error = "chunk " + std::to_string(chunk) + " runs past the end of the file";
            return false;
        }
        if (chunk == 0 && chunkType != 0x4E4F534Au) {
            error = "the first chunk of a binary glTF file must be JSON";
            return false;
        }
        offset += 8 + std::size_t(chunkLength);
    }
    if (offset == 12) {
        error = "the binary glTF file has no JSON chunk";
        return false;
    }
    return true;
}

// A JSON number as a glTF float. One beyond the float range becomes an infinity, which the
// check of the whole scene then refuses (a plain conversion would be undefined).
float toFloat(double value) {
    if (std::fabs(value) > double(std::numeric_limits<float>::max()))
        return value > 0 ? std::numeric_limits<float>::infinity()
                         : -std::numeric_limits<float>::infinity();
    return float(value);
}

// The extensions this reader honours when a file requires them. A required extension changes
// what the file means (compressed geometry, quantized attributes, other image formats), so a
// file that requires any other cannot be read as if it were absent.
constexpr std::array<std::string_view, 0> implementedExtensions{};

// One line naming the required extensions the reader does not implement; empty when none.
std::string unimplementedExtensions(const std::vector<std::string>& required) {
    std::vector<std::string> missing;
    for (const std::string& name : required)
        if (std::find(implementedExtensions.begin(), implementedExtensions.end(), name) ==
                implementedExtensions.end() &&
            std::find(missing.begin(), missing.end(), name) == missing.end())
            missing.push_back(name);
    if (missing.empty()) return {};
    std::string list;
    for (std::size_t i = 0; i < missing.size(); ++i)
        list += (i == 0 ? "" : i + 1 == missing.size() ? " and " : ", ") + missing[i];
    return (missing.size() == 1 ? "the file requires the extension "
                                : "the file requires the extensions ") +
           list + ", which lumaset does not implement";
}

// The first meaningful line of tinygltf's error text.
std::string firstLine(const std::string& text) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '.'))
            line.pop_back();
        if (!line.empty()) return line;
        start = end + 1;
    }
    return "the file is not valid glTF";
}

class ModelReader {
public:
    ModelReader(const tinygltf::Model& model, const std::string& baseFolder, Scene& scene,
                ReadReport& report)
        : model_(model), accessors_(model), baseFolder_(baseFolder), scene_(scene),
          report_(report) {}

    bool read() {
        return readImages() && readMaterials() && readMeshes() && readNodes() && readRoots() &&
               readSkins() && readAnimations() && nameEverything();
    }

private:
    bool fail(std::string message) {
        report_.error = std::move(message);
        return false;
    }
    void warn(std::string message) { report_.warnings.push_back(std::move(message)); }

    bool readImages() {
        for (std::size_t i = 0; i < model_.images.size(); ++i) {
            const tinygltf::Image& source = model_.images[i];
            Image image;
            image.name = source.name;
            image.mimeType = source.mimeType;
            if (source.bufferView >= 0) {
                if (std::size_t(source.bufferView) >= model_.bufferViews.size())
                    return fail("image " + std::to_string(i) + " names buffer view " +
                                std::to_string(source.bufferView) + ", which does not exist");
                const tinygltf::BufferView& view =
                    model_.bufferViews[std::size_t(source.bufferView)];
                if (view.buffer < 0 || std::size_t(view.buffer) >= model_.buffers.size())
                    return fail("buffer view " + std::to_string(source.bufferView) +
                                " names buffer " + std::to_string(view.buffer) +
                                ", which does not exist");
                const auto& data = model_.buffers[std::size_t(view.buffer)].data;
                if (view.byteOffset > data.size() ||
                    view.byteLength > data.size() - view.byteOffset)
                    return fail("image " + std::to_string(i) + " points past the end of buffer " +
                                std::to_string(view.buffer));
                image.bytes.assign(data.begin() + std::ptrdiff_t(view.byteOffset),
                                   data.begin() +
                                       std::ptrdiff_t(view.byteOffset + view.byteLength));
            } else if (isDataUri(source.uri) || source.uri.empty()) {
                image.bytes = source.image;
            } else {
                image.uri = source.uri;
                fs::path path = fs::path(decodeUri(source.uri));
                if (path.is_relative()) path = fs::path(baseFolder_) / path;
                std::error_code ignored;
                fs::path absolute = fs::absolute(path, ignored).lexically_normal();
                image.path = absolute.string();
                if (!fs::exists(absolute, ignored))
                    warn("image " + std::to_string(i) + " '" + image.path +
                         "' not found; the texture keeps its name");
                else if (!fs::is_regular_file(absolute, ignored))
                    warn("image " + std::to_string(i) + " '" + image.path +
                         "' is not a file; the texture keeps its name");
            }
            scene_.images.push_back(std::move(image));
        }
        return true;
    }

    bool readMaterials() {
        for (std::size_t i = 0; i < model_.materials.size(); ++i) {
            const tinygltf::Material& source = model_.materials[i];
            Material material;
            material.name = source.name;
            const auto& pbr = source.pbrMetallicRoughness;
            if (pbr.baseColorFactor.size() == 4)
                for (int c = 0; c < 4; ++c)
                    material.baseColorFactor[std::size_t(c)] =
                        toFloat(pbr.baseColorFactor[std::size_t(c)]);
            material.metallicFactor = toFloat(pbr.metallicFactor);
            material.roughnessFactor = toFloat(pbr.roughnessFactor);
            material.doubleSided = source.doubleSided;
            const int texture = pbr.baseColorTexture.index;
            if (texture >= 0) {
                if (std::size_t(texture) >= model_.textures.size())
                    return fail("material " + std::to_string(i) + " names texture " +
                                std::to_string(texture) + ", which does not exist");
                const int image = model_.textures[std::size_t(texture)].source;
                if (image >= 0 && std::size_t(image) >= scene_.images.size())
                    return fail("texture " + std::to_string(texture) + " names image " +
                                std::to_string(image) + ", which does not exist");
                if (image < 0)
                    warn("texture " + std::to_string(texture) + " has no image it can show");
                if (pbr.baseColorTexture.texCoord != 0)
                    warn("material " + std::to_string(i) +
                         " maps its base colour through TEXCOORD_" +
                         std::to_string(pbr.baseColorTexture.texCoord) + "; TEXCOORD_0 is used");
                material.baseColorImage = image;
            }
            scene_.materials.push_back(std::move(material));
        }
        return true;
    }

    bool readAttribute(const tinygltf::Primitive& source, const char* attribute, int components,
                       std::size_t vertexCount, std::vector<float>& values) {
        values.clear();
        auto found = source.attributes.find(attribute);
        if (found == source.attributes.end()) return true;
        std::string error;
        if (!accessors_.readFloats(found->second, components, values, error)) return fail(error);
        if (values.size() != vertexCount * std::size_t(components))
            return fail("accessor " + std::to_string(found->second) + " (" + attribute + ") has " +
                        std::to_string(values.size() / std::size_t(components)) +
                        " elements where POSITION has " + std::to_string(vertexCount));
        return true;
    }

    template <std::size_t N>
    static std::vector<std::array<float, N>> group(const std::vector<float>& flat) {
        std::vector<std::array<float, N>> out(flat.size() / N);
        for (std::size_t i = 0; i < out.size(); ++i)
            for (std::size_t c = 0; c < N; ++c)
                out[i][c] = flat[i * N + c];
        return out;
    }

    bool readPrimitive(std::size_t meshIndex, std::size_t primitiveIndex,
                       const tinygltf::Primitive& source, Primitive& primitive, bool& keep) {
        const std::string where =
            "mesh " + std::to_string(meshIndex) + " primitive " + std::to_string(primitiveIndex);
        keep = false;
        const int mode = source.mode < 0 ? TINYGLTF_MODE_TRIANGLES : source.mode;
        if (mode != TINYGLTF_MODE_TRIANGLES && mode != TINYGLTF_MODE_TRIANGLE_STRIP &&
            mode != TINYGLTF_MODE_TRIANGLE_FAN) {
            warn(where + " draws points or lines; it is skipped");
            return true;
        }
        auto position = source.attributes.find("POSITION");
        if (position == source.attributes.end()) {
            warn(where + " has no POSITION; it is skipped");
            return true;
        }
        if (!source.targets.empty()) warn(where + " has morph targets; they are left out");
        std::string error;
        std::vector<float> flat;
        if (!accessors_.readFloats(position->second, 3, flat, error)) return fail(error);
        const std::size_t vertexCount = flat.size() / 3;
        primitive.positions = group<3>(flat);
        flat.clear();
        if (!readAttribute(source, "NORMAL", 3, vertexCount, flat)) return false;
        primitive.normals = group<3>(flat);
        flat.clear();
        if (!readAttribute(source, "TEXCOORD_0", 2, vertexCount, flat)) return false;
        primitive.texCoords = group<2>(flat);
        flat.clear();
        if (auto color = source.attributes.find("COLOR_0"); color != source.attributes.end()) {
            std::size_t count = 0;
            int components = 0;
            if (!accessors_.describe(color->second, count, components))
                return fail("accessor " + std::to_string(color->second) + " does not exist");
            if (components != 3 && components != 4)
                return fail("accessor " + std::to_string(color->second) +
                            " (COLOR_0) must be VEC3 or VEC4");
            if (!readAttribute(source, "COLOR_0", components, vertexCount, flat)) return false;
            primitive.colorsHaveAlpha = components == 4;
            primitive.colors.resize(vertexCount);
            for (std::size_t v = 0; v < vertexCount; ++v)
                for (int c = 0; c < 4; ++c)
                    primitive.colors[v][std::size_t(c)] =
                        c < components ? flat[v * std::size_t(components) + std::size_t(c)] : 1.0f;
        }
        flat.clear();
        if (!readAttribute(source, "WEIGHTS_0", 4, vertexCount, flat)) return false;
        primitive.weights = group<4>(flat);
        if (auto joints = source.attributes.find("JOINTS_0"); joints != source.attributes.end()) {
            std::vector<std::uint32_t> raw;
            if (!accessors_.readUnsigned(joints->second, 4, raw, error)) return fail(error);
            if (raw.size() != vertexCount * 4)
                return fail("accessor " + std::to_string(joints->second) +
                            " (JOINTS_0) does not match POSITION");
            primitive.joints.resize(vertexCount);
            for (std::size_t v = 0; v < vertexCount; ++v)
                for (std::size_t c = 0; c < 4; ++c)
                    primitive.joints[v][c] =
                        std::uint16_t(std::min<std::uint32_t>(raw[v * 4 + c], 0xFFFF));
        }
        if (primitive.joints.empty() != primitive.weights.empty()) {
            warn(where +
                 " has JOINTS_0 or WEIGHTS_0 without the other; the skin weights are left out");
            primitive.joints.clear();
            primitive.weights.clear();
        }

        std::vector<std::uint32_t> order;
        if (source.indices >= 0) {
            if (!accessors_.readUnsigned(source.indices, 1, order, error)) return fail(error);
        } else {
            order.resize(vertexCount);
            for (std::size_t i = 0; i < vertexCount; ++i)
                order[i] = std::uint32_t(i);
        }
        for (std::uint32_t index : order)
            if (index >= vertexCount)
                return fail(where + " uses vertex " + std::to_string(index) + " of its " +
                            std::to_string(vertexCount));
        primitive.indices = triangulate(order, mode);
        if (source.material >= 0 && std::size_t(source.material) >= scene_.materials.size())
            return fail(where + " names material " + std::to_string(source.material) +
                        ", which does not exist");
        primitive.material = source.material;
        keep = true;
        return true;
    }

    // Triangle lists stay; strips and fans become lists with the winding glTF defines for them.
    static std::vector<std::uint32_t> triangulate(const std::vector<std::uint32_t>& order,
                                                  int mode) {
        std::vector<std::uint32_t> out;
        auto add = [&](std::uint32_t a, std::uint32_t b, std::uint32_t c) {
            if (a != b && b != c && a != c) {
                out.push_back(a);
                out.push_back(b);
                out.push_back(c);
            }
        };
        if (mode == TINYGLTF_MODE_TRIANGLES) {
            out.assign(order.begin(), order.begin() + std::ptrdiff_t(order.size() / 3 * 3));
        } else if (mode == TINYGLTF_MODE_TRIANGLE_STRIP) {
            for (std::size_t i = 0; i + 2 < order.size(); ++i)
                if (i % 2 == 0)
                    add(order[i], order[i + 1], order[i + 2]);
                else
                    add(order[i + 1], order[i], order[i + 2]);
        } else {
            for (std::size_t i = 1; i + 1 < order.size(); ++i)
                add(order[i], order[i + 1], order[0]);
        }
        return out;
    }

    bool readMeshes() {
        for (std::size_t m = 0; m < model_.meshes.size(); ++m) {
            Mesh mesh;
            mesh.name = model_.meshes[m].name;
            for (std::size_t p = 0; p < model_.meshes[m].primitives.size(); ++p) {
                Primitive primitive;
                bool keep = false;
                if (!readPrimitive(m, p, model_.meshes[m].primitives[p], primitive, keep))
                    return false;
                if (keep) mesh.primitives.push_back(std::move(primitive));
            }
            scene_.meshes.push_back(std::move(mesh));
        }
        return true;
    }

    bool readNodes() {
        const std::size_t count = model_.nodes.size();
        parents_.assign(count, -1);
        for (std::size_t i = 0; i < count; ++i) {
            const tinygltf::Node& source = model_.nodes[i];
            Node node;
            node.name = source.name;
            if (source.matrix.size() == 16) {
                node.hasMatrix = true;
                for (std::size_t k = 0; k < 16; ++k)
                    node.matrix[k] = toFloat(source.matrix[k]);
            } else if (!source.matrix.empty()) {
                return fail("node " + std::to_string(i) + " has a matrix of " +
                            std::to_string(source.matrix.size()) + " numbers");
            }
            if (source.translation.size() == 3)
                for (std::size_t k = 0; k < 3; ++k)
                    node.translation[k] = toFloat(source.translation[k]);
            if (source.rotation.size() == 4)
                for (std::size_t k = 0; k < 4; ++k)
                    node.rotation[k] = toFloat(source.rotation[k]);
            if (source.scale.size() == 3)
                for (std::size_t k = 0; k < 3; ++k)
                    node.scale[k] = toFloat(source.scale[k]);
            if (source.mesh >= 0 && std::size_t(source.mesh) >= scene_.meshes.size())
                return fail("node " + std::to_string(i) + " names mesh " +
                            std::to_string(source.mesh) + ", which does not exist");
            if (source.skin >= 0 && std::size_t(source.skin) >= model_.skins.size())
                return fail("node " + std::to_string(i) + " names skin " +
                            std::to_string(source.skin) + ", which does not exist");
            node.mesh = source.mesh;
            node.skin = source.skin;
            for (int child : source.children) {
                if (child < 0 || std::size_t(child) >= count)
                    return fail("node " + std::to_string(i) + " has child " +
                                std::to_string(child) + ", which does not exist");
                if (std::size_t(child) == i)
                    return fail("the node hierarchy has a cycle: node " + std::to_string(i) +
                                " is its own child");
                if (parents_[std::size_t(child)] >= 0)
                    return fail("node " + std::to_string(child) + " has two parents (nodes " +
                                std::to_string(parents_[std::size_t(child)]) + " and " +
                                std::to_string(i) + ")");
                parents_[std::size_t(child)] = int(i);
                node.children.push_back(child);
            }
            scene_.nodes.push_back(std::move(node));
        }
        // With one parent per node, a cycle is a chain of parents that never reaches a root. Each
        // chain is walked until it meets a node already known to reach one, so every node is
        // stepped over once however deep the hierarchy.
        enum : std::uint8_t { unknown, onThisWalk, reachesRoot };
        std::vector<std::uint8_t> state(count, unknown);
        std::vector<int> walk;
        for (std::size_t i = 0; i < count; ++i) {
            walk.clear();
            int at = int(i);
            while (at >= 0 && state[std::size_t(at)] == unknown) {
                state[std::size_t(at)] = onThisWalk;
                walk.push_back(at);
                at = parents_[std::size_t(at)];
            }
            if (at >= 0 && state[std::size_t(at)] == onThisWalk)
                return fail("the node hierarchy has a cycle through node " + std::to_string(i));
            for (int walked : walk)
                state[std::size_t(walked)] = reachesRoot;
        }
        return true;
    }

    bool readRoots() {
        int sceneIndex = model_.defaultScene;
        if (sceneIndex >= 0 && std::size_t(sceneIndex) >= model_.scenes.size())
            return fail("the default scene " + std::to_string(sceneIndex) + " does not exist");
        if (sceneIndex < 0 && !model_.scenes.empty()) sceneIndex = 0;
        if (sceneIndex < 0) {
            for (std::size_t i = 0; i < scene_.nodes.size(); ++i)
                if (parents_[i] < 0) scene_.roots.push_back(int(i));
            return true;
        }
        readAnimationRange(model_.scenes[std::size_t(sceneIndex)].extras);
        std::set<int> seen;
        for (int root : model_.scenes[std::size_t(sceneIndex)].nodes) {
            if (root < 0 || std::size_t(root) >= scene_.nodes.size())
                return fail("scene " + std::to_string(sceneIndex) + " names node " +
                            std::to_string(root) + ", which does not exist");
            if (parents_[std::size_t(root)] >= 0)
                return fail("scene " + std::to_string(sceneIndex) + " lists node " +
                            std::to_string(root) + ", which is a child of node " +
                            std::to_string(parents_[std::size_t(root)]));
            if (seen.insert(root).second) scene_.roots.push_back(root);
        }
        return true;
    }

    // The extras are anyone's to write: a range that is not two finite, ordered numbers is
    // left out with a warning.
    void readAnimationRange(const tinygltf::Value& extras) {
        if (!extras.IsObject() || !extras.Has("lumaset")) return;
        const tinygltf::Value& ours = extras.Get("lumaset");
        if (!ours.IsObject() || !ours.Has("animationRange")) return;
        const tinygltf::Value& range = ours.Get("animationRange");
        if (range.IsArray() && range.ArrayLen() == 2 && range.Get(0).IsNumber() &&
            range.Get(1).IsNumber()) {
            const double start = range.Get(0).GetNumberAsDouble();
            const double end = range.Get(1).GetNumberAsDouble();
            if (std::isfinite(start) && std::isfinite(end) && start <= end) {
                scene_.animationRange = TimeSpan{start, end};
                return;
            }
        }
        warn("the scene's animation range is not two ordered times in seconds; ignored");
    }

    std::optional<double> readTimelineStart(const tinygltf::Value& extras, std::size_t animation) {
        if (!extras.IsObject() || !extras.Has("lumaset")) return std::nullopt;
        const tinygltf::Value& ours = extras.Get("lumaset");
        if (!ours.IsObject() || !ours.Has("timelineStart")) return std::nullopt;
        const tinygltf::Value& start = ours.Get("timelineStart");
        if (start.IsNumber() && std::isfinite(start.GetNumberAsDouble()) &&
            start.GetNumberAsDouble() >= 0)
            return start.GetNumberAsDouble();
        warn("animation " + std::to_string(animation) +
             " has a timeline start that is not a time in seconds; ignored");
        return std::nullopt;
    }

    bool readSkins() {
        for (std::size_t s = 0; s < model_.skins.size(); ++s) {
            const tinygltf::Skin& source = model_.skins[s];
            Skin skin;
            skin.name = source.name;
            for (int joint : source.joints) {
                if (joint < 0 || std::size_t(joint) >= scene_.nodes.size())
                    return fail("skin " + std::to_string(s) + " names joint node " +
                                std::to_string(joint) + ", which does not exist");
                skin.joints.push_back(joint);
            }
            if (source.skeleton >= 0 && std::size_t(source.skeleton) < scene_.nodes.size())
                skin.skeleton = source.skeleton;
            skin.inverseBindMatrices.assign(skin.joints.size(), identityMatrix());
            if (source.inverseBindMatrices >= 0) {
                std::vector<float> flat;
                std::string error;
                if (!accessors_.readFloats(source.inverseBindMatrices, 16, flat, error))
                    return fail(error);
                if (flat.size() / 16 < skin.joints.size())
                    return fail("skin " + std::to_string(s) + " has " +
                                std::to_string(flat.size() / 16) + " inverse bind matrices for " +
                                std::to_string(skin.joints.size()) + " joints");
                for (std::size_t j = 0; j < skin.joints.size(); ++j)
                    std::copy(flat.begin() + std::ptrdiff_t(j * 16),
                              flat.begin() + std::ptrdiff_t(j * 16 + 16),
                              skin.inverseBindMatrices[j].begin());
            }
            scene_.skins.push_back(std::move(skin));
        }
        for (std::size_t i = 0; i < scene_.nodes.size(); ++i) {
            const Node& node = scene_.nodes[i];
            if (node.skin < 0 || node.mesh < 0) continue;
            const std::size_t jointCount = scene_.skins[std::size_t(node.skin)].joints.size();
            for (const Primitive& primitive : scene_.meshes[std::size_t(node.mesh)].primitives)
                for (std::size_t v = 0; v < primitive.joints.size(); ++v)
                    for (std::size_t c = 0; c < 4; ++c)
                        if (const std::uint16_t joint = primitive.joints[v][c];
                            joint >= jointCount && primitive.weights[v][c] != 0)
                            return fail("mesh " + std::to_string(node.mesh) + " uses joint " +
                                        std::to_string(joint) + " of skin " +
                                        std::to_string(node.skin) + ", which has " +
                                        std::to_string(jointCount));
        }
        return true;
    }

    bool readAnimations() {
        for (std::size_t a = 0; a < model_.animations.size(); ++a) {
            const tinygltf::Animation& source = model_.animations[a];
            Animation animation;
            animation.name = source.name;
            for (std::size_t c = 0; c < source.channels.size(); ++c) {
                const tinygltf::AnimationChannel& channelSource = source.channels[c];
                const std::string where =
                    "animation " + std::to_string(a) + " channel " + std::to_string(c);
                if (channelSource.target_node < 0)
                    continue; // targets something an extension defines
                if (std::size_t(channelSource.target_node) >= scene_.nodes.size())
                    return fail(where + " targets node " +
                                std::to_string(channelSource.target_node) +
                                ", which does not exist");
                Channel channel;
                channel.node = channelSource.target_node;
                if (channelSource.target_path == "translation")
                    channel.path = AnimationPath::translation;
                else if (channelSource.target_path == "rotation")
                    channel.path = AnimationPath::rotation;
                else if (channelSource.target_path == "scale")
                    channel.path = AnimationPath::scale;
                else {
                    warn(where + " animates '" + channelSource.target_path + "'; it is skipped");
                    continue;
                }
                if (channelSource.sampler < 0 ||
                    std::size_t(channelSource.sampler) >= source.samplers.size())
                    return fail(where + " names sampler " + std::to_string(channelSource.sampler) +
                                ", which does not exist");
                const tinygltf::AnimationSampler& sampler =
                    source.samplers[std::size_t(channelSource.sampler)];
                if (sampler.interpolation == "STEP")
                    channel.interpolation = Interpolation::step;
                else if (sampler.interpolation == "CUBICSPLINE")
                    channel.interpolation = Interpolation::cubicSpline;
                else
                    channel.interpolation = Interpolation::linear;
                std::string error;
                if (!accessors_.readFloats(sampler.input, 1, channel.timesSeconds, error))
                    return fail(error);
                const int components = componentCount(channel.path);
                if (!accessors_.readFloats(sampler.output, components, channel.values, error))
                    return fail(error);
                const std::size_t perKey =
                    std::size_t(components) *
                    (channel.interpolation == Interpolation::cubicSpline ? 3 : 1);
                if (channel.values.size() != channel.timesSeconds.size() * perKey)
                    return fail(where + " has " + std::to_string(channel.timesSeconds.size()) +
                                " key times but " + std::to_string(channel.values.size() / perKey) +
                                " values");
                for (std::size_t k = 0; k < channel.timesSeconds.size(); ++k) {
                    const float time = channel.timesSeconds[k];
                    if (!std::isfinite(time) || time < 0)
                        return fail(where + " has key time " + std::to_string(time));
                    if (k > 0 && time <= channel.timesSeconds[k - 1])
                        return fail(where + " has key times out of order");
                }
                if (!channel.timesSeconds.empty()) animation.channels.push_back(std::move(channel));
            }
            animation.timelineStartSeconds = readTimelineStart(source.extras, a);
            scene_.animations.push_back(std::move(animation));
        }
        return true;
    }

    bool nameEverything() {
        NameMaker::fill(scene_.nodes, "node");
        NameMaker::fill(scene_.meshes, "mesh");
        NameMaker::fill(scene_.materials, "material");
        NameMaker::fill(scene_.skins, "skin");
        NameMaker::fill(scene_.animations, "animation");
        return true;
    }

    const tinygltf::Model& model_;
    AccessorDecoder accessors_;
    std::string baseFolder_;
    Scene& scene_;
    ReadReport& report_;
    std::vector<int> parents_;
};

} // namespace

namespace {

// Reads `bytes`; when they are `owned`, they are released as soon as the loader has taken what it
// needs, before the scene is decoded (a large file is then not held three times over).
bool readLoadedBytes(std::span<const std::uint8_t> bytes, std::vector<std::uint8_t>* owned,
                     const std::string& baseFolder, Scene& scene, ReadReport& report) {
    scene = Scene{};
    const bool isBinary = bytes.size() >= 4 && std::memcmp(bytes.data(), "glTF", 4) == 0;
    if (isBinary && !checkGlbLayout(bytes, report.error)) return false;
    if (bytes.size() > 0xFFFFFFFFu) {
        report.error = "the file is larger than 4 GiB";
        return false;
    }
    tinygltf::TinyGLTF loader;
    loader.SetImageLoader(keepEncodedImage, nullptr);
    loader.SetFsCallbacks({&tinygltf::FileExists, &tinygltf::ExpandFilePath, &readReferencedFile,
                           &tinygltf::WriteWholeFile, nullptr});
    tinygltf::Model model;
    std::string error, warning;
    try {
        bool loaded = isBinary
                          ? loader.LoadBinaryFromMemory(&model, &error, &warning, bytes.data(),
                                                        unsigned(bytes.size()), baseFolder)
                          : loader.LoadASCIIFromString(&model, &error, &warning,
                                                       reinterpret_cast<const char*>(bytes.data()),
                                                       unsigned(bytes.size()), baseFolder);
        if (owned) std::vector<std::uint8_t>().swap(*owned);
        // The extensions are known once the JSON is parsed, even when loading failed later:
        // a file that needs one of them is refused for that reason first.
        if (std::string unknown = unimplementedExtensions(model.extensionsRequired);
            !unknown.empty()) {
            report.error = unknown;
            scene = Scene{};
            return false;
        }
        if (!loaded) {
            report.error = firstLine(error);
            return false;
        }
        if (!ModelReader(model, baseFolder, scene, report).read()) return false;
        report.error = findNonFinite(scene);
        return report.error.empty();
    } catch (const std::bad_alloc&) {
        // A size in the file that no memory can hold; the checks above catch the ones we know.
        report.error = "the file asks for more memory than there is";
    } catch (const std::exception& failure) {
        report.error = firstLine(failure.what());
    }
    scene = Scene{};
    return false;
}

} // namespace

bool readGltfBytes(std::span<const std::uint8_t> bytes, const std::string& baseFolder, Scene& scene,
                   ReadReport& report) {
    return readLoadedBytes(bytes, nullptr, baseFolder, scene, report);
}

bool readGltfFile(const std::string& path, Scene& scene, ReadReport& report) {
    std::vector<std::uint8_t> bytes;
    const fileio::ReadResult read = fileio::readWholeFile(path, kMaxGltfFileBytes, bytes);
    if (!read.ok()) {
        report.error = read.status == fileio::ReadStatus::notAFile
                           ? "cannot open the file: it is a folder"
                           : read.reason;
        return false;
    }
    std::error_code ignored;
    fs::path folder = fs::absolute(fs::path(path), ignored).parent_path();
    return readLoadedBytes(bytes, &bytes, folder.string(), scene, report);
}

} // namespace gltf
