#include <cmath>

#include "HostTestSupport.h"
#include "SceneKit.h"
#include "iskin.h"
#include "phyexp.h"

namespace {

using SkinTest = HostSceneTest;
using namespace scenekit;

const float kQuarterTurn = 1.5707963f;

// A cylinder of radius 1 from z 0 to 4 (8 sides, 4 rings of faces) over two bones of length 2
// standing on the origin; the upper bone turns a quarter about X between ticks 0 and 160.
struct BendingScene {
    INode* cylinder;
    std::vector<INode*> bones;
    int topCentre;

    BendingScene() {
        cylinder = makeCylinder("Tube", 1.0f, 4.0f, 8, 4);
        bones = makeBoneChain("Bone", 2, 2.0f);
        topCentre = baseMesh(cylinder).getNumVerts() - 1;
        keyRotation(bones[1], 0, Quat(0.0f, 0.0f, 0.0f, 1.0f));
        keyRotation(bones[1], 160, rotationAbout(0, kQuarterTurn));
    }
    // Vertex k of ring r (ring r at z = r).
    int ringVertex(int r, int k) const { return r * 8 + k; }
};

void expectBends(BendingScene& scene, Modifier* mod) {
    Mesh rest = evaluatedMesh(scene.cylinder, 0);
    Mesh bent = evaluatedMesh(scene.cylinder, 160);
    ASSERT_EQ(bent.getNumVerts(), baseMesh(scene.cylinder).getNumVerts());
    // At rest nothing moves.
    EXPECT_TRUE(pointNear(rest.verts[scene.topCentre], Point3(0.0f, 0.0f, 4.0f)));
    // The top follows the upper bone: (0, 0, 2) above its pivot turns to (0, -2, 0).
    EXPECT_TRUE(pointNear(bent.verts[scene.topCentre], Point3(0.0f, -2.0f, 2.0f)));
    // Ring 3 is all upper bone: (1, 0, 1) from the pivot turns to (1, -1, 0).
    EXPECT_TRUE(pointNear(bent.verts[scene.ringVertex(3, 0)], Point3(1.0f, -1.0f, 2.0f)));
    // Ring 2 blends both bones half and half; (1, 0, 2) lies on the turning axis.
    EXPECT_TRUE(pointNear(bent.verts[scene.ringVertex(2, 0)], Point3(1.0f, 0.0f, 2.0f)));
    // (0, 1, 2) turns to (0, 0, 3) with the upper bone, so the blend is (0, 0.5, 2.5).
    EXPECT_TRUE(pointNear(bent.verts[scene.ringVertex(2, 2)], Point3(0.0f, 0.5f, 2.5f)));
    // The bottom ring stays with the lower bone.
    EXPECT_TRUE(pointNear(bent.verts[scene.ringVertex(0, 0)], Point3(1.0f, 0.0f, 0.0f)));

    // Switched off, the pipeline shows the bind pose; switched on again it bends again.
    mod->DisableMod();
    EXPECT_FALSE(mod->IsEnabled());
    EXPECT_TRUE(pointNear(evaluatedMesh(scene.cylinder, 160).verts[scene.topCentre],
                          Point3(0.0f, 0.0f, 4.0f)));
    mod->EnableMod();
    EXPECT_TRUE(pointNear(evaluatedMesh(scene.cylinder, 160).verts[scene.topCentre],
                          Point3(0.0f, -2.0f, 2.0f)));
    // The base object itself never changes.
    EXPECT_TRUE(
        pointNear(baseMesh(scene.cylinder).verts[scene.topCentre], Point3(0.0f, 0.0f, 4.0f)));
}

TEST_F(SkinTest, SkinnedCylinderBendsWithItsBoneAndReturnsToBindPoseWhenDisabled) {
    BendingScene scene;
    Modifier* skin = skinTo(scene.cylinder, scene.bones);
    expectBends(scene, skin);
}

TEST_F(SkinTest, PhysiqueCylinderBendsTheSameWay) {
    BendingScene scene;
    Modifier* physique = physiqueTo(scene.cylinder, scene.bones);
    expectBends(scene, physique);
}

TEST_F(SkinTest, SkinInterfacesReportBonesBindMatricesAndWeights) {
    BendingScene scene;
    Modifier* skin = skinTo(scene.cylinder, scene.bones);
    auto* iskin = static_cast<ISkin*>(skin->GetInterface(I_SKIN));
    ASSERT_NE(iskin, nullptr);
    EXPECT_EQ(skin->ClassID(), Class_ID(0x95C723, 0x15666));
    EXPECT_EQ(iskin->GetNumBones(), 2);
    EXPECT_EQ(iskin->GetBone(1), scene.bones[1]);
    EXPECT_EQ(iskin->GetBone(2), nullptr);
    EXPECT_STREQ(iskin->GetBoneName(0), "Bone0");

    Matrix3 init;
    ASSERT_EQ(iskin->GetBoneInitTM(scene.bones[1], init), SKIN_OK);
    EXPECT_TRUE(pointNear(init.GetTrans(), Point3(0.0f, 0.0f, 2.0f)));
    EXPECT_EQ(iskin->GetBoneInitTM(scene.cylinder, init), SKIN_INVALID_NODE_PTR);
    EXPECT_EQ(iskin->GetSkinInitTM(scene.cylinder, init), SKIN_OK);
    EXPECT_EQ(iskin->GetSkinInitTM(scene.bones[0], init), SKIN_INVALID_NODE_PTR);

    ISkinContextData* context = iskin->GetContextInterface(scene.cylinder);
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(iskin->GetContextInterface(scene.bones[0]), nullptr);
    EXPECT_EQ(context->GetNumPoints(), baseMesh(scene.cylinder).getNumVerts());
    int ring2 = scene.ringVertex(2, 0);
    ASSERT_EQ(context->GetNumAssignedBones(ring2), 2);
    EXPECT_EQ(context->GetAssignedBone(ring2, 1), 1);
    EXPECT_FLOAT_EQ(context->GetBoneWeight(ring2, 0) + context->GetBoneWeight(ring2, 1), 1.0f);
    EXPECT_EQ(context->GetNumAssignedBones(scene.topCentre), 1);
    EXPECT_EQ(context->GetNumAssignedBones(-1), 0);
    EXPECT_EQ(context->GetAssignedBone(ring2, 5), -1);

    // Import calls refuse what does not belong to this skin and change nothing then.
    auto* import = static_cast<ISkinImportData*>(skin->GetInterface(I_SKINIMPORTDATA));
    Tab<INode*> bonesOfVertex;
    Tab<float> weightsOfVertex;
    INode* stranger = makeNode("Stranger");
    float one = 1.0f;
    bonesOfVertex.Append(1, &stranger);
    weightsOfVertex.Append(1, &one);
    EXPECT_FALSE(import->AddWeights(scene.cylinder, 0, bonesOfVertex, weightsOfVertex));
    EXPECT_EQ(context->GetNumAssignedBones(0), 1);
    EXPECT_FALSE(import->AddWeights(scene.cylinder, context->GetNumPoints(), bonesOfVertex,
                                    weightsOfVertex));
    EXPECT_FALSE(import->SetSkinTm(stranger, Matrix3(1), Matrix3(1)));
    EXPECT_FALSE(import->AddBoneEx(scene.bones[0], TRUE)); // already a bone
    EXPECT_FALSE(import->AddBoneEx(nullptr, TRUE));
    EXPECT_TRUE(import->SetBoneTm(scene.bones[0], translation(0, 0, 1), translation(0, 0, 1)));
    ASSERT_EQ(iskin->GetBoneInitTM(scene.bones[0], init, true), SKIN_OK);
    EXPECT_TRUE(pointNear(init.GetTrans(), Point3(0.0f, 0.0f, 1.0f)));

    // An empty list clears a vertex's influences, and it then stays where it is.
    Tab<INode*> none;
    Tab<float> noWeights;
    EXPECT_TRUE(import->AddWeights(scene.cylinder, scene.topCentre, none, noWeights));
    EXPECT_EQ(context->GetNumAssignedBones(scene.topCentre), 0);
    EXPECT_TRUE(pointNear(evaluatedMesh(scene.cylinder, 160).verts[scene.topCentre],
                          Point3(0.0f, 0.0f, 4.0f)));
}

TEST_F(SkinTest, PhysiqueExportInterfacesGiveRigidAndBlendedVertices) {
    BendingScene scene;
    Modifier* physique = physiqueTo(scene.cylinder, scene.bones);
    auto* phy = static_cast<IPhysiqueExport*>(physique->GetInterface(I_PHYINTERFACE));
    ASSERT_NE(phy, nullptr);
    EXPECT_EQ(phy->GetContextInterface(scene.bones[0]), nullptr);
    Matrix3 init;
    EXPECT_EQ(phy->GetInitNodeTM(scene.bones[1], init), MATRIX_RETURNED);
    EXPECT_TRUE(pointNear(init.GetTrans(), Point3(0.0f, 0.0f, 2.0f)));
    EXPECT_EQ(phy->GetInitNodeTM(makeNode("Stranger"), init), NODE_NOT_FOUND);

    IPhyContextExport* context = phy->GetContextInterface(scene.cylinder);
    ASSERT_NE(context, nullptr);
    context->ConvertToRigid(TRUE);
    context->AllowBlending(TRUE);
    EXPECT_EQ(context->GetNumberVertices(), baseMesh(scene.cylinder).getNumVerts());

    IPhyVertexExport* top = context->GetVertexInterface(scene.topCentre);
    ASSERT_NE(top, nullptr);
    ASSERT_EQ(top->GetVertexType(), RIGID_TYPE);
    auto* rigid = static_cast<IPhyRigidVertex*>(top);
    EXPECT_EQ(rigid->GetNode(), scene.bones[1]);
    EXPECT_TRUE(
        pointNear(rigid->GetOffsetVector(), Point3(0.0f, 0.0f, 2.0f))); // (0,0,4) from (0,0,2)
    context->ReleaseVertexInterface(top);

    IPhyVertexExport* middle = context->GetVertexInterface(scene.ringVertex(2, 0));
    ASSERT_NE(middle, nullptr);
    ASSERT_EQ(middle->GetVertexType(), RIGID_BLENDED_TYPE);
    auto* blended = static_cast<IPhyBlendedRigidVertex*>(middle);
    ASSERT_EQ(blended->GetNumberNodes(), 2);
    EXPECT_FLOAT_EQ(blended->GetWeight(0), 0.5f);
    EXPECT_TRUE(pointNear(blended->GetOffsetVector(0), Point3(1.0f, 0.0f, 2.0f)));
    EXPECT_TRUE(pointNear(blended->GetOffsetVector(1), Point3(1.0f, 0.0f, 0.0f)));
    context->ReleaseVertexInterface(middle);

    context->AllowBlending(FALSE);
    EXPECT_EQ(context->GetVertexInterface(scene.ringVertex(2, 0)), nullptr);
    EXPECT_EQ(context->GetVertexInterface(-1), nullptr);
    phy->ReleaseContextInterface(context);
    physique->ReleaseInterface(I_PHYINTERFACE, phy);
}

TEST_F(SkinTest, SkinDataComesIntoBeingAtTheFirstEvaluation) {
    BendingScene scene;
    auto* skin = static_cast<Modifier*>(CreateInstance(OSM_CLASS_ID, SKIN_CLASSID));
    addModifier(scene.cylinder, skin);
    auto* iskin = static_cast<ISkin*>(skin->GetInterface(I_SKIN));
    auto* import = static_cast<ISkinImportData*>(skin->GetInterface(I_SKINIMPORTDATA));
    EXPECT_TRUE(import->AddBoneEx(scene.bones[0], TRUE)); // bones belong to the modifier

    // Not evaluated yet: the node has no skin data, so nothing about it can be read or set.
    EXPECT_EQ(iskin->GetContextInterface(scene.cylinder), nullptr);
    Matrix3 init;
    EXPECT_EQ(iskin->GetSkinInitTM(scene.cylinder, init), SKIN_INVALID_NODE_PTR);
    EXPECT_FALSE(import->SetSkinTm(scene.cylinder, Matrix3(1), Matrix3(1)));
    Tab<INode*> bones;
    Tab<float> weights;
    INode* bone = scene.bones[0];
    float one = 1.0f;
    bones.Append(1, &bone);
    weights.Append(1, &one);
    EXPECT_FALSE(import->AddWeights(scene.cylinder, 0, bones, weights));

    // A disabled modifier is skipped by the evaluation, so it still makes none.
    skin->DisableMod();
    scene.cylinder->EvalWorldState(0);
    EXPECT_EQ(iskin->GetContextInterface(scene.cylinder), nullptr);
    skin->EnableMod();

    // Moved before the first evaluation: the captured matrices are those of that moment.
    place(scene.cylinder, translation(0.0f, 3.0f, 0.0f));
    scene.cylinder->EvalWorldState(0);
    ISkinContextData* context = iskin->GetContextInterface(scene.cylinder);
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(context->GetNumPoints(), baseMesh(scene.cylinder).getNumVerts());
    EXPECT_EQ(context->GetNumAssignedBones(0), 0);
    ASSERT_EQ(iskin->GetSkinInitTM(scene.cylinder, init), SKIN_OK);
    EXPECT_TRUE(pointNear(init.GetTrans(), Point3(0.0f, 3.0f, 0.0f)));
    EXPECT_TRUE(import->AddWeights(scene.cylinder, 0, bones, weights));
    EXPECT_EQ(context->GetNumAssignedBones(0), 1);
    EXPECT_TRUE(import->SetSkinTm(scene.cylinder, Matrix3(1), Matrix3(1)));
}

TEST_F(SkinTest, PhysiqueDeformableVerticesShowOnlyWhenAskedForAsRigid) {
    BendingScene scene;
    Modifier* physique = physiqueTo(scene.cylinder, scene.bones, {}, true);
    auto* phy = static_cast<IPhysiqueExport*>(physique->GetInterface(I_PHYINTERFACE));
    IPhyContextExport* context = phy->GetContextInterface(scene.cylinder);
    ASSERT_NE(context, nullptr);
    // By default a deformable vertex has no interface a reader of rigid vertices could use.
    EXPECT_EQ(context->GetVertexInterface(scene.topCentre), nullptr);
    EXPECT_EQ(context->GetVertexInterface(scene.ringVertex(2, 0)), nullptr);

    context->ConvertToRigid(TRUE);
    IPhyVertexExport* top = context->GetVertexInterface(scene.topCentre);
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->GetVertexType(), RIGID_TYPE);
    EXPECT_EQ(static_cast<IPhyRigidVertex*>(top)->GetNode(), scene.bones[1]);
    context->ReleaseVertexInterface(top);
    IPhyVertexExport* middle = context->GetVertexInterface(scene.ringVertex(2, 0));
    ASSERT_NE(middle, nullptr);
    EXPECT_EQ(middle->GetVertexType(), RIGID_BLENDED_TYPE);
    context->ReleaseVertexInterface(middle);
    phy->ReleaseContextInterface(context);

