#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class WindowSystem : public ::testing::Test {
protected:
    void SetUp() override {
        registerRecorderClass();
        drainQueue();
        messageLog().clear();
    }
    void TearDown() override { drainQueue(); }

    static HWND makeWindow(const char* title = "Recorded", DWORD style = WS_OVERLAPPEDWINDOW,
                           HWND parent = nullptr) {
        return CreateWindowExA(0, "Recorder", title, style, 10, 20, 300, 200, parent, nullptr,
                               nullptr, nullptr);
    }
};

TEST_F(WindowSystem, CreationAndDestructionSendTheirMessagesInOrder) {
    HWND window = makeWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_GE(messageLog().size(), 3u);
    EXPECT_EQ(messageLog()[0].id, static_cast<UINT>(WM_NCCREATE));
    EXPECT_EQ(messageLog()[1].id, static_cast<UINT>(WM_CREATE));
    EXPECT_EQ(messageLog()[2].id, static_cast<UINT>(WM_SIZE));
    char title[32];
    EXPECT_EQ(GetWindowTextA(window, title, sizeof title), 8);
    EXPECT_STREQ(title, "Recorded");

    messageLog().clear();
    EXPECT_TRUE(DestroyWindow(window));
    ASSERT_EQ(messageLog().size(), 2u);
    EXPECT_EQ(messageLog()[0].id, static_cast<UINT>(WM_DESTROY));
    EXPECT_EQ(messageLog()[1].id, static_cast<UINT>(WM_NCDESTROY));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(DestroyWindow(window));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_EQ(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0), 0);
}

TEST_F(WindowSystem, ShowWindowAnswersWhetherTheWindowWasVisible) {
    HWND window = makeWindow();
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_FALSE(ShowWindow(window, SW_SHOWNORMAL));
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_TRUE(ShowWindow(window, SW_SHOW));
    EXPECT_EQ(GetActiveWindow(), window);
    EXPECT_TRUE(ShowWindow(window, SW_HIDE));
    EXPECT_FALSE(ShowWindow(window, SW_HIDE));
    EXPECT_EQ(countMessages(WM_SHOWWINDOW, window), 2);
    DestroyWindow(window);
}

TEST_F(WindowSystem, ChildrenAndOwnedWindowsGoWithTheirWindow) {
    HWND owner = makeWindow("Owner");
    HWND child = makeWindow("Child", WS_CHILD | WS_VISIBLE, owner);
    HWND owned = makeWindow("Owned", WS_POPUP, child); // owned by the child's top-level window
    ASSERT_TRUE(owner && child && owned);
    EXPECT_EQ(GetParent(child), owner);
    EXPECT_EQ(GetWindow(owned, GW_OWNER), owner);
    EXPECT_EQ(GetWindow(owner, GW_CHILD), child);
    EXPECT_EQ(GetWindow(child, GW_OWNER), nullptr);
    EXPECT_FALSE(IsWindowVisible(child)); // its parent is hidden
    DestroyWindow(owner);
    EXPECT_FALSE(IsWindow(child));
    EXPECT_FALSE(IsWindow(owned));
    EXPECT_EQ(countMessages(WM_NCDESTROY), 3);
}

TEST_F(WindowSystem, PostedMessagesArriveInOrderAndTheQuitMessageLast) {
    HWND first = makeWindow("First");
    HWND second = makeWindow("Second");
    PostQuitMessage(7);
    PostMessageA(first, WM_USER + 1, 1, 0);
    PostMessageA(second, WM_USER + 2, 2, 0);
    PostMessageA(first, WM_USER + 3, 3, 0);

    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, second, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_USER + 2));
    ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_USER + 3, WM_USER + 3, PM_REMOVE));
    EXPECT_EQ(message.wParam, 3u);
    std::vector<UINT> order;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        order.push_back(message.message);
        if (message.message == WM_QUIT) {
            EXPECT_EQ(message.wParam, 7u);
        }
        DispatchMessageA(&message);
    }
    EXPECT_EQ(order, (std::vector<UINT>{WM_USER + 1, WM_USER + 2, WM_QUIT}));
    EXPECT_EQ(countMessages(WM_USER + 1, first), 1);
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    DestroyWindow(first);
    DestroyWindow(second);
}

TEST_F(WindowSystem, MessagesForADestroyedWindowAreDropped) {
    HWND window = makeWindow();
    PostMessageA(window, WM_USER, 0, 0);
    DestroyWindow(window);
    messageLog().clear();
    EXPECT_EQ(pumpMessages(), 1);
    EXPECT_TRUE(messageLog().empty());
    EXPECT_FALSE(PostMessageA(window, WM_USER, 0, 0));
}

TEST_F(WindowSystem, InputReachesOnlyVisibleEnabledWindowsAndKeysOnlyTheFocus) {
    HWND window = makeWindow();
    ShowWindow(window, SW_SHOW);
    EXPECT_FALSE(EnableWindow(window, FALSE)); // was enabled
    EXPECT_FALSE(IsWindowEnabled(window));
    EXPECT_TRUE(EnableWindow(window, TRUE)); // was disabled
    EXPECT_EQ(countMessages(WM_ENABLE, window), 2);

    EnableWindow(window, FALSE);
    messageLog().clear();
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    PostMessageA(window, WM_USER, 0, 0); // not input: delivered
    pumpMessages();
    EXPECT_EQ(countMessages(WM_LBUTTONDOWN), 0);
    EXPECT_EQ(countMessages(WM_USER), 1);

    EnableWindow(window, TRUE);
    SetFocus(nullptr);
    PostMessageA(window, WM_CHAR, 'a', 0);
    pumpMessages();
    EXPECT_EQ(countMessages(WM_CHAR), 0);
    SetFocus(window);
    PostMessageA(window, WM_KEYDOWN, 'A', 0);
    pumpMessages(); // the key press becomes the character it types
    EXPECT_EQ(countMessages(WM_CHAR), 1);
    DestroyWindow(window);
}

