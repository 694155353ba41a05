// Every scene object the host core has made, so that a scene reset can delete them all, also
// those nothing references (a material made but never assigned, a node never added).
#pragma once

#include <cstdint>

class ReferenceTarget;

namespace hostcore::detail {

void registerTarget(ReferenceTarget* target);
// False when the target was not registered (a private object, or one already unregistered).
bool unregisterTarget(ReferenceTarget* target);
// Privately owned objects (pipeline caches) are deleted by their owner, never by a reset.
inline void keepPrivate(ReferenceTarget* target) {
    (void)unregisterTarget(target);
}
// Deletes every registered object. While it runs, references are not followed: destructors
// must not touch other scene objects (DropReference does nothing).
void deleteAllTargets();
bool tearingDown();

// A number that grows with every change to the scene (a value set, a reference taken or
// dropped, an object deleted, a node moved in the hierarchy): results computed at one revision
// hold until it changes.
std::uint64_t sceneRevision();
void noteSceneChange();

} // namespace hostcore::detail
