#include "shell/XFileExporter.h"

#include "capture/SceneCapture.h"
#include "host/PluginInstance.h"
#include "model/SceneConversion.h"
#include "model/XModelTransforms.h"
#include "resources/resource.h"
#include "settings/OptionDialogs.h"
#include "settings/SettingsFile.h"
#include "shell/CorrectMirroredWinding.h"
#include "shell/ProgressPump.h"
#include "ui/DialogWindow.h"
#include "xfile/XFileIO.h"

#include "inode.h"
#include "maxapi.h"

#include <utility>
#include <vector>

namespace {

// The host's progress display for as long as the object lives, ended on every way out.
class ProgressDisplay {
public:
    explicit ProgressDisplay(Interface* ip) : ip_(ip) {
        ip_->ProgressStart(const_cast<TCHAR*>("Writing X-File."), FALSE, ProgressPump, nullptr);
    }
    ~ProgressDisplay() { ip_->ProgressEnd(); }
    ProgressDisplay(const ProgressDisplay&) = delete;
    ProgressDisplay& operator=(const ProgressDisplay&) = delete;

private:
    Interface* ip_;
};

// A NaN component differs from every value, so it asks for the transform as well.
bool differsFrom(const float (&components)[3], float value) {
    for (float component : components)
        if (!(component == value)) return true;
    return false;
}

// X files nest data objects at most this deep; readers refuse anything deeper.
const int kMaxXObjectDepth = 128;

// Whether the scene's nodes nest deeper than any X file can hold frames, so that capturing it
// would be work for nothing. Walks the scene with an explicit stack.
bool nestsTooDeeply(Interface* ip) {
    std::vector<std::pair<INode*, int>> pending = {{ip->GetRootNode(), 0}};
    while (!pending.empty()) {
        auto [node, level] = pending.back();
        pending.pop_back();
        if (!node) continue;
        if (level > kMaxXObjectDepth) return true;
        for (int i = 0; i < node->NumberOfChildren(); ++i)
            pending.push_back({node->GetChildNode(i), level + 1});
    }
    return false;
}

// Steps 1 to 20 of an export. Everything it makes is owned here and released on every path,
// exceptions included.
void exportScene(const TCHAR* name, Interface* ip) {
    SettingsFile settings;
    ExportOptions& options = settings.exportOptions;

    DialogWindow dialog;
    if (!dialog.Create(IDD_EXPORT_OPTIONS, ip->GetMAXHWnd(), pluginInstance)) return;
    showExportOptions(dialog, options);
    if (!dialog.RunModal()) return; // cancel: nothing written, nothing saved

    ProgressDisplay progress(ip);
    readExportOptions(dialog, options); // no format button checked reads as text (0)

    // A scene no X file can hold is not captured at all: nothing is written, and the options
    // the user confirmed are still saved.
    if (nestsTooDeeply(ip)) {
        (void)settings.Save();
        return;
    }

    SceneCapture capture;
    // The rate goes to the capture as the user typed it; the capture decides what a rate below
    // 1 or above its time base means. With sampling off the stored rate stays for next time.
    if (options.sampling) capture.samplingFps = options.samplingFps;
    std::unique_ptr<SceneSnapshot> snapshot = capture.captureScene(ip);
    CorrectMirroredWinding(*snapshot);

    XFileIO writer;
    std::unique_ptr<XScene> scene = snapshotToXScene(std::move(*snapshot));
    // Nothing below reads the snapshot: letting it go before the write keeps one copy of the
    // scene fewer in memory while the writer makes its own.
    snapshot.reset();
    // The options were read from the dialog after OK and nothing has changed the controls since.
    writer.keepNormals = options.normal;
    writer.keepTexCoords = options.uv;
    writer.keepTexturePath = options.texturePath;
    writer.keepSkin = options.skin;
    writer.keepAnimation = options.animation;
    writer.keepVertexColors = options.vertexColor;

    // Handedness first, then scale, then rotation, all on the X model.
    if (options.leftHanded) mirrorHandedness(*scene);
    if (differsFrom(options.objectScale, 1.0f))
        scaleTopFrames(*scene, options.objectScale[0], options.objectScale[1],
                       options.objectScale[2]);
    if (differsFrom(options.objectRotation, 0.0f))
        rotateTopFrames(*scene, options.objectRotation[0], options.objectRotation[1],
                        options.objectRotation[2]);

    // A failed write leaves an existing file as it was; the file services keep the reason.
    (void)writer.writeScene(name, *scene, xFileFormatOf(options.format), options.d3dxOpt);
    scene.reset();
    (void)settings.Save();
}

} // namespace

XFileExporter::XFileExporter() : description(xFileTypeDescription("X-FILE Exporter")) {}

int XFileExporter::DoExport(const TCHAR* name, ExpInterface*, Interface* ip, BOOL, DWORD) {
    try {
        exportScene(name, ip ? ip : GetCOREInterface());
    } catch (...) {
        // No exception may reach the host. The owners above have already put the host back as
        // it was: modifiers switched on again by the capture, the progress display ended.
    }
    return 1;
}
