#include "progress/TerminalProgress.h"

#include <hostcore.h>

#include <algorithm>

namespace progress {

std::string TerminalProgress::barLine(const std::string& title, int percent, bool showBar,
                                      int width) {
    percent = std::clamp(percent, 0, 100);
    std::string line = title;
    if (showBar) {
        const int filled = percent * width / 100;
        line += " [" + std::string(std::size_t(filled), '#') +
                std::string(std::size_t(width - filled), '.') + "] " + std::to_string(percent) +
                "%";
    }
    return line;
}

TerminalProgress::TerminalProgress(std::ostream& terminal, bool enabled) : enabled_(enabled) {
    if (!enabled_) return;
    hostcore::setProgressObserver(
        [&terminal, wasShown = false](const hostcore::ProgressView& view) mutable {
            if (view.shown) {
                // Back to the start of the line, the bar, then clear what a longer line left.
                terminal << '\r' << barLine(view.title, view.percent, view.showBar) << "\x1b[K"
                         << std::flush;
                wasShown = true;
            } else if (wasShown) {
                terminal << "\r\x1b[K" << std::flush;
                wasShown = false;
            }
        });
}

TerminalProgress::~TerminalProgress() {
    if (enabled_) hostcore::setProgressObserver(nullptr);
}

} // namespace progress
