// Skins go to the nodes built for the skinned meshes, with the bones that exist; keys land on
// the timeline set after set, in 64-bit arithmetic, and the sets are stored with the scene.
#include "ImportTestSupport.h"

#include "build/SceneBuilder.h"

#include "control.h"
#include "impexp.h"
#include "iskin.h"
#include "maxapi.h"
#include "modstack.h"

#include <SceneKit.h>

#include <climits>

using namespace importtest;

namespace {

SnapshotTriangle tri(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
    return SnapshotTriangle{{a, b, c}};
}

SnapshotNode node(const std::string& name, Matrix3 local = Matrix3(TRUE)) {
    SnapshotNode n;
    n.name = name;
    n.localTransform = local;
    return n;
}

// Eight corners of a unit cube, two faces.
SnapshotMesh cubeCorners() {
    SnapshotMesh mesh;
    for (int i = 0; i < 8; ++i)
        mesh.positions.push_back(Point3(float(i & 1), float((i >> 1) & 1), float(i >> 2)));
    mesh.faces = {tri(0, 1, 2), tri(4, 5, 6)};
    return mesh;
}

SnapshotSkinWeights influence(const std::string& bone, BoneVertexWeights weights,
                              Matrix3 offset = Matrix3(TRUE)) {
    return SnapshotSkinWeights{bone, offset, std::move(weights)};
}

ISkin* skinOf(INode* node) {
    if (!node || node->GetObjectRef()->SuperClassID() != GEN_DERIVOB_CLASS_ID) return nullptr;
    auto* derived = static_cast<IDerivedObject*>(node->GetObjectRef());
    for (int i = 0; i < derived->NumModifiers(); ++i)
        if (auto* skin = static_cast<ISkin*>(derived->GetModifier(i)->GetInterface(I_SKIN)))
            return skin;
    return nullptr;
}

// The times of a node's keys on one sub-controller.
std::vector<TimeValue> keyTimes(Control* control) {
    std::vector<TimeValue> times;
    for (int i = 0; control && i < control->NumKeys(); ++i)
        times.push_back(control->GetKeyTime(i));
    return times;
}

class SkinAndAnimationBuilding : public ImportTest {
protected:
    void build(SceneBuilder& builder) { builder.Build(ii.get(), snapshot); }
    void build() {
        SceneBuilder builder;
        build(builder);
    }
    std::unique_ptr<ImpInterface> ii = hostcore::newImportInterface();
    SceneSnapshot snapshot;
};

TEST_F(SkinAndAnimationBuilding, EveryVertexGetsItsWeightListAlsoWhenEmpty) {
    SnapshotNode skinned = node("Body");
    skinned.mesh = cubeCorners();
    skinned.mesh.skinWeights = {influence("Bone", {{0, 1.0f}, {1, 0.5f}, {2, 0.25f}, {3, 1.0f}})};
    snapshot.nodes = {skinned, node("Bone", TransMatrix(Point3(0, 0, 2)))};
    build();
    ISkin* skin = skinOf(findNode("Body"));
    ASSERT_NE(skin, nullptr);
    ISkinContextData* weights = skin->GetContextInterface(findNode("Body"));
    ASSERT_NE(weights, nullptr);
    ASSERT_EQ(weights->GetNumPoints(), 8);
    EXPECT_EQ(weights->GetNumAssignedBones(1), 1);
    EXPECT_EQ(weights->GetBoneWeight(1, 0), 0.5f);
    for (int v = 4; v < 8; ++v)
        EXPECT_EQ(weights->GetNumAssignedBones(v), 0) << v;
    EXPECT_EQ(GetCOREInterface()->GetSelNode(0), findNode("Body"));
}

TEST_F(SkinAndAnimationBuilding, TheBindMatricesComeFromTheOffsetAndTheSkinnedNode) {
    const Matrix3 bodyPlace = TransMatrix(Point3(1, 2, 3));
    const Matrix3 boneBind = RotateZMatrix(0.5f) * TransMatrix(Point3(0, 0, 4));
    SnapshotNode skinned = node("Body", bodyPlace);
    skinned.mesh = cubeCorners();
    // The offset carries mesh space into the bone's space at binding time.
    const Matrix3 offset = bodyPlace * Inverse(boneBind);
    skinned.mesh.skinWeights = {influence("Bone", {{0, 1.0f}}, offset)};
    snapshot.nodes = {skinned, node("Bone", boneBind)};
    build();
    INode* body = findNode("Body");
    ISkin* skin = skinOf(body);
    ASSERT_NE(skin, nullptr);
    Matrix3 skinTm, boneTm;
    ASSERT_EQ(skin->GetSkinInitTM(body, skinTm), SKIN_OK);
    ASSERT_EQ(skin->GetBoneInitTM(findNode("Bone"), boneTm), SKIN_OK);
    expectNear(bodyPlace, skinTm, 1e-6f, "skin");
    // inverse(offset) x N = bone bind in world.
    expectNear(boneBind, boneTm, 1e-5f, "bone");
}

TEST_F(SkinAndAnimationBuilding, TwoUnnamedSkinnedMeshesEachGetTheirOwnSkin) {
    SnapshotNode first = node("");
    first.mesh = cubeCorners();
    first.mesh.skinWeights = {influence("A", {{0, 1.0f}})};
    SnapshotNode second = node("");
    second.mesh = cubeCorners();
    second.mesh.skinWeights = {influence("B", {{7, 1.0f}})};
    snapshot.nodes = {first, second, node("A"), node("B")};
    build();
    INode* root = GetCOREInterface()->GetRootNode();
    ASSERT_EQ(root->NumberOfChildren(), 4);
    for (int i = 0; i < 2; ++i) {
        INode* meshNode = root->GetChildNode(i);
        ISkin* skin = skinOf(meshNode);
        ASSERT_NE(skin, nullptr) << i;
        ASSERT_EQ(skin->GetNumBones(), 1) << i;
        EXPECT_STREQ(skin->GetBoneName(0), i == 0 ? "A" : "B");
        ISkinContextData* weights = skin->GetContextInterface(meshNode);
        ASSERT_NE(weights, nullptr);
        EXPECT_EQ(weights->GetNumAssignedBones(i == 0 ? 0 : 7), 1) << i;
        EXPECT_EQ(weights->GetNumAssignedBones(i == 0 ? 7 : 0), 0) << i;
    }
}

TEST_F(SkinAndAnimationBuilding, ABoneNamingNoNodeIsSkippedAndTheOtherWeightsStay) {
    SnapshotNode skinned = node("Body");
    skinned.mesh = cubeCorners();
    skinned.mesh.skinWeights = {influence("Ghost", {{0, 0.3f}}),
                                influence("Real", {{0, 0.7f}, {1, 1.0f}})};
    snapshot.nodes = {skinned, node("Real")};
    build();
    ISkin* skin = skinOf(findNode("Body"));
    ASSERT_NE(skin, nullptr);
    ASSERT_EQ(skin->GetNumBones(), 1);
    EXPECT_STREQ(skin->GetBoneName(0), "Real");
    ISkinContextData* weights = skin->GetContextInterface(findNode("Body"));
    ASSERT_EQ(weights->GetNumAssignedBones(0), 1);
    EXPECT_EQ(weights->GetBoneWeight(0, 0), 0.7f); // not made up to 1
    EXPECT_EQ(weights->GetNumAssignedBones(1), 1);
}

TEST_F(SkinAndAnimationBuilding, ANodeBuiltAsABoneGetsNoSkin) {
    SnapshotNode arm = node("Arm");
    arm.mesh.positions = cubeCorners().positions; // no faces: built as a bone
    arm.mesh.skinWeights = {influence("Hand", {{0, 1.0f}})};
    SnapshotNode body = node("Body");
    body.mesh = cubeCorners();
    body.mesh.skinWeights = {influence("Arm", {{0, 1.0f}})};
    snapshot.nodes = {body, arm, node("Hand")};
    build();
    EXPECT_NE(skinOf(findNode("Body")), nullptr);
    EXPECT_TRUE(findNode("Arm")->GetBoneNodeOnOff());
    EXPECT_EQ(skinOf(findNode("Arm")), nullptr);
}

TEST_F(SkinAndAnimationBuilding, SetsFollowOneFrameAfterTheLastKeyOfTheSetBefore) {
    snapshot.nodes = {node("Box")};
    snapshot.animationSets["run"]["Box"].positionKeys = {{0, Point3(0, 0, 0)},
                                                         {4800, Point3(1, 0, 0)}};
    snapshot.animationSets["walk"]["Box"].positionKeys = {{0, Point3(0, 0, 0)},
                                                          {3200, Point3(0, 1, 0)}};
    build();
    const std::vector<scenekit::AnimationSet> sets = scenekit::storedAnimationSets();
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_EQ(sets[0].name, "run");
    EXPECT_EQ(sets[0].startFrame, 0);
    EXPECT_EQ(sets[0].endFrame, 30);
    EXPECT_EQ(sets[1].name, "walk");
    EXPECT_EQ(sets[1].startFrame, 31);
    EXPECT_EQ(sets[1].endFrame, 51);
    Control* position = findNode("Box")->GetTMController()->GetPositionController();
    EXPECT_EQ(keyTimes(position), (std::vector<TimeValue>{0, 4800, 4960, 8160}));
}

TEST_F(SkinAndAnimationBuilding, ASetWithoutBuiltNodesTakesOneFrame) {
    snapshot.nodes = {node("Box")};
    snapshot.animationSets["a"]["Nobody"].positionKeys = {{4800, Point3(1, 0, 0)}};
    snapshot.animationSets["b"]["Box"].positionKeys = {{160, Point3(1, 0, 0)}};
    build();
    const std::vector<scenekit::AnimationSet> sets = scenekit::storedAnimationSets();
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_EQ(sets[0].startFrame, 0);
    EXPECT_EQ(sets[0].endFrame, 0);
    EXPECT_EQ(sets[1].startFrame, 1);
    EXPECT_EQ(sets[1].endFrame, 2);
}

TEST_F(SkinAndAnimationBuilding, AFileWithoutSetsRemovesTheStoredOnes) {
    scenekit::storeAnimationSets({{"old", 0, 10}});
    snapshot.nodes = {node("Box")};
    build();
    EXPECT_TRUE(scenekit::storedAnimationSets().empty());
}

TEST_F(SkinAndAnimationBuilding, TimesBeyondTheHostsRangeAreSkippedWithoutWrapping) {
    const int late = INT_MAX - 3000;
    snapshot.nodes = {node("Box")};
    snapshot.animationSets["a"]["Box"].positionKeys = {{0, Point3(0, 0, 0)},
                                                       {late, Point3(1, 0, 0)}};
    snapshot.animationSets["b"]["Box"].positionKeys = {{0, Point3(2, 0, 0)},
                                                       {5000, Point3(3, 0, 0)}};
    build();
    Control* position = findNode("Box")->GetTMController()->GetPositionController();
    // a ends on the first whole frame at or after its last key, b starts one frame later; b's
    // key 5000 ticks on does not fit.
    const std::int64_t aEnd = (std::int64_t(late) + 159) / 160;
    EXPECT_EQ(keyTimes(position), (std::vector<TimeValue>{0, late, TimeValue((aEnd + 1) * 160)}));
    const std::vector<scenekit::AnimationSet> sets = scenekit::storedAnimationSets();
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_EQ(sets[0].endFrame, aEnd);
    EXPECT_EQ(sets[1].startFrame, aEnd + 1);
    EXPECT_EQ(sets[1].endFrame, sets[1].startFrame);
}

TEST_F(SkinAndAnimationBuilding, KeysAreMadeOnlyInsideTheBuildAndTheModeIsRestored) {
    snapshot.nodes = {node("Still", TransMatrix(Point3(1, 2, 3))), node("Moving")};
    snapshot.animationSets["a"]["Moving"].rotationKeys = {{480, Quat(RotateZMatrix(0.5f))}};
    AnimateOn();
    build();
    EXPECT_TRUE(Animating());
    AnimateOff();
    Control* still = findNode("Still")->GetTMController();
    EXPECT_TRUE(keyTimes(still->GetPositionController()).empty());
    EXPECT_EQ(findNode("Still")->GetNodeTM(0).GetTrans(), Point3(1, 2, 3));
    Control* moving = findNode("Moving")->GetTMController();
    EXPECT_EQ(keyTimes(moving->GetRotationController()), (std::vector<TimeValue>{0, 480}));
    EXPECT_TRUE(keyTimes(moving->GetPositionController()).empty());
}

TEST_F(SkinAndAnimationBuilding, ATopLevelTrackGetsTheObjectScaleAndRotationAsKeys) {
    snapshot.nodes = {node("Top")};
    snapshot.nodes[0].children = {node("Nested", ScaleMatrix(Point3(3, 3, 3)))};
    snapshot.animationSets["a"]["Top"].positionKeys = {{0, Point3(1, 0, 0)},
                                                       {160, Point3(2, 0, 0)}};
    snapshot.animationSets["a"]["Nested"].rotationKeys = {{160, Quat(RotateXMatrix(0.5f))}};
    SceneBuilder builder;
    builder.objectScale[0] = builder.objectScale[1] = builder.objectScale[2] = 2.0f;
    build(builder);
    INode* top = findNode("Top");
    INode* nested = findNode("Nested");
    Control* topScale = top->GetTMController()->GetScaleController();
    EXPECT_EQ(keyTimes(topScale), (std::vector<TimeValue>{0}));
    // The position keys moved with the scale.
    expectNear(ScaleMatrix(Point3(2, 2, 2)) * TransMatrix(Point3(4, 0, 0)), top->GetNodeTM(160),
               1e-6f, "Top");
    // The nested node keeps its own scale; the object scale reaches it through its parent.
    expectNear(ScaleMatrix(Point3(3, 3, 3)) * RotateXMatrix(0.5f) * top->GetNodeTM(160),
               nested->GetNodeTM(160), 1e-5f, "Nested");
}

// An import interface that gives the node named "Rig" a transform controller without position,
// rotation and scale sub-controllers, as some controllers have.
class RigImport : public ImpInterface {
public:
    class Node : public ImpNode {
    public:
        explicit Node(ImpNode* wrapped) : inner(wrapped) {}
        RefResult Reference(ObjectHandle obj) override { return inner->Reference(obj); }
        void SetTransform(TimeValue t, Matrix3 tm) override { inner->SetTransform(t, tm); }
        void SetName(const TCHAR* name) override {
            inner->SetName(name);
            if (std::string(name) == "Rig") scenekit::useBipedBody(inner->GetINode());
        }
        void SetPivot(Point3 p) override { inner->SetPivot(p); }
        INode* GetINode() override { return inner->GetINode(); }