    // Deformable vertices deform like rigid ones.
    expectBends(scene, physique);
}

TEST_F(SkinTest, PhysiqueFloatingBonesPullTheirVerticesToo) {
    BendingScene scene;
    const int top = scene.topCentre;
    std::vector<PhysiqueVertexSpec> vertices(size_t(baseMesh(scene.cylinder).getNumVerts()));
    for (PhysiqueVertexSpec& vertex : vertices)
        vertex.links = {{0, 1.0f}};
    // The top centre: half its own lower bone, half the upper bone floating over it.
    vertices[size_t(top)].links = {{0, 0.5f}};
    vertices[size_t(top)].floating = {{1, 0.5f}};
    Modifier* physique = physiqueWith(scene.cylinder, scene.bones, vertices);
    auto* phy = static_cast<IPhysiqueExport*>(physique->GetInterface(I_PHYINTERFACE));
    IPhyContextExport* context = phy->GetContextInterface(scene.cylinder);
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(context->GetFloatingVertexInterface(0), nullptr);
    IPhyFloatingVertex* floating = context->GetFloatingVertexInterface(top);
    ASSERT_NE(floating, nullptr);
    EXPECT_EQ(floating->GetVertexType(), FLOATING_TYPE);
    ASSERT_EQ(floating->GetNumberNodes(), 1);
    EXPECT_EQ(floating->GetNode(0), scene.bones[1]);
    float total = 0.0f;
    EXPECT_FLOAT_EQ(floating->GetWeight(0, total), 0.5f);
    EXPECT_FLOAT_EQ(total, 0.5f);
    EXPECT_TRUE(pointNear(floating->GetOffsetVector(0), Point3(0.0f, 0.0f, 2.0f)));
    context->ReleaseVertexInterface(floating);
    IPhyVertexExport* own = context->GetVertexInterface(top);
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(static_cast<IPhyRigidVertex*>(own)->GetNode(), scene.bones[0]);
    context->ReleaseVertexInterface(own);
    phy->ReleaseContextInterface(context);

    // (0, 0, 4) stays with the lower bone and turns to (0, -2, 2) with the upper: half way.
    EXPECT_TRUE(
        pointNear(evaluatedMesh(scene.cylinder, 160).verts[top], Point3(0.0f, -1.0f, 3.0f)));
}

} // namespace
