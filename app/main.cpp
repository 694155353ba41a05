// lumaset: the command-line host of the Lumaset plug-in.
#include "cli/Commands.h"
#include "cli/HugePageHeap.h"

#include <iostream>
#include <string>
#include <vector>

#include <unistd.h>

int main(int argc, char** argv) {
    cli::restartWithHugePageHeap(argv);
    std::vector<std::string> arguments(argv + 1, argv + argc);
    cli::Console console(std::cout, std::cerr, isatty(STDERR_FILENO) == 1);
    int status = cli::runProgram(arguments, console);
    std::cout.flush();
    return std::cout.fail() ? cli::exitFailure : status;
}
