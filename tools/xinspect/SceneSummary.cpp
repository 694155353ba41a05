#include "SceneSummary.h"

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

std::string plural(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string colorText(const XColor& c, bool withAlpha) {
    char text[96];
    if (withAlpha)
        std::snprintf(text, sizeof text, "(%g %g %g %g)", c.r, c.g, c.b, c.a);
    else
        std::snprintf(text, sizeof text, "(%g %g %g)", c.r, c.g, c.b);
    return text;
}

bool isIdentity(const XMatrix& matrix) {
    return matrix == XMatrix();
}

// Calls visit(frame, depth) for every frame, depth first in file order, top-level frames at depth
// 0, from a work list: a scene built in memory may nest deeper than the call stack allows.
template <class Visit> void forEachFrame(const std::list<XFrame>& frames, Visit&& visit) {
    std::vector<std::pair<const XFrame*, std::size_t>> pending;
    for (auto it = frames.rbegin(); it != frames.rend(); ++it)
        pending.emplace_back(&*it, 0);
    while (!pending.empty()) {
        const auto [frame, depth] = pending.back();
        pending.pop_back();
        visit(*frame, depth);
        for (auto it = frame->children.rbegin(); it != frame->children.rend(); ++it)
            pending.emplace_back(&*it, depth + 1);
    }
}

void countFrames(const std::list<XFrame>& frames, SceneTotals& totals) {
    forEachFrame(frames, [&](const XFrame& frame, std::size_t) {
        ++totals.frameCount;
        const XMesh& mesh = frame.mesh;
        if (!mesh.isEmpty()) ++totals.meshCount;
        totals.vertexCount += mesh.positions.size();
        totals.faceCount += mesh.faces.size();
        for (const XFace& face : mesh.faces)
            totals.triangleCount += face.cornerCount == 4 ? 2 : 1;
        totals.materialCount += mesh.materials.size();
        totals.boneCount += mesh.skinWeights.size();
    });
}

void printMesh(std::ostream& out, const XMesh& mesh, const std::string& indent) {
    std::size_t triangleCount = 0;
    for (const XFace& face : mesh.faces)
        triangleCount += face.cornerCount == 3 ? 1 : 0;
    out << indent << "mesh: " << plural(mesh.positions.size(), "vertex", "vertices") << ", "
        << plural(mesh.faces.size(), "face", "faces") << " (" << triangleCount << " tri, "
        << mesh.faces.size() - triangleCount << " quad), normals " << mesh.normals.size() << " ("
        << plural(mesh.normalFaces.size(), "face", "faces") << "), texture coordinates "
        << mesh.texCoords.size() << ", colours " << mesh.colors.size() << "\n";

    std::vector<std::size_t> facesPerMaterial(mesh.materials.size(), 0);
    for (std::uint32_t index : mesh.faceMaterials)
        if (index < facesPerMaterial.size()) ++facesPerMaterial[index];
    for (std::size_t i = 0; i < mesh.materials.size(); ++i) {
        const XMaterial& material = mesh.materials[i];
        out << indent << "material " << i << ": diffuse " << colorText(material.diffuse, true)
            << ", power " << material.power << ", specular " << colorText(material.specular, false)
            << ", emissive " << colorText(material.emissive, false);
        if (!material.textureFilename.empty())
            out << ", texture " << quotedName(material.textureFilename);
        out << ", " << plural(facesPerMaterial[i], "face", "faces") << "\n";
    }
    for (const XSkinWeights& bone : mesh.skinWeights)
        out << indent << "bone " << quotedName(bone.boneName) << ": "
            << plural(bone.weights.size(), "weight", "weights") << "\n";
}

void printFrames(std::ostream& out, const std::list<XFrame>& frames) {
    forEachFrame(frames, [&](const XFrame& frame, std::size_t depth) {
        const std::string indent(2 * depth, ' ');
        out << indent << "frame " << quotedName(frame.name);
        if (!isIdentity(frame.transform)) {
            const XMatrix& t = frame.transform;
            XMatrix axesOnly = t;
            axesOnly.m[12] = axesOnly.m[13] = axesOnly.m[14] = 0.0f;
            char translation[96];
            std::snprintf(translation, sizeof translation, " at (%g %g %g)", t.m[12], t.m[13],
                          t.m[14]);
            out << translation << (isIdentity(axesOnly) ? "" : ", rotated or scaled");
        }
        out << "\n";
        if (!frame.mesh.isEmpty() || !frame.mesh.positions.empty())
            printMesh(out, frame.mesh, indent + "  ");
    });
}

} // namespace

std::string quotedName(const std::string& text) {
    std::string result = "\"";
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
            result += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            result += escaped;
        }
    }
    return result + "\"";
}

SceneTotals countScene(const XScene& scene) {
    SceneTotals totals;
    countFrames(scene.frames, totals);
    totals.animationSetCount = scene.animationSets.size();
    for (const auto& [setName, set] : scene.animationSets) {
        totals.animationCount += set.size();
        for (const auto& [target, animation] : set) {
            if (!animation.rotationKeys.empty() || !animation.scaleKeys.empty() ||
                !animation.positionKeys.empty() || !animation.matrixKeys.empty())
                ++totals.animatedTargetCount;
            totals.rotationKeyCount += animation.rotationKeys.size();
            totals.scaleKeyCount += animation.scaleKeys.size();
            totals.positionKeyCount += animation.positionKeys.size();
            totals.matrixKeyCount += animation.matrixKeys.size();
        }
    }
    return totals;
}

void printSceneSummary(std::ostream& out, const XScene& scene) {
    printFrames(out, scene.frames);
    for (const auto& [setName, set] : scene.animationSets) {
        out << "animation set " << quotedName(setName) << ": "
            << plural(set.size(), "animation", "animations") << "\n";
        for (const auto& [target, animation] : set)
            out << "  " << quotedName(target) << ": rotation " << animation.rotationKeys.size()
                << ", scale " << animation.scaleKeys.size() << ", position "
                << animation.positionKeys.size() << ", matrix " << animation.matrixKeys.size()
                << "\n";
    }
    const SceneTotals t = countScene(scene);
    out << "total: " << plural(t.frameCount, "frame", "frames") << ", "
        << plural(t.meshCount, "mesh", "meshes") << ", "
        << plural(t.vertexCount, "vertex", "vertices") << ", "
        << plural(t.faceCount, "face", "faces") << ", "
        << plural(t.materialCount, "material", "materials") << ", "
        << plural(t.boneCount, "bone", "bones") << ", "
        << plural(t.animationSetCount, "animation set", "animation sets") << ", "
        << plural(t.animationCount, "animation", "animations") << ", keys rotation "
        << t.rotationKeyCount << ", scale " << t.scaleKeyCount << ", position "
        << t.positionKeyCount << ", matrix " << t.matrixKeyCount << "\n";
    out << "counts: " << plural(t.frameCount, "node", "nodes") << ", "
        << plural(t.meshCount, "mesh", "meshes") << ", "
        << plural(t.triangleCount, "triangle", "triangles") << ", "
        << plural(t.materialCount, "material", "materials") << ", "
        << plural(t.boneCount, "bone", "bones") << ", "
        << plural(t.animationSetCount, "animation set", "animation sets") << ", "
        << plural(t.animatedTargetCount, "animated node", "animated nodes")
        << ", keys: " << t.positionKeyCount + t.matrixKeyCount << " position, "
        << t.rotationKeyCount + t.matrixKeyCount << " rotation, "
        << t.scaleKeyCount + t.matrixKeyCount << " scale\n";
}
