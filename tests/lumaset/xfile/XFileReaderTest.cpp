// readScene on small hand-written X files, each showing one rule of the reader.
#include "XFileIOTestSupport.h"

#include "xfile/XFileIO.h"

#include <gtest/gtest.h>

using namespace xfiletest;

namespace {

std::unique_ptr<XScene> readText(const std::string& body, const XFileIO& io = XFileIO()) {
    const std::string text = "xof 0303txt 0032\n" + body;
    std::unique_ptr<XScene> scene = io.readSceneFromMemory(text.data(), text.size());
    if (scene) expectSceneInvariants(*scene);
    return scene;
}

XFace face(std::initializer_list<std::uint32_t> corners) {
    XFace f;
    f.cornerCount = static_cast<std::uint32_t>(corners.size());
    std::uint32_t j = 0;
    for (std::uint32_t index : corners)
        f.indices[j++] = index;
    return f;
}

const char kQuadMesh[] = R"(
Mesh Quad {
 4;
 0.0;0.0;0.0;, 1.0;0.0;0.0;, 1.0;1.0;0.0;, 0.0;1.0;0.0;;
 1;
 4;0,1,2,3;;
}
)";

TEST(XFileReader, TopLevelMeshBecomesAnUnnamedFrame) {
    const auto scene = readText(kQuadMesh);
    ASSERT_TRUE(scene);
    ASSERT_EQ(scene->frames.size(), 1u);
    const XFrame& frame = scene->frames.front();
    EXPECT_EQ(frame.name, "");
    EXPECT_EQ(frame.transform, XMatrix());
    EXPECT_TRUE(frame.children.empty());
    EXPECT_EQ(frame.mesh.positions.size(), 4u);
    ASSERT_EQ(frame.mesh.faces.size(), 1u);
    EXPECT_EQ(frame.mesh.faces[0], face({0, 1, 2, 3}));
}

TEST(XFileReader, FrameTransformAndChildrenInFileOrder) {
    const auto scene = readText(R"(
Frame Parent {
 FrameTransformMatrix { 1.0,0.0,0.0,0.0, 0.0,2.0,0.0,0.0, 0.0,0.0,3.0,0.0, 4.0,5.0,6.0,1.0;; }
 Frame Zeta { }
 Frame Alpha { }
}
)");
    ASSERT_TRUE(scene);
    ASSERT_EQ(scene->frames.size(), 1u);
    const XFrame& parent = scene->frames.front();
    EXPECT_EQ(parent.name, "Parent");
    EXPECT_EQ(parent.transform.m[5], 2.0f);
    EXPECT_EQ(parent.transform.m[12], 4.0f);
    EXPECT_EQ(parent.transform.m[14], 6.0f);
    ASSERT_EQ(parent.children.size(), 2u);
    EXPECT_EQ(parent.children.front().name, "Zeta");
    EXPECT_EQ(parent.children.back().name, "Alpha");
}

TEST(XFileReader, FrameNamingATopLevelMeshGetsNoMesh) {
    const auto scene = readText(std::string(kQuadMesh) + "Frame Holder { { Quad } }\n");
    ASSERT_TRUE(scene);
    ASSERT_EQ(scene->frames.size(), 2u);
    EXPECT_EQ(scene->frames.front().name, "");
    EXPECT_EQ(scene->frames.front().mesh.faces.size(), 1u);
    EXPECT_EQ(scene->frames.back().name, "Holder");
    EXPECT_TRUE(scene->frames.back().mesh.isEmpty());
}

