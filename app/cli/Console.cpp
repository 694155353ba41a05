#include "cli/Console.h"

namespace cli {

void Console::error(std::string_view line) {
    err_ << "lumaset: " << line << '\n' << std::flush;
}

void Console::warning(std::string_view line) {
    err_ << "lumaset: warning: " << line << '\n' << std::flush;
}

} // namespace cli
