#include "ui/DialogWindow.h"
#include "resources/ResourceTable.h"
#include "resources/resource.h"

#include <headless/UserPlayer.h>

#include <gtest/gtest.h>

#include <string>

namespace {

class Toolkit : public ::testing::Test {
protected:
    void SetUp() override { RegisterResourceTable(nullptr, &Win32ResourceTable); }
    void TearDown() override {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
        RegisterResourceTable(nullptr, nullptr);
    }
    std::string textOf(const DialogWindow& dialog, int id) {
        char text[128];
        dialog.GetText(id, text, sizeof text);
        return text;
    }
};

TEST_F(Toolkit, FloatEditsShowGeneralFormAndReadLikeTheCLibrary) {
    DialogWindow dialog;
    ASSERT_TRUE(dialog.Create(IDD_EXPORT_OPTIONS, nullptr, nullptr));
    const std::pair<float, const char*> shown[] = {{1.0f, "1"},
                                                   {0.5f, "0.5"},
                                                   {1234567.0f, "1.23457e+06"},
                                                   {-0.25f, "-0.25"},
                                                   {0.0001f, "0.0001"}};
    for (auto [value, text] : shown) {
        dialog.SetFloat(IDC_OBJECT_SCALE_X, value);
        EXPECT_EQ(textOf(dialog, IDC_OBJECT_SCALE_X), text);
    }
    const std::pair<const char*, double> read[] = {
        {"abc", 0.0}, {" 2.5x", 2.5}, {"", 0.0}, {"-1e2", -100.0}, {"\t7", 7.0}};
    for (auto [text, value] : read) {
        dialog.SetText(IDC_OBJECT_SCALE_X, text);
        EXPECT_EQ(dialog.GetFloat(IDC_OBJECT_SCALE_X), value) << text;
    }
    const std::pair<const char*, int> integers[] = {
        {"29.97", 29}, {"x", 0}, {" -12", -12}, {"99999999999", 2147483647}};
    for (auto [text, value] : integers) {
        dialog.SetText(IDC_SAMPLING_FPS, text);
        EXPECT_EQ(dialog.GetInt(IDC_SAMPLING_FPS), value) << text;
    }
    // Text beyond 127 characters is not read.
    dialog.SetText(IDC_SAMPLING_FPS, (std::string(127, ' ') + "5").c_str());
    EXPECT_EQ(dialog.GetInt(IDC_SAMPLING_FPS), 0);
}

TEST_F(Toolkit, OkEndsTheModalRunAcceptedAndOnlyHidesTheDialog) {
    DialogWindow dialog;
    ASSERT_TRUE(dialog.Create(IDD_EXPORT_OPTIONS, nullptr, nullptr));
    EXPECT_FALSE(IsWindowVisible(dialog.GetHandle()));
    headless::UserPlayer player;
    player.at("Lumaset (Tavisorel) Export").click(IDOK);
    EXPECT_TRUE(dialog.RunModal());
    EXPECT_TRUE(dialog.IsOpen());
    EXPECT_FALSE(IsWindowVisible(dialog.GetHandle()));
    EXPECT_TRUE(dialog.Close());
    EXPECT_FALSE(dialog.IsOpen());
    EXPECT_FALSE(dialog.Close());
}

TEST_F(Toolkit, CancelAndTheCloseBoxEndTheModalRunRefused) {
    for (bool useCloseBox : {false, true}) {
        DialogWindow dialog;
        ASSERT_TRUE(dialog.Create(IDD_IMPORT_OPTIONS, nullptr, nullptr));
        headless::UserPlayer player;
        player.at("Lumaset (Tavisorel) Import").click(IDOK); // a first run accepts
        EXPECT_TRUE(dialog.RunModal());
        if (useCloseBox)
            player.at().closeBox();
        else
            player.at().click(IDCANCEL);
        EXPECT_FALSE(dialog.RunModal());
        EXPECT_TRUE(dialog.IsOpen());
        EXPECT_EQ(player.dialogsSeen().size(), 2u);
    }
}

TEST_F(Toolkit, ARunWithoutADialogEndsAtOnceRefused) {
    DialogWindow dialog;
    EXPECT_FALSE(dialog.Create(9999, nullptr, nullptr));
    EXPECT_FALSE(dialog.RunModal());
    EXPECT_FALSE(dialog.IsOpen()); // no plain window was made in its place
}

struct HandlerLog {
    int calls = 0;
    bool ownerEnabled = true;
    HWND owner = nullptr;
    DialogWindow* dialog = nullptr;
};

void countCall(void* object, WindowMessage& message) {
    auto* log = static_cast<HandlerLog*>(object);
    ++log->calls;
    log->ownerEnabled = IsWindowEnabled(log->owner);
    EXPECT_EQ(message.id, static_cast<UINT>(WM_COMMAND));
}

TEST_F(Toolkit, ControlHandlersRunWithTheOwnerDisabledAndLeaveTheLoopRunning) {
    WindowBase owner;
    EXPECT_FALSE(owner.Show(SW_SHOW));
    ASSERT_TRUE(owner.IsOpen());
    DialogWindow dialog;
    ASSERT_TRUE(dialog.Create(IDD_EXPORT_OPTIONS, owner.GetHandle(), nullptr));
    EXPECT_EQ(GetWindow(dialog.GetHandle(), GW_OWNER), owner.GetHandle());
    HandlerLog log;
    log.owner = owner.GetHandle();
    dialog.AddCommandHandler(IDC_NORMAL, MessageHandler{countCall, &log});
    headless::UserPlayer player;
    player.at().click(IDC_NORMAL).click(IDC_NORMAL).click(IDOK);
    EXPECT_TRUE(dialog.RunModal());
    EXPECT_EQ(log.calls, 2);
    EXPECT_FALSE(log.ownerEnabled);
    EXPECT_TRUE(IsWindowEnabled(owner.GetHandle()));
    // The auto check box still toggled itself: twice from checked is checked.
    dialog.SetCheck(IDC_NORMAL, 1);
    EXPECT_TRUE(dialog.IsChecked(IDC_NORMAL));
}

void closeDialog(void* object, WindowMessage&) {
    static_cast<DialogWindow*>(object)->Close();
}

TEST_F(Toolkit, AHandlerForOkReplacesTheBuiltInAndADestroyedDialogEndsTheRun) {
    DialogWindow dialog;
    ASSERT_TRUE(dialog.Create(IDD_EXPORT_OPTIONS, nullptr, nullptr));
    dialog.AddCommandHandler(IDOK, MessageHandler{closeDialog, &dialog});
    headless::UserPlayer player;
    player.at().click(IDOK);
    EXPECT_FALSE(dialog.RunModal()); // OK did not accept: the handler destroyed the dialog instead
    EXPECT_FALSE(dialog.IsOpen());
}

struct ListLog {
    std::vector<int> items;
    std::vector<UINT> codes;
};

void recordNotify(void* object, WindowMessage& message) {
    auto* log = static_cast<ListLog*>(object);
    if (message.id != WM_NOTIFY) return;
    auto* header = reinterpret_cast<const NMHDR*>(message.lParam);
    log->codes.push_back(header->code);
    if (header->code == LVN_ITEMCHANGED)
        log->items.push_back(reinterpret_cast<const NMLISTVIEW*>(message.lParam)->iItem);
}

TEST_F(Toolkit, ListNotificationsReachTheListsCommandHandler) {
    DialogWindow dialog;
    ASSERT_TRUE(dialog.Create(IDD_ANIMATION_SETS, nullptr, nullptr));
    ListViewControl list = dialog.GetListView(IDC_SET_LIST);
    list.SetExtendedStyle(0, LVS_EX_FULLROWSELECT);
    EXPECT_EQ(list.InsertColumn(0, "KEY NAME", LVCFMT_LEFT, 128, 0), 0);
    for (const char* name : {"walk", "run", "jump"})
        list.InsertItem(-1, name);
    EXPECT_EQ(list.InsertItem(-1, "idle"), 3);
    ListLog log;
    dialog.AddCommandHandler(IDC_SET_LIST, MessageHandler{recordNotify, &log});
    headless::UserPlayer player;
    player.at("Animation set").selectRow(IDC_SET_LIST, 2);
    dialog.Show(SW_SHOWNORMAL);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
    EXPECT_EQ(log.items, std::vector<int>{2});
    EXPECT_EQ(list.GetSelectedCount(), 1);
    EXPECT_EQ(list.FindItem("JUMP"), 2);
    EXPECT_EQ(list.FindItem("jump", 2), -1);
}

TEST_F(Toolkit, AColumnOfWidthMinusOneFitsItsText) {
    DialogWindow dialog;
    ASSERT_TRUE(dialog.Create(IDD_ANIMATION_SETS, nullptr, nullptr));
    ListViewControl list = dialog.GetListView(IDC_SET_LIST);
    list.InsertColumn(0, "START", LVCFMT_LEFT, -1, 0);
    LRESULT textWidth =
        SendMessageA(list.handle, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>("START"));
    EXPECT_GT(textWidth, 0);
    EXPECT_EQ(list.GetColumnWidth(0), textWidth + 16);
}

void deleteDialog(void* object, WindowMessage&) {
    delete static_cast<DialogWindow*>(object);
}

TEST_F(Toolkit, AMessageHandlerMayDeleteTheDialogItWasCalledFor) {
    // As a modeless dialog's owner does when its close box is clicked.
    auto* dialog = new DialogWindow;
    ASSERT_TRUE(dialog->Create(IDD_ANIMATION_SETS, nullptr, nullptr));
    HWND handle = dialog->GetHandle();
    dialog->AddMessageHandler(WM_CLOSE, MessageHandler{deleteDialog, dialog});
    headless::UserPlayer player;
    player.at("Animation set").closeBox();
    dialog->Show(SW_SHOWNORMAL);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
    EXPECT_FALSE(IsWindow(handle));
}

struct SizeLog : WindowBase {
    int sizes = 0;
    void OnMessage(WindowMessage& message) override {
        WindowBase::OnMessage(message);
        if (message.id == WM_SIZE) ++sizes;
    }
};

void markClose(void* object, WindowMessage&) {
    ++*static_cast<int*>(object);
}

TEST_F(Toolkit, AWindowOfItsOwnRunsHookHandlerAndDefaultAndQuitsWhenDestroyed) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
    int closes = 0;
    {
        SizeLog window;
        window.AddMessageHandler(WM_CLOSE, MessageHandler{markClose, &closes});
        EXPECT_FALSE(window.Show(SW_SHOWNORMAL));
        EXPECT_TRUE(window.Show(SW_SHOWNORMAL));
        char className[32];
        GetClassNameA(window.GetHandle(), className, sizeof className);
        EXPECT_STREQ(className, "WindowClass");
        EXPECT_EQ(window.sizes, 1);
        RECT client{};
        GetClientRect(window.GetHandle(), &client);
        EXPECT_EQ(window.GetClientWidth(), client.right);
        MoveWindow(window.GetHandle(), 0, 0, 200, 100, TRUE);
        EXPECT_EQ(window.sizes, 2);
        EXPECT_LT(window.GetClientWidth(), 200);
        EXPECT_TRUE(window.Close()); // default processing of the close message destroys it
        EXPECT_FALSE(window.IsOpen());
        EXPECT_EQ(closes, 1);
    }
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
    EXPECT_FALSE(RegisterWindowClass()); // already registered
}

} // namespace
