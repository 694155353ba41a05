// What writeScene hands to the file services, seen through a plain enumeration of the file.
#include "XFileIOTestSupport.h"

#include "xfile/XFileIO.h"

#include <gtest/gtest.h>

using namespace xfiletest;

namespace {

XFace triangle(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
    XFace face;
    face.cornerCount = 3;
    face.indices = {a, b, c, 0};
    return face;
}

// One frame "Box" holding a textured, skinned triangle with normals and colours.
XScene smallScene() {
    XScene scene;
    XFrame frame;
    frame.name = "Box";
    XMesh& mesh = frame.mesh;
    mesh.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    mesh.faces = {triangle(0, 1, 2)};
    mesh.normals = {{0, 0, 1}};
    mesh.normalFaces = {triangle(0, 0, 0)};
    mesh.texCoords = {{0, 0}, {1, 0}, {0, 1}};
    mesh.texCoordFaces = mesh.faces;
    mesh.colors = {{1, 0, 0, 1}, {0, 1, 0, 1}, {0, 0, 1, 1}};
    mesh.colorFaces = mesh.faces;
    XMaterial material;
    material.textureFilename = "C:\\maps\\wood.bmp";
    mesh.materials = {material};
    mesh.faceMaterials = {0};
    XSkinWeights second;
    second.boneName = "Second";
    second.weights = {{2, 0.5f}, {0, 0.25f}};
    XSkinWeights first;
    first.boneName = "First";
    first.weights = {{1, 1.0f}};
    mesh.skinWeights = {second, first};
    scene.frames.push_back(frame);

    XAnimation animation;
    animation.rotationKeys[0] = XQuaternion{0.0f, 0.0f, 0.7071f, 0.7071f};
    animation.positionKeys[4800] = XVector3{1, 2, 3};
    animation.scaleKeys[4800] = XVector3{2, 2, 2};
    animation.matrixKeys[9600] = XMatrix();
    scene.animationSets["Spin"]["Box"] = animation;
    return scene;
}

std::vector<ListedObject> writeAndList(const XScene& scene, const XFileIO& io,
                                       const std::string& name, std::uint32_t format = 1) {
    const auto path = scratchPath(name);
    EXPECT_TRUE(io.writeScene(path.c_str(), scene, format, false));
    return listObjects(path);
}

std::vector<std::string> typesOf(const std::vector<ListedObject>& objects) {
    std::vector<std::string> types;
    for (const ListedObject& object : objects)
        types.push_back(std::string(2 * object.depth, ' ') + object.type);
    return types;
}

const ListedObject* findFirst(const std::vector<ListedObject>& objects, const std::string& type) {
    for (const ListedObject& object : objects)
        if (object.type == type) return &object;
    return nullptr;
}

TEST(XFileWriter, WritesObjectsInTheirOrder) {
    const std::vector<std::string> expected = {
        "AnimTicksPerSecond",
        "Frame",
        "  FrameTransformMatrix",
        "  Mesh",
        "    MeshNormals",
        "    MeshTextureCoords",
        "    MeshVertexColors",
        "    MeshMaterialList",
        "      Material",
        "        TextureFilename",
        "    XSkinMeshHeader",
        "    SkinWeights",
        "    SkinWeights",
        "AnimationSet",
        "  Animation",
        "    reference",
        "    AnimationKey",
        "    AnimationKey",
        "    AnimationKey",
        "    AnimationKey",
    };
    const std::vector<ListedObject> objects = writeAndList(smallScene(), XFileIO(), "order.x");
    EXPECT_EQ(typesOf(objects), expected);
    if (objects.size() != expected.size()) return;

    EXPECT_EQ(dwordAt(objects[0].data, 0), 4800u);
    EXPECT_EQ(objects[1].name, "Box");
    EXPECT_EQ(objects[13].name, "Spin");
    EXPECT_EQ(objects[15].name, "Box");
    // Matrix, rotation, scale, position.
    EXPECT_EQ(dwordAt(objects[16].data, 0), 4u);
    EXPECT_EQ(dwordAt(objects[17].data, 0), 0u);
    EXPECT_EQ(dwordAt(objects[18].data, 0), 1u);
    EXPECT_EQ(dwordAt(objects[19].data, 0), 2u);
    // Skin weights in the mesh's bone order, header (2, 0, bone count).
    EXPECT_EQ(wordAt(objects[10].data, 0), 2u);
    EXPECT_EQ(wordAt(objects[10].data, 2), 0u);
    EXPECT_EQ(wordAt(objects[10].data, 4), 2u);
    EXPECT_EQ(objects[11].text, "Second");
    EXPECT_EQ(objects[12].text, "First");
}

TEST(XFileWriter, RotationKeysAreStoredScalarFirst) {
    const std::vector<ListedObject> objects = writeAndList(smallScene(), XFileIO(), "rotation.x");
    const ListedObject* key = nullptr;
    for (const ListedObject& object : objects)
        if (object.type == "AnimationKey" && dwordAt(object.data, 0) == 0) key = &object;
    ASSERT_NE(key, nullptr);
    // type, key count, time, value count, then w, x, y, z
    ASSERT_EQ(key->data.size(), 8u + 8u + 16u);
    EXPECT_EQ(dwordAt(key->data, 4), 1u);
    EXPECT_EQ(dwordAt(key->data, 8), 0u);
    EXPECT_EQ(dwordAt(key->data, 12), 4u);
    EXPECT_EQ(floatAt(key->data, 16), 0.7071f);
    EXPECT_EQ(floatAt(key->data, 20), 0.0f);
    EXPECT_EQ(floatAt(key->data, 24), 0.0f);
    EXPECT_EQ(floatAt(key->data, 28), 0.7071f);
}

TEST(XFileWriter, SkinWeightsListVerticesAscending) {
    const std::vector<ListedObject> objects = writeAndList(smallScene(), XFileIO(), "skin.x");
    const ListedObject* bone = findFirst(objects, "SkinWeights");
    ASSERT_NE(bone, nullptr);
    const std::size_t p = sizeof(const char*);
    ASSERT_EQ(bone->data.size(), p + 68 + 8 * 2);
    EXPECT_EQ(dwordAt(bone->data, p), 2u);
    EXPECT_EQ(dwordAt(bone->data, p + 4), 0u);
    EXPECT_EQ(dwordAt(bone->data, p + 8), 2u);
    EXPECT_EQ(floatAt(bone->data, p + 12), 0.25f);
    EXPECT_EQ(floatAt(bone->data, p + 16), 0.5f);
}

TEST(XFileWriter, TextureBackslashesAreDoubledInTheFile) {
    for (std::uint32_t format : {1u, 0u, 2u}) {
        const std::vector<ListedObject> objects = writeAndList(
            smallScene(), XFileIO(), "texture" + std::to_string(format) + ".x", format);
        const ListedObject* texture = findFirst(objects, "TextureFilename");
        ASSERT_NE(texture, nullptr);
        EXPECT_EQ(texture->text, "C:\\\\maps\\\\wood.bmp") << "format " << format;
    }
    XFileIO io;
    io.keepTexturePath = false;
    const std::vector<ListedObject> objects = writeAndList(smallScene(), io, "texture-cut.x");
    const ListedObject* cut = findFirst(objects, "TextureFilename");
    ASSERT_NE(cut, nullptr);
    EXPECT_EQ(cut->text, "wood.bmp");
}

TEST(XFileWriter, WithoutAnimationThereIsNoTickRateAndNoSet) {
    XFileIO io;
    io.keepAnimation = false;
    const std::vector<ListedObject> objects = writeAndList(smallScene(), io, "no-animation.x");
    ASSERT_FALSE(objects.empty());
    EXPECT_EQ(findFirst(objects, "AnimTicksPerSecond"), nullptr);
    EXPECT_EQ(findFirst(objects, "AnimationSet"), nullptr);
    EXPECT_NE(findFirst(objects, "Frame"), nullptr);
}

TEST(XFileWriter, MeshWithoutFacesIsLeftOutButChildrenStay) {
    XScene scene;
    XFrame frame;
    frame.name = "Parent";
    frame.mesh.positions = {{1, 2, 3}};
    XFrame child;
    child.name = "Child";
    frame.children.push_back(child);
    scene.frames.push_back(frame);
    const std::vector<ListedObject> objects = writeAndList(scene, XFileIO(), "no-faces.x");
    EXPECT_EQ(findFirst(objects, "Mesh"), nullptr);
    std::vector<std::string> frames;
    for (const ListedObject& object : objects)
        if (object.type == "Frame")
            frames.push_back(std::string(2 * object.depth, ' ') + object.name);
    EXPECT_EQ(frames, (std::vector<std::string>{"Parent", "  Child"}));
}

TEST(XFileWriter, NormalsWithoutNormalFacesWriteACountOfZero) {
    XScene scene = smallScene();
    scene.frames.front().mesh.normalFaces.clear();
    const std::vector<ListedObject> objects = writeAndList(scene, XFileIO(), "normals-no-faces.x");
    const ListedObject* normals = findFirst(objects, "MeshNormals");
    ASSERT_NE(normals, nullptr);
    ASSERT_EQ(normals->data.size(), 8u + 12u);
    EXPECT_EQ(dwordAt(normals->data, 0), 1u);
    EXPECT_EQ(dwordAt(normals->data, 16), 0u);
}

TEST(XFileWriter, MaterialsWithoutFaceMaterialsAreNotWritten) {
    XScene scene = smallScene();
    scene.frames.front().mesh.faceMaterials.clear();
    const std::vector<ListedObject> objects = writeAndList(scene, XFileIO(), "no-face-materials.x");
    EXPECT_NE(findFirst(objects, "Mesh"), nullptr);
    EXPECT_EQ(findFirst(objects, "MeshMaterialList"), nullptr);
    EXPECT_EQ(findFirst(objects, "Material"), nullptr);
}

TEST(XFileWriter, EveryTextFileDeclaresTheSkinTemplates) {
    const auto path = scratchPath("declared.x");
    ASSERT_TRUE(XFileIO().writeScene(path.c_str(), XScene(), 1, false));
    const std::vector<std::uint8_t> bytes = readBytes(path);
    const std::string text(bytes.begin(), bytes.end());
    const std::size_t skinWeights = text.find("template SkinWeights");
    const std::size_t header = text.find("template XSkinMeshHeader");
    EXPECT_NE(skinWeights, std::string::npos);
    EXPECT_NE(header, std::string::npos);
    EXPECT_LT(skinWeights, header);
    EXPECT_EQ(text.find("template Mesh "), std::string::npos);
}

TEST(XFileWriter, ReportsAFileThatCannotBeCreated) {
    EXPECT_FALSE(XFileIO().writeScene("/nonexistent-folder/out.x", smallScene(), 1, false));
}

// Broken indices in the caller's scene must neither crash the writer nor reach the file.
TEST(XFileWriter, LeavesOutStreamsWithBrokenIndices) {
    XScene scene = smallScene();
    XMesh& mesh = scene.frames.front().mesh;
    mesh.normalFaces[0].indices[1] = 7;     // past the one normal
    mesh.faceMaterials = {3};               // past the one material
    mesh.skinWeights[0].weights[99] = 1.0f; // a vertex the mesh lacks
    const auto path = scratchPath("broken.x");
    ASSERT_TRUE(XFileIO().writeScene(path.c_str(), scene, 1, false));
    const std::vector<ListedObject> objects = listObjects(path);
    EXPECT_EQ(findFirst(objects, "MeshNormals"), nullptr);
    EXPECT_EQ(findFirst(objects, "MeshMaterialList"), nullptr);
    const ListedObject* bone = findFirst(objects, "SkinWeights");
    ASSERT_NE(bone, nullptr);
    EXPECT_EQ(dwordAt(bone->data, sizeof(const char*)), 2u);
}

// Unification is what the switch asks for; without it a mesh whose texture coordinates already
// follow its positions keeps its vertices, even when its normals are indexed per corner.
TEST(XFileWriter, UnifiesOnRequestOnly) {
    XScene scene = smallScene();
    XMesh& mesh = scene.frames.front().mesh;
    mesh.normals = {{0, 0, 1}, {0, 1, 0}, {1, 0, 0}};
    mesh.normalFaces = {triangle(2, 1, 0)};
    mesh.positions.push_back({0, 1, 0}); // the same as vertex 2, weights included
    mesh.skinWeights[0].weights[3] = mesh.skinWeights[0].weights.at(2);
    mesh.texCoords.push_back({0, 1});
    mesh.colors.push_back({0, 0, 1, 1});
    mesh.faces.push_back(triangle(3, 1, 0));
    mesh.normalFaces.push_back(triangle(0, 0, 0));
    mesh.texCoordFaces = mesh.faces;
    mesh.colorFaces = mesh.faces;
    mesh.faceMaterials = {0, 0};
    for (bool unify : {false, true}) {
        const auto path = scratchPath(unify ? "unified.x" : "plain.x");
        ASSERT_TRUE(XFileIO().writeScene(path.c_str(), scene, 0, unify));
        const std::vector<ListedObject> objects = listObjects(path);
        const ListedObject* written = findFirst(objects, "Mesh");
        ASSERT_NE(written, nullptr);
        // Compaction merges vertices 2 and 3: 3 vertices. Unified, a skinned mesh tells corners
        // apart by normal too, and vertices 0 and 1 each meet two normals: 5.
        EXPECT_EQ(dwordAt(written->data, 0), unify ? 5u : 3u);
    }
}

} // namespace
