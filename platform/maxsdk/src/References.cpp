#include <algorithm>
#include <unordered_set>
#include <vector>

#include "SceneRegistry.h"
#include "ref.h"

namespace hostcore::detail {
namespace {

struct Registry {
    std::unordered_set<ReferenceTarget*> live;
    bool tearingDown = false;
};

// Never destroyed: scene objects stay reachable until the process ends, and no static
// destructor runs into objects of modules already unloaded.
Registry& registry() {
    static Registry* instance = new Registry;
    return *instance;
}

}  // namespace

void registerTarget(ReferenceTarget* target) { registry().live.insert(target); }
void unregisterTarget(ReferenceTarget* target) { registry().live.erase(target); }
bool tearingDown() { return registry().tearingDown; }

void deleteAllTargets() {
    Registry& r = registry();
    r.tearingDown = true;
    while (!r.live.empty()) {
        ReferenceTarget* target = *r.live.begin();
        r.live.erase(r.live.begin());
        delete target;
    }
    r.tearingDown = false;
}

}  // namespace hostcore::detail

using hostcore::detail::tearingDown;

RefResult ReferenceMaker::NotifyRefChanged(Interval, RefTargetHandle, PartID&, RefMessage) {
    return REF_SUCCEED;
}

ReferenceTarget::ReferenceTarget() { hostcore::detail::registerTarget(this); }

ReferenceTarget::~ReferenceTarget() {
    hostcore::detail::unregisterTarget(this);
    if (tearingDown()) return;
    // Whoever still points here must forget it.
    std::vector<ReferenceMaker*> makers;
    makers.swap(dependents);
    for (ReferenceMaker* maker : makers) {
        PartID part = PART_ALL;
        maker->NotifyRefChanged(FOREVER, this, part, REFMSG_TARGET_DELETED);
    }
}

RefResult ReferenceTarget::NotifyDependents(Interval changeInt, PartID partID, RefMessage message,
                                            SClass_ID, BOOL propagate, RefTargetHandle) {
    std::vector<ReferenceMaker*> makers = dependents;  // a dependent may change the list
    for (ReferenceMaker* maker : makers) {
        PartID part = partID;
        RefResult result = maker->NotifyRefChanged(changeInt, this, part, message);
        if (result == REF_STOP) continue;
        if (propagate) {
            if (auto* target = dynamic_cast<ReferenceTarget*>(maker))
                target->NotifyDependents(changeInt, partID, message, NOTIFY_ALL, propagate, nullptr);
        }
    }
    return REF_SUCCEED;
}

void ReferenceTarget::TakeReference(ReferenceMaker* maker, ReferenceTarget* target) {
    if (maker && target) target->dependents.push_back(maker);
}

void ReferenceTarget::DropReference(ReferenceMaker* maker, ReferenceTarget* target) {
    if (!maker || !target || tearingDown()) return;
    auto found = std::find(target->dependents.begin(), target->dependents.end(), maker);
    if (found == target->dependents.end()) return;
    target->dependents.erase(found);
    if (target->dependents.empty() && !target->TestAFlag(A_LOCK_TARGET)) target->DeleteThis();
}
