#include "shell/ProgressPump.h"

DWORD WINAPI ProgressPump(LPVOID) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
