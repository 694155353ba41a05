#include "scene/DemoScene.h"

#include <cmath>

namespace scene {
namespace {

using gltf::Vec2;
using gltf::Vec3;
using gltf::Vec4;

// A 2x2 RGB PNG (red, green / blue, white), embedded so the demo needs no file.
const std::vector<std::uint8_t> checkerPng = {
    0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44,
    0x52, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x02, 0x08, 0x02, 0x00, 0x00, 0x00, 0xFD,
    0xD4, 0x9A, 0x73, 0x00, 0x00, 0x00, 0x12, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9C, 0x63, 0xF8,
    0xCF, 0xC0, 0xC0, 0x00, 0xC2, 0x0C, 0xFF, 0x81, 0x00, 0x00, 0x1F, 0xEE, 0x05, 0xFB, 0x0B,
    0xD9, 0x68, 0x8B, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};

// Appends the faces of an axis-aligned box to `primitive`, one quad of four vertices per side
// with the side's normal; `sides` picks which of +x -x +y -y +z -z.
void addBoxSides(gltf::Primitive& primitive, Vec3 low, Vec3 high,
                 std::initializer_list<int> sides) {
    for (int side : sides) {
        const int axis = side / 2;
        const float sign = side % 2 == 0 ? 1.0f : -1.0f;
        const int u = (axis + 1) % 3, v = (axis + 2) % 3;
        Vec3 normal{0, 0, 0};
        normal[std::size_t(axis)] = sign;
        const std::uint32_t base = std::uint32_t(primitive.positions.size());
        const float corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
        for (const auto& corner : corners) {
            Vec3 p;
            p[std::size_t(axis)] = sign > 0 ? high[std::size_t(axis)] : low[std::size_t(axis)];
            p[std::size_t(u)] = corner[0] ? high[std::size_t(u)] : low[std::size_t(u)];
            p[std::size_t(v)] = corner[1] ? high[std::size_t(v)] : low[std::size_t(v)];
            primitive.positions.push_back(p);
            primitive.normals.push_back(normal);
        }
        // Counter-clockwise seen from outside.
        if (sign > 0)
            primitive.indices.insert(primitive.indices.end(),
                                     {base, base + 1, base + 2, base, base + 2, base + 3});
        else
            primitive.indices.insert(primitive.indices.end(),
                                     {base, base + 2, base + 1, base, base + 3, base + 2});
    }
}

gltf::Node node(const char* name, Vec3 translation, std::vector<int> children = {}) {
    gltf::Node made;
    made.name = name;
    made.translation = translation;
    made.children = std::move(children);
    return made;
}

Vec4 turnAboutZ(float radians) {
    return {0, 0, std::sin(radians / 2), std::cos(radians / 2)};
}
Vec4 turnAboutY(float radians) {
    return {0, std::sin(radians / 2), 0, std::cos(radians / 2)};
}

gltf::Mat4 translation(Vec3 t) {
    gltf::Mat4 m = gltf::identityMatrix();
    m[12] = t[0];
    m[13] = t[1];
    m[14] = t[2];
    return m;
}

} // namespace

gltf::Scene demoScene() {
    gltf::Scene scene;
    scene.materials = {
        {"stone", {0.55f, 0.53f, 0.5f, 1}, -1, 0, 0.9f, false},
        {"brass", {0.8f, 0.6f, 0.2f, 1}, -1, 0, 0.3f, false},
        {"painted", {1, 1, 1, 0.9f}, 0, 0, 0.6f, true},
        {"skin", {0.9f, 0.7f, 0.6f, 1}, -1, 0, 0.7f, false},
    };
    scene.images.push_back({"checker", "", "", "image/png", checkerPng});

    // Pedestal: the sides in stone, the top and bottom in brass.
    gltf::Mesh pedestal{"pedestal", {}};
    gltf::Primitive sides, caps;
    sides.material = 0;
    caps.material = 1;
    addBoxSides(sides, {-0.5f, 0, -0.5f}, {0.5f, 1, 0.5f}, {0, 1, 4, 5});
    addBoxSides(caps, {-0.5f, 0, -0.5f}, {0.5f, 1, 0.5f}, {2, 3});
    pedestal.primitives = {sides, caps};

    // Panel: one textured quad with a colour and an alpha at each corner.
    gltf::Primitive quad;
    quad.material = 2;
    addBoxSides(quad, {-0.5f, 0, 0}, {0.5f, 1, 0}, {4});
    quad.texCoords = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
    quad.colors = {{1, 0, 0, 1}, {0, 1, 0, 0.75f}, {0, 0, 1, 0.5f}, {1, 1, 1, 0.25f}};
    quad.colorsHaveAlpha = true;
    gltf::Mesh panel{"panel", {quad}};

    // Arm: a column of three rings of four vertices, bound to two bones; the middle ring shares.
    gltf::Primitive column;
    column.material = 3;
    for (int ring = 0; ring < 3; ++ring) {
        for (int k = 0; k < 4; ++k) {
            const float angle = float(k) * 1.5707963f;
            column.positions.push_back(
                {0.15f * std::cos(angle), float(ring), 0.15f * std::sin(angle)});
            column.normals.push_back({std::cos(angle), 0, std::sin(angle)});
            column.joints.push_back({0, 1, 0, 0});
            const float upper = ring == 0 ? 0.0f : (ring == 1 ? 0.5f : 1.0f);
            column.weights.push_back({1 - upper, upper, 0, 0});
        }
    }
    for (std::uint32_t ring = 0; ring < 2; ++ring)
        for (std::uint32_t k = 0; k < 4; ++k) {
            const std::uint32_t a = ring * 4 + k, b = ring * 4 + (k + 1) % 4;
            column.indices.insert(column.indices.end(), {a, b + 4, b, a, a + 4, b + 4});
        }
    gltf::Mesh arm{"arm", {column}};
    scene.meshes = {pedestal, panel, arm};

    scene.nodes = {
        node("demo", {0, 0, 0}, {1, 2, 3, 4, 6}),
        node("pedestal", {0, 0, 0}),
        node("painted_panel", {-2, 0, 0}),
        node("mirrored_panel", {-2, 0, 2}),
        node("arm_root", {2, 0, 0}, {5}),
        node("arm_tip", {0, 1, 0}),
        node("arm_skin", {0, 0, 0}),
    };
    scene.nodes[1].mesh = 0;
    scene.nodes[2].mesh = 1;
    scene.nodes[3].mesh = 1;
    scene.nodes[3].scale = {-1, 1, 1}; // a mirror: the winding must survive it
    scene.nodes[6].mesh = 2;
    scene.nodes[6].skin = 0;
    scene.roots = {0};
    // The arm stands at x = 2 with its joints at heights 0 and 1.
    scene.skins.push_back(
        {"arm_skin", {4, 5}, {translation({-2, 0, 0}), translation({-2, -1, 0})}, 4});

    gltf::Channel bend{
        5, gltf::AnimationPath::rotation, gltf::Interpolation::linear, {0, 0.5f, 1}, {}};
    for (float radians : {0.0f, 0.8f, 0.0f}) {
        const Vec4 q = turnAboutZ(radians);
        bend.values.insert(bend.values.end(), q.begin(), q.end());
    }
    gltf::Channel sway{4, gltf::AnimationPath::rotation, gltf::Interpolation::linear, {0, 1}, {}};
    for (float radians : {0.0f, -0.3f}) {
        const Vec4 q = turnAboutZ(radians);
        sway.values.insert(sway.values.end(), q.begin(), q.end());
    }
    gltf::Channel spin{
        1, gltf::AnimationPath::rotation, gltf::Interpolation::linear, {0, 1, 2}, {}};
    for (float radians : {0.0f, 3.1415927f / 2, 3.1415927f}) {
        const Vec4 q = turnAboutY(radians);
        spin.values.insert(spin.values.end(), q.begin(), q.end());
    }
    gltf::Channel slide{3,
                        gltf::AnimationPath::translation,
                        gltf::Interpolation::linear,
                        {0, 2},
                        {-2, 0, 2, -2, 0.5f, 2}};
    gltf::Channel grow{1,
                       gltf::AnimationPath::scale,
                       gltf::Interpolation::linear,
                       {0, 2},
                       {1, 1, 1, 1.25f, 1.25f, 1.25f}};
    scene.animations.push_back({"wave", {bend, sway}});
    scene.animations.push_back({"spin", {spin, slide, grow}});
    return scene;
}

} // namespace scene
