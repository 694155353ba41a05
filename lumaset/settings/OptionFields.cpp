#include "settings/OptionFields.h"

#include "resources/resource.h"

std::span<const OptionField<ExportOptions>> exportOptionFields() {
    using enum OptionKind;
    using O = ExportOptions;
    static const OptionField<O> fields[] = {
        {.kind = choice,
         .keys = {"FORMAT"},
         .controls = {IDC_FORMAT_TEXT, IDC_FORMAT_BINARY, IDC_FORMAT_COMPRESSED},
         .number = &O::format},
        {.kind = checkBox, .keys = {"NORMAL"}, .controls = {IDC_NORMAL}, .flag = &O::normal},
        {.kind = checkBox,
         .keys = {"TEXPATH"},
         .controls = {IDC_TEXTURE_PATH},
         .flag = &O::texturePath},
        {.kind = checkBox,
         .keys = {"VCOLOR"},
         .controls = {IDC_VERTEX_COLOR},
         .flag = &O::vertexColor},
        {.kind = checkBox, .keys = {"SKIN"}, .controls = {IDC_SKIN}, .flag = &O::skin},
        {.kind = checkBox, .keys = {"UV"}, .controls = {IDC_UV}, .flag = &O::uv},
        {.kind = checkBox,
         .keys = {"ANIMATION"},
         .controls = {IDC_ANIMATION},
         .flag = &O::animation},
        {.kind = checkBox,
         .keys = {"CHAND"},
         .controls = {IDC_LEFT_HANDED},
         .flag = &O::leftHanded},
        {.kind = checkBox, .keys = {"D3DXOPT"}, .controls = {IDC_D3DX_OPT}, .flag = &O::d3dxOpt},
        {.kind = triple,
         .keys = {"OBJECTSCALE_X", "OBJECTSCALE_Y", "OBJECTSCALE_Z"},
         .controls = {IDC_OBJECT_SCALE_X, IDC_OBJECT_SCALE_Y, IDC_OBJECT_SCALE_Z},
         .axes = &O::objectScale},
        {.kind = triple,
         .keys = {"OBJECTROT_X", "OBJECTROT_Y", "OBJECTROT_Z"},
         .controls = {IDC_OBJECT_ROTATION_X, IDC_OBJECT_ROTATION_Y, IDC_OBJECT_ROTATION_Z},
         .axes = &O::objectRotation},
        {.kind = checkBox, .keys = {"SAMPLING"}, .controls = {IDC_SAMPLING}, .flag = &O::sampling},
        {.kind = wholeNumber,
         .keys = {"SAMPLINGFPS"},
         .controls = {IDC_SAMPLING_FPS},
         .number = &O::samplingFps},
    };
    return fields;
}

std::span<const OptionField<ImportOptions>> importOptionFields() {
    using enum OptionKind;
    using O = ImportOptions;
    static const OptionField<O> fields[] = {
        {.kind = checkBox, .keys = {"NORMAL"}, .controls = {IDC_NORMAL}, .flag = &O::normal},
        {.kind = checkBox, .keys = {"UV"}, .controls = {IDC_UV}, .flag = &O::uv},
        {.kind = checkBox,
         .keys = {"VCOLOR"},
         .controls = {IDC_VERTEX_COLOR},
         .flag = &O::vertexColor},
        {.kind = checkBox, .keys = {"SKIN"}, .controls = {IDC_SKIN}, .flag = &O::skin},
        {.kind = checkBox,
         .keys = {"ANIMATION"},
         .controls = {IDC_ANIMATION},
         .flag = &O::animation},
        {.kind = checkBox,
         .keys = {"CHAND"},
         .controls = {IDC_LEFT_HANDED},
         .flag = &O::leftHanded},
        // The bone-scale row puts y (1025) in the right-hand column and z (1026) in the middle;
        // the binding goes by control number.
        {.kind = triple,
         .keys = {"BONESCALE_X", "BONESCALE_Y", "BONESCALE_Z"},
         .controls = {IDC_BONE_SCALE_X, IDC_BONE_SCALE_Y, IDC_BONE_SCALE_Z},
         .axes = &O::boneScale},
        {.kind = triple,
         .keys = {"OBJECTSCALE_X", "OBJECTSCALE_Y", "OBJECTSCALE_Z"},
         .controls = {IDC_OBJECT_SCALE_X, IDC_OBJECT_SCALE_Y, IDC_OBJECT_SCALE_Z},
         .axes = &O::objectScale},
        {.kind = triple,
         .keys = {"OBJECTROT_X", "OBJECTROT_Y", "OBJECTROT_Z"},
         .controls = {IDC_OBJECT_ROTATION_X, IDC_OBJECT_ROTATION_Y, IDC_OBJECT_ROTATION_Z},
         .axes = &O::objectRotation},
    };
    return fields;
}
