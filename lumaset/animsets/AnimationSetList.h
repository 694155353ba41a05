// The animation set dialog's list view as the working copy of the sets while the dialog is open:
// one row per set, in stored order, with the name, the start frame and the end frame as the texts
// of columns 0, 1 and 2. Frames are shown with "%d" and read back with the dialog's text-to-integer
// conversion, so a row always stands for exactly one AnimationSetEntry.
#pragma once

#include "animsets/AnimationSetStore.h"
#include "ui/ListViewControl.h"

#include <string>
#include <vector>

class AnimationSetList {
public:
    enum Column { nameColumn = 0, startColumn = 1, endColumn = 2 };

    explicit AnimationSetList(ListViewControl listView) : list(listView) {}

    // Full-row selection and the three columns "KEY NAME", "START" and "END".
    void SetUp();

    int RowCount() const { return list.GetItemCount(); }
    // True for an index that names a row.
    bool HasRow(int row) const { return row >= 0 && row < RowCount(); }
    // The whole text of a cell, however long ("" for a cell that does not exist).
    std::string CellText(int row, int column) const;

    // Replaces every row with one row per set, in order.
    void Fill(const std::vector<AnimationSetEntry>& sets);
    // Every row as a set: the whole name and the frame texts through text-to-integer.
    std::vector<AnimationSetEntry> Entries() const;

    // The first row whose name equals `name`, letter case ignored; -1 when there is none.
    int FindRow(const std::string& name) const;
    // Appends a row named `name` with empty frame cells and returns its index.
    int AppendRow(const std::string& name);
    // Writes the frames into columns 1 and 2 of `row` as "%d" texts.
    void SetFrames(int row, int start, int end);
    bool DeleteRow(int row) { return list.DeleteItem(row); }

private:
    ListViewControl list;
};

// The whole text of a dialog's control, however long ("" when there is no such control).
std::string ControlText(HWND dialog, int controlId);
