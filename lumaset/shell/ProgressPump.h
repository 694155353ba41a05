// The progress callback of the export and import commands. While the host's progress display is
// up the host calls it from its message pump; it keeps the user interface answering during a
// long pipeline by running every message waiting in the thread's queue.
#pragma once

#include <windows.h>

#include "maxapi.h"

// Removes and dispatches (translated first) every message waiting in the calling thread's queue,
// for any window and of any kind, and returns 0 once the queue is empty. `argument` is ignored.
DWORD WINAPI ProgressPump(LPVOID argument);
