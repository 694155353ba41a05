// Every option of the export and import dialogs, once: its key in the settings file, the controls
// that show it, the field of the options record that holds it, and how it is shown and stored.
// The dialogs and the settings file both go through these tables, in table order, so an option
// is added by adding one row.
#pragma once

#include "settings/Options.h"

#include <cstdint>
#include <span>

enum class OptionKind {
    choice,      // a whole number shown as one of three radio buttons, in index order
    checkBox,    // a bool shown as a check box, stored as 1 or 0
    wholeNumber, // a whole number shown in an edit; what is typed is read as an integer
    triple,      // three floats shown in three edits, x, y, z, each under its own key
};

template <class Options> struct OptionField {
    OptionKind kind = OptionKind::checkBox;
    // The settings key; a triple has one per axis.
    const char* keys[3] = {};
    // The control: the radio buttons, the box, the edit, or the x, y and z edits.
    int controls[3] = {};
    // The member the row reads and writes: `number` for a choice or a whole number, `flag` for
    // a check box, `axes` for a triple.
    std::int32_t Options::*number = nullptr;
    bool Options::*flag = nullptr;
    float (Options::*axes)[3] = nullptr;

    // How many settings keys the row has.
    int keyCount() const { return kind == OptionKind::triple ? 3 : 1; }
    // How many controls the row binds.
    int controlCount() const {
        return kind == OptionKind::choice || kind == OptionKind::triple ? 3 : 1;
    }
};

// Dialog 102 and the settings file's "EXPORT" section, in the order the file lists them.
std::span<const OptionField<ExportOptions>> exportOptionFields();
// Dialog 104 and the settings file's "IMPORT" section, in the order the file lists them.
std::span<const OptionField<ImportOptions>> importOptionFields();
