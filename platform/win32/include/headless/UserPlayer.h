// Plays a user at the dialogs of the headless window system. The player watches for dialogs
// being activated with a computer-based-training hook, as Windows automation does, and answers
// each with the script written for it: the mouse clicks and key presses a user would make,
// queued as the input messages they produce. The dialog's own code (a modal loop, the dialog
// manager, the controls) then runs exactly as it would for a person.
//
// Decisions that depend on what the dialog shows (whether a box needs a click to reach a
// state, where a list row is) are taken when the dialog appears, from the dialog's state then.
#pragma once

#include "../winuser.h"

#include <deque>
#include <string>
#include <vector>

namespace headless {

class UserPlayer {
public:
    // What the player does with a dialog that no script is waiting for.
    enum class Unscripted { closeBox, leave };

    // Starts watching. Players nest: the newest one answers.
    UserPlayer();
    ~UserPlayer();
    UserPlayer(const UserPlayer&) = delete;
    UserPlayer& operator=(const UserPlayer&) = delete;

    // Begins the script for the next dialog whose title is `title` (empty: the next dialog of
    // any title). The action calls that follow add to it, in order.
    UserPlayer& at(const std::string& title = std::string());
    // Clicks a button, check box or radio button in the middle.
    UserPlayer& click(int controlId);
    // Clicks a check box only when it is not already in the wanted state.
    UserPlayer& check(int controlId, bool checked);
    // Clicks into an edit, double-clicks to select its text, and types `text` over it.
    UserPlayer& type(int controlId, const std::string& text);
    // Clicks into a control, moving the focus to it.
    UserPlayer& focus(int controlId);
    // Clicks a row of a list view (selecting it alone); with `addToSelection` the click holds
    // the control key.
    UserPlayer& selectRow(int listId, int row, bool addToSelection = false);
    // Clicks the close box of the dialog's caption.
    UserPlayer& closeBox();

    void setUnscripted(Unscripted policy) { unscripted_ = policy; }

    // Queues the actions of the current script for `dialog` at once, without waiting for it to
    // be activated (for a modeless dialog already on screen).
    void playNow(HWND dialog);

    // Titles of the dialogs the player saw activated, in order.
    const std::vector<std::string>& dialogsSeen() const { return seen_; }
    // Actions that could not be done, one line each ("no control 1099 in \"Title\"").
    const std::vector<std::string>& failures() const { return failures_; }
    // Scripts still waiting for their dialog.
    std::size_t pendingScripts() const { return scripts_.size(); }

private:
    enum class Kind { click, check, type, focus, selectRow, closeBox };
    struct Action {
        Kind kind;
        int controlId = 0;
        int row = 0;
        bool flag = false;
        std::string text;
    };
    struct Script {
        std::string title;
        std::vector<Action> actions;
    };

    static LRESULT CALLBACK hookProcedure(int code, WPARAM wParam, LPARAM lParam);
    void dialogActivated(HWND dialog);
    void perform(HWND dialog, const std::string& title, const Action& action);
    Script& current();

    HHOOK hook_ = nullptr;
    UserPlayer* previous_ = nullptr;
    std::deque<Script> scripts_;
    std::vector<std::string> seen_;
    std::vector<std::string> failures_;
    Unscripted unscripted_ = Unscripted::closeBox;
};

} // namespace headless
