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
