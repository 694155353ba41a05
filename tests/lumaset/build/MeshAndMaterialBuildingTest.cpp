// Meshes and materials built from a snapshot: the streams as the host stores them, smoothing
// from the normal faces, material ids, standard and multi/sub-object materials, the vertex-colour
// display and opacity map, and the bounds the builder keeps on a snapshot that breaks the
// per-face rules.
#include "ImportTestSupport.h"

#include "build/SceneBuilder.h"

#include "IVertexPaint.h"
#include "impexp.h"
#include "iparamblock2.h"
#include "istdplug.h"
#include "maxapi.h"
#include "modstack.h"
#include "stdmat.h"
#include "triobj.h"

#include <SceneKit.h>

using namespace importtest;

namespace {

SnapshotTriangle tri(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
    return SnapshotTriangle{{a, b, c}};
}

SnapshotMaterial material(float r, float g, float b, const std::string& texture = "") {
    SnapshotMaterial m;
    m.diffuse = {r, g, b, 0.75f};
    m.ambient = {0.1f, 0.1f, 0.1f, 1.0f};
    m.specular = {0.5f, 0.5f, 0.5f, 0.0f};
    m.power = 12.0f;
    m.textureFilename = texture;
    return m;
}

// A quad as two triangles over four positions, with every stream.
SnapshotMesh quadMesh() {
    SnapshotMesh mesh;
    mesh.positions = {Point3(0, 0, 0), Point3(1, 0, 0), Point3(1, 1, 0), Point3(0, 1, 0)};
    mesh.faces = {tri(0, 1, 2), tri(0, 2, 3)};
    mesh.normals = {Point3(0, 0, 1), Point3(0, 0, 1), Point3(0, 0, 1)};
    mesh.normalFaces = {tri(0, 1, 2), tri(0, 0, 1)};
    mesh.texCoords = {{0.25f, 0.75f}, {1, 0}, {1, 1}, {0, 1}};
    mesh.texCoordFaces = {tri(0, 1, 2), tri(0, 2, 3)};
    mesh.colors = {{1, 0.5f, 0, 0.25f}, {0, 1, 0, 1}};
    mesh.colorFaces = {tri(0, 1, 1), tri(0, 1, 0)};
    mesh.faceMaterials = {0, 65537};
    mesh.materials = {material(1, 0, 0)};
    return mesh;
}

SnapshotNode nodeWith(const std::string& name, SnapshotMesh mesh) {
    SnapshotNode node;
    node.name = name;
    node.localTransform = Matrix3(TRUE);
    node.mesh = std::move(mesh);
    return node;
}

class MeshAndMaterialBuilding : public ImportTest {
protected:
    // Builds the nodes as an import would and returns the builder.
    SceneBuilder build(std::vector<SnapshotNode> nodes) {
        snapshot.nodes = std::move(nodes);
        SceneBuilder builder;
        builder.SetFileName(scratch("scene.x").string().c_str());
        builder.Build(ii.get(), snapshot);
        return builder;
    }
    static Mesh& meshOf(const std::string& name) {
        INode* node = findNode(name);
        EXPECT_NE(node, nullptr) << name;
        return scenekit::baseMesh(node);
    }
    std::unique_ptr<ImpInterface> ii = hostcore::newImportInterface();
    SceneSnapshot snapshot;
};

TEST_F(MeshAndMaterialBuilding, EveryStreamLandsInTheHostsStorage) {
    build({nodeWith("Quad", quadMesh())});
    Mesh& mesh = meshOf("Quad");
    ASSERT_EQ(mesh.getNumVerts(), 4);
    ASSERT_EQ(mesh.getNumFaces(), 2);
    EXPECT_EQ(mesh.getVert(2), Point3(1, 1, 0));
    // v turns back to the host's upward axis.
    ASSERT_EQ(mesh.getNumTVerts(), 4);
    EXPECT_EQ(mesh.getTVert(0), Point3(0.25f, 0.25f, 0.0f));
    EXPECT_EQ(mesh.tvFace[1].getTVert(2), 3u);
    // Colour in channel 0 (and the old colour array), alpha as grey in channel 2.
    ASSERT_EQ(mesh.getNumMapVerts(0), 2);
    ASSERT_EQ(mesh.getNumMapVerts(2), 2);
    EXPECT_EQ(mesh.vertCol[0], Point3(1, 0.5f, 0));
    EXPECT_EQ(mesh.mapVerts(0)[0], Point3(1, 0.5f, 0));
    EXPECT_EQ(mesh.mapVerts(2)[0], Point3(0.25f, 0.25f, 0.25f));
    EXPECT_EQ(mesh.mapFaces(2)[1].getTVert(1), 1u);
    // Normal faces (0, 1, 2) smooth; (0, 0, 1) flat.
    EXPECT_EQ(mesh.faces[0].getSmGroup(), 1u);
    EXPECT_EQ(mesh.faces[1].getSmGroup(), 0u);
    // The low 16 bits of 65537 give id 1; no edge flags are set.
    EXPECT_EQ(mesh.faces[0].getMatID(), 0);
    EXPECT_EQ(mesh.faces[1].getMatID(), 1);
    EXPECT_EQ(mesh.faces[1].flags & 0xFFFFu, 0u);
}

TEST_F(MeshAndMaterialBuilding, ColoursShowThroughTwoPaintModifiersAndDriveTheOpacity) {
    build({nodeWith("Quad", quadMesh())});
    INode* node = findNode("Quad");
    ASSERT_NE(node, nullptr);
    EXPECT_TRUE(node->GetCVertMode());
    ASSERT_EQ(node->GetObjectRef()->SuperClassID(), GEN_DERIVOB_CLASS_ID);
    auto* derived = static_cast<IDerivedObject*>(node->GetObjectRef());
    ASSERT_EQ(derived->NumModifiers(), 2);
    // Channel 0 went on first, so it sits below channel 2.
    int channels[2] = {-1, -1};
    for (int i = 0; i < 2; ++i) {
        auto* paint = static_cast<IVertexPaint*>(
            derived->GetModifier(i)->GetInterface(IVERTEXPAINT_INTERFACE_ID));
        ASSERT_NE(paint, nullptr);
        IVertexPaint::Options options;
        paint->GetOptions(options);
        channels[i] = options.mapChannel;
    }
    EXPECT_EQ(channels[0], 2);
    EXPECT_EQ(channels[1], 0);
    auto* standard = dynamic_cast<StdMat2*>(node->GetMtl());
    ASSERT_NE(standard, nullptr);
    Texmap* opacity = standard->GetSubTexmap(ID_OP);
    ASSERT_NE(opacity, nullptr);
    EXPECT_EQ(opacity->ClassID(), Class_ID(VCOL_CLASS_ID, 0));
    EXPECT_EQ(opacity->GetParamBlock(0)->GetInt(0), 2);
    EXPECT_EQ(snapshot.nodes[0].mesh.materials[0].opacityColorChannel, 2);
}

TEST_F(MeshAndMaterialBuilding, OneMaterialIsAStandardMaterialWithTheFilesValues) {
    SnapshotMesh mesh = quadMesh();
    mesh.colors.clear();
    mesh.colorFaces.clear();
    mesh.materials = {material(0.2f, 0.4f, 0.6f, "nowhere/brick.png")};
    build({nodeWith("Quad", mesh)});
    INode* node = findNode("Quad");
    auto* standard = dynamic_cast<StdMat2*>(node->GetMtl());
    ASSERT_NE(standard, nullptr);
    EXPECT_EQ(standard->GetDiffuse(0), Color(0.2f, 0.4f, 0.6f));
    EXPECT_EQ(standard->GetAmbient(0), Color(0.1f, 0.1f, 0.1f));
    EXPECT_EQ(standard->GetSpecular(0), Color(0.5f, 0.5f, 0.5f));
    EXPECT_EQ(standard->GetShininess(0), 12.0f);
    EXPECT_EQ(standard->GetOpacity(0), 0.75f);
    EXPECT_EQ(standard->GetSubTexmap(ID_OP), nullptr); // no colours, no opacity map
    auto* bitmap = dynamic_cast<BitmapTex*>(standard->GetSubTexmap(ID_DI));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_STREQ(bitmap->GetMapName(), "nowhere/brick.png"); // found nowhere: kept as written
    EXPECT_TRUE(standard->MapEnabled(ID_DI));
    EXPECT_EQ(standard->GetTexmapAmt(ID_DI, 0), 1.0f);
    EXPECT_FALSE(node->GetCVertMode());
}

TEST_F(MeshAndMaterialBuilding, SeveralMaterialsBecomeSubMaterialsTheFaceIdsSelect) {
    SnapshotMesh mesh = quadMesh();
    mesh.materials = {material(1, 0, 0), material(0, 0, 1)};
    mesh.faceMaterials = {1, 0};
    build({nodeWith("Quad", mesh)});
    INode* node = findNode("Quad");
    Mtl* assigned = node->GetMtl();
    ASSERT_NE(assigned, nullptr);
    ASSERT_EQ(assigned->ClassID(), Class_ID(MULTI_CLASS_ID, 0));
    ASSERT_EQ(assigned->NumSubMtls(), 2);
    EXPECT_EQ(assigned->GetSubMtl(0)->GetDiffuse(), Color(1, 0, 0));
    EXPECT_EQ(assigned->GetSubMtl(1)->GetDiffuse(), Color(0, 0, 1));
    Mesh& built = meshOf("Quad");
    EXPECT_EQ(built.faces[0].getMatID(), 1);
    EXPECT_EQ(built.faces[1].getMatID(), 0);
}

TEST_F(MeshAndMaterialBuilding, AMeshWithoutMaterialsLeavesTheNodeWithout) {
    SnapshotMesh mesh = quadMesh();
    mesh.materials.clear();
    build({nodeWith("Quad", mesh), nodeWith("Empty", SnapshotMesh{})});
    EXPECT_EQ(findNode("Quad")->GetMtl(), nullptr);
    EXPECT_EQ(meshOf("Quad").faces[1].getMatID(), 0); // ids are set only with materials
    EXPECT_EQ(meshOf("Empty").getNumVerts(), 0);
    EXPECT_EQ(meshOf("Empty").getNumFaces(), 0);
}

// Each way a snapshot mesh can break the per-face rules, with what the builder keeps.
TEST_F(MeshAndMaterialBuilding, AMeshThatBreaksThePerFaceRulesIsBuiltWithinBounds) {
    struct Case {
        const char* name;
        void (*breakIt)(SnapshotMesh&);
        int faces, texVerts, colorVerts;
    };
    const Case cases[] = {
        {"CornerBeyondPositions", [](SnapshotMesh& m) { m.faces[0] = tri(0, 1, 4); }, 1, 4, 2},
        {"HugeCorner", [](SnapshotMesh& m) { m.faces[1] = tri(0, 0xFFFFFFFFu, 1); }, 1, 4, 2},
        {"ShortTexFaces", [](SnapshotMesh& m) { m.texCoordFaces.pop_back(); }, 2, 0, 2},
        {"TexIndexBeyond", [](SnapshotMesh& m) { m.texCoordFaces[1] = tri(0, 9, 1); }, 2, 0, 2},
        {"LongColorFaces", [](SnapshotMesh& m) { m.colorFaces.push_back(tri(0, 0, 0)); }, 2, 4, 0},
        {"ColorIndexBeyond", [](SnapshotMesh& m) { m.colorFaces[0] = tri(2, 0, 0); }, 2, 4, 0},
        {"ShortNormalFaces", [](SnapshotMesh& m) { m.normalFaces.resize(0); }, 2, 4, 2},
        {"ShortFaceMaterials", [](SnapshotMesh& m) { m.faceMaterials = {1}; }, 2, 4, 2},
        {"NoFaceMaterials", [](SnapshotMesh& m) { m.faceMaterials.clear(); }, 2, 4, 2},
    };
    std::vector<SnapshotNode> nodes;
    for (const Case& c : cases) {
        SnapshotMesh mesh = quadMesh();
        c.breakIt(mesh);
        nodes.push_back(nodeWith(c.name, mesh));
    }
    build(nodes);
    for (const Case& c : cases) {
        Mesh& mesh = meshOf(c.name);
        EXPECT_EQ(mesh.getNumFaces(), c.faces) << c.name;
        EXPECT_EQ(mesh.getNumTVerts(), c.texVerts) << c.name;
        EXPECT_EQ(mesh.getNumMapVerts(0), c.colorVerts) << c.name;
        for (int f = 0; f < mesh.getNumFaces(); ++f)
            for (int corner = 0; corner < 3; ++corner) {
                EXPECT_LT(mesh.faces[f].getVert(corner), DWORD(mesh.getNumVerts())) << c.name;
                if (mesh.getNumTVerts() > 0) {
                    EXPECT_LT(mesh.tvFace[f].getTVert(corner), DWORD(mesh.getNumTVerts()));
                }
            }
    }
    // The kept face of a dropped one keeps its own entries: face 1's material id 1.
    EXPECT_EQ(meshOf("CornerBeyondPositions").faces[0].getMatID(), 1);
    EXPECT_EQ(meshOf("CornerBeyondPositions").faces[0].getVert(2), 3u);
    EXPECT_EQ(meshOf("HugeCorner").faces[0].getVert(2), 2u);
    // No normal faces: every face flat. A short material list repeats its last id.
    EXPECT_EQ(meshOf("ShortNormalFaces").faces[0].getSmGroup(), 0u);
    EXPECT_EQ(meshOf("ShortFaceMaterials").faces[1].getMatID(), 1);
    EXPECT_EQ(meshOf("NoFaceMaterials").faces[1].getMatID(), 0);
}

TEST_F(MeshAndMaterialBuilding, ABoneNodeShowsABoneObjectScaledByTheBoneScale) {
    SnapshotNode skinned = nodeWith("Skin", quadMesh());
    skinned.mesh.skinWeights.push_back({"Bone", Matrix3(TRUE), {{0, 1.0f}}});
    SnapshotNode bone = nodeWith("Bone", SnapshotMesh{});
    bone.mesh.positions = {Point3(0, 0, 0)}; // no faces: nothing to show
    snapshot.nodes = {skinned, bone};
    SceneBuilder builder;
    builder.boneScale[0] = 1.0f;
    builder.boneScale[1] = 2.0f;
    builder.boneScale[2] = 3.0f;
    builder.Build(ii.get(), snapshot);
    INode* boneNode = findNode("Bone");
    ASSERT_NE(boneNode, nullptr);
    EXPECT_TRUE(boneNode->GetBoneNodeOnOff());
    EXPECT_FALSE(boneNode->Renderable());
    EXPECT_EQ(boneNode->GetObjectRef()->ClassID(), BONE_OBJ_CLASSID);
    EXPECT_EQ(boneNode->GetObjOffsetScale().s, Point3(1, 2, 3));
    EXPECT_TRUE(boneNode->GetObjOffsetScale().q.IsIdentity());
    EXPECT_EQ(scenekit::baseTriObject(boneNode), nullptr);
}

TEST_F(MeshAndMaterialBuilding, ABoneWithGeometryOfItsOwnKeepsShowingIt) {
    // A mesh skinned to its own frame, as some exporters write a rigid skinned object.
    SnapshotNode selfSkinned = nodeWith("Cube", quadMesh());
    selfSkinned.mesh.skinWeights.push_back({"Cube", Matrix3(TRUE), {{0, 1.0f}, {1, 1.0f}}});
    snapshot.nodes = {selfSkinned};
    SceneBuilder builder;
    builder.Build(ii.get(), snapshot);
    INode* cube = findNode("Cube");
    ASSERT_NE(cube, nullptr);
    EXPECT_TRUE(cube->Renderable());
    EXPECT_EQ(meshOf("Cube").getNumFaces(), 2);
    EXPECT_EQ(scenekit::evaluatedMesh(cube, 0).getNumVerts(), 4);
}

} // namespace
