// The import command as the host runs it: the dialog, the options it hands on, the progress
// display, a skinned and animated character end to end, and files that yield nothing, which
// leave the scene and its stored sets as they were.
#include "CharacterScene.h"
#include "ImportTestSupport.h"

#include "resources/resource.h"
#include "settings/SettingsFile.h"

#include "control.h"
#include "iskin.h"
#include "maxapi.h"
#include "modstack.h"
#include "stdmat.h"

#include <SceneKit.h>

#include <fstream>

using namespace importtest;

namespace {

ISkin* skinOf(INode* node) {
    if (!node || node->GetObjectRef()->SuperClassID() != GEN_DERIVOB_CLASS_ID) return nullptr;
    auto* derived = static_cast<IDerivedObject*>(node->GetObjectRef());
    for (int i = 0; i < derived->NumModifiers(); ++i)
        if (auto* skin = static_cast<ISkin*>(derived->GetModifier(i)->GetInterface(I_SKIN)))
            return skin;
    return nullptr;
}

class DoImport : public ImportTest {
protected:
    std::filesystem::path settingsFile() const { return folder / "plugcfg" / "Lumaset.xml"; }
};

TEST_F(DoImport, CancelReadsNothingAndSavesNothing) {
    DialogAnswers answers;
    answers.cancel = true;
    EXPECT_EQ(importWithDialog(writeXFile(scratch("character.x"), makeCharacter()), answers), 1);
    EXPECT_TRUE(hostcore::allNodes().empty());
    EXPECT_FALSE(std::filesystem::exists(settingsFile()));
    EXPECT_FALSE(hostcore::progressView().shown);
}

TEST_F(DoImport, AFileThatYieldsNothingLeavesTheSceneAndItsSetsAlone) {
    std::ofstream(scratch("damaged.x")) << "xof 0303txt 0032 Frame {{{{ not a file";
    std::ofstream(scratch("foreign.x")) << "PK\x03\x04 this is something else entirely";
    std::ofstream(scratch("empty.x"));
    for (const char* name : {"missing.x", "damaged.x", "foreign.x", "empty.x"}) {
        SCOPED_TRACE(name);
        hostcore::resetScene();
        makeExistingScene();
        AnimateOn();
        std::vector<bool> shown;
        hostcore::setProgressObserver(
            [&](const hostcore::ProgressView& view) { shown.push_back(view.shown); });
        DialogAnswers answers;
        answers.edits = {{IDC_BONE_SCALE_Y, "2"}};
        EXPECT_EQ(importWithDialog(scratch(name), answers), 1);
        hostcore::setProgressObserver(nullptr);
        EXPECT_TRUE(Animating());
        AnimateOff();
        ASSERT_FALSE(shown.empty());
        EXPECT_TRUE(shown.front());
        EXPECT_FALSE(shown.back());
        expectExistingSceneUnchanged();
        // The user confirmed the options: they are kept.
        EXPECT_EQ(SettingsFile().importOptions.boneScale[1], 2.0f);
    }
}

TEST_F(DoImport, TheProgressDisplayWalksThroughItsSteps) {
    std::vector<hostcore::ProgressView> views;
    hostcore::setProgressObserver(
        [&](const hostcore::ProgressView& view) { views.push_back(view); });
    importWithDialog(writeXFile(scratch("character.x"), makeCharacter()));
    hostcore::setProgressObserver(nullptr);
    ASSERT_GE(views.size(), 4u);
    EXPECT_EQ(views.front().title, "Reading X-File.");
    EXPECT_TRUE(views.front().showBar);
    std::vector<int> percents;
    for (const auto& view : views)
        if (view.shown && (percents.empty() || percents.back() != view.percent))
            percents.push_back(view.percent);
    EXPECT_EQ(percents, (std::vector<int>{0, 10, 40}));
    EXPECT_FALSE(views.back().shown);
}

TEST_F(DoImport, ASkinnedAnimatedCharacterComesInWhole) {
    std::ofstream(scratch("skin.png")) << "image";
    for (int format : {1, 0, 2}) {
        SCOPED_TRACE(format);
        hostcore::resetScene();
        importWithDialog(writeXFile(scratch("character.x"), makeCharacter(), format));
        INode* body = findNode("Body");
        INode* hip = findNode("Hip");
        INode* spine = findNode("Spine");
        ASSERT_TRUE(body && hip && spine);
        EXPECT_TRUE(hip->GetBoneNodeOnOff());
        EXPECT_TRUE(spine->GetBoneNodeOnOff());
        EXPECT_FALSE(findNode("Rig")->GetBoneNodeOnOff());

        ISkin* skin = skinOf(body);
        ASSERT_NE(skin, nullptr);
        ASSERT_EQ(skin->GetNumBones(), 2);
        Matrix3 bind;
        ASSERT_EQ(skin->GetBoneInitTM(spine, bind), SKIN_OK);
        expectNear(spineBind(), bind, 1e-5f, "spine bind");
        ISkinContextData* weights = skin->GetContextInterface(body);
        ASSERT_NE(weights, nullptr);
        // The file keeps one index per corner for every stream, so the corners were split and
        // are told apart here by where they sit: the lower ones follow Hip alone.
        const Mesh& rest = scenekit::baseMesh(body);
        ASSERT_EQ(weights->GetNumPoints(), rest.getNumVerts());
        for (int v = 0; v < rest.getNumVerts(); ++v) {
            const bool lower = rest.verts[v].z < 2.0f;
            ASSERT_EQ(weights->GetNumAssignedBones(v), lower ? 1 : 2) << v;
            EXPECT_EQ(weights->GetBoneWeight(v, 0), lower ? 1.0f : 0.5f) << v;
        }

        // The bones follow the keys, and the skin deforms the mesh with them.
        for (int ticks : {0, 2400, 4800}) {
            expectNear(spineWorld(ticks), spine->GetNodeTM(ticks), 1e-5f, "spine");
            const Mesh deformed = scenekit::evaluatedMesh(body, ticks);
            ASSERT_EQ(deformed.getNumVerts(), rest.getNumVerts());
            for (int v = 0; v < rest.getNumVerts(); ++v) {
                const Point3 p = rest.verts[v];
                const Point3 onHip = p * Inverse(hipBind()) * hipWorld(ticks);
                const Point3 onSpine = p * Inverse(spineBind()) * spineWorld(ticks);
                const Point3 expected = p.z < 2.0f ? onHip : 0.5f * onHip + 0.5f * onSpine;
                EXPECT_NEAR((deformed.verts[v] - expected).Length(), 0.0f, 1e-4f)
                    << v << " at " << ticks;
            }
        }

        const std::vector<scenekit::AnimationSet> sets = scenekit::storedAnimationSets();
        ASSERT_EQ(sets.size(), 1u);
        EXPECT_EQ(sets[0].name, "walk");
        EXPECT_EQ(sets[0].startFrame, 0);
        EXPECT_EQ(sets[0].endFrame, 30);

        auto* material = dynamic_cast<StdMat2*>(body->GetMtl());
        ASSERT_NE(material, nullptr);
        auto* texture = dynamic_cast<BitmapTex*>(material->GetSubTexmap(ID_DI));
        ASSERT_NE(texture, nullptr);
        EXPECT_EQ(std::string(texture->GetMapName()), scratch("skin.png").string());
    }
}

TEST_F(DoImport, TheDialogsSwitchesAndScalesReachTheScene) {
    DialogAnswers answers;
    answers.uv = false;
    answers.colors = false;
    answers.skin = false;
    answers.animation = false;
    answers.leftHanded = true;
    answers.edits = {{IDC_BONE_SCALE_X, "1"}, {IDC_BONE_SCALE_Y, "2"}, {IDC_BONE_SCALE_Z, "3"}};
    scenekit::storeAnimationSets({{"old", 0, 10}});
    importWithDialog(writeXFile(scratch("character.x"), makeCharacter()), answers);
    INode* body = findNode("Body");
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(scenekit::baseMesh(body).getNumTVerts(), 0);
    EXPECT_FALSE(body->GetCVertMode());
    EXPECT_EQ(skinOf(body), nullptr);
    // Without skin nothing is a bone, so the bone scale has no node to go to.
    EXPECT_FALSE(findNode("Hip")->GetBoneNodeOnOff());
    // No sets in what was read: the scene keeps none.
    EXPECT_TRUE(scenekit::storedAnimationSets().empty());
    // Left-handed: the scene is mirrored through z = 0.
    EXPECT_NEAR(findNode("Hip")->GetNodeTM(0).GetTrans().z, -1.0f, 1e-6f);
    EXPECT_FALSE(findNode("Spine")->GetTMController()->NumKeys() > 0);

    hostcore::resetScene();
    DialogAnswers bones; // the dialog now shows the stored choices: switch them back on
    bones.uv = bones.colors = bones.skin = bones.animation = true;
    bones.leftHanded = false;
    bones.edits = answers.edits;
    importWithDialog(writeXFile(scratch("character.x"), makeCharacter()), bones);
    EXPECT_EQ(findNode("Hip")->GetObjOffsetScale().s, Point3(1, 2, 3));
    // The settings keep what the dialog showed when OK was pressed.
    const SettingsFile stored;
    EXPECT_EQ(stored.importOptions.boneScale[2], 3.0f);
    EXPECT_TRUE(stored.importOptions.skin);
}

} // namespace

