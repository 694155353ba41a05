#include "XFileIOTestSupport.h"

#include "model/MeshIndexProcessing.h"
#include "xfile/XFileIds.h"
#include "xfile/XFileServices.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cfloat>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <unistd.h>

namespace xfiletest {
namespace {

XMatrix matrixOf(std::array<float, 16> values) {
    XMatrix matrix;
    matrix.m = values;
    return matrix;
}

XFace tri(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
    XFace face;
    face.cornerCount = 3;
    face.indices = {a, b, c, 0};
    return face;
}

XFace quad(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
    XFace face;
    face.cornerCount = 4;
    face.indices = {a, b, c, d};
    return face;
}

XMaterial material(XColor diffuse, float power, XColor specular, XColor emissive,
                   std::string texture) {
    XMaterial m;
    m.diffuse = diffuse;
    m.ambient = XColor{0.2f, 0.2f, 0.2f, 1.0f}; // what the reader sets: files do not carry it
    m.specular = specular;
    m.emissive = emissive;
    m.power = power;
    m.textureFilename = std::move(texture);
    return m;
}

const float kThird = 1.0f / 3.0f;
const float kTiny = std::numeric_limits<float>::denorm_min();
const float kHuge = FLT_MAX;

// Six corners of a wedge, one position listed twice (compaction merges it), two quads and two
// triangles, every per-corner stream with its own indexing.
XMesh makeBodyMesh() {
    XMesh mesh;
    mesh.positions = {{0.1f, 0.2f, 0.3f},    {1.0f, kThird, -0.0f}, {1.0f, 1.0f, kTiny},
                      {0.0f, 1.0f, 2.5e-8f}, {0.1f, 0.2f, 0.3f},    {0.5f, 123456.789f, -7.25f},
                      {kHuge, -kHuge, 0.5f}};
    mesh.faces = {quad(0, 1, 2, 3), tri(4, 5, 6), quad(3, 2, 5, 4), tri(6, 5, 1)};
    mesh.normals = {{0.0f, 0.0f, 1.0f}, {0.0f, 1.0f, 0.0f}, {0.577350f, 0.577350f, -0.577350f}};
    mesh.normalFaces = {quad(0, 0, 0, 0), tri(1, 1, 2), quad(2, 1, 0, 1), tri(2, 2, 2)};
    mesh.texCoords = {{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}, {0.25f, kThird}};
    mesh.texCoordFaces = {quad(0, 1, 2, 3), tri(4, 0, 1), quad(3, 2, 1, 0), tri(4, 4, 2)};
    mesh.colors = {{1.0f, 0.0f, 0.0f, 1.0f}, {0.0f, 1.0f, 0.0f, 0.5f}, {0.1f, 0.2f, 0.3f, 0.4f}};
    mesh.colorFaces = {quad(0, 1, 2, 0), tri(1, 1, 1), quad(2, 2, 0, 1), tri(0, 1, 2)};
    mesh.faceMaterials = {0, 1, 2, 0};
    mesh.materials = {
        material({0.8f, 0.6f, 0.4f, 1.0f}, 25.0f, {0.9f, 0.9f, 0.9f, 0.0f},
                 {0.0f, 0.0f, 0.0f, 0.0f}, "C:\\maps\\wood.bmp"),
        material({0.1f, 0.2f, kThird, 0.75f}, 0.0f, {0.0f, 0.0f, 0.0f, 0.0f},
                 {0.05f, 0.0f, 0.0f, 0.0f}, ""),
        material({1.0f, 1.0f, 1.0f, 1.0f}, 8.0f, {0.5f, 0.5f, 0.5f, 0.0f}, {0.0f, 0.1f, 0.0f, 0.0f},
                 "textures/skin.png"),
    };
    XSkinWeights boneA;
    boneA.boneName = "Bone_A";
    boneA.offsetMatrix = matrixOf({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -0.5f, kThird, 2, 1});
    boneA.weights = {{0, 1.0f}, {1, 0.75f}, {2, kThird}, {4, 1.0f}, {6, 0.1f}};
    XSkinWeights boneB;
    boneB.boneName = "Bone_B";
    boneB.offsetMatrix = matrixOf({0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 0, -0.0f, 1});
    boneB.weights = {{1, 0.25f}, {2, 1.0f - kThird}, {3, 1.0f}, {5, 1.0f}, {6, 0.9f}};
    mesh.skinWeights = {boneA, boneB};
    return mesh;
}

XMesh makeNormalsOnlyMesh() {
    XMesh mesh;
    mesh.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    mesh.faces = {tri(0, 1, 2)};
    mesh.normals = {{0, 0, -1}};
    mesh.normalFaces = {tri(0, 0, 0)};
    return mesh;
}

XMesh makePropMesh() {
    XMesh mesh;
    mesh.positions = {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}};
    mesh.faces = {quad(0, 1, 2, 3)};
    mesh.texCoords = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
    mesh.texCoordFaces = {quad(0, 1, 2, 3)};
    return mesh;
}

// Whether a comparison tells -0 from +0; everything else is always compared bit for bit.
bool gZeroSignsMatter = true;

std::uint32_t bitsOf(float value) {
    if (!gZeroSignsMatter && value == 0.0f) return 0;
    return std::bit_cast<std::uint32_t>(value);
}

bool sameBits(const XVector2& a, const XVector2& b) {
    return bitsOf(a.u) == bitsOf(b.u) && bitsOf(a.v) == bitsOf(b.v);
}
bool sameBits(const XVector3& a, const XVector3& b) {
    return bitsOf(a.x) == bitsOf(b.x) && bitsOf(a.y) == bitsOf(b.y) && bitsOf(a.z) == bitsOf(b.z);
}
bool sameBits(const XColor& a, const XColor& b) {
    return bitsOf(a.r) == bitsOf(b.r) && bitsOf(a.g) == bitsOf(b.g) && bitsOf(a.b) == bitsOf(b.b) &&
           bitsOf(a.a) == bitsOf(b.a);
}
bool sameBits(const XQuaternion& a, const XQuaternion& b) {
    return bitsOf(a.x) == bitsOf(b.x) && bitsOf(a.y) == bitsOf(b.y) && bitsOf(a.z) == bitsOf(b.z) &&
           bitsOf(a.w) == bitsOf(b.w);
}
bool sameBits(const XMatrix& a, const XMatrix& b) {
    for (std::size_t i = 0; i < a.m.size(); ++i)
        if (bitsOf(a.m[i]) != bitsOf(b.m[i])) return false;
    return true;
}
bool sameBits(const XMaterial& a, const XMaterial& b) {
    return a.textureFilename == b.textureFilename && sameBits(a.diffuse, b.diffuse) &&
           sameBits(a.ambient, b.ambient) && sameBits(a.specular, b.specular) &&
           sameBits(a.emissive, b.emissive) && bitsOf(a.power) == bitsOf(b.power);
}

template <class Map> bool sameKeyBits(const Map& a, const Map& b) {
    if (a.size() != b.size()) return false;
    for (auto i = a.begin(), j = b.begin(); i != a.end(); ++i, ++j)
        if (i->first != j->first || !sameBits(i->second, j->second)) return false;
    return true;
}

const XSkinWeights* findBone(const XMesh& mesh, const std::string& name) {
    for (const XSkinWeights& bone : mesh.skinWeights)
        if (bone.boneName == name) return &bone;
    return nullptr;
}

void expectSameFrames(const std::list<XFrame>& expected, const std::list<XFrame>& actual,
                      const std::string& path) {
    ASSERT_EQ(expected.size(), actual.size()) << "children of " << path;
    auto e = expected.begin();
    auto a = actual.begin();
    for (; e != expected.end(); ++e, ++a) {
        const std::string where = path + "/" + e->name;
        EXPECT_EQ(e->name, a->name) << where;
        EXPECT_TRUE(sameBits(e->transform, a->transform)) << "transform of " << where;
        expectSameLook(e->mesh, a->mesh, where);
        expectSameFrames(e->children, a->children, where);
    }
}

void checkMeshInvariants(const XMesh& mesh, const std::string& where) {
    EXPECT_TRUE(meshIndicesAreValid(mesh)) << where;
    for (const XSkinWeights& bone : mesh.skinWeights)
        for (const auto& entry : bone.weights)
            EXPECT_TRUE(entry.first >= 0 &&
                        static_cast<std::size_t>(entry.first) < mesh.positions.size())
                << where << " bone " << bone.boneName << " vertex " << entry.first;
}

void checkFrames(const std::list<XFrame>& frames, const std::string& path) {
    for (const XFrame& frame : frames) {
        checkMeshInvariants(frame.mesh, path + "/" + frame.name);
        checkFrames(frame.children, path + "/" + frame.name);
    }
}

bool identicalMesh(const XMesh& a, const XMesh& b) {
    auto sameList = [](const auto& x, const auto& y) {
        if (x.size() != y.size()) return false;
        for (std::size_t i = 0; i < x.size(); ++i)
            if (!sameBits(x[i], y[i])) return false;
        return true;
    };
    if (a.faces != b.faces || a.normalFaces != b.normalFaces ||
        a.texCoordFaces != b.texCoordFaces || a.colorFaces != b.colorFaces ||
        a.faceMaterials != b.faceMaterials)
        return false;
    if (!sameList(a.positions, b.positions) || !sameList(a.normals, b.normals) ||
        !sameList(a.texCoords, b.texCoords) || !sameList(a.colors, b.colors) ||
        !sameList(a.materials, b.materials))
        return false;
    if (a.skinWeights.size() != b.skinWeights.size()) return false;
    for (std::size_t i = 0; i < a.skinWeights.size(); ++i) {
        const XSkinWeights& x = a.skinWeights[i];
        const XSkinWeights& y = b.skinWeights[i];
        if (x.boneName != y.boneName || !sameBits(x.offsetMatrix, y.offsetMatrix) ||
            x.weights.size() != y.weights.size())
            return false;
        for (auto i1 = x.weights.begin(), i2 = y.weights.begin(); i1 != x.weights.end(); ++i1, ++i2)
            if (i1->first != i2->first || bitsOf(i1->second) != bitsOf(i2->second)) return false;
    }
    return true;
}

bool identicalFrames(const std::list<XFrame>& a, const std::list<XFrame>& b) {
    if (a.size() != b.size()) return false;
    for (auto i = a.begin(), j = b.begin(); i != a.end(); ++i, ++j)
        if (i->name != j->name || !sameBits(i->transform, j->transform) ||
            !identicalMesh(i->mesh, j->mesh) || !identicalFrames(i->children, j->children))
            return false;
    return true;
}

} // namespace

