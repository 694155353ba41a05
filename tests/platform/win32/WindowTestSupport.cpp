#include "WindowTestSupport.h"

std::vector<LoggedMessage>& messageLog() {
    static std::vector<LoggedMessage> log;
    return log;
}

namespace {
void record(HWND window, UINT id, WPARAM wParam, LPARAM lParam) {
    LoggedMessage message{window, id, wParam, lParam, NMLISTVIEW{}};
    if (id == WM_NOTIFY) {
        auto* header = reinterpret_cast<const NMHDR*>(lParam);
        message.notification.hdr = *header;
        if (header->code >= LVN_DELETEALLITEMS && header->code <= LVN_ITEMCHANGING)
            message.notification = *reinterpret_cast<const NMLISTVIEW*>(lParam);
    }
    messageLog().push_back(message);
}

LRESULT CALLBACK recorderProcedure(HWND window, UINT id, WPARAM wParam, LPARAM lParam) {
    record(window, id, wParam, lParam);
    return DefWindowProcA(window, id, wParam, lParam);
}
} // namespace

void registerRecorderClass() {
    WNDCLASSA description{};
    description.lpfnWndProc = recorderProcedure;
    description.lpszClassName = "Recorder";
    RegisterClassA(&description);
}

INT_PTR CALLBACK RecordingDialogProc(HWND window, UINT id, WPARAM wParam, LPARAM lParam) {
    record(window, id, wParam, lParam);
    return id == WM_INITDIALOG ? TRUE : FALSE;
}

int pumpMessages() {
    int count = 0;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
        ++count;
    }
    return count;
}

int countMessages(UINT id, HWND window) {
    int count = 0;
    for (const LoggedMessage& message : messageLog())
        if (message.id == id && (window == nullptr || message.window == window)) ++count;
    return count;
}

std::vector<WORD> commandCodes(int controlId) {
    std::vector<WORD> codes;
    for (const LoggedMessage& message : messageLog())
        if (message.id == WM_COMMAND && LOWORD(message.wParam) == controlId)
            codes.push_back(HIWORD(message.wParam));
    return codes;
}

void drainQueue() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
}
