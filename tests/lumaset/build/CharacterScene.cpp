#include "CharacterScene.h"

#include "ImportTestSupport.h"

#include "quat.h"

namespace importtest {

namespace {

const int kKeyTimes[3] = {0, 2400, 4800};

Point3 hipPosition(int ticks) {
    return Point3(0.0f, 0.0f, 1.0f + float(ticks) / 4800.0f);
}
float spineAngle(int ticks) {
    return 0.8f * float(ticks) / 4800.0f;
}
const Matrix3 kRig = TransMatrix(Point3(0.0f, 0.0f, 0.0f));
const Point3 kSpineOffset(0.0f, 0.0f, 1.0f);

XFace face(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
    return XFace{3, {a, b, c, 0}};
}

} // namespace

Matrix3 hipWorld(int ticks) {
    return TransMatrix(hipPosition(ticks)) * kRig;
}
Matrix3 spineWorld(int ticks) {
    return RotateXMatrix(spineAngle(ticks)) * TransMatrix(kSpineOffset) * hipWorld(ticks);
}
Matrix3 hipBind() {
    return hipWorld(0);
}
Matrix3 spineBind() {
    return spineWorld(0);
}

XScene makeCharacter(const std::string& textureName) {
    XScene scene;
    XFrame& rig = scene.frames.emplace_back();
    rig.name = "Rig";
    rig.transform = toX(kRig);
    XFrame& hip = rig.children.emplace_back();
    hip.name = "Hip";
    hip.transform = toX(TransMatrix(hipPosition(0)));
    XFrame& spine = hip.children.emplace_back();
    spine.name = "Spine";
    spine.transform = toX(TransMatrix(kSpineOffset));

    XFrame& body = scene.frames.emplace_back();
    body.name = "Body";
    XMesh& mesh = body.mesh;
    for (int i = 0; i < 8; ++i)
        mesh.positions.push_back(
            {float(i & 1) - 0.5f, float((i >> 1) & 1) - 0.5f, 1.0f + 2.0f * float(i >> 2)});
    // Twelve triangles over the cube's six sides.
    const std::uint32_t sides[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4},
                                       {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
    for (const auto& s : sides) {
        mesh.faces.push_back(face(s[0], s[1], s[2]));
        mesh.faces.push_back(face(s[0], s[2], s[3]));
    }
    mesh.normals = {{0, 0, -1}, {0, 0, 1}, {0, -1, 0}, {0, 1, 0}, {-1, 0, 0}, {1, 0, 0}};
    for (std::uint32_t side = 0; side < 6; ++side) {
        mesh.normalFaces.push_back(face(side, side, side));
        mesh.normalFaces.push_back(face(side, side, side));
    }
    mesh.texCoords = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int side = 0; side < 6; ++side) {
        mesh.texCoordFaces.push_back(face(0, 1, 2));
        mesh.texCoordFaces.push_back(face(0, 2, 3));
    }
    mesh.colors = {{1, 0, 0, 1}, {0, 1, 0, 0.5f}};
    for (std::uint32_t f = 0; f < 12; ++f)
        mesh.colorFaces.push_back(face(f % 2, f % 2, 1 - f % 2));
    mesh.faceMaterials.assign(12, 0);
    XMaterial& material = mesh.materials.emplace_back();
    material.diffuse = {0.8f, 0.7f, 0.6f, 1.0f};
    material.specular = {0.2f, 0.2f, 0.2f, 0.0f};
    material.power = 8.0f;
    material.textureFilename = textureName;

    mesh.skinWeights.reserve(2); // the references below must survive the second entry
    XSkinWeights& hipWeights = mesh.skinWeights.emplace_back();
    hipWeights.boneName = "Hip";
    hipWeights.offsetMatrix = toX(Inverse(hipBind()));
    XSkinWeights& spineWeights = mesh.skinWeights.emplace_back();
    spineWeights.boneName = "Spine";
    spineWeights.offsetMatrix = toX(Inverse(spineBind()));
    for (std::int32_t v = 0; v < 4; ++v)
        hipWeights.weights[v] = 1.0f;
    for (std::int32_t v = 4; v < 8; ++v) {
        hipWeights.weights[v] = 0.5f;
        spineWeights.weights[v] = 0.5f;
    }

    XAnimationSet& walk = scene.animationSets["walk"];
    for (int ticks : kKeyTimes) {
        const Point3 p = hipPosition(ticks);
        walk["Hip"].positionKeys[ticks] = {p.x, p.y, p.z};
        const Quat q(RotateXMatrix(spineAngle(ticks)));
        walk["Spine"].rotationKeys[ticks] = {q.x, q.y, q.z, q.w};
        walk["Spine"].positionKeys[ticks] = {kSpineOffset.x, kSpineOffset.y, kSpineOffset.z};
    }
    return scene;
}

} // namespace importtest
