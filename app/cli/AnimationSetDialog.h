// The plug-in's animation set utility as the host program works it: started from the host's
// utilities panel, its "Animation set" dialog played as a user would play it (typing into the
// edits, clicking the buttons, the close box), each step's messages run through the host's
// message loop before the next step begins.
#pragma once

#include <plugin.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace headless {
class UserPlayer;
}

namespace cli {

class AnimationSetDialog {
public:
    // One row of the dialog's list, as its cells show it.
    struct Row {
        std::string name, start, end;
    };

    AnimationSetDialog() = default;
    // Ends the utility if it is still open.
    ~AnimationSetDialog();
    AnimationSetDialog(const AnimationSetDialog&) = delete;
    AnimationSetDialog& operator=(const AnimationSetDialog&) = delete;

    // Creates the utility from its class descriptor and starts it from the utilities panel.
    // False with `error` when the utility shows no "Animation set" dialog.
    [[nodiscard]] bool open(ClassDesc* utilityClass, std::string& error);

    std::vector<Row> rows() const;
    // The row whose name equals `name` ignoring letter case, as the dialog searches; -1 if none.
    int findRow(const std::string& name) const;

    // The dialog's buttons, after typing into the edits they read. Each returns false, with
    // `error`, when a control could not be worked.
    [[nodiscard]] bool set(const std::string& name, int startFrame, int endFrame,
                           std::string& error);
    [[nodiscard]] bool remove(const std::string& name, std::string& error);
    [[nodiscard]] bool slider(int startFrame, int endFrame, std::string& error);
    [[nodiscard]] bool allSlider(std::string& error);

    // Draws the dialog as an SVG picture; false when the file cannot be written.
    [[nodiscard]] bool writePicture(const std::string& file) const;

    // Clicks the close box. False with `error` when the host did not end the utility (it is
    // then ended through the panel).
    [[nodiscard]] bool close(std::string& error);

private:
    // Plays the actions `script` adds to a user player in the dialog, then runs the host's
    // message loop until every message they caused is handled.
    [[nodiscard]] bool play(const std::function<void(headless::UserPlayer&)>& script,
                            std::string& error);
    std::string cellText(int row, int column) const;

    HWND dialog = nullptr;
    bool isOpen = false;
};

} // namespace cli
