// The SDK's umbrella header: the value types, math, identifiers and plug-in interfaces a plug-in
// uses everywhere.
#pragma once

#include "windows.h"

#include "color.h"
#include "decomp.h"
#include "impexp.h"
#include "interval.h"
#include "ioapi.h"
#include "matrix3.h"
#include "maxtypes.h"
#include "plugapi.h"
#include "plugin.h"
#include "point2.h"
#include "point3.h"
#include "point4.h"
#include "quat.h"
#include "scalevalue.h"
#include "strclass.h"
#include "tab.h"
