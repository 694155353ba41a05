// The check of a freshly read model: each way a mesh can break the index rules, and what is
// dropped or completed for it; a valid mesh passes untouched.
#include "build/ImportedModelCheck.h"
#include "model/MeshIndexProcessing.h"

#include <gtest/gtest.h>

namespace {

XFace tri(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
    return XFace{3, {a, b, c, 0}};
}
XFace quad(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
    return XFace{4, {a, b, c, d}};
}

// A triangle and a quad over four positions, every stream present, two materials.
XMesh validMesh() {
    XMesh mesh;
    mesh.positions = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    mesh.faces = {tri(0, 1, 2), quad(0, 1, 2, 3)};
    mesh.normals = {{0, 0, 1}, {0, 0, -1}};
    mesh.normalFaces = {tri(0, 1, 0), quad(1, 0, 1, 0)};
    mesh.texCoords = {{0, 0}, {1, 1}};
    mesh.texCoordFaces = {tri(0, 1, 0), quad(0, 1, 1, 0)};
    mesh.colors = {{1, 0, 0, 1}};
    mesh.colorFaces = {tri(0, 0, 0), quad(0, 0, 0, 0)};
    mesh.faceMaterials = {0, 1};
    mesh.materials.resize(2);
    return mesh;
}

TEST(ImportedModelCheck, AValidMeshIsLeftExactlyAsItIs) {
    XMesh mesh = validMesh();
    checkImportedMesh(mesh);
    EXPECT_EQ(mesh, validMesh());
    XMesh bare; // no streams, no materials
    bare.positions = {{0, 0, 0}};
    bare.faces = {tri(0, 0, 0)};
    XMesh checked = bare;
    checkImportedMesh(checked);
    EXPECT_EQ(checked, bare);
}

TEST(ImportedModelCheck, AFaceThatCannotBeBuiltGoesWithItsEntriesInEveryList) {
    for (XFace bad : {tri(0, 1, 4), quad(0, 1, 0xFFFFFFFFu, 2), XFace{5, {0, 1, 2, 3}},
                      XFace{2, {0, 1, 0, 0}}}) {
        XMesh mesh = validMesh();
        mesh.faces[0] = bad;
        checkImportedMesh(mesh);
        ASSERT_EQ(mesh.faces.size(), 1u);
        EXPECT_EQ(mesh.faces[0], quad(0, 1, 2, 3));
        EXPECT_EQ(mesh.normalFaces, (std::vector<XFace>{quad(1, 0, 1, 0)}));
        EXPECT_EQ(mesh.texCoordFaces, (std::vector<XFace>{quad(0, 1, 1, 0)}));
        EXPECT_EQ(mesh.colorFaces, (std::vector<XFace>{quad(0, 0, 0, 0)}));
        EXPECT_EQ(mesh.faceMaterials, (std::vector<std::uint32_t>{1}));
        EXPECT_EQ(mesh.positions.size(), 4u); // values stay
    }
}

TEST(ImportedModelCheck, AStreamThatDoesNotFitIsDroppedAndTheGeometryStays) {
    struct Case {
        const char* what;
        void (*breakIt)(XMesh&);
        bool keepsTexCoords, keepsColors;
    };
    const Case cases[] = {
        {"short uv faces", [](XMesh& m) { m.texCoordFaces.pop_back(); }, false, true},
        {"long uv faces", [](XMesh& m) { m.texCoordFaces.push_back(tri(0, 0, 0)); }, false, true},
        {"uv index beyond", [](XMesh& m) { m.texCoordFaces[1].indices[3] = 2; }, false, true},
        {"uv corner count", [](XMesh& m) { m.texCoordFaces[1].cornerCount = 3; }, false, true},
        {"uv faces without values", [](XMesh& m) { m.texCoords.clear(); }, false, true},
        {"values without colour faces", [](XMesh& m) { m.colorFaces.clear(); }, true, false},
        {"colour index beyond", [](XMesh& m) { m.colorFaces[0].indices[0] = 1; }, true, false},
        {"short colour faces", [](XMesh& m) { m.colorFaces.resize(1); }, true, false},
    };
    for (const Case& c : cases) {
        XMesh mesh = validMesh();
        c.breakIt(mesh);
        checkImportedMesh(mesh);
        EXPECT_EQ(mesh.faces, validMesh().faces) << c.what;
        EXPECT_EQ(!mesh.texCoordFaces.empty(), c.keepsTexCoords) << c.what;
        EXPECT_EQ(!mesh.texCoords.empty(), c.keepsTexCoords) << c.what;
        EXPECT_EQ(!mesh.colorFaces.empty(), c.keepsColors) << c.what;
        EXPECT_EQ(!mesh.colors.empty(), c.keepsColors) << c.what;
        EXPECT_TRUE(meshIndicesAreValid(mesh)) << c.what;
    }
}

TEST(ImportedModelCheck, NormalFacesThatDoNotFitBecomeFlatFaces) {
    XMesh shortList = validMesh();
    shortList.normalFaces.pop_back();
    checkImportedMesh(shortList);
    EXPECT_EQ(shortList.normalFaces, (std::vector<XFace>{tri(0, 1, 0), quad(0, 0, 0, 0)}));

    XMesh beyond = validMesh();
    beyond.normalFaces[0].indices[1] = 7;
    checkImportedMesh(beyond);
    EXPECT_EQ(beyond.normalFaces[0], tri(0, 0, 0));
    EXPECT_EQ(beyond.normalFaces[1], quad(1, 0, 1, 0));

    XMesh noNormals = validMesh();
    noNormals.normals.clear();
    checkImportedMesh(noNormals);
    EXPECT_TRUE(noNormals.normalFaces.empty());
    for (const XMesh* mesh : {&shortList, &beyond, &noNormals})
        EXPECT_TRUE(meshIndicesAreValid(*mesh));
}

TEST(ImportedModelCheck, FaceMaterialsAreCompletedOrCut) {
    XMesh shortList = validMesh();
    shortList.faceMaterials = {1};
    checkImportedMesh(shortList);
    EXPECT_EQ(shortList.faceMaterials, (std::vector<std::uint32_t>{1, 1}));

    XMesh empty = validMesh();
    empty.faceMaterials.clear();
    checkImportedMesh(empty);
    EXPECT_EQ(empty.faceMaterials, (std::vector<std::uint32_t>{0, 0}));

    XMesh longList = validMesh();
    longList.faceMaterials = {1, 0, 1, 1};
    checkImportedMesh(longList);
    EXPECT_EQ(longList.faceMaterials, (std::vector<std::uint32_t>{1, 0}));
}

TEST(ImportedModelCheck, ACheckedSceneIsTriangulatedEvenDeepDown) {
    XScene scene;
    XFrame* frame = &scene.frames.emplace_back();
    for (int depth = 0; depth < 100000; ++depth)
        frame = &frame->children.emplace_back();
    frame->mesh = validMesh();
    frame->mesh.texCoordFaces.pop_back(); // would stop the triangulation
    checkImportedScene(scene);
    prepareImportedScene(scene);
    EXPECT_EQ(frame->mesh.faces.size(), 3u);
    EXPECT_TRUE(frame->mesh.texCoordFaces.empty());
    // Taken apart level by level: the frames' own destructors would recurse.
    std::list<XFrame> pending = std::move(scene.frames);
    while (!pending.empty()) {
        std::list<XFrame> children = std::move(pending.front().children);
        pending = std::move(children);
    }
}

} // namespace
