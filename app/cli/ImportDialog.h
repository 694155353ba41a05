// The importer's options dialog as the import command answers it: which flag sets which control.
// The control numbers are those of the plug-in's dialog template 104.
#pragma once

#include "cli/DialogAnswers.h"

#include <span>

namespace cli {

std::span<const DialogControl> importDialogControls();

} // namespace cli
