#include "gltf/FiniteCheck.h"

#include <cmath>

namespace gltf {
namespace {

bool allFinite(float value) {
    return std::isfinite(value);
}

// Any array or vector of floats, or of arrays of floats.
template <class Range> bool allFinite(const Range& range) {
    for (const auto& element : range)
        if (!allFinite(element)) return false;
    return true;
}

std::string named(const std::string& kind, std::size_t index, const std::string& name) {
    return kind + " " + std::to_string(index) + (name.empty() ? "" : " '" + name + "'");
}

std::string notFinite(const std::string& owner, const std::string& what) {
    return owner + " has " + what + " that is not a finite 32-bit number";
}

std::string checkNodes(const Scene& scene) {
    for (std::size_t i = 0; i < scene.nodes.size(); ++i) {
        const Node& node = scene.nodes[i];
        const std::string owner = named("node", i, node.name);
        if (node.hasMatrix && !allFinite(node.matrix)) return notFinite(owner, "a matrix");
        if (!allFinite(node.translation)) return notFinite(owner, "a translation");
        if (!allFinite(node.rotation)) return notFinite(owner, "a rotation");
        if (!allFinite(node.scale)) return notFinite(owner, "a scale");
    }
    return {};
}

std::string checkMeshes(const Scene& scene, NormalCheck normals) {
    for (std::size_t m = 0; m < scene.meshes.size(); ++m) {
        const Mesh& mesh = scene.meshes[m];
        for (std::size_t p = 0; p < mesh.primitives.size(); ++p) {
            const Primitive& primitive = mesh.primitives[p];
            const std::string owner =
                named("mesh", m, mesh.name) + " primitive " + std::to_string(p);
            if (!allFinite(primitive.positions)) return notFinite(owner, "a position");
            if (normals == NormalCheck::included && !allFinite(primitive.normals))
                return notFinite(owner, "a normal");
            if (!allFinite(primitive.texCoords)) return notFinite(owner, "a texture coordinate");
            if (!allFinite(primitive.colors)) return notFinite(owner, "a colour");
            if (!allFinite(primitive.weights)) return notFinite(owner, "a skin weight");
        }
    }
    return {};
}

std::string checkMaterials(const Scene& scene) {
    for (std::size_t i = 0; i < scene.materials.size(); ++i) {
        const Material& material = scene.materials[i];
        const std::string owner = named("material", i, material.name);
        if (!allFinite(material.baseColorFactor)) return notFinite(owner, "a base colour");
        if (!std::isfinite(material.metallicFactor) || !std::isfinite(material.roughnessFactor))
            return notFinite(owner, "a metallic or roughness factor");
    }
    return {};
}

std::string checkSkins(const Scene& scene) {
    for (std::size_t i = 0; i < scene.skins.size(); ++i)
        if (!allFinite(scene.skins[i].inverseBindMatrices))
            return notFinite(named("skin", i, scene.skins[i].name), "an inverse bind matrix");
    return {};
}

std::string checkAnimations(const Scene& scene) {
    for (std::size_t a = 0; a < scene.animations.size(); ++a) {
        const Animation& animation = scene.animations[a];
        for (std::size_t c = 0; c < animation.channels.size(); ++c) {
            const Channel& channel = animation.channels[c];
            const std::string owner =
                named("animation", a, animation.name) + " channel " + std::to_string(c);
            if (!allFinite(channel.timesSeconds)) return notFinite(owner, "a key time");
            if (!allFinite(channel.values)) return notFinite(owner, "a key value");
        }
    }
    return {};
}

} // namespace

std::string findNonFinite(const Scene& scene, NormalCheck normals) {
    std::string found = checkNodes(scene);
    if (found.empty()) found = checkMeshes(scene, normals);
    for (auto check : {checkMaterials, checkSkins, checkAnimations})
        if (found.empty()) found = check(scene);
    return found;
}

} // namespace gltf
