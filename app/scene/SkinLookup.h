// Finding a node's skin in the host's modifier stacks, for the scene views that report skins.
#pragma once

#include <object.h>

namespace scene {

// The first Skin modifier on `object` (a node's object reference), searching each derived object
// from the top of its stack down; null when the object is not skinned.
Modifier* findSkin(Object* object);

} // namespace scene
