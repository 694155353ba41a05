#include "cli/ImportDialog.h"

#include "resources/resource.h"

namespace cli {

std::span<const DialogControl> importDialogControls() {
    using enum ControlKind;
    static const DialogControl controls[] = {
        {.flag = "normals",
         .offFlag = "no-normals",
         .label = "Normal",
         .kind = checkBox,
         .controlIds = {IDC_NORMAL},
         .help = "read normals"},
        {.flag = "uv",
         .offFlag = "no-uv",
         .label = "UV",
         .kind = checkBox,
         .controlIds = {IDC_UV},
         .help = "read texture coordinates"},
        {.flag = "colors",
         .offFlag = "no-colors",
         .label = "Vertex Color",
         .kind = checkBox,
         .controlIds = {IDC_VERTEX_COLOR},
         .help = "read vertex colours"},
        {.flag = "skin",
         .offFlag = "no-skin",
         .label = "Skin",
         .kind = checkBox,
         .controlIds = {IDC_SKIN},
         .help = "read skin weights"},
        {.flag = "animation",
         .offFlag = "no-animation",
         .label = "Animation key",
         .kind = checkBox,
         .controlIds = {IDC_ANIMATION},
         .help = "read animation"},
        {.flag = "left-handed",
         .offFlag = "no-left-handed",
         .label = "Left hand",
         .kind = checkBox,
         .controlIds = {IDC_LEFT_HANDED},
         .help = "convert the scene from the left-handed system"},
        {.flag = "bone-scale",
         .label = "Bone Scale",
         .kind = numberTriple,
         .controlIds = {IDC_BONE_SCALE_X, IDC_BONE_SCALE_Y, IDC_BONE_SCALE_Z},
         .valueName = "X,Y,Z",
         .help = "scale the bones"},
        {.flag = "scale",
         .label = "Object Scale",
         .kind = numberTriple,
         .controlIds = {IDC_OBJECT_SCALE_X, IDC_OBJECT_SCALE_Y, IDC_OBJECT_SCALE_Z},
         .valueName = "X,Y,Z",
         .help = "scale the top-level nodes"},
        {.flag = "rotate",
         .label = "Object Rotation",
         .kind = numberTriple,
         .controlIds = {IDC_OBJECT_ROTATION_X, IDC_OBJECT_ROTATION_Y, IDC_OBJECT_ROTATION_Z},
         .valueName = "X,Y,Z",
         .help = "turn the top-level nodes, in degrees"},
    };
    return controls;
}

} // namespace cli
