#include "capture/ModifierSwitch.h"

#include "inode.h"
#include "iskin.h"
#include "modstack.h"
#include "phyexp.h"

std::vector<Modifier*> pipelineModifiers(INode* node) {
    std::vector<Modifier*> modifiers;
    Object* object = node ? node->GetObjectRef() : nullptr;
    while (object && object->SuperClassID() == GEN_DERIVOB_CLASS_ID) {
        auto* derived = static_cast<IDerivedObject*>(object);
        for (int i = 0; i < derived->NumModifiers(); ++i)
            if (Modifier* modifier = derived->GetModifier(i)) modifiers.push_back(modifier);
        Object* below = derived->GetObjRef();
        if (below == object) break;
        object = below;
    }
    return modifiers;
}

bool isSkinDeformer(Modifier* modifier) {
    const Class_ID id = modifier->ClassID();
    return id == SKIN_CLASSID || id == PHYSIQUE_CLASS_ID;
}

SkinDeformersOff::SkinDeformersOff(INode* node) {
    try {
        for (Modifier* modifier : pipelineModifiers(node)) {
            if (!isSkinDeformer(modifier) || !modifier->IsEnabled()) continue;
            // Remembered first: a modifier is on the list before it can be off.
            switchedOff_.push_back(modifier);
            modifier->DisableMod();
        }
    } catch (...) {
        restore();
        throw;
    }
}

SkinDeformersOff::~SkinDeformersOff() {
    restore();
}

void SkinDeformersOff::restore() noexcept {
    // Each modifier goes back on even when telling the dependents of another one failed.
    for (Modifier* modifier : switchedOff_) {
        try {
            modifier->EnableMod();
        } catch (...) {
        }
    }
    switchedOff_.clear();
}
