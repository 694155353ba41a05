// A glTF 2.0 scene as plain data, the form in which the program reads and writes glTF files.
// Geometry is already decoded from accessors: every primitive is an indexed triangle list with
// its attribute arrays; textures are flattened to the image they show.
//
// Conventions are glTF's: right-handed, column vectors, matrices stored column-major,
// quaternions (x, y, z, w) following the right-hand rule, texture v pointing down.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace gltf {

using Vec2 = std::array<float, 2>;
using Vec3 = std::array<float, 3>;
using Vec4 = std::array<float, 4>;
using Mat4 = std::array<float, 16>; // column-major, as stored in glTF

constexpr Mat4 identityMatrix() {
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

struct Node {
    std::string name; // never empty after reading: missing names become "node_<index>"
    std::vector<int> children;
    // The local transform: `matrix` when `hasMatrix`, else translation * rotation * scale.
    bool hasMatrix = false;
    Mat4 matrix = identityMatrix();
    Vec3 translation{0, 0, 0};
    Vec4 rotation{0, 0, 0, 1};
    Vec3 scale{1, 1, 1};
    int mesh = -1;
    int skin = -1;
};

// One triangle list. Every attribute array is empty or as long as `positions`.
struct Primitive {
    int material = -1;
    std::vector<Vec3> positions;
    std::vector<Vec3> normals;
    std::vector<Vec2> texCoords; // TEXCOORD_0
    std::vector<Vec4> colors;    // COLOR_0; alpha is 1 when the file stores rgb only
    bool colorsHaveAlpha = false;
    std::vector<std::array<std::uint16_t, 4>> joints; // JOINTS_0: indices into the skin's joints
    std::vector<Vec4> weights;                        // WEIGHTS_0
    std::vector<std::uint32_t> indices;               // three per triangle, all < positions.size()
};

struct Mesh {
    std::string name;
    std::vector<Primitive> primitives;
};

struct Image {
    std::string name;
    std::string uri;  // as written in the file (percent-encoded); empty for embedded images
    std::string path; // the file the uri names, absolute; empty for embedded images
    std::string mimeType;
    std::vector<std::uint8_t> bytes; // the encoded image of an embedded image
};

struct Material {
    std::string name;
    Vec4 baseColorFactor{1, 1, 1, 1};
    int baseColorImage = -1; // index into Scene::images
    float metallicFactor = 1;
    float roughnessFactor = 1;
    bool doubleSided = false;
};

struct Skin {
    std::string name;
    std::vector<int> joints;               // node indices
    std::vector<Mat4> inverseBindMatrices; // one per joint (identity when the file has none)
    int skeleton = -1;
};

enum class AnimationPath { translation, rotation, scale };
enum class Interpolation { step, linear, cubicSpline };

struct Channel {
    int node = -1;
    AnimationPath path = AnimationPath::translation;
    Interpolation interpolation = Interpolation::linear;
    std::vector<float> timesSeconds; // ascending
    // Per key: 3 floats (translation, scale) or 4 (rotation); a cubic spline stores in-tangent,
    // value and out-tangent for each key, so three times as many.
    std::vector<float> values;
};

struct Animation {
    std::string name;
    std::vector<Channel> channels;
    // Where the animation starts on the host timeline it was written from, when the file says:
    // the animation's extras {"lumaset": {"timelineStart": seconds}}, never negative.
    std::optional<double> timelineStartSeconds = std::nullopt;
};

// A span of animation time, in seconds as glTF counts time.
struct TimeSpan {
    double startSeconds = 0;
    double endSeconds = 0;
};

struct Scene {
    std::vector<Node> nodes;
    std::vector<int> roots; // the top-level nodes, in file order
    std::vector<Mesh> meshes;
    std::vector<Material> materials;
    std::vector<Image> images;
    std::vector<Skin> skins;
    std::vector<Animation> animations;
    // The host timeline's active segment (its time slider range), when the file keeps one: the
    // scene's extras {"lumaset": {"animationRange": [start, end]}}, start <= end.
    std::optional<TimeSpan> animationRange = std::nullopt;
};

// Components per key of a channel's path: 3 or 4.
inline int componentCount(AnimationPath path) {
    return path == AnimationPath::rotation ? 4 : 3;
}

} // namespace gltf