XScene makeRichScene() {
    XScene scene;
    XFrame root;
    root.name = "Root";
    root.transform = matrixOf({1, 0, 0, 0, 0, 0, 1, 0, 0, 1, -0.0f, 0, 10.5f, -3, 0.1f, 1});

    XFrame body;
    body.name = "Body";
    body.transform = matrixOf({kThird, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0.1f, 0, 0, 0, kTiny, 1});
    body.mesh = makeBodyMesh();
    XFrame boneA;
    boneA.name = "Bone_A";
    XFrame boneB;
    boneB.name = "Bone_B";
    XFrame tip;
    tip.name = "Bone_B_Tip";
    tip.transform = matrixOf({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 1.5f, 0, 1});
    boneB.children.push_back(tip);
    body.children.push_back(boneA);
    body.children.push_back(boneB);

    XFrame unnamed;
    unnamed.mesh = makeNormalsOnlyMesh();
    root.children.push_back(body);
    root.children.push_back(unnamed);
    scene.frames.push_back(root);

    XFrame prop;
    prop.name = "Prop";
    prop.mesh = makePropMesh();
    scene.frames.push_back(prop);

    XAnimation bodyAnimation;
    bodyAnimation.positionKeys = {
        {0, {0, 0, 0}}, {4800, {1, kThird, -0.0f}}, {9600, {2, 0.1f, kHuge}}};
    bodyAnimation.scaleKeys = {{0, {1, 1, 1}}, {2400, {2, 0.5f, kTiny}}};
    bodyAnimation.rotationKeys = {{0, {0, 0, 0, 1}}, {4800, {0, 0, 0.7071068f, 0.7071068f}}};
    bodyAnimation.matrixKeys = {
        {-160, matrixOf({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0.1f, 0.2f, 0.3f, 1})}};
    XAnimation boneAnimation;
    boneAnimation.rotationKeys = {{0, {kThird, -0.0f, 0.1f, 0.9f}}, {160, {0, 1, 0, 0}}};
    XAnimation unnamedAnimation;
    unnamedAnimation.positionKeys = {{480, {5, 6, 7}}};
    scene.animationSets["Walk"]["Body"] = bodyAnimation;
    scene.animationSets["Walk"]["Bone_A"] = boneAnimation;
    scene.animationSets["Run"]["Bone_B_Tip"] = boneAnimation;
    scene.animationSets["Run"][""] = unnamedAnimation;
    return scene;
}

