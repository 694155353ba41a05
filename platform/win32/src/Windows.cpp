// The window table and the life of a window: classes, creation, destruction, visibility,
// enabling, relations, slots, geometry and focus.
#include "WindowSystem.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <strings.h>
#include <utility>

namespace win32 {
namespace {

struct WindowTable {
    std::map<std::uintptr_t, std::unique_ptr<Window>> live;
    std::vector<HWND> topLevelOrder;
    // Destroyed windows wait here until no window procedure is running, so a procedure that
    // destroys its own window can still return through code that holds the record.
    std::vector<std::unique_ptr<Window>> destroyed;
    std::uintptr_t nextHandle = 0x10010;
    int procedureDepth = 0;
    HWND focus = nullptr;
    HWND active = nullptr;

    std::vector<std::unique_ptr<WindowClass>> classes;
    ATOM nextAtom = 0xC000;
};

WindowTable& table() {
    static WindowTable* instance = new WindowTable; // outlives every static destructor
    return *instance;
}

void addSystemClass(const char* name, WNDPROC procedure, UINT style) {
    auto windowClass = std::make_unique<WindowClass>();
    windowClass->name = name;
    windowClass->atom = table().nextAtom++;
    windowClass->procedure = procedure;
    windowClass->style = style;
    windowClass->isSystem = true;
    table().classes.push_back(std::move(windowClass));
}

void ensureSystemClasses() {
    static bool registered = false;
    if (registered) return;
    registered = true;
    addSystemClass("Button", buttonProcedure, CS_DBLCLKS);
    addSystemClass("Edit", editProcedure, CS_DBLCLKS);
    addSystemClass("Static", staticProcedure, 0);
    addSystemClass(WC_LISTVIEWA, listViewProcedure, CS_DBLCLKS);
    addSystemClass("#32770", dialogClassProcedure, CS_DBLCLKS);
}

std::uintptr_t keyOf(HWND handle) {
    return reinterpret_cast<std::uintptr_t>(handle);
}

// Non-client thickness: caption and frame for top-level windows, borders for controls.
RECT frameFor(DWORD style, DWORD exStyle) {
    RECT frame{};
    LONG edge = 0;
    if ((style & WS_THICKFRAME) || (style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME))
        edge = 3;
    else if (style & WS_BORDER)
        edge = 1;
    if (exStyle & WS_EX_CLIENTEDGE) edge += 2;
    frame.left = frame.right = frame.top = frame.bottom = edge;
    if ((style & WS_CAPTION) == WS_CAPTION) frame.top += 19;
    return frame;
}

HWND topLevelOf(HWND handle) {
    Window* window = findWindow(handle);
    while (window && window->isChild() && findWindow(window->parent))
        window = findWindow(window->parent);
    return window ? window->handle : nullptr;
}

bool isWithin(HWND handle, HWND ancestor) {
    for (Window* window = findWindow(handle); window; window = findWindow(window->parent))
        if (window->handle == ancestor) return true;
    return false;
}

void releaseDestroyed() {
    if (table().procedureDepth == 0) table().destroyed.clear();
}

void activate(HWND handle) {
    WindowTable& windows = table();
    if (windows.active == handle) return;
    CBTACTIVATESTRUCT activation{FALSE, windows.active};
    if (callCbtHooks(HCBT_ACTIVATE, reinterpret_cast<WPARAM>(handle),
                     reinterpret_cast<LPARAM>(&activation)))
        return;
    HWND previous = windows.active;
    windows.active = handle;
    if (findWindow(previous))
        send(previous, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(handle));
    send(handle, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(previous));
}

void deactivateIfWithin(HWND handle) {
    WindowTable& windows = table();
    if (windows.focus && isWithin(windows.focus, handle)) SetFocus(nullptr);
    if (windows.active == handle) {
        windows.active = nullptr;
        send(handle, WM_ACTIVATE, WA_INACTIVE, 0);
    }
}

void sendDestroyMessages(HWND handle) {
    send(handle, WM_DESTROY, 0, 0);
    Window* window = findWindow(handle);
    if (!window) return;
    std::vector<HWND> children = window->children;
    for (HWND child : children)
        if (Window* record = findWindow(child)) {
            record->isDestroying = true;
            sendDestroyMessages(child);
        }
}

void release(HWND handle) {
    WindowTable& windows = table();
    Window* window = findWindow(handle);
    if (!window) return;
    std::vector<HWND> children = window->children;
    for (HWND child : children)
        release(child);
    send(handle, WM_NCDESTROY, 0, 0);
    window = findWindow(handle);
    if (!window) return;
    if (Window* parent = findWindow(window->parent)) std::erase(parent->children, handle);
    std::erase(windows.topLevelOrder, handle);
    if (windows.focus == handle) windows.focus = nullptr;
    if (windows.active == handle) windows.active = nullptr;
    auto found = windows.live.find(keyOf(handle));
    windows.destroyed.push_back(std::move(found->second));
    windows.live.erase(found);
}

} // namespace

Window* findWindow(HWND handle) {
    if (handle == nullptr) return nullptr;
    auto& live = table().live;
    auto found = live.find(keyOf(handle));
    return found == live.end() ? nullptr : found->second.get();
}

const WindowClass* findClass(LPCSTR name) {
    ensureSystemClasses();
    if (name == nullptr) return nullptr;
    for (auto& windowClass : table().classes) {
        if (IS_INTRESOURCE(name)) {
            if (windowClass->atom == static_cast<ATOM>(reinterpret_cast<std::uintptr_t>(name)))
                return windowClass.get();
        } else if (strcasecmp(windowClass->name.c_str(), name) == 0) {
            return windowClass.get();
        }
    }
    return nullptr;
}

bool hasClass(const Window& window, const char* className) {
    return window.windowClass && strcasecmp(window.windowClass->name.c_str(), className) == 0;
}

bool isDialogWindow(const Window& window) {
    return hasClass(window, "#32770");
}

LRESULT send(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* window = findWindow(handle);
    if (!window || !window->procedure) return 0;
    WindowTable& windows = table();
    ++windows.procedureDepth;
    LRESULT result = window->procedure(handle, message, wParam, lParam);
    --windows.procedureDepth;
    releaseDestroyed();
    return result;
}

void notifyParent(const Window& control, WORD notification) {
    HWND parent = control.parent;
    send(parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(control.id), notification),
         reinterpret_cast<LPARAM>(control.handle));
}

