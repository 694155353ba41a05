// What the scene commands share: reading "FILE or --demo" and the frame rate from the command
// line, loading that scene into the host core and writing the host scene out as glTF, with their
// warnings and errors reported.
#pragma once

#include "cli/Arguments.h"
#include "cli/Console.h"

#include <string>
#include <vector>

namespace cli {

struct SceneInput {
    bool isDemo = false;
    std::string path;                 // the glTF file, unless the demo scene is asked for
    std::vector<std::string> outputs; // the positionals after the input
    int framesPerSecond = 30;
};

// Reads the input scene (a file, or --demo), then exactly `outputCount` further files, and
// --fps. Returns exitSuccess, or exitUsage after reporting the problem.
int parseSceneInput(const ParsedArguments& arguments, std::size_t outputCount,
                    const std::string& command, SceneInput& input, Console& console);

// Replaces the host scene with the input scene, showing progress. Images embedded in the file
// are written to `imageFolder` (not at all when empty). Reports warnings, and an error as
// "FILE: reason"; false on error.
bool loadSceneIntoHost(const SceneInput& input, const std::string& imageFolder, Console& console);

// How writeHostScene treats the image files the host scene names.
enum class SceneImages {
    asNamed,         // the uris are the names the materials hold
    foundAndEmbedded // looked up as an importer left them (resolveImageFiles), then embedded
};

// Writes the host scene to `output` as glTF, showing progress. Reports warnings and an error as
// "FILE: reason"; false on error.
bool writeHostScene(const std::string& output, SceneImages images, Console& console);

} // namespace cli
