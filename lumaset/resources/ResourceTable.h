// The plug-in's resource table (compiled from Lumaset.rc): exported from Lumaset.dle, where the
// window system finds it through the module handle. A program that links the plug-in library
// itself registers it for its own null instance with RegisterResourceTable.
#pragma once

#include <headless/ResourceTable.h>

extern "C" const ResourceTable Win32ResourceTable;
