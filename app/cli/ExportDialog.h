// The exporter's options dialog as the export command answers it: which flag sets which control.
// The control numbers are those of the plug-in's dialog template 102.
#pragma once

#include "cli/DialogAnswers.h"

#include <span>

namespace cli {

std::span<const DialogControl> exportDialogControls();

} // namespace cli
