// The host's class table: CreateInstance by super class and class id.
#pragma once

#include "maxtypes.h"
#include "object.h"

namespace hostcore::detail {

// A new instance of a built-in class, or NULL when the pair names none.
void* createInstance(SClass_ID superID, Class_ID classID);

} // namespace hostcore::detail

namespace hostcore::detail {

Object* newBoneObject();
Object* newBoxObject();
Object* newDummyObject();
Object* newFreeCamera();
Object* newOmniLight();

// A new instance of a registered plug-in class, or NULL.
void* createPluginInstance(SClass_ID superID, Class_ID classID);

} // namespace hostcore::detail
