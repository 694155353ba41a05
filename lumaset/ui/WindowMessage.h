// The record every hook and handler of the window toolkit receives, and the handler type.
#pragma once

#include <windows.h>

class WindowBase;

struct WindowMessage {
    WindowBase* window = nullptr;
    HWND handle = nullptr; // the window the message was sent to, even after the object let go of it
    UINT id = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    LRESULT result = 0;       // what the window procedure answers
    bool callDefault = false; // true for the toolkit's own windows, false for dialogs
};

// A plain function and the object it was registered for. A handler answers through the
// message's result. A message handler (WindowBase::AddMessageHandler) may destroy the window
// object it was called for, as nothing touches the object after it returns; a command handler
// (DialogWindow::AddCommandHandler) may not.
typedef void (*MessageHandlerFunction)(void* object, WindowMessage& message);

struct MessageHandler {
    MessageHandlerFunction function = nullptr;
    void* object = nullptr;

    void operator()(WindowMessage& message) const {
        if (function) function(object, message);
    }
};
