#include "shell/XFileImporter.h"

#include "build/ImportedModelCheck.h"
#include "build/SceneBuilder.h"
#include "host/PluginInstance.h"
#include "model/MeshIndexProcessing.h"
#include "model/SceneConversion.h"
#include "model/XModelTransforms.h"
#include "resources/resource.h"
#include "settings/OptionDialogs.h"
#include "settings/SettingsFile.h"
#include "shell/CorrectMirroredWinding.h"
#include "shell/ProgressPump.h"
#include "ui/DialogWindow.h"
#include "xfile/XFileIO.h"

#include "maxapi.h"

#include <windows.h>

#include <memory>
#include <utility>

namespace {

// The host's progress display for one run: shown on construction, ended when the run is over
// by whatever path it leaves.
class ProgressDisplay {
public:
    ProgressDisplay(Interface* host, const char* title) : core(host) {
        core->ProgressStart(title, TRUE, ProgressPump, nullptr);
    }
    ~ProgressDisplay() { End(); }
    ProgressDisplay(const ProgressDisplay&) = delete;
    ProgressDisplay& operator=(const ProgressDisplay&) = delete;

    void Update(int percent, const char* title) { core->ProgressUpdate(percent, TRUE, title); }
    void End() {
        if (core) core->ProgressEnd();
        core = nullptr;
    }

private:
    Interface* core;
};

float floatFrom(const DialogWindow& dialog, int controlId) {
    return static_cast<float>(dialog.GetFloat(controlId));
}

// Reads, prepares, converts and builds, taking the choices from the dialog's controls. A file
// that yields no model changes nothing in the scene.
void importScene(const TCHAR* fileName, ImpInterface* ii, const DialogWindow& dialog) {
    ProgressDisplay progress(GetCOREInterface(), "Reading X-File.");
    XFileIO reader;
    reader.keepTexCoords = dialog.IsChecked(IDC_UV);
    reader.keepAnimation = dialog.IsChecked(IDC_ANIMATION);
    reader.keepVertexColors = dialog.IsChecked(IDC_VERTEX_COLOR);
    reader.keepSkin = dialog.IsChecked(IDC_SKIN);
    reader.keepNormals = dialog.IsChecked(IDC_NORMAL);
    progress.Update(10, "Object Converting.");

    bool readWhole = false;
    std::unique_ptr<XScene> scene = fileName ? reader.readScene(fileName, &readWhole) : nullptr;
    // Unreadable, no services, a refused header, damage half way (which would give a part of
    // the model), or nothing readable at all: the scene and its stored sets stay exactly as they
    // were. Why is on record with the file services.
    if (!scene || !readWhole || (scene->frames.empty() && scene->animationSets.empty())) return;
    checkImportedScene(*scene);
    prepareImportedScene(*scene);
    if (dialog.IsChecked(IDC_LEFT_HANDED)) mirrorHandedness(*scene);
    std::unique_ptr<SceneSnapshot> snapshot = xSceneToSnapshot(std::move(*scene));
    scene.reset();
    // X files wind the triangles of mirrored frames as a renderer that ignores mirroring shows
    // them (the exporter reverses them so); the host turns mirrored faces round itself.
    CorrectMirroredWinding(*snapshot);
    progress.Update(40, "Object Writing.");

    SceneBuilder builder;
    const int boneScaleEdits[3] = {IDC_BONE_SCALE_X, IDC_BONE_SCALE_Y, IDC_BONE_SCALE_Z};
    const int objectScaleEdits[3] = {IDC_OBJECT_SCALE_X, IDC_OBJECT_SCALE_Y, IDC_OBJECT_SCALE_Z};
    const int rotationEdits[3] = {IDC_OBJECT_ROTATION_X, IDC_OBJECT_ROTATION_Y,
                                  IDC_OBJECT_ROTATION_Z};
    for (int axis = 0; axis < 3; ++axis) {
        builder.boneScale[axis] = floatFrom(dialog, boneScaleEdits[axis]);
        builder.objectScale[axis] = floatFrom(dialog, objectScaleEdits[axis]);
        builder.objectRotation[axis] = floatFrom(dialog, rotationEdits[axis]); // degrees
    }
    builder.SetFileName(fileName);
    builder.Build(ii, *snapshot);
    scene.reset();
    snapshot.reset();
    progress.End();
}

void runImport(const TCHAR* fileName, ImpInterface* ii, Interface* ip) {
    DialogWindow dialog;
    Interface* host = ip ? ip : GetCOREInterface();
    dialog.Create(IDD_IMPORT_OPTIONS, host->GetMAXHWnd(), pluginInstance);
    SettingsFile settings;
    showImportOptions(dialog, settings.importOptions);
    if (!dialog.RunModal()) return; // cancel: nothing read, nothing saved
    try {
        importScene(fileName, ii, dialog);
    } catch (...) {
        // Out of memory half way: what was built stays, the options the user confirmed are
        // still kept.
    }
    readImportOptions(dialog, settings.importOptions);
    settings.Save();
}

} // namespace

XFileImporter::XFileImporter() : description(xFileTypeDescription("X-FILE Importer")) {}

int XFileImporter::DoImport(const TCHAR* name, ImpInterface* ii, Interface* ip, BOOL) {
    // The host is a C++ program of its own: nothing may unwind into it.
    try {
        runImport(name, ii, ip);
    } catch (...) {
    }
    return 1;
}