void expectSameLook(const XMesh& expected, const XMesh& actual, const std::string& where) {
    ASSERT_EQ(expected.faces.size(), actual.faces.size()) << "faces of " << where;
    EXPECT_EQ(expected.normalFaces.empty(), actual.normalFaces.empty()) << "normals of " << where;
    EXPECT_EQ(expected.texCoordFaces.empty(), actual.texCoordFaces.empty()) << "uv of " << where;
    EXPECT_EQ(expected.colorFaces.empty(), actual.colorFaces.empty()) << "colours of " << where;
    EXPECT_EQ(expected.faceMaterials.empty(), actual.faceMaterials.empty())
        << "materials of " << where;
    ASSERT_EQ(expected.skinWeights.size(), actual.skinWeights.size()) << "bones of " << where;
    if (::testing::Test::HasFailure()) return;

    // Mismatches are counted, and the first one described, so a broken mesh gives one failure.
    std::size_t mismatchCount = 0;
    std::string first;
    auto check = [&](bool same, const std::string& what) {
        if (same) return;
        if (mismatchCount++ == 0) first = what;
    };
    for (std::size_t i = 0; i < expected.faces.size(); ++i) {
        const XFace& e = expected.faces[i];
        const XFace& a = actual.faces[i];
        const std::string face = " of face " + std::to_string(i);
        if (e.cornerCount != a.cornerCount) {
            check(false, "corner count" + face);
            continue;
        }
        for (std::uint32_t j = 0; j < e.cornerCount; ++j) {
            const std::string corner = face + " corner " + std::to_string(j);
            check(sameBits(expected.positions[e.indices[j]], actual.positions[a.indices[j]]),
                  "position" + corner);
            if (!expected.normalFaces.empty()) {
                check(sameBits(expected.normals[expected.normalFaces[i].indices[j]],
                               actual.normals[actual.normalFaces[i].indices[j]]),
                      "normal" + corner);
            }
            if (!expected.texCoordFaces.empty()) {
                check(sameBits(expected.texCoords[expected.texCoordFaces[i].indices[j]],
                               actual.texCoords[actual.texCoordFaces[i].indices[j]]),
                      "uv" + corner);
            }
            if (!expected.colorFaces.empty()) {
                check(sameBits(expected.colors[expected.colorFaces[i].indices[j]],
                               actual.colors[actual.colorFaces[i].indices[j]]),
                      "colour" + corner);
            }
            for (const XSkinWeights& bone : expected.skinWeights) {
                const XSkinWeights* other = findBone(actual, bone.boneName);
                if (!other) {
                    check(false, "bone " + bone.boneName + " missing");
                    continue;
                }
                check(sameBits(bone.offsetMatrix, other->offsetMatrix),
                      "offset matrix of " + bone.boneName);
                const auto e1 = bone.weights.find(static_cast<std::int32_t>(e.indices[j]));
                const auto a1 = other->weights.find(static_cast<std::int32_t>(a.indices[j]));
                const bool same =
                    (e1 == bone.weights.end()) == (a1 == other->weights.end()) &&
                    (e1 == bone.weights.end() || bitsOf(e1->second) == bitsOf(a1->second));
                check(same, "weight of " + bone.boneName + corner);
            }
        }
        if (!expected.faceMaterials.empty()) {
            check(sameBits(expected.materials[expected.faceMaterials[i]],
                           actual.materials[actual.faceMaterials[i]]),
                  "material" + face);
        }
    }
    EXPECT_EQ(mismatchCount, 0u) << where << ": first mismatch: " << first;
}

