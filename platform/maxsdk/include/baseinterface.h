// BaseInterface: the root of published interfaces, reached through
// Animatable::GetInterface(Interface_ID).
#pragma once

#include "maxtypes.h"

class BaseInterface {
public:
    virtual ~BaseInterface() = default;
    virtual Interface_ID GetID() { return Interface_ID(0, 0); }
};
