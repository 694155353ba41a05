#include "cli/DialogAnswers.h"

#include <charconv>
#include <cmath>
#include <deque>

namespace cli {
namespace {

// Help texts built from the tables; a deque never moves what it holds, so the views stay valid.
std::deque<std::string>& helpTexts() {
    static std::deque<std::string> texts;
    return texts;
}

std::string_view keep(std::string text) {
    return helpTexts().emplace_back(std::move(text));
}

std::string quotedLabel(const DialogControl& control) {
    return "\"" + std::string(control.label) + "\"";
}

std::string trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return std::string(text);
}

// Three finite numbers separated by commas, each kept as the user wrote it.
bool splitTriple(std::string_view text, std::vector<std::string>& parts) {
    parts.clear();
    while (true) {
        const std::size_t comma = text.find(',');
        parts.push_back(trimmed(text.substr(0, comma)));
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    if (parts.size() != 3) return false;
    for (const std::string& part : parts) {
        float value = 0.0f;
        auto [end, status] = std::from_chars(part.data(), part.data() + part.size(), value);
        if (part.empty() || status != std::errc() || end != part.data() + part.size() ||
            !std::isfinite(value))
            return false;
    }
    return true;
}

std::string controlText(HWND dialog, int id) {
    char text[128] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

bool isChecked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) != 0;
}

DialogWatch* activeWatch = nullptr;

} // namespace

std::vector<OptionSpec> dialogOptionSpecs(std::span<const DialogControl> table) {
    std::vector<OptionSpec> specs;
    for (const DialogControl& control : table) {
        const std::string label = quotedLabel(control);
        switch (control.kind) {
        case ControlKind::checkBox:
            specs.push_back(
                {control.flag, false, "", keep(std::string(control.help) + " (" + label + ")")});
            if (!control.offFlag.empty())
                specs.push_back({control.offFlag, false, "", keep("clears " + label)});
            break;
        case ControlKind::radioButtons:
            specs.push_back({control.flag, true, control.valueName,
                             keep(std::string(control.help) + " (" + label + ")")});
            break;
        case ControlKind::numberTriple:
            specs.push_back({control.flag, true, control.valueName,
                             keep(std::string(control.help) + " (" + label + ")")});
            break;
        case ControlKind::checkedNumber:
            specs.push_back({control.flag, true, control.valueName,
                             keep(std::string(control.help) + " (" + label + " and its edit)")});
            if (!control.offFlag.empty())
                specs.push_back({control.offFlag, false, "",
                                 keep(std::string(control.offHelp) + " (clears " + label + ")")});
            break;
        }
    }
    return specs;
}

bool scriptAnswers(std::span<const DialogControl> table, const ParsedArguments& arguments,
                   headless::UserPlayer& player, std::string& error, bool pressOk) {
    for (const DialogControl& control : table) {
        const bool on = arguments.has(control.flag);
        const bool off = !control.offFlag.empty() && arguments.has(control.offFlag);
        if (on && off) {
            error = "--" + std::string(control.flag) + " and --" + std::string(control.offFlag) +
                    " contradict each other";
            return false;
        }
        const std::string value = arguments.valueOr(control.flag, "");
        const std::string flag = "--" + std::string(control.flag);
        switch (control.kind) {
        case ControlKind::checkBox:
            if (on || off) player.check(control.controlIds[0], on);
            break;
        case ControlKind::radioButtons: {
            if (!on) break;
            std::size_t choice = 0;
            while (choice < control.choices.size() && control.choices[choice] != value)
                ++choice;
            if (choice == control.choices.size()) {
                error = flag + " " + value + ": expected " + std::string(control.valueName);
                return false;
            }
            player.click(control.controlIds[choice]);
            break;
        }
        case ControlKind::numberTriple: {
            if (!on) break;
            std::vector<std::string> parts;
            if (!splitTriple(value, parts)) {
                error = flag + " " + value + ": expected three numbers, " +
                        std::string(control.valueName);
                return false;
            }
            for (int axis = 0; axis < 3; ++axis)
                player.type(control.controlIds[std::size_t(axis)], parts[std::size_t(axis)]);
            break;
        }
        case ControlKind::checkedNumber:
            if (off) player.check(control.controlIds[0], false);
            if (!on) break;
            int number = 0;
            if (!parseInteger(value, control.minimum, control.maximum, number)) {
                error = flag + " " + value + ": expected a whole number from " +
                        std::to_string(control.minimum) + " to " + std::to_string(control.maximum);
                return false;
            }
            player.check(control.controlIds[0], true);
            player.type(control.controlIds[1], std::to_string(number));
            break;
        }
    }
    if (pressOk)
        player.click(IDOK);
    else
        player.click(IDCANCEL);
    return true;
}

std::vector<std::string> describeControls(std::span<const DialogControl> table, HWND dialog) {
    std::vector<std::string> lines;
    for (const DialogControl& control : table) {
        std::string line = std::string(control.label) + ": ";
        switch (control.kind) {
        case ControlKind::checkBox:
            line += isChecked(dialog, control.controlIds[0]) ? "on" : "off";
            break;
        case ControlKind::radioButtons: {
            std::string checked = "none";
            for (int id : control.controlIds)
                if (isChecked(dialog, id)) {
                    char text[128] = {};
                    GetWindowTextA(GetDlgItem(dialog, id), text, sizeof text);
                    checked = text;
                    break;
                }
            line += checked;
            break;
        }
        case ControlKind::numberTriple:
            for (int axis = 0; axis < 3; ++axis)
                line +=
                    (axis ? ", " : "") + controlText(dialog, control.controlIds[std::size_t(axis)]);
            break;
        case ControlKind::checkedNumber:
            line += std::string(isChecked(dialog, control.controlIds[0]) ? "on" : "off") + ", " +
                    controlText(dialog, control.controlIds[1]);
            break;
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

DialogWatch::DialogWatch(std::string title, std::span<const DialogControl> table)
    : title_(std::move(title)), table_(table) {
    activeWatch = this;
    hook_ = SetWindowsHookExA(WH_CBT, hookProcedure, nullptr, GetCurrentThreadId());
}

DialogWatch::~DialogWatch() {
    UnhookWindowsHookEx(hook_);
    activeWatch = nullptr;
}

LRESULT CALLBACK DialogWatch::hookProcedure(int code, WPARAM wParam, LPARAM lParam) {
    DialogWatch* self = activeWatch;
    if (self && code == HCBT_DESTROYWND) {
        HWND window = reinterpret_cast<HWND>(wParam);
        char className[16] = {};
        char title[256] = {};
        GetClassNameA(window, className, sizeof className);
        GetWindowTextA(window, title, sizeof title);
        if (std::string_view(className) == "#32770" &&
            (self->title_.empty() || title == self->title_)) {
            self->seen_ = true;
            self->lastState_ = describeControls(self->table_, window);
        }
    }
    return CallNextHookEx(self ? self->hook_ : nullptr, code, wParam, lParam);
}

} // namespace cli
