#include "cli/PluginLoading.h"

#include "cli/Commands.h"

#include <hostcore.h>
#include <maxapi.h>

#include <filesystem>

namespace cli {

bool loadPlugins(const ParsedArguments& arguments, plugins::PluginRegistry& registry,
                 std::string& folder, Console& console) {
    folder = plugins::pluginsFolder(arguments.valueOr("plugins-dir", ""));
    std::string error;
    if (!registry.loadFolder(folder, error)) {
        console.error(error);
        return false;
    }
    for (const plugins::RefusedPlugin& refused : registry.refused())
        console.warning(refused.path + ": " + refused.reason);
    return true;
}

int applyConfigFolder(const ParsedArguments& arguments, const std::string& hint, Console& console) {
    if (!arguments.has("config")) return exitSuccess;
    const std::string folder = arguments.valueOr("config", "");
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        console.error("--config " + folder + ": no such folder" + hint);
        return exitUsage;
    }
    hostcore::setDir(APP_PLUGCFG_DIR, std::filesystem::absolute(folder, error).string());
    return exitSuccess;
}

} // namespace cli
