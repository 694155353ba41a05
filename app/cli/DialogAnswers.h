// Answering a plug-in's option dialog from the command line, the way a user would: each flag
// given becomes clicks and typing on its control, controls without a flag keep what the dialog
// shows (the plug-in's saved settings), then OK. A table per dialog says which flag sets which
// control; the export and import commands each have one.
#pragma once

#include "cli/Arguments.h"

#include <windows.h>

#include <headless/UserPlayer.h>

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

enum class ControlKind {
    checkBox,      // "--flag" checks it, "--offFlag" clears it
    radioButtons,  // "--flag CHOICE" clicks the button of that choice
    numberTriple,  // "--flag X,Y,Z" types one number into each of three edits
    checkedNumber, // "--flag N" checks the box and types N into the edit; "--offFlag" clears it
};

struct DialogControl {
    std::string_view flag = {};    // without the dashes
    std::string_view offFlag = {}; // the flag that clears a box ("no-normals"); may be empty
    std::string_view label = {};   // the control's label in the dialog ("Normal")
    ControlKind kind = ControlKind::checkBox;
    std::vector<int> controlIds = {}; // box; buttons in choice order; three edits; box then edit
    std::vector<std::string_view> choices = {}; // radio buttons: the values, in button order
    std::string_view valueName = {};            // "X,Y,Z", "FPS"
    std::string help = {};                      // what the control means, without the label
    int minimum = 0;                            // checkedNumber: the accepted whole numbers
    int maximum = 0;
    std::string_view offHelp = {}; // for an off flag that is not "no-" and the flag
};

// The options the table adds to a command: the flags, their "off" twins and their values, each
// help line naming the dialog label it sets. The texts live as long as the program.
std::vector<OptionSpec> dialogOptionSpecs(std::span<const DialogControl> table);

// Turns the flags present in `arguments` into actions of `player`'s current script, then a click
// on OK. A bad value or contradicting flags ("--uv --no-uv") give false and a one-line `error`.
[[nodiscard]] bool scriptAnswers(std::span<const DialogControl> table,
                                 const ParsedArguments& arguments, headless::UserPlayer& player,
                                 std::string& error, bool pressOk = true);

// What `dialog` shows for each control of the table, one "label: value" line each, in table order
// ("Format: Binary", "Normal: on", "Scale: 1, 1, 2", "Sampling: off, 30 FPS").
std::vector<std::string> describeControls(std::span<const DialogControl> table, HWND dialog);

// Reads the controls of the dialog titled `title` (empty: of any dialog) just before the dialog
// is destroyed, whether it ended with OK or cancel. One watch at a time; it stops watching when it
// is destroyed.
class DialogWatch {
public:
    DialogWatch(std::string title, std::span<const DialogControl> table);
    ~DialogWatch();
    DialogWatch(const DialogWatch&) = delete;
    DialogWatch& operator=(const DialogWatch&) = delete;

    bool sawDialog() const { return seen_; }
    // describeControls of the dialog as it was last destroyed.
    const std::vector<std::string>& lastState() const { return lastState_; }

private:
    static LRESULT CALLBACK hookProcedure(int code, WPARAM wParam, LPARAM lParam);

    std::string title_;
    std::span<const DialogControl> table_;
    HHOOK hook_ = nullptr;
    bool seen_ = false;
    std::vector<std::string> lastState_;
};

} // namespace cli
