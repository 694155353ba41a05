#include "cli/ExportDialog.h"

#include "cli/SharedDialogControls.h"
#include "resources/resource.h"

namespace cli {

namespace {

std::vector<DialogControl> makeExportDialogControls() {
    using enum ControlKind;
    std::vector<DialogControl> controls = {
        {.flag = "format",
         .label = "Format",
         .kind = radioButtons,
         .controlIds = {IDC_FORMAT_TEXT, IDC_FORMAT_BINARY, IDC_FORMAT_COMPRESSED},
         .choices = {"text", "binary", "compressed"},
         .valueName = "text|binary|compressed",
         .help = "the encoding of the X file"},
    };
    for (DialogControl& control : sceneContentControls("write"))
        controls.push_back(std::move(control));
    controls.push_back({.flag = "full-texture-path",
                        .offFlag = "no-full-texture-path",
                        .label = "Full path texfile",
                        .kind = checkBox,
                        .controlIds = {IDC_TEXTURE_PATH},
                        .help = "keep the folders of texture file names"});
    controls.push_back(leftHandedControl("to"));
    controls.push_back({.flag = "unify",
                        .offFlag = "no-unify",
                        .label = "D3DX Opt",
                        .kind = checkBox,
                        .controlIds = {IDC_D3DX_OPT},
                        .help = "give each mesh one vertex list for all its streams"});
    controls.push_back({.flag = "sample",
                        .offFlag = "keys",
                        .label = "Sampling",
                        .kind = checkedNumber,
                        .controlIds = {IDC_SAMPLING, IDC_SAMPLING_FPS},
                        .valueName = "FPS",
                        .help = "sample the animation FPS times a second",
                        .minimum = 1,
                        .maximum = 4800,
                        .offHelp = "take the animation from the keys"});
    for (DialogControl& control : placementControls("Scale", "Rotation"))
        controls.push_back(std::move(control));
    return controls;
}

} // namespace

std::span<const DialogControl> exportDialogControls() {
    static const std::vector<DialogControl> controls = makeExportDialogControls();
    return controls;
}

} // namespace cli
