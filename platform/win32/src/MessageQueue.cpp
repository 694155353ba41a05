// The thread's message queue, message sending and dispatching, default processing and hooks.
#include "WindowSystem.h"

#include <algorithm>
#include <deque>
#include <memory>

namespace win32 {
namespace {

struct Hook {
    HOOKPROC procedure = nullptr;
};

struct MessageQueue {
    std::deque<MSG> posted;
    bool quitPosted = false;
    int quitCode = 0;
    DWORD clock = 0;
    std::vector<std::unique_ptr<Hook>> cbtHooks; // newest first, as Windows calls them
};

MessageQueue& queue() {
    static MessageQueue* instance = new MessageQueue;
    return *instance;
}

bool isMouseInput(UINT message) {
    return (message >= WM_MOUSEMOVE && message <= 0x020D) || message == WM_NCLBUTTONDOWN ||
           message == WM_NCLBUTTONUP;
}
bool isKeyboardInput(UINT message) {
    return message >= WM_KEYDOWN && message <= 0x0109;
}

// Input that no user could have produced is dropped: a click on a hidden or disabled window
// (or one inside a disabled window), a key press for a window without the focus.
bool canReceiveInput(HWND handle, UINT message) {
    if (!isMouseInput(message) && !isKeyboardInput(message)) return true;
    if (!IsWindowVisible(handle)) return false;
    for (Window* window = findWindow(handle); window; window = findWindow(window->parent))
        if (!window->isEnabled()) return false;
    return !isKeyboardInput(message) || GetFocus() == handle;
}

bool matches(const MSG& message, HWND filterWindow, UINT filterMin, UINT filterMax) {
    if (filterWindow) {
        bool within = false;
        for (Window* window = findWindow(message.hwnd); window; window = findWindow(window->parent))
            if (window->handle == filterWindow) within = true;
        if (!within) return false;
    }
    if (filterMin == 0 && filterMax == 0) return true;
    return message.message >= filterMin && message.message <= filterMax;
}

Hook* hookOf(HHOOK handle) {
    return reinterpret_cast<Hook*>(handle);
}

LRESULT callHookFrom(std::size_t index, int code, WPARAM wParam, LPARAM lParam) {
    auto& hooks = queue().cbtHooks;
    if (index >= hooks.size()) return 0;
    return hooks[index]->procedure(code, wParam, lParam);
}

} // namespace

LRESULT callCbtHooks(int code, WPARAM wParam, LPARAM lParam) {
    return callHookFrom(0, code, wParam, lParam);
}

} // namespace win32

using namespace win32;

extern "C" LRESULT WINAPI DefWindowProcA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* window = findWindow(handle);
    if (!window) return 0;
    switch (message) {
    case WM_NCCREATE: {
        auto* creation = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        if (creation) window->text = textOf(creation->lpszName);
        return TRUE;
    }
    case WM_SETTEXT:
        window->text = textOf(reinterpret_cast<LPCSTR>(lParam));
        return TRUE;
    case WM_GETTEXT:
        return copyText(window->text, reinterpret_cast<LPSTR>(lParam), static_cast<int>(wParam));
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(window->text.size());
    case WM_SETFONT:
        window->font = reinterpret_cast<HFONT>(wParam);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(window->font);
    case WM_NCHITTEST:
        return HTCLIENT;
    case WM_CLOSE:
        DestroyWindow(handle);
        return 0;
    case WM_NCLBUTTONDOWN:
        // The close box closes the window through the system command, as the caption's
        // button does when it is released.
        if (wParam == HTCLOSE) SendMessageA(handle, WM_SYSCOMMAND, SC_CLOSE, lParam);
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) SendMessageA(handle, WM_CLOSE, 0, 0);
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && !window->isChild()) SetFocus(handle);
        return 0;
    default:
        return 0;
    }
}

extern "C" LRESULT WINAPI CallWindowProcA(WNDPROC procedure, HWND handle, UINT message,
                                          WPARAM wParam, LPARAM lParam) {
    if (!procedure) return 0;
    return procedure(handle, message, wParam, lParam);
}

