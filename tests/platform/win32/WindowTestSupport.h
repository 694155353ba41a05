// Shared helpers of the window system's tests: a window class whose procedure records every
// message, and a queue pump.
#pragma once

#include <commctrl.h>

#include <string>
#include <vector>

struct LoggedMessage {
    HWND window;
    UINT id;
    WPARAM wParam;
    LPARAM lParam;
    NMLISTVIEW notification; // a copy of a list view's notification, taken when it was sent
};

// Messages seen by windows of the "Recorder" class and by RecordingDialogProc.
std::vector<LoggedMessage>& messageLog();
// Registers "Recorder" once.
void registerRecorderClass();
INT_PTR CALLBACK RecordingDialogProc(HWND, UINT, WPARAM, LPARAM);
// Dispatches queued messages until the queue is empty; returns how many.
int pumpMessages();
// How many logged messages have this id (and, with a window, went to it).
int countMessages(UINT id, HWND window = nullptr);
// The WM_COMMAND notification codes logged for a control id, in order.
std::vector<WORD> commandCodes(int controlId);
// Discards every message still queued, the quit message included.
void drainQueue();
