// Runs a whole command in a child process, as a user would from a shell, and measures it.
#pragma once

#include <string>
#include <vector>

struct Measured {
    bool ran = false; // false when the child could not be started or waited for
    int status = -1;  // the exit status, or 128 + the signal that ended it
    double wallSeconds = 0, cpuSeconds = 0, peakMegabytes = 0;
};

// Runs `arguments` (the program first, looked up on PATH) with its standard output and error in
// the file `log`; CPU time is user plus system time of the child.
Measured measure(const std::vector<std::string>& arguments, const std::string& log);

// Whether `program` is an executable file in one of the PATH folders (a peer that may be absent).
bool onPath(const std::string& program);
