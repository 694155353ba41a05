// Plug-in API versioning: the version word a plug-in library answers from LibVersion, and the
// check the host applies to it.
#pragma once

#include "wintypes.h"

#define MAX_RELEASE_R7 7000
#define MAX_RELEASE MAX_RELEASE_R7
#define MAX_API_NUM_R60 13
#define MAX_API_NUM_R70_PRE_REL 14
#define MAX_API_NUM_R70 15
#define MAX_API_NUM_R80 17
#define MAX_API_NUM MAX_API_NUM_R60
#define MAX_SDK_REV 0

#define MAX_VERSION_WORD(release, api, rev) (((release) << 16) + ((api) << 8) + (rev))
#define VERSION_3DSMAX MAX_VERSION_WORD(MAX_RELEASE, MAX_API_NUM, MAX_SDK_REV)
#define GET_MAX_RELEASE(x) (((x) >> 16) & 0xFFFF)
#define GET_MAX_API_NUM(x) (((x) >> 8) & 0xFF)
#define GET_MAX_SDK_REV(x) ((x) & 0xFF)

// The version word of the running host.
ULONG Get3DSMAXVersion();

// True when a plug-in built with `libraryVersion` can be loaded by this host: releases 6 to 8
// share one binary interface, so API numbers 13 to 15 are accepted.
bool IsPluginVersionCompatible(ULONG libraryVersion);

// Super class ids: the kind of plug-in a class is.
#define BASENODE_CLASS_ID 0x00000001
#define GEN_DERIVOB_CLASS_ID 0x00000002
#define DERIVOB_CLASS_ID 0x00000003
#define WSM_DERIVOB_CLASS_ID 0x00000004
#define GEOMOBJECT_CLASS_ID 0x00000010
#define CAMERA_CLASS_ID 0x00000020
#define LIGHT_CLASS_ID 0x00000030
#define SHAPE_CLASS_ID 0x00000040
#define HELPER_CLASS_ID 0x00000050
#define PARAMETER_BLOCK2_CLASS_ID 0x00000082
#define OSM_CLASS_ID 0x00000810        // object-space modifier
#define WSM_CLASS_ID 0x00000820        // world-space modifier
#define WSM_OBJECT_CLASS_ID 0x00000830
#define SCENE_IMPORT_CLASS_ID 0x00000A10
#define SCENE_EXPORT_CLASS_ID 0x00000A20
#define MATERIAL_CLASS_ID 0x00000C00
#define TEXMAP_CLASS_ID 0x00000C10
#define UTILITY_CLASS_ID 0x00001020
#define CTRL_FLOAT_CLASS_ID 0x00009003
#define CTRL_MATRIX3_CLASS_ID 0x00009008
#define CTRL_POSITION_CLASS_ID 0x0000900B
#define CTRL_ROTATION_CLASS_ID 0x0000900C
#define CTRL_SCALE_CLASS_ID 0x0000900D

// Part A of the built-in classes' ids (part B is 0).
#define TRIOBJ_CLASS_ID 0x0009
#define BOXOBJ_CLASS_ID 0x00000010
#define SIMPLE_CAM_CLASS_ID 0x00001001
#define LOOKAT_CAM_CLASS_ID 0x00001002
#define OMNI_LIGHT_CLASS_ID 0x00001011
#define DUMMY_CLASS_ID 0x00876234
#define DMTL_CLASS_ID 0x00000002
#define MULTI_CLASS_ID 0x00000200
#define BMTEX_CLASS_ID 0x00000240
#define PRS_CONTROL_CLASS_ID 0x00002005
#define LININTERP_FLOAT_CLASS_ID 0x2001
#define LININTERP_POSITION_CLASS_ID 0x2002
#define LININTERP_ROTATION_CLASS_ID 0x2003
#define LININTERP_SCALE_CLASS_ID 0x2004
#define HYBRIDINTERP_FLOAT_CLASS_ID 0x2007
#define HYBRIDINTERP_POSITION_CLASS_ID 0x2008
#define HYBRIDINTERP_ROTATION_CLASS_ID 0x2009
#define HYBRIDINTERP_POINT3_CLASS_ID 0x200A
#define HYBRIDINTERP_SCALE_CLASS_ID 0x2010
#define TCBINTERP_FLOAT_CLASS_ID 0x442311
#define TCBINTERP_POSITION_CLASS_ID 0x442312
#define TCBINTERP_ROTATION_CLASS_ID 0x442313
#define TCBINTERP_SCALE_CLASS_ID 0x442315
#define EULER_CONTROL_CLASS_ID 0x2012
