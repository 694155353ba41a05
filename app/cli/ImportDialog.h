// The importer's options dialog as the import command answers it: which flag sets which control.
// The control numbers are those of the plug-in's dialog template 104 (resources/resource.h). The
// program shares only these with the plug-in's own option table: it answers the dialog as a user
// does and never sees the plug-in's option records or settings file.
#pragma once

#include "cli/DialogAnswers.h"

#include <span>

namespace cli {

std::span<const DialogControl> importDialogControls();

} // namespace cli
