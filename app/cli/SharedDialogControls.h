// The rows of the answering tables that the exporter's and the importer's options dialogs share:
// the same controls, set by the same flags.
#pragma once

#include "cli/DialogAnswers.h"

#include <string_view>
#include <vector>

namespace cli {

// The Normal, UV, Vertex Color, Skin and Animation key boxes; `verb` begins each help line
// ("write", "read").
std::vector<DialogControl> sceneContentControls(std::string_view verb);

// The Left hand box; `direction` says which way the scene is converted ("to", "from").
DialogControl leftHandedControl(std::string_view direction);

// The scale and rotation edits of the top-level nodes, under the labels the dialog shows.
std::vector<DialogControl> placementControls(std::string_view scaleLabel,
                                             std::string_view rotationLabel);

} // namespace cli