namespace {

// Files at 4800 ticks a second that count their keys 0, 1, 2, ... hold a whole animation inside
// one frame of the host. The set must still span its keys and the keys stay apart.
TEST_F(DoImport, KeysAFractionOfAFrameApartKeepTheirSetLongerThanAFrame) {
    XScene scene;
    XFrame& box = scene.frames.emplace_back();
    box.name = "Box";
    for (int ticks = 0; ticks < 80; ++ticks)
        scene.animationSets["clip"]["Box"].positionKeys[ticks] = {float(ticks), 0.0f, 0.0f};
    scene.animationSets["next"]["Box"].positionKeys = {{0, {0, 0, 0}}, {160, {0, 1, 0}}};
    importWithDialog(writeXFile(scratch("fine.x"), scene, 0));

    const std::vector<scenekit::AnimationSet> sets = scenekit::storedAnimationSets();
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_EQ(sets[0].name, "clip");
    EXPECT_EQ(sets[0].startFrame, 0);
    EXPECT_EQ(sets[0].endFrame, 1); // frame 1 (tick 160) is the first whole frame after tick 79
    EXPECT_EQ(sets[1].startFrame, 2);
    EXPECT_EQ(sets[1].endFrame, 3);
    Control* position = findNode("Box")->GetTMController()->GetPositionController();
    ASSERT_EQ(position->NumKeys(), 82);
    for (int k = 0; k < 80; ++k) {
        ASSERT_EQ(position->GetKeyTime(k), k);
        Point3 value;
        Interval valid = FOREVER;
        position->GetValue(k, &value, valid, CTRL_ABSOLUTE);
        EXPECT_EQ(value.x, float(k));
    }
    EXPECT_EQ(position->GetKeyTime(80), 320);
    EXPECT_EQ(position->GetKeyTime(81), 480);
}

} // namespace