void expectSameScene(const XScene& expected, const XScene& actual, ZeroSigns zeroSigns) {
    gZeroSignsMatter = zeroSigns == ZeroSigns::distinct;
    struct Restore {
        ~Restore() { gZeroSignsMatter = true; }
    } restore;
    expectSameFrames(expected.frames, actual.frames, "");
    ASSERT_EQ(expected.animationSets.size(), actual.animationSets.size());
    for (auto e = expected.animationSets.begin(), a = actual.animationSets.begin();
         e != expected.animationSets.end(); ++e, ++a) {
        EXPECT_EQ(e->first, a->first);
        ASSERT_EQ(e->second.size(), a->second.size()) << "animations of set " << e->first;
        for (auto ea = e->second.begin(), aa = a->second.begin(); ea != e->second.end();
             ++ea, ++aa) {
            const std::string where = "set " + e->first + " target " + ea->first;
            EXPECT_EQ(ea->first, aa->first) << where;
            EXPECT_TRUE(sameKeyBits(ea->second.positionKeys, aa->second.positionKeys)) << where;
            EXPECT_TRUE(sameKeyBits(ea->second.scaleKeys, aa->second.scaleKeys)) << where;
            EXPECT_TRUE(sameKeyBits(ea->second.rotationKeys, aa->second.rotationKeys)) << where;
            EXPECT_TRUE(sameKeyBits(ea->second.matrixKeys, aa->second.matrixKeys)) << where;
        }
    }
}

