#include "headless/UserPlayer.h"

#include "commctrl.h"

#include <strings.h>

namespace headless {
namespace {

UserPlayer* activePlayer = nullptr;

std::string titleOf(HWND window) {
    char text[256];
    GetWindowTextA(window, text, sizeof text);
    return text;
}

bool isDialog(HWND window) {
    char className[16];
    return GetClassNameA(window, className, sizeof className) &&
           strcasecmp(className, "#32770") == 0;
}

LPARAM middleOf(HWND control) {
    RECT client{};
    GetClientRect(control, &client);
    return MAKELPARAM(client.right / 2, client.bottom / 2);
}

void postClick(HWND control, LPARAM point, WPARAM keys = 0) {
    PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON | keys, point);
    PostMessageA(control, WM_LBUTTONUP, keys, point);
}

} // namespace

UserPlayer::UserPlayer() : previous_(activePlayer) {
    activePlayer = this;
    hook_ = SetWindowsHookExA(WH_CBT, hookProcedure, nullptr, GetCurrentThreadId());
}

UserPlayer::~UserPlayer() {
    UnhookWindowsHookEx(hook_);
    activePlayer = previous_;
}

LRESULT CALLBACK UserPlayer::hookProcedure(int code, WPARAM wParam, LPARAM lParam) {
    // Every player's hook runs this procedure, newest first along the hook chain; the chain of
    // players tells which one a call is for. Only the newest player answers.
    static UserPlayer* nextInChain = nullptr;
    UserPlayer* self = nextInChain ? nextInChain : activePlayer;
    if (!self) return 0;
    if (self == activePlayer && code == HCBT_ACTIVATE) {
        HWND window = reinterpret_cast<HWND>(wParam);
        if (isDialog(window)) self->dialogActivated(window);
    }
    UserPlayer* saved = nextInChain;
    nextInChain = self->previous_;
    LRESULT result = CallNextHookEx(self->hook_, code, wParam, lParam);
    nextInChain = saved;
    return result;
}

UserPlayer::Script& UserPlayer::current() {
    if (scripts_.empty()) scripts_.emplace_back();
    return scripts_.back();
}

UserPlayer& UserPlayer::at(const std::string& title) {
    scripts_.push_back(Script{title, {}});
    return *this;
}

UserPlayer& UserPlayer::click(int controlId) {
    current().actions.push_back(Action{Kind::click, controlId, 0, false, {}});
    return *this;
}

UserPlayer& UserPlayer::check(int controlId, bool checked) {
    current().actions.push_back(Action{Kind::check, controlId, 0, checked, {}});
    return *this;
}

UserPlayer& UserPlayer::type(int controlId, const std::string& text) {
    current().actions.push_back(Action{Kind::type, controlId, 0, false, text});
    return *this;
}

UserPlayer& UserPlayer::focus(int controlId) {
    current().actions.push_back(Action{Kind::focus, controlId, 0, false, {}});
    return *this;
}

UserPlayer& UserPlayer::selectRow(int listId, int row, bool addToSelection) {
    current().actions.push_back(Action{Kind::selectRow, listId, row, addToSelection, {}});
    return *this;
}

UserPlayer& UserPlayer::closeBox() {
    current().actions.push_back(Action{Kind::closeBox, 0, 0, false, {}});
    return *this;
}

void UserPlayer::dialogActivated(HWND dialog) {
    std::string title = titleOf(dialog);
    seen_.push_back(title);
    for (auto script = scripts_.begin(); script != scripts_.end(); ++script) {
        if (!script->title.empty() && script->title != title) continue;
        Script chosen = std::move(*script);
        scripts_.erase(script);
        for (const Action& action : chosen.actions)
            perform(dialog, title, action);
        return;
    }
    if (unscripted_ == Unscripted::closeBox)
        perform(dialog, title, Action{Kind::closeBox, 0, 0, false, {}});
}

void UserPlayer::playNow(HWND dialog) {
    if (scripts_.empty()) return;
    Script chosen = std::move(scripts_.front());
    scripts_.pop_front();
    std::string title = titleOf(dialog);
    for (const Action& action : chosen.actions)
        perform(dialog, title, action);
}

void UserPlayer::perform(HWND dialog, const std::string& title, const Action& action) {
    if (action.kind == Kind::closeBox) {
        PostMessageA(dialog, WM_NCLBUTTONDOWN, HTCLOSE, 0);
        PostMessageA(dialog, WM_NCLBUTTONUP, HTCLOSE, 0);
        return;
    }
    HWND control = GetDlgItem(dialog, action.controlId);
    if (!control) {
        failures_.push_back("no control " + std::to_string(action.controlId) + " in \"" + title +
                            "\"");
        return;
    }
    switch (action.kind) {
    case Kind::click:
    case Kind::focus:
        postClick(control, middleOf(control));
        break;
    case Kind::check: {
        bool isChecked = SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
        if (isChecked != action.flag) postClick(control, middleOf(control));
        break;
    }
    case Kind::type: {
        LPARAM point = middleOf(control);
        postClick(control, point);
        PostMessageA(control, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
        PostMessageA(control, WM_LBUTTONUP, 0, point);
        for (char character : action.text)
            PostMessageA(control, WM_CHAR,
                         static_cast<WPARAM>(static_cast<unsigned char>(character)), 1);
        break;
    }
    case Kind::selectRow: {
        RECT row{LVIR_BOUNDS, 0, 0, 0};
        if (!SendMessageA(control, LVM_GETITEMRECT, static_cast<WPARAM>(action.row),
                          reinterpret_cast<LPARAM>(&row))) {
            failures_.push_back("no row " + std::to_string(action.row) + " in list " +
                                std::to_string(action.controlId) + " of \"" + title + "\"");
            return;
        }
        postClick(control, MAKELPARAM(row.left + 4, (row.top + row.bottom) / 2),
                  action.flag ? MK_CONTROL : 0);
        break;
    }
    case Kind::closeBox:
        break;
    }
}

} // namespace headless
