// A list-view control in report view, by its window handle. Texts are copied in and out; the
// control owns them.
#pragma once

#include <commctrl.h>

#include <string>

class ListViewControl {
public:
    explicit ListViewControl(HWND listHandle = nullptr) : handle(listHandle) {}

    // Inserts an item with its text as sub-item 0; a negative index appends. Returns the new
    // item's index, -1 on failure.
    int InsertItem(int index, const char* text);
    // Inserts a column; a width of -1 is the text's width in the list's font plus 16 pixels.
    // Returns the new column's index, -1 on failure.
    int InsertColumn(int index, const char* text, int alignment, int width, int subItem);
    // The next item after `start` (-1: from the beginning) whose whole text equals `text`,
    // ignoring letter case; -1 when there is none.
    int FindItem(const char* text, int start = -1) const;

    void SetItemText(int item, int subItem, const char* text);
    // Copies at most capacity - 1 characters and a zero byte.
    void GetItemText(int item, int subItem, char* buffer, int capacity) const;
    std::string GetItemText(int item, int subItem) const;
    int GetItemCount() const;
    bool DeleteItem(int item);
    void DeleteAllItems();
    // Sets the extended styles under `mask` (0: all of them) to `styles`.
    void SetExtendedStyle(DWORD mask, DWORD styles);
    DWORD GetExtendedStyle() const;
    // Selects exactly the given item (none with -1), as a click on it does.
    void Select(int item);
    int GetSelectedCount() const;
    int GetColumnWidth(int column) const;

    HWND handle;
};
