#include "settings/OptionFields.h"

#include "resources/resource.h"

namespace {

using enum OptionKind;

// The options both dialogs have, under the same keys and controls and with members of the same
// names.
template <class O>
constexpr OptionField<O> kNormal{
    .kind = checkBox, .keys = {"NORMAL"}, .controls = {IDC_NORMAL}, .flag = &O::normal};
template <class O>
constexpr OptionField<O> kUv{
    .kind = checkBox, .keys = {"UV"}, .controls = {IDC_UV}, .flag = &O::uv};
template <class O>
constexpr OptionField<O> kVertexColor{
    .kind = checkBox, .keys = {"VCOLOR"}, .controls = {IDC_VERTEX_COLOR}, .flag = &O::vertexColor};
template <class O>
constexpr OptionField<O> kSkin{
    .kind = checkBox, .keys = {"SKIN"}, .controls = {IDC_SKIN}, .flag = &O::skin};
template <class O>
constexpr OptionField<O> kAnimation{
    .kind = checkBox, .keys = {"ANIMATION"}, .controls = {IDC_ANIMATION}, .flag = &O::animation};
template <class O>
constexpr OptionField<O> kLeftHanded{
    .kind = checkBox, .keys = {"CHAND"}, .controls = {IDC_LEFT_HANDED}, .flag = &O::leftHanded};
template <class O>
constexpr OptionField<O> kObjectScale{
    .kind = triple,
    .keys = {"OBJECTSCALE_X", "OBJECTSCALE_Y", "OBJECTSCALE_Z"},
    .controls = {IDC_OBJECT_SCALE_X, IDC_OBJECT_SCALE_Y, IDC_OBJECT_SCALE_Z},
    .axes = &O::objectScale};
template <class O>
constexpr OptionField<O> kObjectRotation{
    .kind = triple,
    .keys = {"OBJECTROT_X", "OBJECTROT_Y", "OBJECTROT_Z"},
    .controls = {IDC_OBJECT_ROTATION_X, IDC_OBJECT_ROTATION_Y, IDC_OBJECT_ROTATION_Z},
    .axes = &O::objectRotation};

} // namespace

std::span<const OptionField<ExportOptions>> exportOptionFields() {
    using O = ExportOptions;
    static const OptionField<O> fields[] = {
        {.kind = choice,
         .keys = {"FORMAT"},
         .controls = {IDC_FORMAT_TEXT, IDC_FORMAT_BINARY, IDC_FORMAT_COMPRESSED},
         .number = &O::format},
        kNormal<O>,
        {.kind = checkBox,
         .keys = {"TEXPATH"},
         .controls = {IDC_TEXTURE_PATH},
         .flag = &O::texturePath},
        kVertexColor<O>,
        kSkin<O>,
        kUv<O>,
        kAnimation<O>,
        kLeftHanded<O>,
        {.kind = checkBox, .keys = {"D3DXOPT"}, .controls = {IDC_D3DX_OPT}, .flag = &O::d3dxOpt},
        kObjectScale<O>,
        kObjectRotation<O>,
        {.kind = checkBox, .keys = {"SAMPLING"}, .controls = {IDC_SAMPLING}, .flag = &O::sampling},
        {.kind = wholeNumber,
         .keys = {"SAMPLINGFPS"},
         .controls = {IDC_SAMPLING_FPS},
         .number = &O::samplingFps},
    };
    return fields;
}

std::span<const OptionField<ImportOptions>> importOptionFields() {
    using O = ImportOptions;
    static const OptionField<O> fields[] = {
        kNormal<O>,
        kUv<O>,
        kVertexColor<O>,
        kSkin<O>,
        kAnimation<O>,
        kLeftHanded<O>,
        // The bone-scale row puts y (1025) in the right-hand column and z (1026) in the middle;
        // the binding goes by control number.
        {.kind = triple,
         .keys = {"BONESCALE_X", "BONESCALE_Y", "BONESCALE_Z"},
         .controls = {IDC_BONE_SCALE_X, IDC_BONE_SCALE_Y, IDC_BONE_SCALE_Z},
         .axes = &O::boneScale},
        kObjectScale<O>,
        kObjectRotation<O>,
    };
    return fields;
}
