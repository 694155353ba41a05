#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class ListView : public ::testing::Test {
protected:
    void SetUp() override {
        registerRecorderClass();
        drainQueue();
        parent = CreateWindowExA(0, "Recorder", "Parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                 400, 300, nullptr, nullptr, nullptr, nullptr);
        list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 300,
                               200, parent, reinterpret_cast<HMENU>(19), nullptr, nullptr);
        ASSERT_NE(list, nullptr);
        messageLog().clear();
    }
    void TearDown() override {
        DestroyWindow(parent);
        drainQueue();
    }

    int insert(int index, const char* text) {
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = index;
        item.pszText = const_cast<char*>(text);
        return static_cast<int>(
            SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    }
    void setText(int index, int subItem, const char* text) {
        LVITEMA item{};
        item.iSubItem = subItem;
        item.pszText = const_cast<char*>(text);
        SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&item));
    }
    std::string text(int index, int subItem) {
        char buffer[64];
        LVITEMA item{};
        item.iSubItem = subItem;
        item.pszText = buffer;
        item.cchTextMax = sizeof buffer;
        SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&item));
        return buffer;
    }
    int find(const char* wanted, int start = -1) {
        LVFINDINFOA info{};
        info.flags = LVFI_STRING;
        info.psz = wanted;
        return static_cast<int>(SendMessageA(list, LVM_FINDITEMA, static_cast<WPARAM>(start),
                                             reinterpret_cast<LPARAM>(&info)));
    }
    // The item-changed notifications the parent received: item and what changed.
    std::vector<std::pair<int, UINT>> itemChanges() {
        std::vector<std::pair<int, UINT>> changes;
        for (const LoggedMessage& message : messageLog()) {
            if (message.id != WM_NOTIFY) continue;
            const NMLISTVIEW* notification = &message.notification;
            EXPECT_EQ(message.wParam, 19u);
            if (notification->hdr.code == LVN_ITEMCHANGED)
                changes.emplace_back(notification->iItem, notification->uChanged);
        }
        return changes;
    }

    HWND parent = nullptr;
    HWND list = nullptr;
};

TEST_F(ListView, KeepsItemsAndSubItemTextsInOrder) {
    EXPECT_EQ(insert(0, "walk"), 0);
    EXPECT_EQ(insert(0, "run"), 0);
    EXPECT_EQ(insert(99, "jump"), 2); // past the end: appended
    EXPECT_EQ(insert(-1, "bad"), -1);
    EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 3);
    setText(1, 2, "30");
    EXPECT_EQ(text(0, 0), "run");
    EXPECT_EQ(text(1, 0), "walk");
    EXPECT_EQ(text(1, 1), "");
    EXPECT_EQ(text(1, 2), "30");
    EXPECT_TRUE(SendMessageA(list, LVM_DELETEITEM, 0, 0));
    EXPECT_FALSE(SendMessageA(list, LVM_DELETEITEM, 5, 0));
    EXPECT_EQ(text(0, 2), "30");
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 0);
}

TEST_F(ListView, FindsWholeTextsIgnoringCaseAfterTheStart) {
    insert(0, "Walk");
    insert(1, "walker");
    insert(2, "WALK");
    EXPECT_EQ(find("walk"), 0);
    EXPECT_EQ(find("walk", 0), 2);
    EXPECT_EQ(find("walk", 2), -1);
    EXPECT_EQ(find("wal"), -1);
    EXPECT_EQ(find("WALKER"), 1);
}

TEST_F(ListView, AnnouncesTextAndStateChangesToItsParent) {
    insert(0, "a");
    insert(1, "b");
    messageLog().clear();
    setText(1, 1, "10");
    setText(1, 1, "10"); // no change, no notification
    EXPECT_EQ(itemChanges(), (std::vector<std::pair<int, UINT>>{{1, LVIF_TEXT}}));

    LVCOLUMNA column{};
    column.mask = LVCF_WIDTH;
    column.cx = 100;
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    messageLog().clear();
    RECT row{LVIR_BOUNDS, 0, 0, 0};
    ASSERT_TRUE(SendMessageA(list, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row)));
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(row.left + 2, row.top + 2));
    EXPECT_EQ(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0), 1);
    EXPECT_EQ(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 1);
    EXPECT_EQ(itemChanges(), (std::vector<std::pair<int, UINT>>{{1, LVIF_STATE}}));

    ASSERT_TRUE(SendMessageA(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row)));
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL,
                 MAKELPARAM(row.left + 2, row.top + 2));
    EXPECT_EQ(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0), 2);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(row.left + 2, row.top + 2));
    EXPECT_EQ(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0), 1);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 190)); // below the rows
    EXPECT_EQ(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0), 0);
}

TEST_F(ListView, ExtendedStylesWithAZeroMaskReplaceThemAll) {
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    EXPECT_EQ(SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_GRIDLINES, 0),
              LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    EXPECT_EQ(SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), LVS_EX_FULLROWSELECT);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, 0);
    EXPECT_EQ(SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), 0);
}

TEST_F(ListView, MeasuresTextsInTheDialogFont) {
    auto width = [&](const char* text) {
        return SendMessageA(list, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(text));
    };
    EXPECT_EQ(width(""), 0);
    EXPECT_LT(width("iiii"), width("MMMM"));
    EXPECT_EQ(width("ab") + width("cd"), width("abcd"));
    EXPECT_GT(width("KEY NAME"), 30);
    EXPECT_LT(width("KEY NAME"), 80);
}

TEST_F(ListView, KeepsColumnsWithTheirWidths) {
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.pszText = const_cast<char*>("START");
    column.cx = 60;
    EXPECT_EQ(SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column)), 0);
    column.pszText = const_cast<char*>("NAME");
    column.cx = 128;
    EXPECT_EQ(SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column)), 0);
    EXPECT_EQ(SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0), 128);
    EXPECT_EQ(SendMessageA(list, LVM_GETCOLUMNWIDTH, 1, 0), 60);
}

} // namespace
