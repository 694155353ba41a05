// The Win32 surface used by the plug-in, its host and the file services: the basic types, module
// loading, file names, the C runtime's path calls, and (from winuser.h) windows, dialogs and
// the message queue.
#pragma once

#include <stdlib.h>

#include "fileapi.h"
#include "libloaderapi.h"
#include "wintypes.h"
#if __has_include("winuser.h")
#include "winuser.h"
#endif