TEST(XFileReader, PerVertexStreamsFollowTheFaces) {
    const auto scene = readText(R"(
Mesh {
 4;
 0.0;0.0;0.0;, 1.0;0.0;0.0;, 1.0;1.0;0.0;, 0.0;1.0;0.0;;
 2;
 3;0,1,2;, 3;0,2,3;;
 MeshTextureCoords { 4; 0.0;0.0;, 1.0;0.0;, 1.0;1.0;, 0.0;1.0;; }
 MeshVertexColors { 4; 5;1.0;0.0;0.0;1.0;;, 0;0.0;1.0;0.0;1.0;;, 1;0.0;0.0;1.0;1.0;;, 2;0.5;0.5;0.5;0.5;;; }
}
)");
    ASSERT_TRUE(scene);
    const XMesh& mesh = scene->frames.front().mesh;
    EXPECT_EQ(mesh.texCoordFaces, mesh.faces);
    EXPECT_EQ(mesh.colorFaces, mesh.faces);
    // Entry order decides, whatever the entries' index fields say.
    ASSERT_EQ(mesh.colors.size(), 4u);
    EXPECT_EQ(mesh.colors[0], (XColor{1, 0, 0, 1}));
    EXPECT_EQ(mesh.colors[1], (XColor{0, 1, 0, 1}));
    EXPECT_EQ(mesh.colors[2], (XColor{0, 0, 1, 1}));
}

TEST(XFileReader, MaterialsByReferenceAndInline) {
    const auto scene = readText(R"(
Material Red { 1.0;0.0;0.0;1.0;; 20.0; 0.5;0.5;0.5;; 0.0;0.0;0.0;; }
Material Blue { 0.0;0.0;1.0;0.5;; 4.0; 0.0;0.0;0.0;; 0.1;0.2;0.3;; TextureFilename { "C:\\maps\\blue.png"; } }
Mesh {
 3;
 0.0;0.0;0.0;, 1.0;0.0;0.0;, 0.0;1.0;0.0;;
 3;
 3;0,1,2;, 3;0,2,1;, 3;1,2,0;;
 MeshMaterialList {
  3; 3; 2,0,1;;
  { Blue }
  { Red }
  Material { 0.0;1.0;0.0;1.0;; 1.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; TextureFilename { "green.bmp"; } }
 }
}
)");
    ASSERT_TRUE(scene);
    ASSERT_EQ(scene->frames.size(), 1u); // top-level materials add no frame
    const XMesh& mesh = scene->frames.front().mesh;
    ASSERT_EQ(mesh.materials.size(), 3u);
    EXPECT_EQ(mesh.materials[0].diffuse, (XColor{0, 0, 1, 0.5f}));
    EXPECT_EQ(mesh.materials[0].emissive, (XColor{0.1f, 0.2f, 0.3f, 0}));
    EXPECT_EQ(mesh.materials[0].power, 4.0f);
    EXPECT_EQ(mesh.materials[0].ambient, (XColor{0.2f, 0.2f, 0.2f, 1.0f}));
    EXPECT_EQ(mesh.materials[0].textureFilename, "C:\\maps\\blue.png"); // doubled pairs collapse
    EXPECT_EQ(mesh.materials[1].specular, (XColor{0.5f, 0.5f, 0.5f, 0}));
    EXPECT_EQ(mesh.materials[1].textureFilename, "");
    EXPECT_EQ(mesh.materials[2].textureFilename, "green.bmp");
    EXPECT_EQ(mesh.faceMaterials, (std::vector<std::uint32_t>{2, 0, 1}));
}

const char kThreeTriangles[] = R"(
Mesh {
 4;
 0.0;0.0;0.0;, 1.0;0.0;0.0;, 1.0;1.0;0.0;, 0.0;1.0;0.0;;
 3;
 3;0,1,2;, 3;0,2,3;, 3;1,2,3;;
)";

TEST(XFileReader, ShortMaterialListRepeatsItsLastIndex) {
    const char kMaterial[] = "Material { 1.0;1.0;1.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; }\n";
    auto scene = readText(std::string(kThreeTriangles) + " MeshMaterialList { 2; 2; 1,0;; " +
                          kMaterial + kMaterial + "}\n}\n");
    ASSERT_TRUE(scene);
    EXPECT_EQ(scene->frames.front().mesh.faceMaterials, (std::vector<std::uint32_t>{1, 0, 0}));

    scene = readText(std::string(kThreeTriangles) + " MeshMaterialList { 2; 5; 1,1,0,1,1;; " +
                     kMaterial + kMaterial + "}\n}\n");
    ASSERT_TRUE(scene);
    EXPECT_EQ(scene->frames.front().mesh.faceMaterials, (std::vector<std::uint32_t>{1, 1, 0}));

    scene = readText(std::string(kThreeTriangles) + " MeshMaterialList { 1; 0; " + kMaterial +
                     "}\n}\n");
    ASSERT_TRUE(scene);
    EXPECT_TRUE(scene->frames.front().mesh.faceMaterials.empty());
}

