// The export (102) and import (104) option dialogs: which control shows which option, and the
// reading back after OK. The dialogs have no behaviour beyond OK and cancel.
#pragma once

#include "settings/Options.h"
#include "ui/DialogWindow.h"

// Fills dialog 102: the radio button of `format` (none for an index outside 0 to 2), the check
// boxes, and the scale, rotation and sampling-rate edits ("%g").
void showExportOptions(DialogWindow& dialog, const ExportOptions& options);
// Reads dialog 102 back after OK. `format` is the first checked of the three buttons, or 0
// (text) when none is; the sampling rate goes through the integer conversion, so 29.97 gives 29.
void readExportOptions(const DialogWindow& dialog, ExportOptions& options);

// Fills dialog 104: six check boxes and nine float edits.
void showImportOptions(DialogWindow& dialog, const ImportOptions& options);
// Reads all fifteen controls of dialog 104 back.
void readImportOptions(const DialogWindow& dialog, ImportOptions& options);