void expectSceneInvariants(const XScene& scene) {
    checkFrames(scene.frames, "");
}

bool identicalBits(const XScene& a, const XScene& b) {
    if (!identicalFrames(a.frames, b.frames) || a.animationSets.size() != b.animationSets.size())
        return false;
    for (auto i = a.animationSets.begin(), j = b.animationSets.begin(); i != a.animationSets.end();
         ++i, ++j) {
        if (i->first != j->first || i->second.size() != j->second.size()) return false;
        for (auto x = i->second.begin(), y = j->second.begin(); x != i->second.end(); ++x, ++y)
            if (x->first != y->first ||
                !sameKeyBits(x->second.positionKeys, y->second.positionKeys) ||
                !sameKeyBits(x->second.scaleKeys, y->second.scaleKeys) ||
                !sameKeyBits(x->second.rotationKeys, y->second.rotationKeys) ||
                !sameKeyBits(x->second.matrixKeys, y->second.matrixKeys))
                return false;
    }
    return true;
}

std::filesystem::path scratchPath(const std::string& fileName) {
    static const std::filesystem::path folder = [] {
        std::filesystem::path path = std::filesystem::temp_directory_path() /
                                     ("lumaset-xfileio-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        return path;
    }();
    return folder / fileName;
}

std::vector<std::uint8_t> readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void writeBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

void writeText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

namespace {

// Template identifiers as the X format publishes them, in the in-memory GUID layout.
struct KnownTemplate {
    const char* name;
    const char* guid;
};
const KnownTemplate kKnownTemplates[] = {
    {"Frame", "3D82AB46-62DA-11CF-AB39-0020AF71E433"},
    {"FrameTransformMatrix", "F6F23F41-7686-11CF-8F52-0040333594A3"},
    {"Mesh", "3D82AB44-62DA-11CF-AB39-0020AF71E433"},
    {"MeshNormals", "F6F23F43-7686-11CF-8F52-0040333594A3"},
    {"MeshTextureCoords", "F6F23F40-7686-11CF-8F52-0040333594A3"},
    {"MeshVertexColors", "1630B821-7842-11CF-8F52-0040333594A3"},
    {"MeshMaterialList", "F6F23F42-7686-11CF-8F52-0040333594A3"},
    {"Material", "3D82AB4D-62DA-11CF-AB39-0020AF71E433"},
    {"TextureFilename", "A42790E1-7810-11CF-8F52-0040333594A3"},
    {"XSkinMeshHeader", "3CF169CE-FF7C-44AB-93C0-F78F62D172E2"},
    {"SkinWeights", "6F0D123B-BAD2-4167-A0D0-80224F25FABB"},
    {"AnimTicksPerSecond", "9E415A43-7BA6-4A73-8743-B73D47E88476"},
    {"AnimationSet", "3D82AB50-62DA-11CF-AB39-0020AF71E433"},
    {"Animation", "3D82AB4F-62DA-11CF-AB39-0020AF71E433"},
    {"AnimationKey", "10DD46A8-775B-11CF-8F52-0040333594A3"},
};

std::array<std::uint8_t, 16> guidBytes(const char* text) {
    auto hex = [&](std::size_t at, std::size_t digits) {
        return static_cast<std::uint32_t>(std::stoul(std::string(text + at, digits), nullptr, 16));
    };
    std::array<std::uint8_t, 16> bytes{};
    const std::uint32_t data1 = hex(0, 8);
    const auto data2 = static_cast<std::uint16_t>(hex(9, 4));
    const auto data3 = static_cast<std::uint16_t>(hex(14, 4));
    std::memcpy(bytes.data(), &data1, 4);
    std::memcpy(bytes.data() + 4, &data2, 2);
    std::memcpy(bytes.data() + 6, &data3, 2);
    const std::size_t tail[8] = {19, 21, 24, 26, 28, 30, 32, 34};
    for (int i = 0; i < 8; ++i)
        bytes[8 + i] = static_cast<std::uint8_t>(hex(tail[i], 2));
    return bytes;
}

std::string templateName(const GUID& type) {
    for (const KnownTemplate& known : kKnownTemplates)
        if (std::memcmp(guidBytes(known.guid).data(), &type, 16) == 0) return known.name;
    return "other";
}

std::string nameOf(IDirectXFileObject* object) {
    DWORD length = 0;
    if (object->GetName(nullptr, &length) != DXFILE_OK || length == 0) return std::string();
    std::string name(length, '\0');
    if (object->GetName(name.data(), &length) != DXFILE_OK) return std::string();
    name.resize(std::strlen(name.c_str()));
    return name;
}

void listTree(IDirectXFileData* object, int depth, std::vector<ListedObject>& objects) {
    ListedObject listed;
    listed.depth = depth;
    const GUID* type = nullptr;
    listed.type = object->GetType(&type) == DXFILE_OK && type ? templateName(*type) : "?";
    listed.name = nameOf(object);
    DWORD size = 0;
    void* data = nullptr;
    if (object->GetData(nullptr, &size, &data) == DXFILE_OK && data)
        listed.data.assign(static_cast<std::uint8_t*>(data),
                           static_cast<std::uint8_t*>(data) + size);
    if ((listed.type == "TextureFilename" || listed.type == "SkinWeights") &&
        listed.data.size() >= sizeof(const char*)) {
        const char* text = nullptr;
        std::memcpy(&text, listed.data.data(), sizeof text);
        listed.text = text ? text : "";
    }
    objects.push_back(listed);
    for (;;) {
        IDirectXFileObject* child = nullptr;
        if (object->GetNextObject(&child) != DXFILE_OK || !child) break;
        IDirectXFileData* childData = nullptr;
        IDirectXFileDataReference* reference = nullptr;
        if (child->QueryInterface(IID_IDirectXFileData, reinterpret_cast<void**>(&childData)) ==
                S_OK &&
            childData) {
            listTree(childData, depth + 1, objects);
            childData->Release();
        } else if (child->QueryInterface(IID_IDirectXFileDataReference,
                                         reinterpret_cast<void**>(&reference)) == S_OK &&
                   reference) {
            ListedObject ref;
            ref.depth = depth + 1;
            ref.type = "reference";
            ref.name = nameOf(reference);
            objects.push_back(ref);
            reference->Release();
        }
        child->Release();
    }
}

} // namespace

std::vector<ListedObject> listObjects(const std::filesystem::path& path) {
    std::vector<ListedObject> objects;
    IDirectXFile* root = xfileServices().rootFile();
    if (!root) {
        ADD_FAILURE() << "no file services";
        return objects;
    }
    IDirectXFileEnumObject* enumerator = nullptr;
    const std::string name = path.string();
    if (root->CreateEnumObject(const_cast<char*>(name.c_str()), DXFILELOAD_FROMFILE, &enumerator) !=
        DXFILE_OK) {
        ADD_FAILURE() << "cannot enumerate " << name;
        return objects;
    }
    for (;;) {
        IDirectXFileData* object = nullptr;
        if (enumerator->GetNextDataObject(&object) != DXFILE_OK || !object) break;
        listTree(object, 0, objects);
        object->Release();
    }
    enumerator->Release();
    return objects;
}

std::uint32_t dwordAt(const std::vector<std::uint8_t>& data, std::size_t offset) {
    std::uint32_t value = 0;
    if (offset + 4 <= data.size())
        std::memcpy(&value, data.data() + offset, 4);
    else
        ADD_FAILURE() << "no DWORD at " << offset;
    return value;
}

std::uint16_t wordAt(const std::vector<std::uint8_t>& data, std::size_t offset) {
    std::uint16_t value = 0;
    if (offset + 2 <= data.size())
        std::memcpy(&value, data.data() + offset, 2);
    else
        ADD_FAILURE() << "no WORD at " << offset;
    return value;
}

float floatAt(const std::vector<std::uint8_t>& data, std::size_t offset) {
    return std::bit_cast<float>(dwordAt(data, offset));
}

std::string corpusPath(const std::string& fileName) {
    return std::string(LUMASET_CORPUS_DIR) + "/x/" + fileName;
}

bool corpusAvailable() {
    return std::filesystem::is_directory(std::string(LUMASET_CORPUS_DIR) + "/x");
}

} // namespace xfiletest
