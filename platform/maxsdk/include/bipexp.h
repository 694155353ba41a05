// Class ids of the biped controllers.
#pragma once

#include "maxtypes.h"

#define BIPSLAVE_CONTROL_CLASS_ID Class_ID(0x9154, 0)
#define BIPBODY_CONTROL_CLASS_ID Class_ID(0x9156, 0)
#define FOOTPRINT_CLASS_ID Class_ID(0x3011, 0)
