#include "settings/OptionDialogs.h"

#include "resources/resource.h"

namespace {

const int kFormatButtons[3] = {IDC_FORMAT_TEXT, IDC_FORMAT_BINARY, IDC_FORMAT_COMPRESSED};
const int kObjectScaleEdits[3] = {IDC_OBJECT_SCALE_X, IDC_OBJECT_SCALE_Y, IDC_OBJECT_SCALE_Z};
const int kObjectRotationEdits[3] = {IDC_OBJECT_ROTATION_X, IDC_OBJECT_ROTATION_Y,
                                     IDC_OBJECT_ROTATION_Z};
// The bone-scale row puts y (1025) in the right-hand column and z (1026) in the middle; the
// binding goes by control number.
const int kBoneScaleEdits[3] = {IDC_BONE_SCALE_X, IDC_BONE_SCALE_Y, IDC_BONE_SCALE_Z};

void showVector(DialogWindow& dialog, const int (&edits)[3], const float (&values)[3]) {
    for (int axis = 0; axis < 3; ++axis)
        dialog.SetFloat(edits[axis], values[axis]);
}

void readVector(const DialogWindow& dialog, const int (&edits)[3], float (&values)[3]) {
    for (int axis = 0; axis < 3; ++axis)
        values[axis] = static_cast<float>(dialog.GetFloat(edits[axis]));
}

} // namespace

void showExportOptions(DialogWindow& dialog, const ExportOptions& options) {
    for (int index = 0; index < 3; ++index)
        dialog.SetCheck(kFormatButtons[index], options.format == index);
    dialog.SetCheck(IDC_TEXTURE_PATH, options.texturePath);
    dialog.SetCheck(IDC_NORMAL, options.normal);
    dialog.SetCheck(IDC_UV, options.uv);
    dialog.SetCheck(IDC_SKIN, options.skin);
    dialog.SetCheck(IDC_ANIMATION, options.animation);
    dialog.SetCheck(IDC_LEFT_HANDED, options.leftHanded);
    dialog.SetCheck(IDC_VERTEX_COLOR, options.vertexColor);
    dialog.SetCheck(IDC_SAMPLING, options.sampling);
    dialog.SetCheck(IDC_D3DX_OPT, options.d3dxOpt);
    showVector(dialog, kObjectScaleEdits, options.objectScale);
    showVector(dialog, kObjectRotationEdits, options.objectRotation);
    // An integer shown through the float setter: 30 reads as "30".
    dialog.SetFloat(IDC_SAMPLING_FPS, static_cast<float>(options.samplingFps));
}

void readExportOptions(const DialogWindow& dialog, ExportOptions& options) {
    options.format = 0;
    for (int index = 0; index < 3; ++index)
        if (dialog.IsChecked(kFormatButtons[index])) {
            options.format = index;
            break;
        }
    options.texturePath = dialog.IsChecked(IDC_TEXTURE_PATH);
    options.normal = dialog.IsChecked(IDC_NORMAL);
    options.uv = dialog.IsChecked(IDC_UV);
    options.skin = dialog.IsChecked(IDC_SKIN);
    options.animation = dialog.IsChecked(IDC_ANIMATION);
    options.leftHanded = dialog.IsChecked(IDC_LEFT_HANDED);
    options.vertexColor = dialog.IsChecked(IDC_VERTEX_COLOR);
    options.sampling = dialog.IsChecked(IDC_SAMPLING);
    options.d3dxOpt = dialog.IsChecked(IDC_D3DX_OPT);
    options.samplingFps = dialog.GetInt(IDC_SAMPLING_FPS);
    readVector(dialog, kObjectScaleEdits, options.objectScale);
    readVector(dialog, kObjectRotationEdits, options.objectRotation);
}

void showImportOptions(DialogWindow& dialog, const ImportOptions& options) {
    dialog.SetCheck(IDC_NORMAL, options.normal);
    dialog.SetCheck(IDC_UV, options.uv);
    dialog.SetCheck(IDC_SKIN, options.skin);
    dialog.SetCheck(IDC_ANIMATION, options.animation);
    dialog.SetCheck(IDC_LEFT_HANDED, options.leftHanded);
    dialog.SetCheck(IDC_VERTEX_COLOR, options.vertexColor);
    showVector(dialog, kBoneScaleEdits, options.boneScale);
    showVector(dialog, kObjectScaleEdits, options.objectScale);
    showVector(dialog, kObjectRotationEdits, options.objectRotation);
}

void readImportOptions(const DialogWindow& dialog, ImportOptions& options) {
    options.normal = dialog.IsChecked(IDC_NORMAL);
    options.uv = dialog.IsChecked(IDC_UV);
    options.skin = dialog.IsChecked(IDC_SKIN);
    options.animation = dialog.IsChecked(IDC_ANIMATION);
    options.leftHanded = dialog.IsChecked(IDC_LEFT_HANDED);
    options.vertexColor = dialog.IsChecked(IDC_VERTEX_COLOR);
    readVector(dialog, kBoneScaleEdits, options.boneScale);
    readVector(dialog, kObjectScaleEdits, options.objectScale);
    readVector(dialog, kObjectRotationEdits, options.objectRotation);
}
