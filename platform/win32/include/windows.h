// The Win32 surface used by the plug-in, its host and the file services: the basic types, module
// loading, and (from winuser.h) windows, dialogs and the message queue.
#pragma once

#include "wintypes.h"
#include "libloaderapi.h"
#if __has_include("winuser.h")
#include "winuser.h"
#endif