LRESULT notifyParent(const Window& control, NMHDR& header) {
    header.hwndFrom = control.handle;
    header.idFrom = static_cast<UINT_PTR>(control.id);
    return send(control.parent, WM_NOTIFY, static_cast<WPARAM>(control.id),
                reinterpret_cast<LPARAM>(&header));
}

int copyText(const std::string& text, LPSTR buffer, int capacity) {
    if (buffer == nullptr || capacity <= 0) return 0;
    std::size_t count = std::min<std::size_t>(text.size(), static_cast<std::size_t>(capacity) - 1);
    std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
    return static_cast<int>(count);
}

std::string textOf(LPCSTR text) {
    return text ? std::string(text) : std::string();
}

} // namespace win32

using namespace win32;

namespace {

ATOM registerClass(const WNDCLASSA& description) {
    if (description.lpszClassName == nullptr || description.lpfnWndProc == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (findClass(description.lpszClassName)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    auto windowClass = std::make_unique<WindowClass>();
    windowClass->name = description.lpszClassName;
    windowClass->atom = table().nextAtom++;
    windowClass->style = description.style;
    windowClass->procedure = description.lpfnWndProc;
    windowClass->instance = description.hInstance;
    windowClass->icon = description.hIcon;
    windowClass->cursor = description.hCursor;
    windowClass->background = description.hbrBackground;
    ATOM atom = windowClass->atom;
    table().classes.push_back(std::move(windowClass));
    return atom;
}

Window* windowOrError(HWND handle) {
    Window* window = findWindow(handle);
    if (!window) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return window;
}

} // namespace

extern "C" ATOM WINAPI RegisterClassA(const WNDCLASSA* windowClass) {
    if (windowClass == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return registerClass(*windowClass);
}

extern "C" ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* windowClass) {
    if (windowClass == nullptr || windowClass->cbSize != sizeof(WNDCLASSEXA)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    WNDCLASSA plain{windowClass->style,        windowClass->lpfnWndProc,
                    windowClass->cbClsExtra,   windowClass->cbWndExtra,
                    windowClass->hInstance,    windowClass->hIcon,
                    windowClass->hCursor,      windowClass->hbrBackground,
                    windowClass->lpszMenuName, windowClass->lpszClassName};
    return registerClass(plain);
}

extern "C" BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE) {
    const WindowClass* windowClass = findClass(className);
    if (!windowClass || windowClass->isSystem) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    for (auto& [key, window] : table().live)
        if (window->windowClass == windowClass) return FALSE; // still in use
    std::erase_if(table().classes, [&](const auto& entry) { return entry.get() == windowClass; });
    return TRUE;
}

extern "C" BOOL WINAPI GetClassInfoA(HINSTANCE, LPCSTR className, WNDCLASSA* description) {
    const WindowClass* windowClass = findClass(className);
    if (!windowClass || !description) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    *description = WNDCLASSA{windowClass->style,
                             windowClass->procedure,
                             0,
                             0,
                             windowClass->instance,
                             windowClass->icon,
                             windowClass->cursor,
                             windowClass->background,
                             nullptr,
                             windowClass->name.c_str()};
    return TRUE;
}

extern "C" int WINAPI GetClassNameA(HWND handle, LPSTR className, int capacity) {
    Window* window = windowOrError(handle);
    return window ? copyText(window->windowClass->name, className, capacity) : 0;
}

extern "C" HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName,
                                       DWORD style, int x, int y, int width, int height,
                                       HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
    const WindowClass* windowClass = findClass(className);
    if (!windowClass) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    if (parent && !findWindow(parent)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    bool isChild = (style & WS_CHILD) != 0;
    if (isChild && !parent) {
        SetLastError(ERROR_INVALID_PARAMETER); // a child window needs its parent
        return nullptr;
    }
    if (x == CW_USEDEFAULT) x = y = isChild ? 0 : 40;
    if (width == CW_USEDEFAULT) {
        width = isChild ? 0 : 640;
        height = isChild ? 0 : 480;
    }

    WindowTable& windows = table();
    auto record = std::make_unique<Window>();
    Window* window = record.get();
    window->handle = reinterpret_cast<HWND>(windows.nextHandle);
    windows.nextHandle += 4;
    window->windowClass = windowClass;
    window->procedure = windowClass->procedure;
    window->style = style & ~static_cast<DWORD>(WS_VISIBLE);
    window->exStyle = exStyle;
    window->rect = RECT{x, y, x + std::max(width, 0), y + std::max(height, 0)};
    window->frame = frameFor(style, exStyle);
    window->instance = instance;
    if (isChild) {
        window->parent = parent;
        window->id = static_cast<LONG_PTR>(reinterpret_cast<std::uintptr_t>(menu));
    } else {
        window->owner = topLevelOf(parent);
    }
    if (hasClass(*window, WC_LISTVIEWA)) window->listView = std::make_unique<ListViewState>();
    HWND handle = window->handle;
    windows.live.emplace(keyOf(handle), std::move(record));
    if (isChild)
        findWindow(parent)->children.push_back(handle);
    else
        windows.topLevelOrder.push_back(handle);

    CREATESTRUCTA creation{
        param,      instance,  menu,   parent, height, width, y, x, static_cast<LONG>(style),
        windowName, className, exStyle};
    CBT_CREATEWNDA hookData{&creation, nullptr};
    if (callCbtHooks(HCBT_CREATEWND, reinterpret_cast<WPARAM>(handle),
                     reinterpret_cast<LPARAM>(&hookData))) {
        // Refused before its first message: the window never existed for anyone.
        if (Window* parentWindow = findWindow(parent); parentWindow && isChild)
            std::erase(parentWindow->children, handle);
        std::erase(windows.topLevelOrder, handle);
        windows.live.erase(keyOf(handle));
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (!send(handle, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&creation)) ||
        send(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&creation)) == -1) {
        DestroyWindow(handle);
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if ((window = findWindow(handle)) == nullptr) return nullptr; // destroyed while being created
    send(handle, WM_SIZE, SIZE_RESTORED, MAKELPARAM(window->clientWidth(), window->clientHeight()));
    send(handle, WM_MOVE, 0, MAKELPARAM(x, y));
    if (style & WS_VISIBLE) ShowWindow(handle, SW_SHOW);
    return findWindow(handle) ? handle : nullptr;
}

extern "C" BOOL WINAPI DestroyWindow(HWND handle) {
    Window* window = windowOrError(handle);
    if (!window || window->isDestroying) return FALSE;
    if (callCbtHooks(HCBT_DESTROYWND, reinterpret_cast<WPARAM>(handle), 0)) return FALSE;
    window->isDestroying = true;
    // Owned windows go first, as their owner cannot outlive them.
    std::vector<HWND> owned;
    for (auto& [key, other] : table().live)
        if (other->owner == handle) owned.push_back(other->handle);
    for (HWND each : owned)
        DestroyWindow(each);
    if ((window = findWindow(handle)) == nullptr) return TRUE;
    if (window->isVisible()) {
        window->style &= ~static_cast<DWORD>(WS_VISIBLE);
    }
    deactivateIfWithin(handle);
    sendDestroyMessages(handle);
    release(handle);
    releaseDestroyed();
    return TRUE;
}

extern "C" BOOL WINAPI IsWindow(HWND handle) {
    return findWindow(handle) != nullptr;
}

extern "C" BOOL WINAPI IsWindowVisible(HWND handle) {
    for (Window* window = findWindow(handle); window; window = findWindow(window->parent))
        if (!window->isVisible()) return FALSE;
    return findWindow(handle) != nullptr;
}

extern "C" BOOL WINAPI ShowWindow(HWND handle, int command) {
    Window* window = windowOrError(handle);
    if (!window) return FALSE;
    bool wasVisible = window->isVisible();
    if (command == SW_HIDE) {
        if (!wasVisible) return FALSE;
        send(handle, WM_SHOWWINDOW, FALSE, 0);
        if ((window = findWindow(handle)) == nullptr) return TRUE;
        window->style &= ~static_cast<DWORD>(WS_VISIBLE);
        deactivateIfWithin(handle);
        return TRUE;
    }
    if (!wasVisible) {
        send(handle, WM_SHOWWINDOW, TRUE, 0);
        if ((window = findWindow(handle)) == nullptr) return FALSE;
        window->style |= WS_VISIBLE;
    }
    bool activates =
        command != SW_SHOWNA && command != SW_SHOWNOACTIVATE && command != SW_SHOWMINNOACTIVE;
    if (activates && !window->isChild() && window->isEnabled()) activate(handle);
    return wasVisible ? TRUE : FALSE;
}

extern "C" BOOL WINAPI EnableWindow(HWND handle, BOOL enable) {
    Window* window = windowOrError(handle);
    if (!window) return FALSE;
    bool wasDisabled = !window->isEnabled();
    if (wasDisabled == !enable) return wasDisabled;
    if (enable) {
        window->style &= ~static_cast<DWORD>(WS_DISABLED);
    } else {
        window->style |= WS_DISABLED;
        if (table().focus && isWithin(table().focus, handle)) SetFocus(nullptr);
    }
    send(handle, WM_ENABLE, enable ? TRUE : FALSE, 0);
    return wasDisabled;
}

extern "C" BOOL WINAPI IsWindowEnabled(HWND handle) {
    Window* window = findWindow(handle);
    return window && window->isEnabled();
}

extern "C" HWND WINAPI GetWindow(HWND handle, UINT relation) {
    Window* window = windowOrError(handle);
    if (!window) return nullptr;
    if (relation == GW_OWNER) return window->owner;
    if (relation == GW_CHILD) return window->children.empty() ? nullptr : window->children.front();
    const std::vector<HWND>* siblings = &table().topLevelOrder;
    if (Window* parent = findWindow(window->parent)) siblings = &parent->children;
    auto at = std::find(siblings->begin(), siblings->end(), handle);
    switch (relation) {
    case GW_HWNDFIRST:
        return siblings->front();
    case GW_HWNDLAST:
        return siblings->back();
    case GW_HWNDNEXT:
        return (at == siblings->end() || at + 1 == siblings->end()) ? nullptr : *(at + 1);
    case GW_HWNDPREV:
        return (at == siblings->begin() || at == siblings->end()) ? nullptr : *(at - 1);
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
}

extern "C" HWND WINAPI GetParent(HWND handle) {
    Window* window = windowOrError(handle);
    if (!window) return nullptr;
    return window->isChild() ? window->parent : window->owner;
}

extern "C" BOOL WINAPI GetClientRect(HWND handle, LPRECT rect) {
    Window* window = windowOrError(handle);
    if (!window || !rect) return FALSE;
    *rect = RECT{0, 0, window->clientWidth(), window->clientHeight()};
    return TRUE;
}

extern "C" BOOL WINAPI GetWindowRect(HWND handle, LPRECT rect) {
    Window* window = windowOrError(handle);
    if (!window || !rect) return FALSE;
    *rect = window->rect;
    return TRUE;
}

extern "C" BOOL WINAPI MoveWindow(HWND handle, int x, int y, int width, int height, BOOL) {
    Window* window = windowOrError(handle);
    if (!window) return FALSE;
    window->rect = RECT{x, y, x + std::max(width, 0), y + std::max(height, 0)};
    send(handle, WM_MOVE, 0, MAKELPARAM(x, y));
    if ((window = findWindow(handle)) != nullptr)
        send(handle, WM_SIZE, SIZE_RESTORED,
             MAKELPARAM(window->clientWidth(), window->clientHeight()));
    return TRUE;
}

extern "C" BOOL WINAPI AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL, DWORD exStyle) {
    if (!rect) return FALSE;
    RECT frame = frameFor(style, exStyle);
    rect->left -= frame.left;
    rect->top -= frame.top;
    rect->right += frame.right;
    rect->bottom += frame.bottom;
    return TRUE;
}

extern "C" BOOL WINAPI SetWindowTextA(HWND handle, LPCSTR text) {
    if (!windowOrError(handle)) return FALSE;
    return send(handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

extern "C" int WINAPI GetWindowTextA(HWND handle, LPSTR text, int capacity) {
    if (!windowOrError(handle) || !text || capacity <= 0) return 0;
    text[0] = '\0';
    return static_cast<int>(
        send(handle, WM_GETTEXT, static_cast<WPARAM>(capacity), reinterpret_cast<LPARAM>(text)));
}

extern "C" int WINAPI GetWindowTextLengthA(HWND handle) {
    if (!windowOrError(handle)) return 0;
    return static_cast<int>(send(handle, WM_GETTEXTLENGTH, 0, 0));
}

extern "C" LONG_PTR WINAPI GetWindowLongPtrA(HWND handle, int index) {
    Window* window = windowOrError(handle);
    if (!window) return 0;
    switch (index) {
    case GWLP_WNDPROC:
        return reinterpret_cast<LONG_PTR>(window->procedure);
    case GWLP_HINSTANCE:
        return reinterpret_cast<LONG_PTR>(window->instance);
    case GWLP_HWNDPARENT:
        return reinterpret_cast<LONG_PTR>(window->isChild() ? window->parent : window->owner);
    case GWLP_ID:
        return window->id;
    case GWL_STYLE:
        return static_cast<LONG_PTR>(window->style);
    case GWL_EXSTYLE:
        return static_cast<LONG_PTR>(window->exStyle);
    case GWLP_USERDATA:
        return window->userData;
    default:
        break;
    }
    if (isDialogWindow(*window)) {
        if (index == DWLP_MSGRESULT) return window->dialogResult;
        if (index == DWLP_DLGPROC) return reinterpret_cast<LONG_PTR>(window->dialogProcedure);
        if (index == DWLP_USER) return window->dialogUser;
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
}

extern "C" LONG_PTR WINAPI SetWindowLongPtrA(HWND handle, int index, LONG_PTR value) {
    Window* window = windowOrError(handle);
    if (!window) return 0;
    auto exchange = [](auto& slot, auto newValue) {
        LONG_PTR old = reinterpret_cast<LONG_PTR>(slot);
        slot = newValue;
        return old;
    };
    switch (index) {
    case GWLP_WNDPROC:
        return exchange(window->procedure, reinterpret_cast<WNDPROC>(value));
    case GWLP_HINSTANCE:
        return exchange(window->instance, reinterpret_cast<HINSTANCE>(value));
    case GWLP_ID:
        return std::exchange(window->id, value);
    case GWL_STYLE:
        return static_cast<LONG_PTR>(std::exchange(window->style, static_cast<DWORD>(value)));
    case GWL_EXSTYLE:
        return static_cast<LONG_PTR>(std::exchange(window->exStyle, static_cast<DWORD>(value)));
    case GWLP_USERDATA:
        return std::exchange(window->userData, value);
    default:
        break;
    }
    if (isDialogWindow(*window)) {
        if (index == DWLP_MSGRESULT) return std::exchange(window->dialogResult, value);
        if (index == DWLP_DLGPROC)
            return exchange(window->dialogProcedure, reinterpret_cast<DLGPROC>(value));
        if (index == DWLP_USER) return std::exchange(window->dialogUser, value);
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
}

extern "C" LONG WINAPI GetWindowLongA(HWND handle, int index) {
    return static_cast<LONG>(GetWindowLongPtrA(handle, index));
}

extern "C" LONG WINAPI SetWindowLongA(HWND handle, int index, LONG value) {
    return static_cast<LONG>(SetWindowLongPtrA(handle, index, value));
}

extern "C" HWND WINAPI SetFocus(HWND handle) {
    WindowTable& windows = table();
    HWND previous = windows.focus;
    if (handle == nullptr) {
        windows.focus = nullptr;
        if (findWindow(previous)) send(previous, WM_KILLFOCUS, 0, 0);
        return previous;
    }
    Window* window = windowOrError(handle);
    if (!window) return nullptr;
    if (previous == handle) return previous;
    if (callCbtHooks(HCBT_SETFOCUS, reinterpret_cast<WPARAM>(handle),
                     reinterpret_cast<LPARAM>(previous)))
        return nullptr;
    HWND topLevel = topLevelOf(handle);
    if (windows.active != topLevel) {
        activate(topLevel);
        previous = windows.focus; // activation may have moved the focus already
        if (previous == handle) return previous;
    }
    if (!findWindow(handle)) return nullptr;
    windows.focus = handle;
    if (findWindow(previous)) send(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(handle), 0);
    if (windows.focus == handle) send(handle, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    return previous;
}

extern "C" HWND WINAPI GetFocus() {
    return table().focus;
}

extern "C" HWND WINAPI GetActiveWindow() {
    return table().active;
}
