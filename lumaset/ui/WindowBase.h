// A window bound to an object: every message of the window reaches the object's `OnMessage`
// hook and then the handler registered for that message. The object creates a window of its own
// ("WindowClass") only when `Show` is called while it has none.
#pragma once

#include "ui/WindowMessage.h"

#include <map>
#include <string>

class WindowBase {
public:
    WindowBase() = default;
    // Sends the close message when the window is open.
    virtual ~WindowBase();
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;

    // Sends the window the close message; false when there is no open window.
    virtual bool Close();
    // Runs `OnMessage`, then the handler for the message, then (for windows of the toolkit's
    // class) the default processing.
    virtual void Dispatch(WindowMessage& message);
    virtual void OnMessage(WindowMessage& message);

    // The handle is set and still names a window.
    bool IsOpen() const;
    // Creates the object's own window first when it has none; true when the window was
    // visible before.
    bool Show(int showCommand);
    // Inserts or replaces the handler of a message.
    void AddMessageHandler(UINT messageId, MessageHandler handler);

    HWND GetHandle() const { return handle; }
    int GetClientWidth() const { return clientWidth; }
    int GetClientHeight() const { return clientHeight; }

protected:
    HWND handle = nullptr;
    WNDPROC previousProc = nullptr;
    bool quitOnDestroy = true;
    std::string className;
    std::string title;
    std::map<UINT, MessageHandler> messageHandlers;
    DWORD style = WS_CLIPCHILDREN | WS_OVERLAPPEDWINDOW;
    DWORD exStyle = 0;
    int x = CW_USEDEFAULT;
    int y = CW_USEDEFAULT;
    int width = CW_USEDEFAULT;
    int height = CW_USEDEFAULT;
    int clientWidth = 0;
    int clientHeight = 0;

    // Binds a window created outside the toolkit's class: its procedure is kept in
    // `previousProc` and the toolkit's procedure takes its place.
    void Attach(HWND created);

    friend LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
    friend INT_PTR CALLBACK DialogProc(HWND, UINT, WPARAM, LPARAM);
};

// Registers "WindowClass" for the toolkit's own windows. A second registration's failure is
// harmless and ignored by the callers.
bool RegisterWindowClass();

// The toolkit's window procedure ("WindowClass" and attached windows) and dialog procedure.
LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