// A pentagon between two triangles becomes a fan of three triangles; its normal face splits the
// same way and its material repeats, so every per-face list still matches.
TEST(XFileReader, PolygonsOfMoreThanFourCornersBecomeFans) {
    const auto scene = readText(R"(
Mesh {
 6;
 0.0;0.0;0.0;, 1.0;0.0;0.0;, 2.0;1.0;0.0;, 1.0;2.0;0.0;, 0.0;1.0;0.0;, 5.0;5.0;5.0;;
 3;
 3;0,1,4;, 5;0,1,2,3,4;, 3;1,2,5;;
 MeshNormals { 2; 0.0;0.0;1.0;, 0.0;1.0;0.0;; 3; 3;0,0,0;, 5;1,0,1,0,1;, 3;1,1,1;; }
 MeshMaterialList { 3; 3; 0,1,2;;
  Material { 1.0;0.0;0.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; }
  Material { 0.0;1.0;0.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; }
  Material { 0.0;0.0;1.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; } }
}
)");
    ASSERT_TRUE(scene);
    const XMesh& mesh = scene->frames.front().mesh;
    const std::vector<XFace> faces = {face({0, 1, 4}), face({0, 1, 2}), face({0, 2, 3}),
                                      face({0, 3, 4}), face({1, 2, 5})};
    EXPECT_EQ(mesh.faces, faces);
    const std::vector<XFace> normalFaces = {face({0, 0, 0}), face({1, 0, 1}), face({1, 1, 0}),
                                            face({1, 0, 1}), face({1, 1, 1})};
    EXPECT_EQ(mesh.normalFaces, normalFaces);
    EXPECT_EQ(mesh.faceMaterials, (std::vector<std::uint32_t>{0, 1, 1, 1, 2}));
}

// A polygon of two corners has no area: it is left out, and the materials and normal faces of the
// polygons after it still find their faces. Normal faces that split otherwise than the faces do,
// even with as many polygons, cannot be matched with them and are dropped.
TEST(XFileReader, PolygonsWithoutAreaAreLeftOutAndTheListsAfterThemStayMatched) {
    const std::string mesh = R"(
Mesh {
 5;
 0.0;0.0;0.0;, 1.0;0.0;0.0;, 1.0;1.0;0.0;, 0.0;1.0;0.0;, 2.0;0.0;0.0;;
 3;
 2;0,1;, 4;0,1,2,3;, 3;1,4,2;;
)";
    const std::string materials = R"(
 MeshMaterialList { 3; 3; 0,1,2;;
  Material { 1.0;0.0;0.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; }
  Material { 0.0;1.0;0.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; }
  Material { 0.0;0.0;1.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; } }
)";
    auto scene =
        readText(mesh + " MeshNormals { 1; 0.0;0.0;1.0;; 3; 2;0,0;, 4;0,0,0,0;, 3;0,0,0;; }" +
                 materials + "}\n");
    ASSERT_TRUE(scene);
    const XMesh& read = scene->frames.front().mesh;
    EXPECT_EQ(read.faces, (std::vector<XFace>{face({0, 1, 2, 3}), face({1, 4, 2})}));
    EXPECT_EQ(read.normalFaces, (std::vector<XFace>{face({0, 0, 0, 0}), face({0, 0, 0})}));
    EXPECT_EQ(read.faceMaterials, (std::vector<std::uint32_t>{1, 2}));

    scene = readText(mesh + " MeshNormals { 1; 0.0;0.0;1.0;; 3; 3;0,0,0;, 4;0,0,0,0;, 3;0,0,0;; }" +
                     materials + "}\n");
    ASSERT_TRUE(scene);
    EXPECT_EQ(scene->frames.front().mesh.faces.size(), 2u);
    EXPECT_TRUE(scene->frames.front().mesh.normalFaces.empty());
    EXPECT_TRUE(scene->frames.front().mesh.normals.empty());
}

