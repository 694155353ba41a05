// The host's progress display (ProgressStart, ProgressUpdate, ProgressEnd) drawn as a one-line
// progress bar with its title on standard error when that is a terminal. The host core runs the
// plug-in's progress callback at every update, as the host's message pump does while the display
// is up; this class only draws.
#pragma once

#include <ostream>
#include <string>

namespace progress {

// Draws the host's progress display on `terminal` while it lives; with `enabled` false it stays
// quiet (standard error is a file or a pipe). Only one may live at a time.
class TerminalProgress {
public:
    TerminalProgress(std::ostream& terminal, bool enabled);
    ~TerminalProgress();
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    // The line drawn for a title and percentage, with `width` characters of bar.
    static std::string barLine(const std::string& title, int percent, bool showBar, int width = 30);

private:
    bool enabled_;
};

} // namespace progress
