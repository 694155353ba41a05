// The class ids of the library's three plug-in classes. They are stored in scene files (the
// utility's id also keys the animation set chunk), so they never change.
#pragma once

#include "maxtypes.h"

inline constexpr Class_ID animationSetUtilityClassId(0x760F2E41, 0x41CA01C3);
inline constexpr Class_ID xFileExporterClassId(0x224C36E2, 0x4D9D03E5);
inline constexpr Class_ID xFileImporterClassId(0x611F3980, 0x75623719);