    private:
        ImpNode* inner;
    };
    ImpNode* CreateNode() override {
        return nodes.emplace_back(std::make_unique<Node>(host->CreateNode())).get();
    }
    void AddNodeToScene(ImpNode* n) override { host->AddNodeToScene(static_cast<Node*>(n)); }
    void RedrawViews() override {}
    void SetAnimRange(Interval& range) override { host->SetAnimRange(range); }
    Interval GetAnimRange() override { return host->GetAnimRange(); }
    int NewScene() override { return host->NewScene(); }
    void* Create(SClass_ID s, Class_ID c) override { return host->Create(s, c); }

private:
    std::unique_ptr<ImpInterface> host = hostcore::newImportInterface();
    std::vector<std::unique_ptr<Node>> nodes;
};

TEST_F(SkinAndAnimationBuilding, AControllerWithoutSubControllersGetsNoKeysAndTheRestDo) {
    snapshot.nodes = {node("Rig"), node("Box")};
    for (const char* name : {"Rig", "Box"}) {
        SnapshotTrack& track = snapshot.animationSets["a"][name];
        track.positionKeys = {{160, Point3(1, 0, 0)}};
        track.rotationKeys = {{160, Quat(RotateXMatrix(0.5f))}};
        track.scaleKeys = {{160, Point3(2, 2, 2)}};
    }
    RigImport rigImport;
    SceneBuilder builder;
    builder.Build(&rigImport, snapshot);
    EXPECT_EQ(findNode("Rig")->GetTMController()->NumKeys(), 0);
    // The host keys time 0 with the value held so far when the first key goes elsewhere.
    EXPECT_EQ(keyTimes(findNode("Box")->GetTMController()->GetScaleController()),
              (std::vector<TimeValue>{0, 160}));
    EXPECT_EQ(scenekit::storedAnimationSets().size(), 1u);
}

TEST_F(SkinAndAnimationBuilding, AHundredThousandDeepChainIsBuiltWithoutRecursion) {
    const int depth = 100000;
    SnapshotNode top = node("0", TransMatrix(Point3(0, 0, 1)));
    SnapshotNode* last = &top;
    for (int i = 1; i < depth; ++i) {
        last->children.push_back(node(std::to_string(i), TransMatrix(Point3(0, 0, 1))));
        last = &last->children.back();
    }
    last->mesh = cubeCorners();
    snapshot.nodes.push_back(std::move(top));
    build();
    INode* walker = GetCOREInterface()->GetRootNode()->GetChildNode(0);
    int levels = 0;
    for (; walker && walker->NumberOfChildren() > 0; walker = walker->GetChildNode(0))
        ++levels;
    EXPECT_EQ(levels, depth - 1);
    ASSERT_NE(walker, nullptr);
    EXPECT_STREQ(walker->GetName(), std::to_string(depth - 1).c_str());
    // Taken apart level by level: the snapshot's own destructor would recurse.
    std::vector<SnapshotNode> pending = std::move(snapshot.nodes);
    while (!pending.empty()) {
        std::vector<SnapshotNode> children = std::move(pending.back().children);
        pending = std::move(children);
    }
}

} // namespace
