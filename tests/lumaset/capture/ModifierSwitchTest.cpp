#include "CaptureTestSupport.h"

#include "capture/ModifierSwitch.h"

#include <stdexcept>

using namespace scenekit;

namespace {

using ModifierSwitchTest = CaptureTest;

// A modifier that fails while the modifier it watches is switched off, as a broken third-party
// modifier might fail in the middle of an export.
class FailingModifier : public Modifier {
public:
    explicit FailingModifier(Modifier* watched) : watched_(watched) {}
    Class_ID ClassID() override { return Class_ID(0x5EE0001, 0x1); }
    void ModifyObject(TimeValue, ModContext&, ObjectState*, INode*) override {
        if (!watched_->IsEnabled()) throw std::runtime_error("modifier failed");
    }

private:
    Modifier* watched_;
};

TEST_F(ModifierSwitchTest, SkinAndPhysiqueAreSwitchedOffForTheReadAndOnAgain) {
    INode* arm = makeCylinder("arm", 1.0f, 4.0f, 4, 4);
    std::vector<INode*> bones = makeBoneChain("bone", 2, 2.0f);
    Modifier* skin = skinTo(arm, bones);
    Modifier* physique = physiqueTo(arm, bones);
    {
        SkinDeformersOff off(arm);
        EXPECT_FALSE(skin->IsEnabled());
        EXPECT_FALSE(physique->IsEnabled());
    }
    EXPECT_TRUE(skin->IsEnabled());
    EXPECT_TRUE(physique->IsEnabled());
    EXPECT_EQ(pipelineModifiers(arm).size(), 2u);
}

TEST_F(ModifierSwitchTest, AModifierTheUserSwitchedOffStaysOff) {
    INode* arm = makeCylinder("arm", 1.0f, 4.0f, 4, 4);
    Modifier* skin = skinTo(arm, makeBoneChain("bone", 2, 2.0f));
    arm->EvalWorldState(0, TRUE);
    skin->DisableMod();
    auto snapshot = capture();
    EXPECT_FALSE(skin->IsEnabled());
    // Its weights are still part of the mesh.
    EXPECT_EQ(snapshot->nodes.at(0).mesh.skinWeights.size(), 2u);
}

TEST_F(ModifierSwitchTest, AFailedCaptureLeavesTheDeformersOn) {
    INode* arm = makeCylinder("arm", 1.0f, 4.0f, 4, 4);
    Modifier* skin = skinTo(arm, makeBoneChain("bone", 2, 2.0f));
    addModifier(arm, new FailingModifier(skin));
    EXPECT_THROW(capture(), std::runtime_error);
    EXPECT_TRUE(skin->IsEnabled());
}

} // namespace
