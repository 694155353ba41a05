// lumaset import: an X file through the plug-in's importer into the host scene, its dialog
// answered from the command line, and the scene out as glTF.
#include "cli/Commands.h"
#include "cli/PluginLoading.h"

#include "cli/ImportDialog.h"
#include "cli/ImportedTextures.h"
#include "cli/XFileCheck.h"
#include "gltf/GltfWriter.h"
#include "plugins/PluginRegistry.h"
#include "progress/TerminalProgress.h"
#include "scene/HostToGltf.h"

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

// Writes the host scene the importer built to `output`, with the images it names resolved.
bool writeImportedScene(const std::string& output, Console& console) {
    Interface* core = GetCOREInterface();
    std::string title = "Writing " + fs::path(output).filename().string();
    core->ProgressStart(title.data(), TRUE, nullptr, nullptr);
    scene::CaptureReport capture;
    gltf::Scene captured = scene::captureHostScene(capture);
    core->ProgressUpdate(50);
    resolveImageFiles(captured, capture.warnings);
    for (const std::string& warning : capture.warnings)
        console.warning(output + ": " + warning);
    std::string error;
    const bool written = gltf::writeGltfFile(captured, output, error, {.embedImageFiles = true});
    core->ProgressEnd();
    if (!written) console.error(output + ": " + error);
    return written;
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
    if (int status = applyConfigFolder(arguments, hint, console); status != exitSuccess)
        return status;
    headless::UserPlayer player;
    player.at();
    std::string error;
    if (!scriptAnswers(importDialogControls(), arguments, player, error, !printOnly)) {
        console.error(error + hint);
        return exitUsage;
    }

    std::string folder;
    plugins::PluginRegistry registry;
    if (!loadPlugins(arguments, registry, folder, console)) return exitFailure;
    const plugins::PluginClass* importer = registry.findByExtension(SCENE_IMPORT_CLASS_ID, "x");
    if (!importer) {
        console.error("no plug-in in " + folder + " imports X files");
        return exitFailure;
    }

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
    DialogWatch watch("", importDialogControls());
    {
        std::unique_ptr<SceneImport> plugin(
            static_cast<SceneImport*>(importer->descriptor->Create(FALSE)));
        if (!plugin) {
            console.error(importer->name + ": the plug-in made no importer");
            return exitFailure;
        }
        std::unique_ptr<ImpInterface> importInterface = hostcore::newImportInterface();
        // A print-only run cancels the dialog: the importer then reads and saves nothing.
        plugin->DoImport(printOnly ? "" : input.c_str(), importInterface.get(), GetCOREInterface(),
                         FALSE);
    }
    if (!player.failures().empty()) {
        console.error("the importer's dialog could not be answered: " + player.failures().front());
        return exitFailure;
    }
    if (!watch.sawDialog()) {
        console.error(importer->name + ": the importer showed no options dialog");
        return exitFailure;
    }
    if (printOnly) {
        for (const std::string& line : watch.lastState())
            console.out() << line << '\n';
        return exitSuccess;
    }
    if (GetCOREInterface()->GetRootNode()->NumberOfChildren() == 0)
        console.warning(input + ": the file holds nothing the importer builds");
    return writeImportedScene(output, console) ? exitSuccess : exitFailure;
}

} // namespace cli
