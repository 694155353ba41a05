// The library's exported entry points: the only symbols Lumaset.dle shows the host, under plain
// C names (everything else is built with hidden visibility).
#include <windows.h>

#include "host/PluginInstance.h"
#include "plugapi.h"
#include "shell/PluginClassDesc.h"

#define LUMASET_EXPORT extern "C" __attribute__((visibility("default")))

namespace {
const int kClassCount = 3;
}

// Text the host shows when the library is missing.
LUMASET_EXPORT const TCHAR* LibDescription() {
    return "LumaSet";
}

LUMASET_EXPORT int LibNumberClasses() {
    return kClassCount;
}

// The descriptor of class i (0, 1, 2), owned by the library; null for any other i.
LUMASET_EXPORT ClassDesc* LibClassDesc(int i) {
    switch (i) {
    case 0:
        return &animationSetClassDesc;
    case 1:
        return &xFileExportClassDesc;
    case 2:
        return &xFileImportClassDesc;
    default:
        return nullptr;
    }
}

// Release 7000, API number 13, SDK revision 0: 0x1B580D00.
LUMASET_EXPORT ULONG LibVersion() {
    return MAX_VERSION_WORD(MAX_RELEASE_R7, MAX_API_NUM_R60, 0);
}

// The host may defer loading the library until one of its classes is needed.
LUMASET_EXPORT ULONG CanAutoDefer() {
    return 1;
}

// Called on load and unload (and thread start and end): whatever the reason, keep the module
// instance the dialogs are created from.
LUMASET_EXPORT BOOL WINAPI DllMain(HINSTANCE instance, DWORD, LPVOID) {
    pluginInstance = instance;
    return TRUE;
}