extern "C" LRESULT WINAPI SendMessageA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!findWindow(handle)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return send(handle, message, wParam, lParam);
}

extern "C" BOOL WINAPI PostMessageA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    if (handle && !findWindow(handle)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    MessageQueue& messages = queue();
    messages.posted.push_back(MSG{handle, message, wParam, lParam, ++messages.clock, POINT{0, 0}});
    return TRUE;
}

extern "C" void WINAPI PostQuitMessage(int exitCode) {
    queue().quitPosted = true;
    queue().quitCode = exitCode;
}

extern "C" BOOL WINAPI PeekMessageA(LPMSG message, HWND window, UINT filterMin, UINT filterMax,
                                    UINT removeMessage) {
    if (!message) return FALSE;
    MessageQueue& messages = queue();
    bool remove = (removeMessage & PM_REMOVE) != 0;
    for (auto it = messages.posted.begin(); it != messages.posted.end(); ++it) {
        if (!matches(*it, window, filterMin, filterMax)) continue;
        *message = *it;
        if (remove) messages.posted.erase(it);
        return TRUE;
    }
    bool quitInRange =
        (filterMin == 0 && filterMax == 0) || (WM_QUIT >= filterMin && WM_QUIT <= filterMax);
    if (messages.quitPosted && quitInRange) {
        *message = MSG{nullptr, WM_QUIT,          static_cast<WPARAM>(messages.quitCode),
                       0,       ++messages.clock, POINT{0, 0}};
        if (remove) messages.quitPosted = false;
        return TRUE;
    }
    return FALSE;
}

extern "C" BOOL WINAPI TranslateMessage(const MSG* message) {
    if (!message || message->message != WM_KEYDOWN) return FALSE;
    WPARAM key = message->wParam;
    WPARAM character = 0;
    if (key == VK_BACK || key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE || key == VK_SPACE)
        character = key;
    else if (key >= '0' && key <= '9')
        character = key;
    else if (key >= 'A' && key <= 'Z')
        character = key - 'A' + 'a'; // no shift state is kept, so letters type in lower case
    if (character == 0) return FALSE;
    return PostMessageA(message->hwnd, WM_CHAR, character, message->lParam);
}

extern "C" LRESULT WINAPI DispatchMessageA(const MSG* message) {
    if (!message || !findWindow(message->hwnd)) return 0;
    if (!canReceiveInput(message->hwnd, message->message)) return 0;
    return send(message->hwnd, message->message, message->wParam, message->lParam);
}

extern "C" HHOOK WINAPI SetWindowsHookExA(int hookId, HOOKPROC procedure, HINSTANCE, DWORD) {
    if (hookId != WH_CBT || procedure == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto hook = std::make_unique<Hook>();
    hook->procedure = procedure;
    HHOOK handle = reinterpret_cast<HHOOK>(hook.get());
    auto& hooks = queue().cbtHooks;
    hooks.insert(hooks.begin(), std::move(hook));
    return handle;
}

extern "C" BOOL WINAPI UnhookWindowsHookEx(HHOOK handle) {
    auto& hooks = queue().cbtHooks;
    auto found = std::find_if(hooks.begin(), hooks.end(),
                              [&](const auto& hook) { return hook.get() == hookOf(handle); });
    if (found == hooks.end()) {
        SetLastError(ERROR_INVALID_HOOK_HANDLE);
        return FALSE;
    }
    hooks.erase(found);
    return TRUE;
}

extern "C" LRESULT WINAPI CallNextHookEx(HHOOK handle, int code, WPARAM wParam, LPARAM lParam) {
    auto& hooks = queue().cbtHooks;
    for (std::size_t index = 0; index < hooks.size(); ++index)
        if (hooks[index].get() == hookOf(handle))
            return callHookFrom(index + 1, code, wParam, lParam);
    return 0;
}

extern "C" DWORD WINAPI GetCurrentThreadId() {
    return 1;
}
