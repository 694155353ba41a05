#include <algorithm>
#include <unordered_set>
#include <vector>

#include "CoreAccess.h"
#include "SceneRegistry.h"
#include "hostcore.h"
#include "ref.h"

namespace hostcore::detail {
namespace {

struct Registry {
    std::unordered_set<ReferenceTarget*> live;
    bool tearingDown = false;
    std::uint64_t revision = 1;
};

// Never destroyed: scene objects stay reachable until the process ends, and no static
// destructor runs into objects of modules already unloaded.
Registry& registry() {
    static Registry* instance = new Registry;
    return *instance;
}

} // namespace

void registerTarget(ReferenceTarget* target) {
    registry().live.insert(target);
}
bool unregisterTarget(ReferenceTarget* target) {
    return registry().live.erase(target) > 0;
}
bool tearingDown() {
    return registry().tearingDown;
}
std::uint64_t sceneRevision() {
    return registry().revision;
}
void noteSceneChange() {
    ++registry().revision;
}

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

} // namespace hostcore::detail

using hostcore::detail::tearingDown;

RefResult ReferenceMaker::NotifyRefChanged(Interval, RefTargetHandle, PartID&, RefMessage) {
    return REF_SUCCEED;
}

ReferenceTarget::ReferenceTarget() {
    hostcore::detail::registerTarget(this);
}

ReferenceTarget::~ReferenceTarget() {
    // Objects private to a pipeline come and go with every evaluation; they change no scene.
    if (hostcore::detail::unregisterTarget(this)) hostcore::detail::noteSceneChange();
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
    hostcore::detail::noteSceneChange();
    std::vector<ReferenceMaker*> makers = dependents; // a dependent may change the list
    for (ReferenceMaker* maker : makers) {
        PartID part = partID;
        RefResult result = maker->NotifyRefChanged(changeInt, this, part, message);
        if (result == REF_STOP) continue;
        if (propagate) {
            if (auto* target = dynamic_cast<ReferenceTarget*>(maker))
                target->NotifyDependents(changeInt, partID, message, NOTIFY_ALL, propagate,
                                         nullptr);
        }
    }
    return REF_SUCCEED;
}

namespace hostcore {

void takeReference(ReferenceMaker* maker, ReferenceTarget* target) {
    if (!maker || !target) return;
    detail::CoreAccess::dependents(*target).push_back(maker);
    detail::noteSceneChange();
}

void dropReference(ReferenceMaker* maker, ReferenceTarget* target) {
    if (!maker || !target || tearingDown()) return;
    std::vector<ReferenceMaker*>& makers = detail::CoreAccess::dependents(*target);
    auto found = std::find(makers.begin(), makers.end(), maker);
    if (found == makers.end()) return;
    makers.erase(found);
    detail::noteSceneChange();
    if (makers.empty() && !target->TestAFlag(A_LOCK_TARGET)) target->DeleteThis();
}

const std::vector<ReferenceMaker*>& dependentsOf(ReferenceTarget* target) {
    static const std::vector<ReferenceMaker*> none;
    return target ? detail::CoreAccess::dependents(*target) : none;
}

} // namespace hostcore
