#include "WindowTestSupport.h"

#include <headless/ResourceTable.h>
#include <headless/UserPlayer.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

extern "C" const ResourceTable Win32ResourceTable; // compiled from TestDialogs.rc

namespace {

constexpr int kProbe = 200;

class DialogManager : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterResourceTable(nullptr, &Win32ResourceTable);
        drainQueue();
        messageLog().clear();
        dialog =
            CreateDialogParamA(nullptr, MAKEINTRESOURCEA(kProbe), nullptr, RecordingDialogProc, 77);
        ASSERT_NE(dialog, nullptr);
    }
    void TearDown() override {
        DestroyWindow(dialog);
        drainQueue();
        RegisterResourceTable(nullptr, nullptr);
    }
    HWND item(int id) const { return GetDlgItem(dialog, id); }
    std::string textOf(int id) const {
        char text[128];
        GetDlgItemTextA(dialog, id, text, sizeof text);
        return text;
    }

    HWND dialog = nullptr;
};

TEST_F(DialogManager, BuildsTheTemplatesControlsAndKeepsTheDialogHidden) {
    EXPECT_FALSE(IsWindowVisible(dialog));
    EXPECT_EQ(countMessages(WM_INITDIALOG, dialog), 1);
    for (const LoggedMessage& message : messageLog()) {
        if (message.id == WM_INITDIALOG) {
            EXPECT_EQ(message.lParam, 77);
        }
    }
    char title[32];
    GetWindowTextA(dialog, title, sizeof title);
    EXPECT_STREQ(title, "Probe");

    struct Expected {
        int id;
        const char* className;
        const char* text;
    };
    const Expected controls[] = {{IDOK, "Button", "OK"},
                                 {IDCANCEL, "Button", "Cancel"},
                                 {301, "Button", "One"},
                                 {310, "Button", "Box"},
                                 {320, "Edit", ""},
                                 {330, "SysListView32", ""},
                                 {-1, "Static", "Label \"quoted\""}};
    for (const Expected& expected : controls) {
        HWND control = item(expected.id);
        ASSERT_NE(control, nullptr) << expected.id;
        char className[32];
        GetClassNameA(control, className, sizeof className);
        EXPECT_STREQ(className, expected.className) << expected.id;
        EXPECT_EQ(textOf(expected.id), expected.text);
        EXPECT_EQ(GetDlgCtrlID(control), expected.id);
    }
    EXPECT_EQ(GetWindowLongA(item(IDOK), GWL_STYLE) & 0xF, BS_DEFPUSHBUTTON);
    EXPECT_EQ(GetWindowLongA(item(321), GWL_STYLE) & WS_TABSTOP, 0); // NOT WS_TABSTOP took it away
    EXPECT_NE(GetWindowLongA(item(320), GWL_STYLE) & WS_TABSTOP, 0);

    // 200 x 120 dialog units in the 8 point dialog font: 6 pixels per 4 units across, 13 per 8
    // down.
    RECT client{};
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, 300);
    EXPECT_EQ(client.bottom, 195);
    RECT ok{};
    GetWindowRect(item(IDOK), &ok); // 10, 100, 50 x 14 units
    EXPECT_EQ(ok.left, 15);
    EXPECT_EQ(ok.top, 163);
    EXPECT_EQ(ok.right, 90);
    EXPECT_EQ(ok.bottom, 185);
}

TEST_F(DialogManager, RefusesMissingAndBrokenTemplates) {
    EXPECT_EQ(CreateDialogParamA(nullptr, MAKEINTRESOURCEA(999), nullptr, RecordingDialogProc, 0),
              nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    // A control of an unknown class: the dialog is not created at all.
    EXPECT_EQ(CreateDialogParamA(nullptr, MAKEINTRESOURCEA(201), nullptr, RecordingDialogProc, 0),
              nullptr);
    EXPECT_EQ(CreateDialogParamA(reinterpret_cast<HINSTANCE>(&messageLog()),
                                 MAKEINTRESOURCEA(kProbe), nullptr, RecordingDialogProc, 0),
              nullptr);
}

TEST_F(DialogManager, EveryTruncationOfATemplateIsRefusedCleanly) {
    HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(kProbe), RT_DIALOG);
    ASSERT_NE(resource, nullptr);
    auto* whole = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, resource)));
    DWORD size = SizeofResource(nullptr, resource);
    HMODULE fakeModule = reinterpret_cast<HMODULE>(&size);
    for (DWORD length = 0; length < size; ++length) {
        std::vector<BYTE> prefix(whole, whole + length); // a fresh buffer, so overreads are caught
        ResourceEntry entry{5, kProbe, prefix.data(), length};
        ResourceTable table{1, &entry};
        RegisterResourceTable(fakeModule, &table);
        HWND made = CreateDialogParamA(fakeModule, MAKEINTRESOURCEA(kProbe), nullptr,
                                       RecordingDialogProc, 0);
        // The template ends in the label's zero terminator and creation-data count; only the
        // whole template can succeed.
        EXPECT_EQ(made, nullptr) << length;
        if (made) DestroyWindow(made);
    }
    RegisterResourceTable(fakeModule, nullptr);
}

