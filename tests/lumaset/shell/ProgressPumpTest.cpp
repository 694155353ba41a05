// The progress callback empties the thread's queue, dispatching every message to its window.
#include "shell/ProgressPump.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<UINT> received;

LRESULT CALLBACK recordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_USER) received.push_back(message);
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST(ProgressPump, DispatchesEveryWaitingMessageAndReturnsZero) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = recordingProcedure;
    windowClass.lpszClassName = "ProgressPumpTestWindow";
    ASSERT_TRUE(RegisterClassA(&windowClass));
    HWND first = CreateWindowExA(0, "ProgressPumpTestWindow", "", 0, 0, 0, 10, 10, nullptr, nullptr,
                                 nullptr, nullptr);
    HWND second = CreateWindowExA(0, "ProgressPumpTestWindow", "", 0, 0, 0, 10, 10, nullptr,
                                  nullptr, nullptr, nullptr);
    ASSERT_TRUE(first && second);
    received.clear();
    MSG leftOver;
    while (PeekMessageA(&leftOver, nullptr, 0, 0, PM_REMOVE)) {
    }
    PostMessageA(first, WM_USER + 1, 0, 0);
    PostMessageA(second, WM_USER + 2, 0, 0);
    PostMessageA(first, WM_USER + 3, 0, 0);

    EXPECT_EQ(ProgressPump(reinterpret_cast<LPVOID>(0x1234)), 0u);
    EXPECT_EQ(received, (std::vector<UINT>{WM_USER + 1, WM_USER + 2, WM_USER + 3}));
    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) << "the queue is empty";
    EXPECT_EQ(ProgressPump(nullptr), 0u) << "an empty queue is fine too";

    DestroyWindow(first);
    DestroyWindow(second);
    UnregisterClassA("ProgressPumpTestWindow", nullptr);
}

} // namespace
