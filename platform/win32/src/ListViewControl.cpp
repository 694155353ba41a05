// The "SysListView32" class in report view: columns, items with one text per sub-item, item
// states, search, extended styles, and selection by mouse. Every change of an item's text or
// state is announced to the parent with LVN_ITEMCHANGED through WM_NOTIFY.
#include "WindowSystem.h"

#include <algorithm>
#include <cstring>
#include <strings.h>

namespace win32 {
namespace {

bool isValidItem(const ListViewState& list, WPARAM index) {
    auto position = static_cast<std::intptr_t>(index);
    return position >= 0 && static_cast<std::size_t>(position) < list.items.size();
}

std::string& textSlot(ListViewItem& item, int subItem) {
    if (item.texts.size() <= static_cast<std::size_t>(subItem))
        item.texts.resize(static_cast<std::size_t>(subItem) + 1);
    return item.texts[static_cast<std::size_t>(subItem)];
}

void notifyItem(HWND handle, UINT code, int item, int subItem, UINT changed, UINT oldState,
                UINT newState) {
    Window* list = findWindow(handle);
    if (!list) return;
    NMLISTVIEW notification{};
    notification.hdr.code = code;
    notification.iItem = item;
    notification.iSubItem = subItem;
    notification.uChanged = changed;
    notification.uOldState = oldState;
    notification.uNewState = newState;
    if (list->listView && item >= 0 &&
        static_cast<std::size_t>(item) < list->listView->items.size())
        notification.lParam = list->listView->items[static_cast<std::size_t>(item)].value;
    notifyParent(*list, notification.hdr);
}

// Sets the masked state bits of one item, announcing the change when there is one.
void setState(HWND handle, int index, UINT state, UINT mask) {
    Window* list = findWindow(handle);
    if (!list || !isValidItem(*list->listView, static_cast<WPARAM>(index))) return;
    ListViewItem& item = list->listView->items[static_cast<std::size_t>(index)];
    UINT oldState = item.state;
    UINT newState = (oldState & ~mask) | (state & mask);
    if (newState == oldState) return;
    item.state = newState;
    notifyItem(handle, LVN_ITEMCHANGED, index, 0, LVIF_STATE, oldState, newState);
}

void setStateOfAll(HWND handle, UINT state, UINT mask) {
    Window* list = findWindow(handle);
    if (!list) return;
    for (std::size_t index = 0; list && index < list->listView->items.size(); ++index) {
        setState(handle, static_cast<int>(index), state, mask);
        list = findWindow(handle);
    }
}

void setText(HWND handle, int index, int subItem, LPCSTR text) {
    Window* list = findWindow(handle);
    if (!list || subItem < 0 || !isValidItem(*list->listView, static_cast<WPARAM>(index))) return;
    std::string& slot = textSlot(list->listView->items[static_cast<std::size_t>(index)], subItem);
    std::string newText = textOf(text);
    if (slot == newText) return;
    slot = newText;
    notifyItem(handle, LVN_ITEMCHANGED, index, subItem, LVIF_TEXT, 0, 0);
}

int insertItem(HWND handle, const LVITEMA& description) {
    Window* list = findWindow(handle);
    if (description.iItem < 0 || description.iSubItem != 0) return -1;
    auto& items = list->listView->items;
    std::size_t position = std::min(static_cast<std::size_t>(description.iItem), items.size());
    ListViewItem item;
    if (description.mask & LVIF_TEXT) item.texts.push_back(textOf(description.pszText));
    if (description.mask & LVIF_STATE) item.state = description.state & description.stateMask;
    if (description.mask & LVIF_PARAM) item.value = description.lParam;
    items.insert(items.begin() + static_cast<std::ptrdiff_t>(position), std::move(item));
    notifyItem(handle, LVN_INSERTITEM, static_cast<int>(position), 0, 0, 0, 0);
    return static_cast<int>(position);
}

bool deleteItem(HWND handle, WPARAM index) {
    Window* list = findWindow(handle);
    if (!isValidItem(*list->listView, index)) return false;
    notifyItem(handle, LVN_DELETEITEM, static_cast<int>(index), 0, 0, 0, 0);
    if ((list = findWindow(handle)) == nullptr || !isValidItem(*list->listView, index))
        return false;
    list->listView->items.erase(list->listView->items.begin() + static_cast<std::ptrdiff_t>(index));
    return true;
}

int findItem(const ListViewState& list, int start, const LVFINDINFOA& find) {
    int count = static_cast<int>(list.items.size());
    if (count == 0) return -1;
    int first = start < 0 ? 0 : start + 1;
    int visits = (find.flags & LVFI_WRAP) ? count : count - std::min(first, count);
    for (int step = 0; step < visits; ++step) {
        int index = (first + step) % count;
        const ListViewItem& item = list.items[static_cast<std::size_t>(index)];
        if (find.flags & LVFI_PARAM) {
            if (item.value == find.lParam) return index;
            continue;
        }
        if (!(find.flags & (LVFI_STRING | LVFI_PARTIAL)) || find.psz == nullptr) continue;
        const std::string text = item.texts.empty() ? std::string() : item.texts[0];
        std::size_t wanted = std::strlen(find.psz);
        if (find.flags & LVFI_PARTIAL) {
            if (text.size() >= wanted && strncasecmp(text.c_str(), find.psz, wanted) == 0)
                return index;
        } else if (strcasecmp(text.c_str(), find.psz) == 0) {
            return index;
        }
    }
    return -1;
}

int columnsWidth(const ListViewState& list) {
    int width = 0;
    for (const ListViewColumn& column : list.columns)
        width += column.widthPixels;
    return width;
}

RECT itemRect(const Window& list, int index) {
    LONG top = kListHeaderHeight + index * kListRowHeight;
    return RECT{0, top, columnsWidth(*list.listView), top + kListRowHeight};
}

int hitTest(const Window& list, POINT point) {
    if (point.y < kListHeaderHeight || point.x < 0) return -1;
    int index = (point.y - kListHeaderHeight) / kListRowHeight;
    if (index >= static_cast<int>(list.listView->items.size())) return -1;
    bool fullRow = (list.listView->extendedStyle & LVS_EX_FULLROWSELECT) != 0;
    int width = fullRow
                    ? columnsWidth(*list.listView)
                    : (list.listView->columns.empty() ? 0 : list.listView->columns[0].widthPixels);
    return point.x < width ? index : -1;
}

// A click selects the row under the mouse alone; with the control key it toggles that row in
// a multiple-selection list. A click beside the rows clears the selection.
void clickAt(HWND handle, WPARAM keys, POINT point) {
    SetFocus(handle);
    Window* list = findWindow(handle);
    if (!list) return;
    int index = hitTest(*list, point);
    bool toggles = (keys & MK_CONTROL) && !(list->style & LVS_SINGLESEL);
    if (index >= 0 && toggles) {
        UINT state = list->listView->items[static_cast<std::size_t>(index)].state;
        setState(handle, index, (state & LVIS_SELECTED) ? 0 : LVIS_SELECTED, LVIS_SELECTED);
    } else {
        int count = static_cast<int>(list->listView->items.size());
        for (int other = 0; other < count; ++other)
            if (other != index) setState(handle, other, 0, LVIS_SELECTED | LVIS_FOCUSED);
        if (index >= 0)
            setState(handle, index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
    if ((list = findWindow(handle)) == nullptr) return;
    NMHDR click{};
    click.code = NM_CLICK;
    notifyParent(*list, click);
}

} // namespace

LRESULT CALLBACK listViewProcedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* list = findWindow(handle);
    if (!list || !list->listView) return 0;
    ListViewState& state = *list->listView;
    auto* item = reinterpret_cast<LVITEMA*>(lParam);
    switch (message) {
    case WM_LBUTTONDOWN:
        clickAt(handle, wParam, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case LVM_GETITEMCOUNT:
        return static_cast<LRESULT>(state.items.size());
    case LVM_INSERTITEMA:
        return item ? insertItem(handle, *item) : -1;
    case LVM_DELETEITEM:
        return deleteItem(handle, wParam) ? TRUE : FALSE;
    case LVM_DELETEALLITEMS: {
        NMLISTVIEW notification{};
        notification.hdr.code = LVN_DELETEALLITEMS;
        notification.iItem = -1;
        notifyParent(*list, notification.hdr);
        if ((list = findWindow(handle)) != nullptr) list->listView->items.clear();
        return TRUE;
    }
    case LVM_SETITEMTEXTA:
        if (!item) return FALSE;
        setText(handle, static_cast<int>(wParam), item->iSubItem, item->pszText);
        return TRUE;
    case LVM_GETITEMTEXTA: {
        if (!item || !isValidItem(state, wParam) || item->iSubItem < 0) return 0;
        ListViewItem& entry = state.items[wParam];
        std::size_t subItem = static_cast<std::size_t>(item->iSubItem);
        return copyText(subItem < entry.texts.size() ? entry.texts[subItem] : std::string(),
                        item->pszText, item->cchTextMax);
    }
    case LVM_SETITEMA:
        if (!item || !isValidItem(state, static_cast<WPARAM>(item->iItem))) return FALSE;
        if (item->mask & LVIF_PARAM)
            state.items[static_cast<std::size_t>(item->iItem)].value = item->lParam;
        if (item->mask & LVIF_TEXT) setText(handle, item->iItem, item->iSubItem, item->pszText);
        if (item->mask & LVIF_STATE) setState(handle, item->iItem, item->state, item->stateMask);
        return TRUE;
    case LVM_GETITEMA: {
        if (!item || !isValidItem(state, static_cast<WPARAM>(item->iItem))) return FALSE;
        ListViewItem& entry = state.items[static_cast<std::size_t>(item->iItem)];
        if (item->mask & LVIF_STATE) item->state = entry.state & item->stateMask;
        if (item->mask & LVIF_PARAM) item->lParam = entry.value;
        if (item->mask & LVIF_TEXT) {
            std::size_t subItem = static_cast<std::size_t>(std::max(item->iSubItem, 0));
            copyText(subItem < entry.texts.size() ? entry.texts[subItem] : std::string(),
                     item->pszText, item->cchTextMax);
        }
        return TRUE;
    }
    case LVM_SETITEMSTATE:
        if (!item) return FALSE;
        if (static_cast<std::intptr_t>(wParam) == -1)
            setStateOfAll(handle, item->state, item->stateMask);
        else if (isValidItem(state, wParam))
            setState(handle, static_cast<int>(wParam), item->state, item->stateMask);
        else
            return FALSE;
        return TRUE;
    case LVM_GETITEMSTATE:
        return isValidItem(state, wParam) ? state.items[wParam].state & static_cast<UINT>(lParam)
                                          : 0;
    case LVM_GETSELECTEDCOUNT: {
        LRESULT count = 0;
        for (const ListViewItem& entry : state.items)
            count += (entry.state & LVIS_SELECTED) ? 1 : 0;
        return count;
    }
    case LVM_GETNEXTITEM: {
        UINT flags = static_cast<UINT>(lParam);
        int count = static_cast<int>(state.items.size());
        for (int index = static_cast<int>(static_cast<std::intptr_t>(wParam)) + 1; index < count;
             ++index) {
            UINT itemState = state.items[static_cast<std::size_t>(index)].state;
            if ((flags & LVNI_SELECTED) && !(itemState & LVIS_SELECTED)) continue;
            if ((flags & LVNI_FOCUSED) && !(itemState & LVIS_FOCUSED)) continue;
            return index;
        }
        return -1;
    }
    case LVM_FINDITEMA: {
        auto* find = reinterpret_cast<const LVFINDINFOA*>(lParam);
        return find ? findItem(state, static_cast<int>(static_cast<std::intptr_t>(wParam)), *find)
                    : -1;
    }
    case LVM_INSERTCOLUMNA: {
        auto* description = reinterpret_cast<const LVCOLUMNA*>(lParam);
        if (!description || static_cast<std::intptr_t>(wParam) < 0) return -1;
        ListViewColumn column;
        if (description->mask & LVCF_FMT) column.format = description->fmt;
        if (description->mask & LVCF_WIDTH) column.widthPixels = description->cx;
        if (description->mask & LVCF_TEXT) column.text = textOf(description->pszText);
        std::size_t position = std::min<std::size_t>(wParam, state.columns.size());
        column.subItem =
            (description->mask & LVCF_SUBITEM) ? description->iSubItem : static_cast<int>(position);
        state.columns.insert(state.columns.begin() + static_cast<std::ptrdiff_t>(position), column);
        return static_cast<LRESULT>(position);
    }
    case LVM_GETCOLUMNA: {
        auto* description = reinterpret_cast<LVCOLUMNA*>(lParam);
        if (!description || wParam >= state.columns.size()) return FALSE;
        const ListViewColumn& column = state.columns[wParam];
        if (description->mask & LVCF_FMT) description->fmt = column.format;
        if (description->mask & LVCF_WIDTH) description->cx = column.widthPixels;
        if (description->mask & LVCF_SUBITEM) description->iSubItem = column.subItem;
        if (description->mask & LVCF_TEXT)
            copyText(column.text, description->pszText, description->cchTextMax);
        return TRUE;
    }
    case LVM_DELETECOLUMN:
        if (wParam >= state.columns.size()) return FALSE;
        state.columns.erase(state.columns.begin() + static_cast<std::ptrdiff_t>(wParam));
        return TRUE;
    case LVM_GETCOLUMNWIDTH:
        return wParam < state.columns.size() ? state.columns[wParam].widthPixels : 0;
    case LVM_SETCOLUMNWIDTH:
        if (wParam >= state.columns.size()) return FALSE;
        state.columns[wParam].widthPixels = static_cast<int>(lParam);
        return TRUE;
    case LVM_GETSTRINGWIDTHA:
        return textWidthPixels(textOf(reinterpret_cast<LPCSTR>(lParam)));
    case LVM_SETEXTENDEDLISTVIEWSTYLE: {
        DWORD previous = state.extendedStyle;
        DWORD mask = wParam == 0 ? 0xFFFFFFFFu : static_cast<DWORD>(wParam);
        state.extendedStyle = (previous & ~mask) | (static_cast<DWORD>(lParam) & mask);
        return previous;
    }
    case LVM_GETEXTENDEDLISTVIEWSTYLE:
        return state.extendedStyle;
    case LVM_GETITEMRECT: {
        auto* rect = reinterpret_cast<RECT*>(lParam);
        if (!rect || !isValidItem(state, wParam)) return FALSE;
        *rect = itemRect(*list, static_cast<int>(wParam));
        return TRUE;
    }
    case LVM_HITTEST: {
        auto* test = reinterpret_cast<LVHITTESTINFO*>(lParam);
        if (!test) return -1;
        test->iItem = hitTest(*list, test->pt);
        test->iSubItem = 0;
        test->flags = test->iItem >= 0 ? LVHT_ONITEMLABEL : LVHT_NOWHERE;
        return test->iItem;
    }
    default:
        return DefWindowProcA(handle, message, wParam, lParam);
    }
}

} // namespace win32
