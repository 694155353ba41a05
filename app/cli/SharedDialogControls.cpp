#include "cli/SharedDialogControls.h"

#include "resources/resource.h"

#include <string>

namespace cli {

std::vector<DialogControl> sceneContentControls(std::string_view verb) {
    using enum ControlKind;
    const std::string lead = std::string(verb) + " ";
    return {
        {.flag = "normals",
         .offFlag = "no-normals",
         .label = "Normal",
         .kind = checkBox,
         .controlIds = {IDC_NORMAL},
         .help = lead + "normals"},
        {.flag = "uv",
         .offFlag = "no-uv",
         .label = "UV",
         .kind = checkBox,
         .controlIds = {IDC_UV},
         .help = lead + "texture coordinates"},
        {.flag = "colors",
         .offFlag = "no-colors",
         .label = "Vertex Color",
         .kind = checkBox,
         .controlIds = {IDC_VERTEX_COLOR},
         .help = lead + "vertex colours"},
        {.flag = "skin",
         .offFlag = "no-skin",
         .label = "Skin",
         .kind = checkBox,
         .controlIds = {IDC_SKIN},
         .help = lead + "skin weights"},
        {.flag = "animation",
         .offFlag = "no-animation",
         .label = "Animation key",
         .kind = checkBox,
         .controlIds = {IDC_ANIMATION},
         .help = lead + "animation"},
    };
}

DialogControl leftHandedControl(std::string_view direction) {
    return {.flag = "left-handed",
            .offFlag = "no-left-handed",
            .label = "Left hand",
            .kind = ControlKind::checkBox,
            .controlIds = {IDC_LEFT_HANDED},
            .help = "convert the scene " + std::string(direction) + " the left-handed system"};
}

std::vector<DialogControl> placementControls(std::string_view scaleLabel,
                                             std::string_view rotationLabel) {
    using enum ControlKind;
    return {
        {.flag = "scale",
         .label = scaleLabel,
         .kind = numberTriple,
         .controlIds = {IDC_OBJECT_SCALE_X, IDC_OBJECT_SCALE_Y, IDC_OBJECT_SCALE_Z},
         .valueName = "X,Y,Z",
         .help = "scale the top-level nodes"},
        {.flag = "rotate",
         .label = rotationLabel,
         .kind = numberTriple,
         .controlIds = {IDC_OBJECT_ROTATION_X, IDC_OBJECT_ROTATION_Y, IDC_OBJECT_ROTATION_Z},
         .valueName = "X,Y,Z",
         .help = "turn the top-level nodes, in degrees"},
    };
}

} // namespace cli