TEST_F(DialogManager, AutoRadioButtonsKeepOneCheckedPerGroup) {
    SendMessageA(item(301), BM_CLICK, 0, 0);
    EXPECT_EQ(IsDlgButtonChecked(dialog, 301), static_cast<UINT>(BST_CHECKED));
    SendMessageA(item(303), BM_CLICK, 0, 0); // its own group: 301 stays checked
    EXPECT_EQ(IsDlgButtonChecked(dialog, 301), static_cast<UINT>(BST_CHECKED));
    SendMessageA(item(302), BM_CLICK, 0, 0);
    EXPECT_EQ(IsDlgButtonChecked(dialog, 301), static_cast<UINT>(BST_UNCHECKED));
    EXPECT_EQ(IsDlgButtonChecked(dialog, 302), static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(IsDlgButtonChecked(dialog, 303), static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(commandCodes(302), std::vector<WORD>{BN_CLICKED});
}

TEST_F(DialogManager, AutoCheckBoxesToggleWhenClickedButNotWhenSet) {
    CheckDlgButton(dialog, 310, BST_CHECKED);
    EXPECT_TRUE(commandCodes(310).empty());
    SendMessageA(item(310), BM_CLICK, 0, 0);
    EXPECT_EQ(IsDlgButtonChecked(dialog, 310), static_cast<UINT>(BST_UNCHECKED));
    SendMessageA(item(310), BM_CLICK, 0, 0);
    EXPECT_EQ(IsDlgButtonChecked(dialog, 310), static_cast<UINT>(BST_CHECKED));
    EnableWindow(item(310), FALSE);
    SendMessageA(item(310), BM_CLICK, 0, 0);
    EXPECT_EQ(IsDlgButtonChecked(dialog, 310), static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(commandCodes(310).size(), 2u);
}

TEST_F(DialogManager, TheCloseBoxArrivesAsACancelCommand) {
    ShowWindow(dialog, SW_SHOWNORMAL);
    PostMessageA(dialog, WM_NCLBUTTONDOWN, HTCLOSE, 0);
    pumpMessages();
    EXPECT_EQ(countMessages(WM_CLOSE, dialog), 1);
    EXPECT_EQ(commandCodes(IDCANCEL), std::vector<WORD>{BN_CLICKED});
    EXPECT_TRUE(IsWindow(dialog)); // ending the dialog is its procedure's business

    messageLog().clear();
    EnableWindow(item(IDCANCEL), FALSE);
    PostMessageA(dialog, WM_NCLBUTTONDOWN, HTCLOSE, 0);
    pumpMessages();
    EXPECT_TRUE(commandCodes(IDCANCEL).empty());
}

TEST_F(DialogManager, EditsReportFocusChangesAndTypedText) {
    ShowWindow(dialog, SW_SHOWNORMAL);
    // WM_INITDIALOG answered TRUE, so activation gave the focus to the first tab stop.
    EXPECT_EQ(GetFocus(), item(IDOK));
    messageLog().clear();
    SetFocus(item(320));
    SetFocus(item(321));
    EXPECT_EQ(commandCodes(320), (std::vector<WORD>{EN_SETFOCUS, EN_KILLFOCUS}));
    EXPECT_EQ(commandCodes(321), std::vector<WORD>{EN_SETFOCUS});

    SetDlgItemTextA(dialog, 321, "12");
    PostMessageA(item(321), WM_LBUTTONDOWN, MK_LBUTTON, 0); // caret after the text
    PostMessageA(item(321), WM_CHAR, '3', 0);
    PostMessageA(item(321), WM_CHAR, VK_BACK, 0);
    PostMessageA(item(321), WM_CHAR, '4', 0);
    PostMessageA(item(320), WM_CHAR, 'x', 0); // no focus: no key reaches it
    pumpMessages();
    EXPECT_EQ(textOf(321), "124");
    EXPECT_EQ(textOf(320), "");
    PostMessageA(item(321), WM_LBUTTONDBLCLK, MK_LBUTTON, 0); // selects the whole text
    PostMessageA(item(321), WM_CHAR, '9', 0);
    pumpMessages();
    EXPECT_EQ(textOf(321), "9");
}

TEST_F(DialogManager, APlayerAnswersTheDialogWhenItIsShown) {
    headless::UserPlayer player;
    player.at("Probe").check(310, true).click(302).type(320, "12.5").focus(321).click(IDOK);
    ShowWindow(dialog, SW_SHOWNORMAL);
    pumpMessages();
    EXPECT_EQ(player.dialogsSeen(), std::vector<std::string>{"Probe"});
    EXPECT_TRUE(player.failures().empty());
    EXPECT_EQ(IsDlgButtonChecked(dialog, 310), static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(IsDlgButtonChecked(dialog, 302), static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(textOf(320), "12.5");
    EXPECT_EQ(commandCodes(320).back(), EN_KILLFOCUS); // the focus moved on to 321
    EXPECT_EQ(commandCodes(IDOK), std::vector<WORD>{BN_CLICKED});
}

TEST_F(DialogManager, APlayerClosesAnUnscriptedDialogAndReportsMissingControls) {
    headless::UserPlayer player;
    player.at("Other").click(IDOK);
    ShowWindow(dialog, SW_SHOWNORMAL);
    pumpMessages();
    EXPECT_EQ(commandCodes(IDCANCEL), std::vector<WORD>{BN_CLICKED});
    EXPECT_EQ(player.pendingScripts(), 1u);

    ShowWindow(dialog, SW_HIDE);
    headless::UserPlayer inner; // the newest player answers
    inner.at().click(4242);
    ShowWindow(dialog, SW_SHOWNORMAL);
    ASSERT_EQ(inner.failures().size(), 1u);
    EXPECT_EQ(inner.failures()[0], "no control 4242 in \"Probe\"");
}

} // namespace