LRESULT CALLBACK subclassProcedure(HWND window, UINT id, WPARAM wParam, LPARAM lParam) {
    if (id == WM_USER) return 42;
    auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_USERDATA));
    return CallWindowProcA(previous, window, id, wParam, lParam);
}

TEST_F(WindowSystem, AReplacedProcedureCanPassMessagesOnToTheOldOne) {
    HWND window = makeWindow();
    LONG_PTR previous =
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(subclassProcedure));
    SetWindowLongPtrA(window, GWLP_USERDATA, previous);
    EXPECT_EQ(SendMessageA(window, WM_USER, 0, 0), 42);
    messageLog().clear();
    SetWindowTextA(window, "Renamed");
    EXPECT_EQ(countMessages(WM_SETTEXT, window),
              1); // reached the recorder through the old procedure
    EXPECT_EQ(GetWindowTextLengthA(window), 7);
    DestroyWindow(window);
}

TEST_F(WindowSystem, ClassesAreRegisteredOnceAndLookedUpIgnoringCase) {
    WNDCLASSA description{};
    description.lpfnWndProc = DefWindowProcA;
    description.lpszClassName = "recorder";
    EXPECT_EQ(RegisterClassA(&description), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));
    EXPECT_EQ(
        CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
        nullptr);
    EXPECT_EQ(
        CreateWindowExA(0, "Button", "", WS_CHILD, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
        nullptr);
    HWND button =
        CreateWindowExA(0, "BUTTON", "Go", 0, 0, 0, 40, 20, nullptr, nullptr, nullptr, nullptr);
    char className[32];
    EXPECT_GT(GetClassNameA(button, className, sizeof className), 0);
    EXPECT_STREQ(className, "Button");
    DestroyWindow(button);
}

std::vector<int> hookCodes;
LRESULT CALLBACK refusingHook(int code, WPARAM, LPARAM lParam) {
    hookCodes.push_back(code);
    if (code == HCBT_CREATEWND) {
        auto* creation = reinterpret_cast<CBT_CREATEWNDA*>(lParam);
        return std::string(creation->lpcs->lpszName) == "Refused" ? 1 : 0;
    }
    return 0;
}

TEST_F(WindowSystem, TheTrainingHookSeesCreationActivationAndDestructionAndCanRefuse) {
    hookCodes.clear();
    HHOOK hook = SetWindowsHookExA(WH_CBT, refusingHook, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    EXPECT_EQ(makeWindow("Refused"), nullptr);
    HWND window = makeWindow("Accepted");
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_SHOW);
    DestroyWindow(window);
    EXPECT_TRUE(UnhookWindowsHookEx(hook));
    EXPECT_FALSE(UnhookWindowsHookEx(hook));
    std::vector<int> expected{HCBT_CREATEWND, HCBT_CREATEWND, HCBT_ACTIVATE, HCBT_SETFOCUS,
                              HCBT_DESTROYWND};
    EXPECT_EQ(hookCodes, expected);
}

TEST_F(WindowSystem, TheClientAreaLiesInsideTheFrame) {
    HWND window = makeWindow();
    RECT client{}, bounds{};
    GetClientRect(window, &client);
    GetWindowRect(window, &bounds);
    EXPECT_EQ(bounds.left, 10);
    EXPECT_EQ(bounds.right - bounds.left, 300);
    EXPECT_LT(client.right, 300);
    EXPECT_LT(client.bottom, 200);
    RECT adjusted = client;
    AdjustWindowRectEx(&adjusted, WS_OVERLAPPEDWINDOW, FALSE, 0);
    EXPECT_EQ(adjusted.right - adjusted.left, 300);
    EXPECT_EQ(adjusted.bottom - adjusted.top, 200);
    DestroyWindow(window);
}

TEST_F(WindowSystem, TheCloseBoxDestroysAPlainWindow) {
    HWND window = makeWindow();
    ShowWindow(window, SW_SHOW);
    PostMessageA(window, WM_NCLBUTTONDOWN, HTCLOSE, 0);
    pumpMessages();
    EXPECT_EQ(countMessages(WM_SYSCOMMAND, window), 1);
    EXPECT_EQ(countMessages(WM_CLOSE, window), 1);
    EXPECT_FALSE(IsWindow(window));
}

LRESULT CALLBACK selfDestroyingProcedure(HWND window, UINT id, WPARAM wParam, LPARAM lParam) {
    if (id == WM_USER) {
        DestroyWindow(window);
        // The handle names no window any more, yet this procedure still runs on safely.
        return GetWindowTextLengthA(window) + 100;
    }
    return DefWindowProcA(window, id, wParam, lParam);
}

TEST_F(WindowSystem, AProcedureMayDestroyItsOwnWindow) {
    WNDCLASSA description{};
    description.lpfnWndProc = selfDestroyingProcedure;
    description.lpszClassName = "SelfDestroying";
    RegisterClassA(&description);
    HWND window = CreateWindowExA(0, "SelfDestroying", "x", 0, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
    EXPECT_EQ(SendMessageA(window, WM_USER, 0, 0), 100);
    EXPECT_FALSE(IsWindow(window));
}

} // namespace