// Normal and texture coordinate faces that are the faces over again share the faces' storage;
// normal faces that differ in a single index are kept as they are.
TEST(XFileReader, CornerFacesEqualToTheFacesShareThemAndOthersStayApart) {
    const std::string mesh = R"(
Mesh {
 4; 0.0;0.0;0.0;, 1.0;0.0;0.0;, 1.0;1.0;0.0;, 0.0;1.0;0.0;;
 2; 3;0,1,2;, 4;0,1,2,3;;
 MeshTextureCoords { 4; 0.0;0.0;, 1.0;0.0;, 1.0;1.0;, 0.0;1.0;; }
)";
    auto scene = readText(mesh + R"(
 MeshNormals { 4; 0.0;0.0;1.0;, 0.0;0.0;1.0;, 0.0;0.0;1.0;, 0.0;0.0;1.0;; 2; 3;0,1,2;, 4;0,1,2,3;; }
}
)");
    ASSERT_TRUE(scene);
    const XMesh& shared = scene->frames.front().mesh;
    EXPECT_EQ(shared.normalFaces, (std::vector<XFace>{face({0, 1, 2}), face({0, 1, 2, 3})}));
    EXPECT_TRUE(shared.normalFaces.sharesStorageWith(shared.faces));
    EXPECT_TRUE(shared.texCoordFaces.sharesStorageWith(shared.faces));
    EXPECT_EQ(shared.normals.size(), 4u);

    scene = readText(mesh + R"(
 MeshNormals { 4; 0.0;0.0;1.0;, 0.0;0.0;1.0;, 0.0;0.0;1.0;, 0.0;0.0;1.0;; 2; 3;0,1,2;, 4;0,1,2,2;; }
}
)");
    ASSERT_TRUE(scene);
    const XMesh& apart = scene->frames.front().mesh;
    EXPECT_EQ(apart.normalFaces, (std::vector<XFace>{face({0, 1, 2}), face({0, 1, 2, 2})}));
    EXPECT_FALSE(apart.normalFaces.sharesStorageWith(apart.faces));
    EXPECT_EQ(apart.faces[1], face({0, 1, 2, 3}));
}

