// Class ids of the host's standard plug-in classes that are not built into the core's
// identifiers (plugapi.h holds the part A words of the built-in ones).
#pragma once

#include "maxtypes.h"
#include "plugapi.h"

#define BONE_OBJ_CLASSID Class_ID(0x28BF6E8D, 0x2ECCA840)
#define PAINTLAYERMOD_CLASS_ID Class_ID(0x7EBB4645, 0x7BE2044B)
#define VCOL_CLASS_ID 0x934851
#define POSITION_XYZ_CLASS_ID Class_ID(0x118F7E02, 0xFFEE238A)
