// Turns the tokens of a resource script into resource data in the layouts Windows uses:
// dialogs (DIALOG and DIALOGEX statements, written in the extended template layout) and version
// information (VERSIONINFO). Resource names must be numbers or names #defined as numbers.
#pragma once

#include "RcLexer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace rc {

struct Resource {
    std::uint16_t typeId = 0;
    std::uint16_t nameId = 0;
    std::vector<std::uint8_t> data;
    std::string comment; // what the resource is, for the generated source
};

bool compile(const Preprocessed& script, std::vector<Resource>& resources, std::string& error);

// C++ source that defines the resource table the platform looks for in a module.
std::string tableSource(const std::vector<Resource>& resources, const std::string& scriptName);

} // namespace rc
