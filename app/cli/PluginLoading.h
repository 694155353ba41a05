// What the commands that run the plug-in share: loading the plug-ins folder with its refusals
// reported, and pointing the host's plug-in configuration folder at --config.
#pragma once

#include "cli/Arguments.h"
#include "cli/Console.h"
#include "plugins/PluginRegistry.h"

#include <string>

namespace cli {

// Loads the plug-ins of --plugins-dir (or the default folder) into `registry`, warning for each
// library it refused. False after reporting the error when the folder cannot be read.
bool loadPlugins(const ParsedArguments& arguments, plugins::PluginRegistry& registry,
                 std::string& folder, Console& console);

// Makes --config DIR, when given, the folder Lumaset.xml is read from and saved to. Returns
// exitSuccess, or exitUsage after reporting a folder that does not exist (`hint` ends the line).
int applyConfigFolder(const ParsedArguments& arguments, const std::string& hint, Console& console);

} // namespace cli
