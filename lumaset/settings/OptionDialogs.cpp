#include "settings/OptionDialogs.h"

#include "settings/OptionFields.h"

namespace {

template <class Options>
void showFields(DialogWindow& dialog, std::span<const OptionField<Options>> fields,
                const Options& options) {
    for (const OptionField<Options>& field : fields) {
        switch (field.kind) {
        case OptionKind::choice:
            // An index outside the buttons checks none of them.
            for (int index = 0; index < 3; ++index)
                dialog.SetCheck(field.controls[index], options.*field.number == index);
            break;
        case OptionKind::checkBox:
            dialog.SetCheck(field.controls[0], options.*field.flag);
            break;
        case OptionKind::wholeNumber:
            // Shown through the float setter: 30 reads as "30".
            dialog.SetFloat(field.controls[0], static_cast<float>(options.*field.number));
            break;
        case OptionKind::triple:
            for (int axis = 0; axis < 3; ++axis)
                dialog.SetFloat(field.controls[axis], (options.*field.axes)[axis]);
            break;
        }
    }
}

template <class Options>
void readFields(const DialogWindow& dialog, std::span<const OptionField<Options>> fields,
                Options& options) {
    for (const OptionField<Options>& field : fields) {
        switch (field.kind) {
        case OptionKind::choice: {
            // The first checked button; none checked reads as the first.
            int choice = 0;
            for (int index = 0; index < 3; ++index)
                if (dialog.IsChecked(field.controls[index])) {
                    choice = index;
                    break;
                }
            options.*field.number = choice;
            break;
        }
        case OptionKind::checkBox:
            options.*field.flag = dialog.IsChecked(field.controls[0]);
            break;
        case OptionKind::wholeNumber:
            options.*field.number = dialog.GetInt(field.controls[0]);
            break;
        case OptionKind::triple:
            for (int axis = 0; axis < 3; ++axis)
                (options.*field.axes)[axis] =
                    static_cast<float>(dialog.GetFloat(field.controls[axis]));
            break;
        }
    }
}

} // namespace

void showExportOptions(DialogWindow& dialog, const ExportOptions& options) {
    showFields(dialog, exportOptionFields(), options);
}

void readExportOptions(const DialogWindow& dialog, ExportOptions& options) {
    readFields(dialog, exportOptionFields(), options);
}

void showImportOptions(DialogWindow& dialog, const ImportOptions& options) {
    showFields(dialog, importOptionFields(), options);
}

void readImportOptions(const DialogWindow& dialog, ImportOptions& options) {
    readFields(dialog, importOptionFields(), options);
}
