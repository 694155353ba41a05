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

// The host's scene: the core interface, nodes, objects, meshes, modifiers, controllers,
// materials and maps.
#include "animtbl.h"
#include "control.h"
#include "imtl.h"
#include "inode.h"
#include "iparamblock2.h"
#include "istdplug.h"
#include "maxapi.h"
#include "mesh.h"
#include "modstack.h"
#include "object.h"
#include "ref.h"
#include "stdmat.h"
#include "triobj.h"