// Two Mesh children of one frame become one mesh; the second mesh's indices move past the first's
// lists; a bone both name gathers the weights of both.
TEST(XFileReader, SeveralMeshesOfAFrameAreMerged) {
    const auto scene = readText(R"(
Frame Both {
 Mesh {
  3; 0.0;0.0;0.0;, 1.0;0.0;0.0;, 0.0;1.0;0.0;;
  1; 3;0,1,2;;
  MeshNormals { 1; 0.0;0.0;1.0;; 1; 3;0,0,0;; }
  MeshTextureCoords { 3; 0.0;0.0;, 1.0;0.0;, 0.0;1.0;; }
  MeshMaterialList { 1; 1; 0;; Material { 1.0;0.0;0.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; } }
  SkinWeights { "Bone"; 2; 0,2; 0.5,1.0; 1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0;; }
 }
 Mesh {
  4; 0.0;0.0;1.0;, 1.0;0.0;1.0;, 1.0;1.0;1.0;, 0.0;1.0;1.0;;
  1; 4;0,1,2,3;;
  MeshNormals { 1; 0.0;1.0;0.0;; 1; 4;0,0,0,0;; }
  MeshTextureCoords { 4; 0.5;0.5;, 0.6;0.5;, 0.6;0.6;, 0.5;0.6;; }
  MeshMaterialList { 1; 1; 0;; Material { 0.0;0.0;1.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; } }
  SkinWeights { "Bone"; 1; 3; 0.25; 1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0;; }
  SkinWeights { "Other"; 1; 1; 0.75; 1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0;; }
 }
}
)");
    ASSERT_TRUE(scene);
    const XMesh& mesh = scene->frames.front().mesh;
    ASSERT_EQ(mesh.positions.size(), 7u);
    EXPECT_EQ(mesh.positions[3], (XVector3{0, 0, 1}));
    EXPECT_EQ(mesh.faces, (std::vector<XFace>{face({0, 1, 2}), face({3, 4, 5, 6})}));
    EXPECT_EQ(mesh.normalFaces, (std::vector<XFace>{face({0, 0, 0}), face({1, 1, 1, 1})}));
    EXPECT_EQ(mesh.texCoordFaces, mesh.faces);
    EXPECT_EQ(mesh.texCoords[4], (XVector2{0.6f, 0.5f}));
    EXPECT_EQ(mesh.faceMaterials, (std::vector<std::uint32_t>{0, 1}));
    ASSERT_EQ(mesh.materials.size(), 2u);
    EXPECT_EQ(mesh.materials[1].diffuse, (XColor{0, 0, 1, 1}));
    ASSERT_EQ(mesh.skinWeights.size(), 2u);
    EXPECT_EQ(mesh.skinWeights[0].boneName, "Bone");
    EXPECT_EQ(mesh.skinWeights[0].weights, (BoneVertexWeights{{0, 0.5f}, {2, 1.0f}, {6, 0.25f}}));
    EXPECT_EQ(mesh.skinWeights[1].boneName, "Other");
    EXPECT_EQ(mesh.skinWeights[1].weights, (BoneVertexWeights{{4, 0.75f}}));
}

// Streams the file gets wrong are dropped one by one; the rest of the mesh stays.
TEST(XFileReader, BrokenStreamsAreDroppedAlone) {
    struct Case {
        const char* what;
        const char* children;
        bool keepsNormals, keepsUv, keepsColors, keepsMaterials;
    };
    const char kMaterial[] = "Material { 1.0;1.0;1.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; }";
    const std::string material = kMaterial;
    const Case cases[] = {
        {"uv shorter than positions", "MeshTextureCoords { 3; 0.0;0.0;, 1.0;0.0;, 1.0;1.0;; }",
         true, false, true, true},
        {"colours shorter than positions", "MeshVertexColors { 1; 0;1.0;1.0;1.0;1.0;;; }", true,
         true, false, true},
        {"normal index out of range",
         "MeshNormals { 1; 0.0;0.0;1.0;; 3; 3;0,0,0;, 3;0,1,0;, 3;0,0,0;; }", false, true, true,
         true},
        {"normal faces fewer than faces", "MeshNormals { 1; 0.0;0.0;1.0;; 1; 3;0,0,0;; }", false,
         true, true, true},
        {"material index out of range", "MeshMaterialList { 1; 3; 0,1,0;; MAT }", true, true, true,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string children = c.children;
        if (const std::size_t at = children.find("MAT"); at != std::string::npos)
            children.replace(at, 3, material);
        const std::string defaults =
            "MeshNormals { 1; 0.0;0.0;1.0;; 3; 3;0,0,0;, 3;0,0,0;, 3;0,0,0;; }\n"
            "MeshTextureCoords { 4; 0.0;0.0;, 1.0;0.0;, 1.0;1.0;, 0.0;1.0;; }\n"
            "MeshVertexColors { 4; 0;1.0;1.0;1.0;1.0;;, 1;1.0;1.0;1.0;1.0;;, 2;1.0;1.0;1.0;1.0;;, "
            "3;1.0;1.0;1.0;1.0;;; }\n"
            "MeshMaterialList { 1; 1; 0;; " +
            material + " }\n";
        // The case's own child replaces the default one of its kind: later children win.
        const auto scene = readText(std::string(kThreeTriangles) + defaults + children + "\n}\n");
        ASSERT_TRUE(scene);
        const XMesh& mesh = scene->frames.front().mesh;
        EXPECT_EQ(mesh.faces.size(), 3u);
        EXPECT_EQ(!mesh.normalFaces.empty(), c.keepsNormals);
        EXPECT_EQ(!mesh.texCoordFaces.empty(), c.keepsUv);
        EXPECT_EQ(!mesh.colorFaces.empty(), c.keepsColors);
        EXPECT_EQ(!mesh.faceMaterials.empty(), c.keepsMaterials);
    }
}

TEST(XFileReader, FaceIndexOutOfRangeDropsTheMesh) {
    const auto scene = readText(R"(
Frame Keep {
 Mesh { 3; 0.0;0.0;0.0;, 1.0;0.0;0.0;, 0.0;1.0;0.0;; 1; 3;0,1,3;; }
 Frame Child { }
}
)");
    ASSERT_TRUE(scene);
    const XFrame& frame = scene->frames.front();
    EXPECT_EQ(frame.name, "Keep");
    EXPECT_TRUE(frame.mesh.isEmpty());
    EXPECT_EQ(frame.children.size(), 1u);
}

TEST(XFileReader, SkinWeightOnAMissingVertexIsDroppedAlone) {
    const auto scene = readText(std::string(kThreeTriangles) + R"(
 SkinWeights { "Bone"; 3; 0,9,3; 0.1,0.2,0.3; 1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0;; }
}
)");
    ASSERT_TRUE(scene);
    const XMesh& mesh = scene->frames.front().mesh;
    ASSERT_EQ(mesh.skinWeights.size(), 1u);
    EXPECT_EQ(mesh.skinWeights[0].weights, (BoneVertexWeights{{0, 0.1f}, {3, 0.3f}}));
}

