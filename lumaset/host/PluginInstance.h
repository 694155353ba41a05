// The module instance of the plug-in library: stored by the library's entry routine, it is the
// resource instance every dialog of the library is created from.
#pragma once

#include <windows.h>

// Null until the host has loaded the library (and in programs that link the plug-in code
// directly, such as the tests).
extern HINSTANCE pluginInstance;
