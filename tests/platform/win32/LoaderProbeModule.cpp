// A module that records how the loader drives its entry routine.
#include <windows.h>

namespace {
int attachCount = 0;
HINSTANCE attachedInstance = nullptr;
int staticInitOrder = 0;
int entryOrder = 0;
int sequence = 0;
struct StaticProbe {
    StaticProbe() { staticInitOrder = ++sequence; }
} staticProbe;
} // namespace

extern "C" __attribute__((visibility("default"))) BOOL WINAPI DllMain(HINSTANCE instance,
                                                                      DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        ++attachCount;
        attachedInstance = instance;
        entryOrder = ++sequence;
    }
    return TRUE;
}

extern "C" __attribute__((visibility("default"))) int ProbeAttachCount() {
    return attachCount;
}
extern "C" __attribute__((visibility("default"))) HINSTANCE ProbeInstance() {
    return attachedInstance;
}
extern "C" __attribute__((visibility("default"))) bool ProbeStaticsBeforeEntry() {
    return staticInitOrder != 0 && staticInitOrder < entryOrder;
}
