#include "cli/ImportDialog.h"

#include "cli/SharedDialogControls.h"
#include "resources/resource.h"

namespace cli {

namespace {

std::vector<DialogControl> makeImportDialogControls() {
    std::vector<DialogControl> controls = sceneContentControls("read");
    controls.push_back(leftHandedControl("from"));
    controls.push_back({.flag = "bone-scale",
                        .label = "Bone Scale",
                        .kind = ControlKind::numberTriple,
                        .controlIds = {IDC_BONE_SCALE_X, IDC_BONE_SCALE_Y, IDC_BONE_SCALE_Z},
                        .valueName = "X,Y,Z",
                        .help = "scale the bones"});
    for (DialogControl& control : placementControls("Object Scale", "Object Rotation"))
        controls.push_back(std::move(control));
    return controls;
}

} // namespace

std::span<const DialogControl> importDialogControls() {
    static const std::vector<DialogControl> controls = makeImportDialogControls();
    return controls;
}

} // namespace cli
