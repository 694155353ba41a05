#include "cli/AnimationSetDialog.h"

#include <commctrl.h>
#include <headless/SvgRenderer.h>
#include <headless/UserPlayer.h>
#include <hostcore.h>
#include <maxapi.h>
#include <utilapi.h>

#include <strings.h>

namespace cli {
namespace {

// The controls of the utility's dialog template, as a user knows them by place and label.
constexpr int kNameEdit = 1013;
constexpr int kStartEdit = 1014;
constexpr int kEndEdit = 1015;
constexpr int kSetButton = 1016;
constexpr int kDeleteButton = 1018;
constexpr int kSetList = 1019;
constexpr int kSetSliderButton = 1020;
constexpr int kAllSliderButton = 1021;

const char kDialogTitle[] = "Animation set";

// The host's message loop, run until nothing is waiting.
void runWaitingMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

std::string windowTitle(HWND window) {
    char text[128] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

} // namespace

AnimationSetDialog::~AnimationSetDialog() {
    if (isOpen) hostcore::closeUtility();
    runWaitingMessages();
}

bool AnimationSetDialog::open(ClassDesc* utilityClass, std::string& error) {
    // The host casts what Create makes to the base its super class names.
    auto* utility = static_cast<UtilityObj*>(utilityClass->Create(FALSE));
    if (!utility) {
        error = "the animation set utility could not be created";
        return false;
    }
    hostcore::openUtility(utility);
    isOpen = true;
    runWaitingMessages();
    // The utility shows its dialog modeless, so it is the window the user now sees active.
    dialog = GetActiveWindow();
    if (!dialog || windowTitle(dialog) != kDialogTitle || !GetDlgItem(dialog, kSetList)) {
        error = "the animation set utility showed no \"Animation set\" dialog";
        return false;
    }
    return true;
}

std::string AnimationSetDialog::cellText(int row, int column) const {
    HWND list = GetDlgItem(dialog, kSetList);
    std::vector<char> text(256);
    for (;;) {
        LVITEMA cell{};
        cell.iSubItem = column;
        cell.pszText = text.data();
        cell.cchTextMax = int(text.size());
        text[0] = '\0';
        const LRESULT copied = SendMessageA(list, LVM_GETITEMTEXTA, WPARAM(row), LPARAM(&cell));
        if (copied < LRESULT(text.size()) - 1) return text.data();
        text.resize(text.size() * 2);
    }
}

std::vector<AnimationSetDialog::Row> AnimationSetDialog::rows() const {
    std::vector<Row> result;
    const int count = int(SendDlgItemMessageA(dialog, kSetList, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row)
        result.push_back({cellText(row, 0), cellText(row, 1), cellText(row, 2)});
    return result;
}

int AnimationSetDialog::findRow(const std::string& name) const {
    const std::vector<Row> shown = rows();
    for (std::size_t row = 0; row < shown.size(); ++row)
        if (strcasecmp(shown[row].name.c_str(), name.c_str()) == 0) return int(row);
    return -1;
}

bool AnimationSetDialog::play(const std::function<void(headless::UserPlayer&)>& script,
                              std::string& error) {
    headless::UserPlayer player;
    player.setUnscripted(headless::UserPlayer::Unscripted::leave);
    script(player.at(kDialogTitle));
    player.playNow(dialog);
    runWaitingMessages();
    if (!player.failures().empty()) {
        error = player.failures().front();
        return false;
    }
    return true;
}

bool AnimationSetDialog::set(const std::string& name, int startFrame, int endFrame,
                             std::string& error) {
    return play(
        [&](headless::UserPlayer& user) {
            user.type(kNameEdit, name)
                .type(kStartEdit, std::to_string(startFrame))
                .type(kEndEdit, std::to_string(endFrame))
                .click(kSetButton);
        },
        error);
}

bool AnimationSetDialog::remove(const std::string& name, std::string& error) {
    return play(
        [&](headless::UserPlayer& user) { user.type(kNameEdit, name).click(kDeleteButton); },
        error);
}

bool AnimationSetDialog::slider(int startFrame, int endFrame, std::string& error) {
    return play(
        [&](headless::UserPlayer& user) {
            user.type(kStartEdit, std::to_string(startFrame))
                .type(kEndEdit, std::to_string(endFrame))
                .click(kSetSliderButton);
        },
        error);
}

bool AnimationSetDialog::allSlider(std::string& error) {
    return play([](headless::UserPlayer& user) { user.click(kAllSliderButton); }, error);
}

bool AnimationSetDialog::writePicture(const std::string& file) const {
    return headless::writeSvg(dialog, file);
}

bool AnimationSetDialog::close(std::string& error) {
    if (!play([](headless::UserPlayer& user) { user.closeBox(); }, error)) return false;
    if (hostcore::openUtilityObject() != nullptr) {
        error = "the animation set utility did not close from its close box";
        return false;
    }
    isOpen = false;
    return true;
}

} // namespace cli
