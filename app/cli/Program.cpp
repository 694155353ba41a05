#include "cli/Commands.h"

#include "cli/ExportDialog.h"
#include "cli/ImportDialog.h"

#include <algorithm>
#include <sstream>

#ifndef LUMASET_VERSION
#define LUMASET_VERSION "unknown"
#endif

namespace cli {
namespace {

const OptionSpec helpOption{"help", false, "", "show this help and exit"};
const OptionSpec pluginsDirOption{
    "plugins-dir", true, "DIR",
    "load plug-ins from DIR (default: $LUMASET_PLUGINS_DIR, else the program's folder)"};
const OptionSpec demoOption{"demo", false, "", "use the built-in demo scene as the input scene"};
const OptionSpec fpsOption{"fps", true, "N",
                           "frame rate of the host timeline, 1 to 4800 (default 30)"};

const OptionSpec configOption{
    "config", true, "DIR",
    "keep the plug-in's settings file, Lumaset.xml, in DIR (default: the host's plug-in folder)"};
const OptionSpec printOptionsOption{"print-options", false, "",
                                    "print the options the dialog would confirm; export nothing"};

std::vector<OptionSpec> exportOptions() {
    std::vector<OptionSpec> options = {demoOption, fpsOption, configOption, printOptionsOption};
    for (const OptionSpec& option : dialogOptionSpecs(exportDialogControls()))
        options.push_back(option);
    options.push_back(pluginsDirOption);
    options.push_back(helpOption);
    return options;
}

const OptionSpec importPrintOptionsOption{
    "print-options", false, "", "print the options the dialog would confirm; import nothing"};

std::vector<OptionSpec> importOptions() {
    std::vector<OptionSpec> options = {configOption, importPrintOptionsOption};
    for (const OptionSpec& option : dialogOptionSpecs(importDialogControls()))
        options.push_back(option);
    options.push_back(pluginsDirOption);
    options.push_back(helpOption);
    return options;
}

bool declares(const std::vector<OptionSpec>& options, std::string_view name) {
    return std::any_of(options.begin(), options.end(),
                       [&](const OptionSpec& option) { return option.name == name; });
}

std::string programHelp() {
    std::ostringstream text;
    text << "usage: lumaset [--help] [--version] COMMAND [ARGS]\n\n"
            "A host for the Lumaset plug-in: it loads the plug-in as the 3D host does, holds a\n"
            "scene in memory and reads and writes scenes as glTF 2.0 files (.gltf or .glb).\n\n"
            "Commands:\n";
    for (const CommandInfo& command : commandTable()) {
        std::string left = "  " + std::string(command.name);
        if (!command.operands.empty()) left += " " + std::string(command.operands);
        text << left << std::string(left.size() < 32 ? 32 - left.size() : 1, ' ') << command.summary
             << '\n';
    }
    text << "\nRun 'lumaset COMMAND --help' for a command's options.\n"
            "Exit status: 0 on success, 1 when the job failed, 2 on a wrong command line.\n";
    return text.str();
}

// Matches the longest command name ("scene convert" before "scene") at the front of `words`.
const CommandInfo* findCommand(std::span<const std::string> words, std::size_t& wordCount) {
    const CommandInfo* best = nullptr;
    for (const CommandInfo& command : commandTable()) {
        std::istringstream parts{std::string(command.name)};
        std::string part;
        std::size_t matched = 0;
        bool matches = true;
        while (parts >> part) {
            if (matched >= words.size() || words[matched] != part) {
                matches = false;
                break;
            }
            ++matched;
        }
        if (matches && (!best || matched > wordCount)) {
            best = &command;
            wordCount = matched;
        }
    }
    return best;
}

// Help for a word that starts several commands ("lumaset scene").
std::string groupHelp(std::string_view group) {
    std::ostringstream text;
    text << "usage: lumaset " << group << " SUBCOMMAND [ARGS]\n\nSubcommands:\n";
    for (const CommandInfo& command : commandTable()) {
        if (!command.name.starts_with(std::string(group) + " ")) continue;
        std::string left = "  " + std::string(command.name.substr(group.size() + 1));
        if (!command.operands.empty()) left += " " + std::string(command.operands);
        text << left << std::string(left.size() < 32 ? 32 - left.size() : 1, ' ') << command.summary
             << '\n';
    }
    text << "\nRun 'lumaset " << group << " SUBCOMMAND --help' for its options.\n";
    return text.str();
}

bool isGroup(std::string_view word) {
    return std::any_of(commandTable().begin(), commandTable().end(), [&](const CommandInfo& c) {
        return c.name.starts_with(std::string(word) + " ");
    });
}

} // namespace

const std::vector<CommandInfo>& commandTable() {
    static const std::vector<CommandInfo> table = {
        {"plugins",
         "",
         "list the plug-in libraries and classes the program loads",
         "Scans the plug-ins folder for *.dle libraries, loads each as the host does and lists\n"
         "its description, version and classes (name, category, super class, class id and,\n"
         "for exporters and importers, file extensions). A library that cannot be loaded, or\n"
         "that was built for an incompatible host version, is listed with the reason.",
         {pluginsDirOption, helpOption},
         runPluginsCommand},
        {"scene info",
         "FILE",
         "print the host scene built from a glTF file",
         "Loads FILE (.gltf or .glb) into the host scene and prints what the host holds: the\n"
         "node tree with local transforms, meshes, materials, skins, the animation ranges and\n"
         "the key counts of every animated node, and ends with a counts line in xinspect's words.\n"
         "For an imported X file the two lines agree, but for one case: with several animation\n"
         "sets on the timeline, a node that any set moves needs keys at each set's first and\n"
         "last frame to keep it from blending into the neighbouring sets. A track without a key\n"
         "there gets one holding its value (its rest value in a set that does not move it),\n"
         "and those keys are counted here.",
         {demoOption, fpsOption, helpOption},
         runSceneInfoCommand},
        {"scene convert",
         "IN OUT",
         "load a glTF file into the host scene and write it back",
         "Loads IN (.gltf or .glb) into the host scene and writes the host scene to OUT. OUT is\n"
         "binary glTF when it ends in .glb; otherwise OUT is JSON with its buffer in a .bin\n"
         "file beside it. Each glTF animation becomes a named range of the host timeline and\n"
         "each range becomes one animation again.",
         {demoOption, fpsOption, helpOption},
         runSceneConvertCommand},
        {"export", "SCENE OUT.x", "export a scene to an X file through the plug-in",
         "Loads SCENE (.gltf or .glb, or --demo) into the host scene and runs the plug-in's X "
         "file\n"
         "exporter on it, as the host's Export command does. The exporter shows its options\n"
         "dialog; the program answers it as a user would: each option below sets its control,\n"
         "the others keep what the dialog shows (the choices of the last export, kept in\n"
         "Lumaset.xml), then OK. In quotes: the dialog control each option sets. A file that\n"
         "cannot be written is reported, and an existing file stays as it was.",
         exportOptions(), runExportCommand},
        {"import", "IN.x OUT", "import an X file through the plug-in and write it as glTF",
         "Runs the plug-in's X file importer on IN, as the host's Import command does, and writes\n"
         "the scene it builds to OUT: binary glTF with its PNG and JPEG textures inside when OUT\n"
         "ends in .glb, otherwise JSON with its buffer in a .bin file beside it. The importer\n"
         "shows its options dialog; the program answers it as a user would: each option below\n"
         "sets its control, the others keep what the dialog shows (the choices of the last\n"
         "import, kept in Lumaset.xml), then OK. In quotes: the dialog control each option sets.\n"
         "Each animation set of the file becomes one glTF animation of its name. A file that\n"
         "cannot be read is reported with the place and the reason, and nothing is written.",
         importOptions(), runImportCommand},
        {"animsets",
         "SCENE",
         "list and edit a scene's animation sets in the plug-in's utility",
         "Loads SCENE (.gltf or .glb; its animations become named frame ranges, the animation\n"
         "sets, laid one after another from frame 1, or where a file this program wrote says\n"
         "they were when they do not overlap), starts the plug-in's animation set\n"
         "utility and works its dialog as a user would, one step after another in the order\n"
         "given. Set names are matched ignoring letter case. Then it closes the utility and\n"
         "writes the scene, with one animation per set covering that set's frames, back to\n"
         "SCENE or to OUT; the file is replaced only once it is written whole. Without -o the\n"
         "scene is written only when a step changed it. The animation range (the time slider)\n"
         "is kept in the file and restored when it is loaded again.",
         {{"set", true, "NAME START END", "add the set NAME or change its frames (SET)", 3},
          {"delete", true, "NAME", "delete the set NAME (DELETE)"},
          {"slider", true, "START END", "set the animation range to these frames (SET SLIDER)", 2},
          {"all-slider", false, "", "set the animation range over every set (ALL SLIDER)"},
          {"list", false, "", "print the sets and the animation range as the dialog shows them"},
          {"show", true, "FILE.svg", "draw the dialog as it stands after the steps as SVG"},
          {"output", true, "OUT", "write the scene to OUT instead of SCENE", 1, 'o'},
          demoOption,
          fpsOption,
          pluginsDirOption,
          helpOption},
         runAnimsetsCommand},
    };
    return table;
}

std::string commandHelp(const CommandInfo& command) {
    std::ostringstream text;
    text << "usage: lumaset " << command.name << " [OPTIONS]";
    if (!command.operands.empty()) text << ' ' << command.operands;
    text << "\n\n" << command.description << "\n\nOptions:\n";
    // "--x" and "--no-x" share one line, "--[no-]x".
    std::vector<std::pair<std::string, std::string_view>> lines;
    std::size_t width = 22;
    for (const OptionSpec& option : command.options) {
        const std::string name(option.name);
        if (name.starts_with("no-") && declares(command.options, name.substr(3))) continue;
        std::string left = "  --" + name;
        if (declares(command.options, "no-" + name)) left = "  --[no-]" + name;
        if (option.name == "help")
            left = "  -h, --help";
        else if (option.shortName != 0)
            left = "  -" + std::string(1, option.shortName) + ", --" + std::string(option.name);
        if (option.takesValue) left += " " + std::string(option.valueName);
        width = std::max(width, std::min<std::size_t>(left.size() + 2, 36));
        lines.emplace_back(std::move(left), option.help);
    }
    for (const auto& [left, help] : lines)
        text << left << std::string(left.size() < width ? width - left.size() : 1, ' ') << help
             << '\n';
    return text.str();
}

int runProgram(std::span<const std::string> arguments, Console& console) {
    if (arguments.empty()) {
        console.err() << programHelp();
        return exitUsage;
    }
    const std::string& first = arguments[0];
    if (first == "--help" || first == "-h" || first == "help") {
        console.out() << programHelp();
        return exitSuccess;
    }
    if (first == "--version") {
        console.out() << "lumaset " << LUMASET_VERSION << '\n';
        return exitSuccess;
    }
    std::size_t nameWords = 0;
    const CommandInfo* command = findCommand(arguments, nameWords);
    if (!command) {
        if (isGroup(first)) {
            bool wantsHelp =
                arguments.size() > 1 && (arguments[1] == "--help" || arguments[1] == "-h");
            if (wantsHelp) {
                console.out() << groupHelp(first);
                return exitSuccess;
            }
            if (arguments.size() == 1)
                console.error("'" + first + "' needs a subcommand (see 'lumaset " + first +
                              " --help')");
            else
                console.error("unknown command '" + first + " " + arguments[1] +
                              "' (see 'lumaset " + first + " --help')");
            return exitUsage;
        }
        console.error("unknown command '" + first + "' (see 'lumaset --help')");
        return exitUsage;
    }
    ParsedArguments parsed;
    std::string error;
    if (!parseArguments(arguments.subspan(nameWords), command->options, parsed, error)) {
        console.error(error + " (see 'lumaset " + std::string(command->name) + " --help')");
        return exitUsage;
    }
    if (parsed.has("help")) {
        console.out() << commandHelp(*command);
        return exitSuccess;
    }
    return command->run(parsed, console);
}

} // namespace cli
