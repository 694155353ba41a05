// Runs the lumaset program in-process on a command line and keeps what it printed.
#pragma once

#include "cli/Commands.h"
#include "cli/Console.h"

#include <sstream>
#include <string>
#include <vector>

namespace apptest {

struct ProgramRun {
    int status;
    std::string out, err;
};

inline ProgramRun runLumaset(std::vector<std::string> words) {
    std::ostringstream out, err;
    cli::Console console(out, err);
    int status = cli::runProgram(words, console);
    return {status, out.str(), err.str()};
}

} // namespace apptest
