// Every scene object the host core has made, so that a scene reset can delete them all, also
// those nothing references (a material made but never assigned, a node never added).
#pragma once

class ReferenceTarget;

namespace hostcore::detail {

void registerTarget(ReferenceTarget* target);
void unregisterTarget(ReferenceTarget* target);
// Privately owned objects (pipeline caches) are deleted by their owner, never by a reset.
inline void keepPrivate(ReferenceTarget* target) { unregisterTarget(target); }
// Deletes every registered object. While it runs, references are not followed: destructors
// must not touch other scene objects (DropReference does nothing).
void deleteAllTargets();
bool tearingDown();

}  // namespace hostcore::detail
