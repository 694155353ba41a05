// The host's progress display as a terminal progress bar.
#include "progress/TerminalProgress.h"

#include <maxapi.h>

#include <gtest/gtest.h>

#include <sstream>

namespace {

using progress::TerminalProgress;

TEST(TerminalProgress, DrawsTheTitleAndABarOfTheDoneShare) {
    EXPECT_EQ(TerminalProgress::barLine("Loading", 50, true, 10), "Loading [#####.....] 50%");
    EXPECT_EQ(TerminalProgress::barLine("Loading", 0, true, 4), "Loading [....] 0%");
    EXPECT_EQ(TerminalProgress::barLine("Loading", 250, true, 4), "Loading [####] 100%");
    EXPECT_EQ(TerminalProgress::barLine("Waiting", 50, false, 10), "Waiting");
}

DWORD WINAPI countCalls(LPVOID calls) {
    ++*static_cast<int*>(calls);
    return 0;
}

TEST(TerminalProgress, FollowsTheHostsDisplayOnATerminalAndStaysQuietOtherwise) {
    Interface* core = GetCOREInterface();
    std::string title = "Exporting";
    int calls = 0;
    {
        std::ostringstream terminal;
        TerminalProgress bar(terminal, true);
        core->ProgressStart(title.data(), TRUE, countCalls, &calls);
        core->ProgressUpdate(40);
        core->ProgressEnd();
        const std::string drawn = terminal.str();
        EXPECT_NE(drawn.find("\rExporting [............"), std::string::npos) << drawn;
        EXPECT_NE(drawn.find("] 40%"), std::string::npos) << drawn;
        EXPECT_TRUE(drawn.ends_with("\r\x1b[K")) << drawn; // the line is cleared at the end
        EXPECT_EQ(calls, 1); // the host runs the plug-in's callback once, at the start
    }
    std::ostringstream file;
    {
        TerminalProgress quiet(file, false);
        core->ProgressStart(title.data(), TRUE, nullptr, nullptr);
        core->ProgressUpdate(40);
        core->ProgressEnd();
    }
    EXPECT_TRUE(file.str().empty());
}

} // namespace
