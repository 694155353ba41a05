// lumaset plugins: what the host would load from its plug-ins folder.
#include "cli/Commands.h"
#include "cli/PluginLoading.h"

#include "plugins/PluginRegistry.h"

#include <cstdio>
#include <filesystem>

namespace cli {
namespace {

std::string hex(ULONG value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", unsigned(value));
    return text;
}

void printLibrary(const plugins::PluginLibrary& library, std::ostream& out) {
    out << std::filesystem::path(library.path).filename().string() << "  (" << library.path << ")\n"
        << "  description: " << library.description << '\n'
        << "  version: " << hex(library.version) << " (release " << GET_MAX_RELEASE(library.version)
        << ", API " << GET_MAX_API_NUM(library.version) << ", SDK revision "
        << GET_MAX_SDK_REV(library.version) << ")\n"
        << "  classes: " << library.classes.size() << '\n';
    for (const plugins::PluginClass& entry : library.classes) {
        out << "    " << entry.name << '\n'
            << "      category: " << entry.category << '\n'
            << "      super class: " << plugins::superClassName(entry.superClassId) << " ("
            << hex(entry.superClassId) << ")\n"
            << "      class id: " << hex(entry.classId.PartA()) << ' ' << hex(entry.classId.PartB())
            << '\n'
            << "      public: " << (entry.isPublic ? "yes" : "no") << '\n';
        if (!entry.extensions.empty()) {
            out << "      extensions:";
            for (const std::string& extension : entry.extensions)
                out << ' ' << extension;
            out << '\n';
        }
    }
}

} // namespace

int runPluginsCommand(const ParsedArguments& arguments, Console& console) {
    if (!arguments.positionals.empty()) {
        console.error("'plugins' takes no file (see 'lumaset plugins --help')");
        return exitUsage;
    }
    std::string folder;
    plugins::PluginRegistry registry;
    if (!loadPlugins(arguments, registry, folder, console)) return exitFailure;
    if (registry.libraries().empty()) {
        console.out() << "no plug-in libraries in " << folder << '\n';
        return exitSuccess;
    }
    for (std::size_t i = 0; i < registry.libraries().size(); ++i) {
        if (i > 0) console.out() << '\n';
        printLibrary(registry.libraries()[i], console.out());
    }
    return exitSuccess;
}

} // namespace cli
