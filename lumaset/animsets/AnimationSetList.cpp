#include "animsets/AnimationSetList.h"

#include "ui/NumberText.h"

#include <commctrl.h>

#include <vector>

namespace {

// Names stored by an import may be of any length: texts are read in a buffer that grows until
// the whole text fits, never cut at a fixed size.
constexpr int kFirstTextCapacity = 128;

} // namespace

void AnimationSetList::SetUp() {
    list.SetExtendedStyle(0, LVS_EX_FULLROWSELECT);
    list.InsertColumn(nameColumn, "KEY NAME", LVCFMT_LEFT, 128, nameColumn);
    list.InsertColumn(startColumn, "START", LVCFMT_LEFT, 60, startColumn);
    list.InsertColumn(endColumn, "END", LVCFMT_LEFT, 60, endColumn);
}

std::string AnimationSetList::CellText(int row, int column) const {
    if (!HasRow(row)) return std::string();
    std::vector<char> buffer(kFirstTextCapacity);
    for (;;) {
        buffer[0] = '\0';
        LVITEMA cell{};
        cell.iSubItem = column;
        cell.pszText = buffer.data();
        cell.cchTextMax = static_cast<int>(buffer.size());
        auto copied = SendMessageA(list.handle, LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                                   reinterpret_cast<LPARAM>(&cell));
        // A text that filled the buffer to its last character may have been cut.
        if (copied < static_cast<LRESULT>(buffer.size()) - 1) return std::string(buffer.data());
        buffer.resize(buffer.size() * 2);
    }
}

void AnimationSetList::Fill(const std::vector<AnimationSetEntry>& sets) {
    list.DeleteAllItems();
    for (const AnimationSetEntry& set : sets) {
        int row = AppendRow(set.name);
        SetFrames(row, set.start, set.end);
    }
}

std::vector<AnimationSetEntry> AnimationSetList::Entries() const {
    std::vector<AnimationSetEntry> sets;
    int rowCount = RowCount();
    sets.reserve(static_cast<std::size_t>(rowCount));
    for (int row = 0; row < rowCount; ++row) {
        AnimationSetEntry set;
        set.name = CellText(row, nameColumn);
        set.start = parseInteger(CellText(row, startColumn).c_str());
        set.end = parseInteger(CellText(row, endColumn).c_str());
        sets.push_back(std::move(set));
    }
    return sets;
}

int AnimationSetList::FindRow(const std::string& name) const {
    return list.FindItem(name.c_str(), -1);
}

int AnimationSetList::AppendRow(const std::string& name) {
    return list.InsertItem(-1, name.c_str());
}

void AnimationSetList::SetFrames(int row, int start, int end) {
    list.SetItemText(row, startColumn, formatInteger(start).c_str());
    list.SetItemText(row, endColumn, formatInteger(end).c_str());
}

std::string ControlText(HWND dialog, int controlId) {
    HWND control = GetDlgItem(dialog, controlId);
    if (!control) return std::string();
    int length = GetWindowTextLengthA(control);
    if (length <= 0) return std::string();
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
    int copied = GetWindowTextA(control, buffer.data(), static_cast<int>(buffer.size()));
    return std::string(buffer.data(), static_cast<std::size_t>(copied < 0 ? 0 : copied));
}
