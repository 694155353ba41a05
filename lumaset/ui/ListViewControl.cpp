#include "ui/ListViewControl.h"

int ListViewControl::InsertItem(int index, const char* text) {
    if (index < 0) index = GetItemCount();
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.iSubItem = 0;
    item.pszText = const_cast<char*>(text ? text : "");
    return static_cast<int>(
        SendMessageA(handle, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

int ListViewControl::InsertColumn(int index, const char* text, int alignment, int width,
                                  int subItem) {
    if (width == -1)
        width = static_cast<int>(
                    SendMessageA(handle, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(text))) +
                16;
    LVCOLUMNA column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = alignment;
    column.cx = width;
    column.pszText = const_cast<char*>(text ? text : "");
    column.iSubItem = subItem;
    if (!IsWindow(handle)) return -1;
    return static_cast<int>(SendMessageA(handle, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index),
                                         reinterpret_cast<LPARAM>(&column)));
}

int ListViewControl::FindItem(const char* text, int start) const {
    if (!IsWindow(handle)) return -1;
    LVFINDINFOA find{};
    find.flags = LVFI_STRING;
    find.psz = text;
    return static_cast<int>(SendMessageA(handle, LVM_FINDITEMA, static_cast<WPARAM>(start),
                                         reinterpret_cast<LPARAM>(&find)));
}

void ListViewControl::SetItemText(int item, int subItem, const char* text) {
    LVITEMA description{};
    description.iSubItem = subItem;
    description.pszText = const_cast<char*>(text ? text : "");
    SendMessageA(handle, LVM_SETITEMTEXTA, static_cast<WPARAM>(item),
                 reinterpret_cast<LPARAM>(&description));
}

void ListViewControl::GetItemText(int item, int subItem, char* buffer, int capacity) const {
    if (buffer == nullptr || capacity <= 0) return;
    buffer[0] = '\0';
    LVITEMA description{};
    description.iSubItem = subItem;
    description.pszText = buffer;
    description.cchTextMax = capacity;
    SendMessageA(handle, LVM_GETITEMTEXTA, static_cast<WPARAM>(item),
                 reinterpret_cast<LPARAM>(&description));
}

std::string ListViewControl::GetItemText(int item, int subItem) const {
    char buffer[1024];
    GetItemText(item, subItem, buffer, sizeof buffer);
    return buffer;
}

int ListViewControl::GetItemCount() const {
    return static_cast<int>(SendMessageA(handle, LVM_GETITEMCOUNT, 0, 0));
}

bool ListViewControl::DeleteItem(int item) {
    return SendMessageA(handle, LVM_DELETEITEM, static_cast<WPARAM>(item), 0) != 0;
}

void ListViewControl::DeleteAllItems() {
    SendMessageA(handle, LVM_DELETEALLITEMS, 0, 0);
}

void ListViewControl::SetExtendedStyle(DWORD mask, DWORD styles) {
    SendMessageA(handle, LVM_SETEXTENDEDLISTVIEWSTYLE, mask, static_cast<LPARAM>(styles));
}

DWORD ListViewControl::GetExtendedStyle() const {
    return static_cast<DWORD>(SendMessageA(handle, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
}

void ListViewControl::Select(int item) {
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = 0;
    SendMessageA(handle, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&state));
    if (item < 0) return;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(handle, LVM_SETITEMSTATE, static_cast<WPARAM>(item),
                 reinterpret_cast<LPARAM>(&state));
}

int ListViewControl::GetSelectedCount() const {
    return static_cast<int>(SendMessageA(handle, LVM_GETSELECTEDCOUNT, 0, 0));
}

int ListViewControl::GetColumnWidth(int column) const {
    return static_cast<int>(
        SendMessageA(handle, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
}
