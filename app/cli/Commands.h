// The program's commands and the dispatcher that picks one from the command line.
//
//   lumaset plugins                      list the plug-in classes found in the plug-ins folder
//   lumaset scene info FILE              print the host scene built from a glTF file
//   lumaset scene convert IN OUT         glTF in, through the host scene, glTF out
//   lumaset export SCENE OUT.x           a scene through the plug-in's exporter to an X file
//   lumaset import IN.x OUT              an X file through the plug-in's importer to glTF
//   lumaset animsets SCENE [steps]       the scene's animation sets, edited in the plug-in's
//   utility
//
// The export and import commands of the plug-in join the table with the same conventions: the
// input first, the output second, options anywhere, "--demo" wherever a scene file is expected.
#pragma once

#include "cli/Arguments.h"
#include "cli/Console.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

enum ExitCode : int {
    exitSuccess = 0,
    exitFailure = 1, // the job failed: bad input file, unwritable output, no plug-in
    exitUsage = 2,   // the command line itself is wrong
};

struct CommandInfo {
    std::string_view name;     // "plugins", "scene convert"
    std::string_view operands; // "IN OUT", shown after the options in the usage line
    std::string_view summary;  // one line for the program's help
    std::string_view description;
    std::vector<OptionSpec> options;
    // Runs with parsed arguments; `--help` never reaches it. Returns an ExitCode.
    int (*run)(const ParsedArguments& arguments, Console& console);
};

// Every command, in the order the program's help lists them.
const std::vector<CommandInfo>& commandTable();

// Runs the program on the words after its name; returns the process exit code.
int runProgram(std::span<const std::string> arguments, Console& console);

// The help text of one command, as `lumaset COMMAND --help` prints it.
std::string commandHelp(const CommandInfo& command);

// The commands themselves (one file each).
int runPluginsCommand(const ParsedArguments& arguments, Console& console);
int runSceneInfoCommand(const ParsedArguments& arguments, Console& console);
int runSceneConvertCommand(const ParsedArguments& arguments, Console& console);
int runExportCommand(const ParsedArguments& arguments, Console& console);
int runImportCommand(const ParsedArguments& arguments, Console& console);
int runAnimsetsCommand(const ParsedArguments& arguments, Console& console);

} // namespace cli
