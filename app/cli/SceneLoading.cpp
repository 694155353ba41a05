#include "cli/SceneLoading.h"

#include "cli/Commands.h"
#include "cli/ImportedTextures.h"
#include "gltf/GltfReader.h"
#include "gltf/GltfWriter.h"
#include "scene/DemoScene.h"
#include "scene/GltfToHost.h"
#include "scene/HostToGltf.h"

#include <maxapi.h>

#include <filesystem>

namespace cli {

int parseSceneInput(const ParsedArguments& arguments, std::size_t outputCount,
                    const std::string& command, SceneInput& input, Console& console) {
    const std::string hint = " (see 'lumaset " + command + " --help')";
    input.isDemo = arguments.has("demo");
    const std::size_t wanted = outputCount + (input.isDemo ? 0 : 1);
    if (arguments.positionals.size() != wanted) {
        const std::string what =
            input.isDemo ? (outputCount == 1 ? "an output file" : "no file")
                         : (outputCount == 1 ? "an input and an output file" : "one scene file");
        console.error("'" + command + "' takes " + what + hint);
        return exitUsage;
    }
    std::size_t next = 0;
    if (!input.isDemo) input.path = arguments.positionals[next++];
    input.outputs.assign(arguments.positionals.begin() + std::ptrdiff_t(next),
                         arguments.positionals.end());
    if (arguments.has("fps")) {
        const std::string fps = arguments.valueOr("fps", "");
        if (!parseInteger(fps, 1, 4800, input.framesPerSecond) ||
            !scene::isUsableFrameRate(input.framesPerSecond)) {
            console.error("--fps " + fps +
                          ": the frame rate must divide 4800 (24, 25, 30, 60, ...)" + hint);
            return exitUsage;
        }
    }
    return exitSuccess;
}

bool loadSceneIntoHost(const SceneInput& input, const std::string& imageFolder, Console& console) {
    const std::string label = input.isDemo ? std::string("demo scene") : input.path;
    Interface* core = GetCOREInterface();
    std::string title =
        "Loading " + (input.isDemo ? label : std::filesystem::path(label).filename().string());
    core->ProgressStart(title.data(), TRUE, nullptr, nullptr);

    gltf::Scene scene;
    if (input.isDemo) {
        scene = scene::demoScene();
    } else {
        gltf::ReadReport report;
        const bool read = gltf::readGltfFile(input.path, scene, report);
        for (const std::string& warning : report.warnings)
            console.warning(input.path + ": " + warning);
        if (!read) {
            core->ProgressEnd();
            console.error(input.path + ": " + report.error);
            return false;
        }
    }
    core->ProgressUpdate(40);

    scene::ImportOptions options;
    options.framesPerSecond = input.framesPerSecond;
    options.imageFolder = imageFolder;
    options.inputPath = input.isDemo ? "demo" : input.path;
    scene::ImportReport report;
    const bool built = scene::buildHostScene(scene, options, report);
    core->ProgressEnd();
    for (const std::string& warning : report.warnings)
        console.warning(label + ": " + warning);
    if (!built) {
        console.error(label + ": " + report.error);
        return false;
    }
    return true;
}

bool writeHostScene(const std::string& output, SceneImages images, Console& console) {
    Interface* core = GetCOREInterface();
    std::string title = "Writing " + std::filesystem::path(output).filename().string();
    core->ProgressStart(title.data(), TRUE, nullptr, nullptr);
    scene::CaptureReport capture;
    gltf::Scene captured = scene::captureHostScene(capture);
    core->ProgressUpdate(50);
    const bool embed = images == SceneImages::foundAndEmbedded;
    if (embed) resolveImageFiles(captured, capture.warnings);
    for (const std::string& warning : capture.warnings)
        console.warning(output + ": " + warning);
    std::string error;
    const bool written = gltf::writeGltfFile(captured, output, error, {.embedImageFiles = embed});
    core->ProgressEnd();
    if (!written) console.error(output + ": " + error);
    return written;
}

} // namespace cli
