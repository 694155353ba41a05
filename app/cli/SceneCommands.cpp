// lumaset scene info | scene convert: glTF scenes into the host core and back out.
#include "cli/Commands.h"

#include "cli/SceneLoading.h"
#include "progress/TerminalProgress.h"
#include "scene/SceneCounts.h"
#include "scene/SceneReport.h"

#include <filesystem>

namespace cli {

int runSceneInfoCommand(const ParsedArguments& arguments, Console& console) {
    SceneInput input;
    if (int status = parseSceneInput(arguments, 0, "scene info", input, console);
        status != exitSuccess)
        return status;
    progress::TerminalProgress bar(console.err(), console.errIsTerminal());
    if (!loadSceneIntoHost(input, "", console)) return exitFailure;
    scene::printHostScene(console.out());
    // The same line as xinspect's, so an imported file can be held against the X file.
    scene::printCounts(console.out(), scene::countHostScene());
    return exitSuccess;
}

int runSceneConvertCommand(const ParsedArguments& arguments, Console& console) {
    SceneInput input;
    if (int status = parseSceneInput(arguments, 1, "scene convert", input, console);
        status != exitSuccess)
        return status;
    const std::string& output = input.outputs[0];
    progress::TerminalProgress bar(console.err(), console.errIsTerminal());
    std::error_code ignored;
    const std::string outputFolder =
        std::filesystem::absolute(std::filesystem::path(output), ignored).parent_path().string();
    if (!loadSceneIntoHost(input, outputFolder, console)) return exitFailure;

    if (!writeHostScene(output, SceneImages::asNamed, console)) return exitFailure;
    return exitSuccess;
}

} // namespace cli
