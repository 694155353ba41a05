#include "ui/WindowBase.h"

namespace {
const char kWindowClassName[] = "WindowClass";
}

WindowBase::~WindowBase() {
    if (IsOpen()) SendMessageA(handle, WM_CLOSE, 0, 0);
    messageHandlers.clear();
}

bool WindowBase::Close() {
    if (!IsOpen()) return false;
    SendMessageA(handle, WM_CLOSE, 0, 0);
    return true;
}

void WindowBase::Dispatch(WindowMessage& message) {
    WNDPROC previous = previousProc; // read first: a message handler may end the object
    OnMessage(message);
    if (auto found = messageHandlers.find(message.id); found != messageHandlers.end()) {
        MessageHandler handler = found->second; // the handler may replace itself
        handler(message);
    }
    if (!message.callDefault) return;
    message.result =
        previous
            ? CallWindowProcA(previous, message.handle, message.id, message.wParam, message.lParam)
            : DefWindowProcA(message.handle, message.id, message.wParam, message.lParam);
}

void WindowBase::OnMessage(WindowMessage& message) {
    if (message.id == WM_DESTROY) {
        if (quitOnDestroy) PostQuitMessage(0);
        handle = nullptr;
    } else if (message.id == WM_SIZE && IsOpen()) {
        RECT client{};
        GetClientRect(handle, &client);
        clientWidth = client.right - client.left;
        clientHeight = client.bottom - client.top;
    }
}

bool WindowBase::IsOpen() const {
    return handle != nullptr && IsWindow(handle);
}

bool WindowBase::Show(int showCommand) {
    if (!IsOpen()) {
        className = kWindowClassName;
        RegisterWindowClass();
        previousProc = nullptr;
        HWND created = CreateWindowExA(exStyle, className.c_str(), title.c_str(), style, x, y,
                                       width, height, nullptr, nullptr, nullptr, this);
        if (created) Attach(created);
    }
    return IsOpen() && ShowWindow(handle, showCommand) != FALSE;
}

void WindowBase::AddMessageHandler(UINT messageId, MessageHandler handler) {
    messageHandlers[messageId] = handler;
}

void WindowBase::Attach(HWND created) {
    auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(created, GWLP_WNDPROC));
    handle = created;
    if (current == WindowProc) return;
    previousProc = current;
    SetWindowLongPtrA(created, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WindowProc));
    SetWindowLongPtrA(created, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

bool RegisterWindowClass() {
    WNDCLASSA description{};
    description.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    description.lpfnWndProc = WindowProc;
    description.hInstance = GetModuleHandleA(nullptr);
    description.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    description.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    description.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    description.lpszClassName = kWindowClassName;
    return RegisterClassA(&description) != 0;
}

LRESULT CALLBACK WindowProc(HWND window, UINT id, WPARAM wParam, LPARAM lParam) {
    WindowBase* object = nullptr;
    if (id == WM_NCCREATE) {
        auto* creation = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        object = creation ? static_cast<WindowBase*>(creation->lpCreateParams) : nullptr;
        if (!object) return DefWindowProcA(window, id, wParam, lParam);
        object->handle = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
    } else {
        object = reinterpret_cast<WindowBase*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (!object) return DefWindowProcA(window, id, wParam, lParam);
    }
    WindowMessage message{object, window, id, wParam, lParam, 0, true};
    object->Dispatch(message);
    return message.result;
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT id, WPARAM wParam, LPARAM lParam) {
    WindowBase* object = nullptr;
    if (id == WM_INITDIALOG) {
        object = reinterpret_cast<WindowBase*>(lParam);
        if (!object) return 0;
        object->handle = dialog;
        SetWindowLongPtrA(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
    } else {
        object = reinterpret_cast<WindowBase*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
        if (!object) return 0;
    }
    WindowMessage message{object, dialog, id, wParam, lParam, 0, false};
    object->Dispatch(message);
    return message.result;
}