const char kIdentity[] = "1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0";

TEST(XFileReader, AnimationKeysOfEveryType) {
    const auto scene = readText(std::string(R"(
AnimTicksPerSecond { 30; }
Frame Hip { }
AnimationSet Walk {
 Animation {
  { Hip }
  AnimationKey { 0; 2; 0;4;1.0,0.0,0.0,0.0;;, 30;4;0.5,0.5,0.5,0.5;;; }
  AnimationKey { 1; 1; 15;3;2.0,3.0,4.0;;; }
  AnimationKey { 2; 1; 45;3;5.0,6.0,7.0;;; }
  AnimationKey { 3; 1; 60;16;)") +
                                kIdentity + R"(;;; }
  AnimationOptions { 1; 0; }
 }
}
)");
    ASSERT_TRUE(scene);
    ASSERT_EQ(scene->animationSets.count("Walk"), 1u);
    const XAnimationSet& set = scene->animationSets.at("Walk");
    ASSERT_EQ(set.count("Hip"), 1u);
    const XAnimation& hip = set.at("Hip");
    // Times at 30 a second become ticks at 4800 (x 160); rotation w, x, y, z held as x, y, z, w.
    EXPECT_EQ(hip.rotationKeys.at(0), (XQuaternion{0, 0, 0, 1}));
    EXPECT_EQ(hip.rotationKeys.at(4800), (XQuaternion{0.5f, 0.5f, 0.5f, 0.5f}));
    EXPECT_EQ(hip.scaleKeys.at(2400), (XVector3{2, 3, 4}));
    EXPECT_EQ(hip.positionKeys.at(7200), (XVector3{5, 6, 7}));
    EXPECT_EQ(hip.matrixKeys.at(9600), XMatrix()); // type 3, the documented matrix key type
}

TEST(XFileReader, SetsOfOneNameAreMerged) {
    const auto scene = readText(R"(
Frame A { }
Frame B { }
AnimationSet Walk { Animation { { A } AnimationKey { 2; 1; 0;3;1.0,0.0,0.0;;; } } }
AnimationSet Walk { Animation { { B } AnimationKey { 2; 1; 0;3;0.0,1.0,0.0;;; } } }
AnimationSet Run { Animation { { A } AnimationKey { 1; 1; 0;3;2.0,2.0,2.0;;; } } }
)");
    ASSERT_TRUE(scene);
    ASSERT_EQ(scene->animationSets.size(), 2u);
    EXPECT_EQ(scene->animationSets.begin()->first, "Run");
    const XAnimationSet& walk = scene->animationSets.at("Walk");
    ASSERT_EQ(walk.size(), 2u);
    EXPECT_EQ(walk.at("A").positionKeys.at(0), (XVector3{1, 0, 0}));
    EXPECT_EQ(walk.at("B").positionKeys.at(0), (XVector3{0, 1, 0}));
}

TEST(XFileReader, SwitchesTrimWhatIsRead) {
    const std::string file = std::string(kThreeTriangles) + R"(
 MeshNormals { 1; 0.0;0.0;1.0;; 3; 3;0,0,0;, 3;0,0,0;, 3;0,0,0;; }
 MeshTextureCoords { 4; 0.0;0.0;, 1.0;0.0;, 1.0;1.0;, 0.0;1.0;; }
 SkinWeights { "Bone"; 1; 0; 1.0; )" +
                             kIdentity + R"(;; }
}
AnimationSet Walk { Animation { AnimationKey { 2; 1; 0;3;1.0,0.0,0.0;;; } } }
)";
    XFileIO io;
    io.keepSkin = false;
    io.keepAnimation = false;
    io.keepNormals = false;
    const auto scene = readText(file, io);
    ASSERT_TRUE(scene);
    const XMesh& mesh = scene->frames.front().mesh;
    EXPECT_TRUE(mesh.skinWeights.empty());
    EXPECT_TRUE(mesh.normals.empty());
    EXPECT_TRUE(mesh.normalFaces.empty());
    EXPECT_FALSE(mesh.texCoords.empty());
    EXPECT_TRUE(scene->animationSets.empty());

    const auto everything = readText(file);
    ASSERT_TRUE(everything);
    EXPECT_EQ(everything->frames.front().mesh.skinWeights.size(), 1u);
    // An animation without a frame reference belongs to the empty name.
    EXPECT_EQ(everything->animationSets.at("Walk").count(""), 1u);
}

