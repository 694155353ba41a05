// lumaset export: a scene through the plug-in's exporter into an X file, its dialog answered
// from the command line.
#include "cli/Commands.h"

#include "cli/ExportDialog.h"
#include "cli/PluginDialogRun.h"
#include "cli/SceneLoading.h"
#include "progress/TerminalProgress.h"
#include "scene/SceneDepth.h"
#include "xfile/XFileTarget.h"

#include <hostcore.h>
#include <impexp.h>
#include <inode.h>
#include <maxapi.h>

#include <algorithm>
#include <filesystem>
#include <memory>

namespace cli {
namespace {

namespace fs = std::filesystem;

// At most this many renamed nodes are listed one by one; the rest are counted in one line.
const std::size_t kListedRenames = 2;

bool endsWithX(const std::string& path) {
    const std::string extension = fs::path(path).extension().string();
    return extension == ".x" || extension == ".X";
}

// The host's node names in depth-first child order, as the exporter writes its frames, with
// the export's own rule applied (spaces become underscores).
std::vector<std::string> exportedNodeNames() {
    std::vector<std::string> names;
    std::vector<INode*> pending;
    INode* root = GetCOREInterface()->GetRootNode();
    for (int i = root ? root->NumberOfChildren() - 1 : -1; i >= 0; --i)
        pending.push_back(root->GetChildNode(i));
    while (!pending.empty()) {
        INode* node = pending.back();
        pending.pop_back();
        if (!node) continue;
        std::string name = node->GetName() ? node->GetName() : "";
        std::replace(name.begin(), name.end(), ' ', '_');
        names.push_back(std::move(name));
        for (int i = node->NumberOfChildren() - 1; i >= 0; --i)
            pending.push_back(node->GetChildNode(i));
    }
    return names;
}

// The text encoding writes some names differently (characters other readers refuse, keywords,
// names that would then collide); the exporter says nothing, so the program compares.
void reportRenamedNodes(const std::string& output, Console& console) {
    std::vector<std::string> written;
    if (!xfile::textFrameNames(output, written)) return;
    const std::vector<std::string> scene = exportedNodeNames();
    if (written.size() != scene.size()) {
        console.warning(output + ": the file holds " + std::to_string(written.size()) +
                        " frames for " + std::to_string(scene.size()) + " nodes");
        return;
    }
    std::size_t renamed = 0;
    for (std::size_t i = 0; i < scene.size(); ++i) {
        if (scene[i] == written[i]) continue;
        if (++renamed <= kListedRenames)
            console.warning(output + ": node '" + scene[i] + "' is written as '" + written[i] +
                            "'");
    }
    if (renamed > kListedRenames)
        console.warning(output + ": ... and " + std::to_string(renamed - kListedRenames) +
                        " more nodes renamed");
}

} // namespace

int runExportCommand(const ParsedArguments& arguments, Console& console) {
    const std::string hint = " (see 'lumaset export --help')";
    const bool printOnly = arguments.has("print-options");
    SceneInput input;
    if (!printOnly || !arguments.positionals.empty() || arguments.has("demo")) {
        if (int status = parseSceneInput(arguments, 1, "export", input, console);
            status != exitSuccess)
            return status;
        if (!endsWithX(input.outputs[0])) {
            console.error(input.outputs[0] +
                          ": the exporter writes X files, whose names end in .x" + hint);
            return exitUsage;
        }
    }
    PluginDialogRun dialogRun(
        {SCENE_EXPORT_CLASS_ID, exportDialogControls(), "exporter", "exports"}, arguments, hint);
    if (int status = dialogRun.prepare(console); status != exitSuccess) return status;

    const std::string output = printOnly ? std::string() : input.outputs[0];
    progress::TerminalProgress bar(console.err(), console.errIsTerminal());
    if (!printOnly) {
        if (std::string refusal = xfile::saveRefusal(output); !refusal.empty()) {
            console.error(output + ": " + refusal);
            return exitFailure;
        }
        std::error_code ignored;
        const std::string imageFolder =
            fs::absolute(fs::path(output), ignored).parent_path().string();
        if (!loadSceneIntoHost(input, imageFolder, console)) return exitFailure;
        if (int depth = scene::xObjectDepthNeeded(); depth > scene::kMaxXObjectDepth) {
            console.error((input.isDemo ? std::string("demo scene") : input.path) +
                          ": the nodes nest too deeply for an X file (it would need " +
                          std::to_string(depth) + " levels of objects, X files hold " +
                          std::to_string(scene::kMaxXObjectDepth) + ")");
            return exitFailure;
        }
    }

    const xfile::FileState before = xfile::fileStateOf(output);
    const int status = dialogRun.run(
        [&](void* instance) {
            std::unique_ptr<SceneExport> plugin(static_cast<SceneExport*>(instance));
            std::unique_ptr<ExpInterface> exportInterface = hostcore::newExportInterface();
            // A print-only run cancels the dialog: the exporter then writes and saves nothing.
            plugin->DoExport(printOnly ? "" : output.c_str(), exportInterface.get(),
                             GetCOREInterface(), FALSE, 0);
        },
        console);
    if (status != exitSuccess || printOnly) return status;
    if (!xfile::wasReplaced(before, output)) {
        console.error(output + ": the exporter could not write the file" +
                      (before.exists ? "; the file there is unchanged" : ""));
        return exitFailure;
    }
    const std::vector<std::string>& shown = dialogRun.dialogState();
    if (std::find(shown.begin(), shown.end(), "Format: TEXT") != shown.end())
        reportRenamedNodes(output, console);
    return exitSuccess;
}

} // namespace cli
