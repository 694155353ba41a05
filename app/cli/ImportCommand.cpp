// lumaset import: an X file through the plug-in's importer into the host scene, its dialog
// answered from the command line, and the scene out as glTF.
#include "cli/Commands.h"

#include "cli/ImportDialog.h"
#include "cli/PluginDialogRun.h"
#include "cli/SceneLoading.h"
#include "cli/XFileCheck.h"
#include "progress/TerminalProgress.h"

#include <hostcore.h>
#include <impexp.h>
#include <maxapi.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <memory>

namespace cli {
namespace {

namespace fs = std::filesystem;

bool isGltfName(const std::string& path) {
    std::string extension = fs::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return extension == ".gltf" || extension == ".glb";
}

} // namespace

int runImportCommand(const ParsedArguments& arguments, Console& console) {
    const std::string hint = " (see 'lumaset import --help')";
    const bool printOnly = arguments.has("print-options");
    std::string input, output;
    if (!printOnly || !arguments.positionals.empty()) {
        if (arguments.positionals.size() != 2) {
            console.error("'import' takes an X file and a glTF file" + hint);
            return exitUsage;
        }
        input = arguments.positionals[0];
        output = arguments.positionals[1];
        if (!isGltfName(output)) {
            console.error(
                output + ": the import writes glTF files, whose names end in .gltf or .glb" + hint);
            return exitUsage;
        }
    }
    PluginDialogRun dialogRun(
        {SCENE_IMPORT_CLASS_ID, importDialogControls(), "importer", "imports"}, arguments, hint);
    if (int status = dialogRun.prepare(console); status != exitSuccess) return status;

    progress::TerminalProgress bar(console.err(), console.errIsTerminal());
    if (!printOnly) {
        std::error_code ignored;
        const fs::path outputFolder = fs::absolute(fs::path(output), ignored).parent_path();
        if (!fs::is_directory(outputFolder, ignored)) {
            console.error(output + ": the folder '" + outputFolder.string() + "' does not exist");
            return exitFailure;
        }
        // The importer says nothing about a file it cannot read (it builds nothing, or what came
        // before the damage): the file services are asked first, and their account is the error.
        std::string diagnostic;
        if (!checkXFile(input, diagnostic)) {
            console.error(diagnostic);
            return exitFailure;
        }
    }

    hostcore::resetScene();
    std::error_code ignored;
    hostcore::setSceneFolder(fs::absolute(fs::path(input), ignored).parent_path().string());
    const int status = dialogRun.run(
        [&](void* instance) {
            std::unique_ptr<SceneImport> plugin(static_cast<SceneImport*>(instance));
            std::unique_ptr<ImpInterface> importInterface = hostcore::newImportInterface();
            // A print-only run cancels the dialog: the importer then reads and saves nothing.
            plugin->DoImport(printOnly ? "" : input.c_str(), importInterface.get(),
                             GetCOREInterface(), FALSE);
        },
        console);
    if (status != exitSuccess || printOnly) return status;
    if (GetCOREInterface()->GetRootNode()->NumberOfChildren() == 0)
        console.warning(input + ": the file holds nothing the importer builds");
    return writeHostScene(output, SceneImages::foundAndEmbedded, console) ? exitSuccess
                                                                          : exitFailure;
}

} // namespace cli