TEST(XFileReader, LongNamesAreCutToTheQueryBuffers) {
    const std::string frameName(1500, 'f');
    const std::string setName(400, 's');
    const auto scene = readText("Frame " + frameName + " { }\nAnimationSet " + setName +
                                " { Animation { { " + frameName + " } } }\n");
    ASSERT_TRUE(scene);
    EXPECT_EQ(scene->frames.front().name, std::string(1023, 'f'));
    ASSERT_EQ(scene->animationSets.size(), 1u);
    EXPECT_EQ(scene->animationSets.begin()->first, std::string(255, 's'));
    EXPECT_EQ(scene->animationSets.begin()->second.begin()->first, std::string(255, 'f'));
}

TEST(XFileReader, NoSceneWithoutAFileOrAHeader) {
    EXPECT_FALSE(XFileIO().readScene(scratchPath("does-not-exist.x").c_str()));
    const auto empty = scratchPath("empty.x");
    writeText(empty, "");
    EXPECT_FALSE(XFileIO().readScene(empty.c_str()));
    const auto wrong = scratchPath("wrong-header.x");
    writeText(wrong, "xof 0303foo 0032\nFrame A { }\n");
    EXPECT_FALSE(XFileIO().readScene(wrong.c_str()));
}

// An error in the middle of the file ends the read; what came before it stays.
TEST(XFileReader, AnErrorMidFileKeepsTheObjectsBeforeIt) {
    const auto scene =
        readText("Frame First { }\nFrame Second { FrameTransformMatrix { 1.0, ; } }\n");
    ASSERT_TRUE(scene);
    ASSERT_GE(scene->frames.size(), 1u);
    EXPECT_EQ(scene->frames.front().name, "First");
}

} // namespace
