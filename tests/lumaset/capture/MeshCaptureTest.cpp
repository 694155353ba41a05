#include "CaptureTestSupport.h"

#include "capture/ModifierSwitch.h"
#include "iparamblock2.h"
#include "istdplug.h"

#include <set>
#include <tuple>

using namespace scenekit;

namespace {

using MeshCaptureTest = CaptureTest;

SnapshotMesh meshOf(INode* node) {
    SnapshotMesh mesh;
    SceneCapture().captureMesh(node, mesh);
    return mesh;
}

// The colour every corner shows, face by face.
std::vector<SnapshotColor> cornerColors(const SnapshotMesh& mesh) {
    std::vector<SnapshotColor> colors;
    for (const SnapshotTriangle& face : mesh.colorFaces)
        for (std::uint32_t index : face.indices)
            colors.push_back(mesh.colors.at(index));
    return colors;
}

// Checks the invariants every captured mesh keeps: per-face lists match the faces, every index
// is within its value list.
void expectMeshInvariants(const SnapshotMesh& mesh) {
    const std::size_t faceCount = mesh.faces.size();
    ASSERT_EQ(mesh.normalFaces.size(), faceCount);
    ASSERT_EQ(mesh.faceMaterials.size(), faceCount);
    ASSERT_TRUE(mesh.texCoordFaces.empty() || mesh.texCoordFaces.size() == faceCount);
    ASSERT_TRUE(mesh.colorFaces.empty() || mesh.colorFaces.size() == faceCount);
    auto within = [](const std::vector<SnapshotTriangle>& faces, std::size_t count) {
        for (const SnapshotTriangle& face : faces)
            for (std::uint32_t index : face.indices)
                if (index >= count) return false;
        return true;
    };
    EXPECT_TRUE(within(mesh.faces, mesh.positions.size()));
    EXPECT_TRUE(within(mesh.normalFaces, mesh.normals.size()));
    EXPECT_TRUE(within(mesh.texCoordFaces, mesh.texCoords.size()));
    EXPECT_TRUE(within(mesh.colorFaces, mesh.colors.size()));
    for (const SnapshotSkinWeights& bone : mesh.skinWeights)
        for (const auto& [vertex, weight] : bone.weights)
            EXPECT_LT(std::size_t(vertex), mesh.positions.size());
}

TEST_F(MeshCaptureTest, ABoxKeepsItsCornersAndGetsOneNormalPerSide) {
    INode* box = makeBox("box", Point3(2, 2, 2));
    baseMesh(box).setTVert(1, 0.25f, 0.75f, 0.0f);

    const SnapshotMesh mesh = meshOf(box);
    expectMeshInvariants(mesh);
    EXPECT_EQ(mesh.positions.size(), 8u);
    ASSERT_EQ(mesh.faces.size(), 12u);
    EXPECT_EQ(mesh.normals.size(), 6u);
    EXPECT_EQ(mesh.normalFaces.size(), 12u);
    // Side 0 faces -Z: both of its triangles show (0, 0, -1) at every corner.
    for (std::uint32_t index : mesh.normalFaces[1].indices)
        EXPECT_TRUE(pointNear(mesh.normals[index], Point3(0, 0, -1)));
    // Texture coordinates have v flipped: (1, 0) becomes (1, 1), (0.25, 0.75) becomes (0.25, 0.25).
    std::set<std::pair<float, float>> uvs;
    for (const SnapshotTexCoord& t : mesh.texCoords)
        uvs.insert({t.u, t.v});
    EXPECT_EQ(uvs, (std::set<std::pair<float, float>>{{0, 1}, {0.25f, 0.25f}, {1, 0}, {0, 0}}));
    // No material: one in the wire colour; material ids stay 0 without sub-materials.
    ASSERT_EQ(mesh.materials.size(), 1u);
    EXPECT_EQ(mesh.faceMaterials, std::vector<std::int32_t>(12, 0));
    EXPECT_TRUE(mesh.colors.empty());
}

TEST_F(MeshCaptureTest, EachCornerTakesTheNormalOfItsSmoothingGroup) {
    // A square tube: the mantle smooth (group 1), the caps flat (groups 2 and 4).
    INode* tube = makeCylinder("tube", 1.0f, 2.0f, 4, 2);
    SnapshotMesh mesh = meshOf(tube);
    expectMeshInvariants(mesh);
    for (std::size_t f = 0; f < mesh.faces.size(); ++f) {
        float height = 0;
        for (std::uint32_t v : mesh.faces[f].indices)
            height += mesh.positions[v].z;
        for (int k = 0; k < 3; ++k) {
            const Point3& normal = mesh.normals[mesh.normalFaces[f].indices[k]];
            const Point3& corner = mesh.positions[mesh.faces[f].indices[k]];
            EXPECT_NEAR(normal.Length(), 1.0f, 1e-5f);
            if (height == 0.0f) {
                EXPECT_TRUE(pointNear(normal, Point3(0, 0, -1))) << "bottom face " << f;
            } else if (height == 6.0f) {
                EXPECT_TRUE(pointNear(normal, Point3(0, 0, 1))) << "top face " << f;
            } else {
                // Smoothed round the tube: near the corner's own direction from the axis, far
                // from the flat side's normal (45 degrees away).
                EXPECT_NEAR(normal.z, 0.0f, 1e-5f) << "mantle face " << f;
                EXPECT_GT(normal % Normalize(Point3(corner.x, corner.y, 0)), 0.85f);
            }
        }
    }

    // Without smoothing every face shows its own normal: four sides and two caps.
    setSmoothingGroups(tube, 0);
    EXPECT_EQ(meshOf(tube).normals.size(), 6u);
}

TEST_F(MeshCaptureTest, PositionsAreInTheNodesSpaceWithTheObjectOffsetApplied) {
    INode* box = makeBox("box");
    place(box, translation(10, 0, 0));
    box->SetObjOffsetPos(Point3(0, 0, 5));
    const SnapshotMesh mesh = meshOf(box);
    for (const Point3& p : mesh.positions)
        EXPECT_NEAR(std::fabs(p.z - 5.0f), 0.5f, 1e-5f);
}

TEST_F(MeshCaptureTest, OnlyRenderableVisibleConvertibleNodesHaveMeshes) {
    INode* half = makeBox("half");
    half->SetVisibility(0, 0.5f);
    INode* invisible = makeBox("invisible");
    invisible->SetVisibility(0, 0.0f);
    INode* unrendered = makeBox("unrendered");
    unrendered->SetRenderable(FALSE);
    INode* empty = makeNode("empty");

    EXPECT_EQ(meshOf(half).faces.size(), 12u);
    EXPECT_TRUE(meshOf(invisible).positions.empty());
    EXPECT_TRUE(meshOf(unrendered).positions.empty());
    EXPECT_TRUE(meshOf(empty).materials.empty());
    auto snapshot = capture();
    EXPECT_EQ(snapshot->nodes.size(), 4u); // the nodes themselves are all there
}

TEST_F(MeshCaptureTest, WireColourAndStandardMaterials) {
    INode* plain = makeBox("plain");
    plain->SetWireColor(RGB(255, 0, 0));
    const SnapshotMaterial wire = meshOf(plain).materials.at(0);
    EXPECT_EQ(wire.diffuse, (SnapshotColor{1, 0, 0, 1}));
    EXPECT_EQ(wire.diffuseColorChannel, -1);

    INode* textured = makeBox("textured");
    standardMaterial(textured, Color(0.5f, 0.25f, 0.125f), "C:\\art\\wood.png",
                     Color(0.1f, 0.2f, 0.3f), Color(0.9f, 0.8f, 0.7f), 0.25f, 0.75f);
    const SnapshotMaterial m = meshOf(textured).materials.at(0);
    EXPECT_EQ(m.diffuse, (SnapshotColor{0.5f, 0.25f, 0.125f, 0.75f}));
    EXPECT_EQ(m.ambient, (SnapshotColor{0.1f, 0.2f, 0.3f, 0}));
    EXPECT_EQ(m.specular, (SnapshotColor{0.9f, 0.8f, 0.7f, 0}));
    EXPECT_FLOAT_EQ(m.power, 0.25f);
    EXPECT_EQ(m.textureFilename, "C:\\art\\wood.png");
}

TEST_F(MeshCaptureTest, MultiMaterialsKeepFaceIdsAndEmptySlotsTakeTheWireColour) {
    INode* box = makeBox("box");
    box->SetWireColor(RGB(0, 255, 0));
    multiMaterial(box, {standardMaterial(nullptr, Color(1, 0, 0)), nullptr,
                        standardMaterial(nullptr, Color(0, 0, 1))});
    const SnapshotMesh mesh = meshOf(box);
    ASSERT_EQ(mesh.materials.size(), 3u);
    EXPECT_EQ(mesh.materials[1].diffuse, (SnapshotColor{0, 1, 0, 1}));
    EXPECT_EQ(mesh.materials[1].diffuseColorChannel, -1);
    EXPECT_EQ(mesh.materials[1].opacityColorChannel, -1);
    // The box's sides carry ids 0..5: kept as they are, even beyond the three slots.
    EXPECT_EQ(mesh.faceMaterials[0], 0);
    EXPECT_EQ(mesh.faceMaterials[11], 5);
}

TEST_F(MeshCaptureTest, VertexColourMapsColourTheCornersFromTheirChannel) {
    INode* box = makeBox("box");
    setVertexColors(box, std::vector<Point3>(8, Point3(0.5f, 0.5f, 0.5f)));
    Mesh& base = baseMesh(box);
    base.setMapSupport(2);
    base.setNumMapVerts(2, 2);
    base.setMapVert(2, 0, UVVert(1, 0, 0));
    base.setMapVert(2, 1, UVVert(0, 0, 1));
    for (int f = 0; f < base.getNumFaces(); ++f)
        base.mapFaces(2)[f] = TVFace(0, f % 2, 1);
    StdMat2* material = standardMaterial(box, Color(0.2f, 0.2f, 0.2f));
    vertexColorMap(material, ID_DI, 2);

    const SnapshotMesh mesh = meshOf(box);
    expectMeshInvariants(mesh);
    const auto colors = cornerColors(mesh);
    ASSERT_EQ(colors.size(), 36u);
    EXPECT_EQ(colors[0], (SnapshotColor{1, 0, 0, 1}));
    EXPECT_EQ(colors[2], (SnapshotColor{0, 0, 1, 1}));
    EXPECT_EQ(colors[4], (SnapshotColor{0, 0, 1, 1})); // face 1, corner 1
    EXPECT_EQ(mesh.colors.size(), 2u);                 // welded; channel 0's grey is ignored
}

TEST_F(MeshCaptureTest, MaterialIdsBeyondTheSlotsWrapForCornerColours) {
    INode* box = makeBox("box");
    StdMat2* red = standardMaterial(nullptr, Color(1, 0, 0));
    vertexColorMap(red, ID_OP, 7); // a channel the mesh does not carry
    StdMat2* blue =
        standardMaterial(nullptr, Color(0, 0, 1), "", Color(0, 0, 0), Color(0, 0, 0), 0.1f, 0.5f);
    vertexColorMap(blue, ID_DI, MAX_MESHMAPS + 20); // outside every mesh's channels
    multiMaterial(box, {red, blue});

    const SnapshotMesh mesh = meshOf(box);
    expectMeshInvariants(mesh);
    const auto colors = cornerColors(mesh);
    ASSERT_EQ(colors.size(), 36u);
    // Side s (faces 2s and 2s + 1) has id s: ids 2 and 4 show red, 3 and 5 blue.
    for (int side = 0; side < 6; ++side) {
        const SnapshotColor expected =
            side % 2 == 0 ? SnapshotColor{1, 0, 0, 1} : SnapshotColor{0, 0, 1, 0.5f};
        EXPECT_EQ(colors[std::size_t(side) * 6], expected) << "side " << side;
        EXPECT_EQ(mesh.faceMaterials[std::size_t(side) * 2], side);
    }
}

TEST_F(MeshCaptureTest, MeshColoursComeWithOpaqueAlpha) {
    INode* box = makeBox("box");
    std::vector<Point3> colors;
    for (int i = 0; i < 8; ++i)
        colors.push_back(Point3(float(i) / 8, 0, 0));
    setVertexColors(box, colors);
    const SnapshotMesh mesh = meshOf(box);
    expectMeshInvariants(mesh);
    EXPECT_EQ(mesh.colors.size(), 8u);
    EXPECT_EQ(cornerColors(mesh)[0], (SnapshotColor{0, 0, 0, 1}));
}

// An object that is no triangle mesh but converts to a new one (as primitives do), counting the
// triangle objects it hands out that are still alive.
class ConvertingObject : public GeomObject {
public:
    static int& liveCount() {
        static int count = 0;
        return count;
    }
    class Converted : public TriObject {
    public:
        Converted() { ++liveCount(); }
        ~Converted() override { --liveCount(); }
    };
    Class_ID ClassID() override { return Class_ID(0x51234, 0x77); }
    int CanConvertToType(Class_ID type) override { return type == triObjectClassID; }
    Object* ConvertToType(TimeValue, Class_ID type) override {
        if (type != triObjectClassID) return nullptr;
        auto* tri = new Converted;
        tri->mesh.setNumVerts(3);
        tri->mesh.setVert(1, 1, 0, 0);
        tri->mesh.setVert(2, 0, 1, 0);
        tri->mesh.setNumFaces(1);
        tri->mesh.faces[0].setVerts(0, 1, 2);
        return tri;
    }
};

// An object that cannot become a mesh (a camera, a light, a helper).
class UnconvertibleObject : public GeomObject {
public:
    Class_ID ClassID() override { return Class_ID(0x51235, 0x77); }
    int CanConvertToType(Class_ID) override { return FALSE; }
};

TEST_F(MeshCaptureTest, ATriangleObjectMadeByConversionIsDeletedAfterReading) {
    INode* node = makeNode("primitive", new ConvertingObject);
    INode* camera = makeNode("camera", new UnconvertibleObject);
    const SnapshotMesh mesh = meshOf(node);
    EXPECT_EQ(mesh.faces.size(), 1u);
    EXPECT_EQ(mesh.positions.size(), 3u);
    EXPECT_EQ(ConvertingObject::liveCount(), 0);
    EXPECT_TRUE(meshOf(camera).positions.empty());
}

// A mesh whose index lists point past their values cannot be exported as it is: the broken
// stream is left out, never read past its end.
TEST_F(MeshCaptureTest, IndicesPastTheirValuesAreNeverFollowed) {
    INode* box = makeBox("box");
    baseMesh(box).tvFace[3].setTVerts(0, 1, 40);
    SnapshotMesh mesh = meshOf(box);
    expectMeshInvariants(mesh);
    EXPECT_EQ(mesh.faces.size(), 12u);
    EXPECT_TRUE(mesh.texCoords.empty());
    EXPECT_TRUE(mesh.texCoordFaces.empty());

    baseMesh(box).faces[5].setVerts(0, 1, 8);
    EXPECT_TRUE(meshOf(box).positions.empty());
}

TEST_F(MeshCaptureTest, ANodeScaledToZeroIsCapturedWithoutFault) {
    INode* box = makeBox("popIn");
    keyScale(box, 0, Point3(0, 0, 0));
    keyScale(box, 1600, Point3(1, 1, 1));
    auto snapshot = capture();
    ASSERT_EQ(snapshot->nodes.size(), 1u);
    expectMeshInvariants(snapshot->nodes[0].mesh);
    auto sampled = capture(30);
    EXPECT_EQ(sampled->animationSets.at("default").at("popIn").matrixKeys.size(), 100u);
}

} // namespace
