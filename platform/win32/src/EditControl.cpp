// The "Edit" class, single line: text with a selection, typed characters replacing the
// selection, focus changes reported to the parent (EN_SETFOCUS, EN_KILLFOCUS) and every change
// of the text (EN_UPDATE, EN_CHANGE).
#include "WindowSystem.h"

#include <algorithm>
#include <cctype>

namespace win32 {
namespace {

void clampSelection(Window& edit) {
    DWORD length = static_cast<DWORD>(edit.text.size());
    edit.selectionStart = std::min(edit.selectionStart, length);
    edit.selectionEnd = std::min(edit.selectionEnd, length);
}

void announceChange(HWND handle) {
    if (Window* edit = findWindow(handle)) notifyParent(*edit, EN_UPDATE);
    if (Window* edit = findWindow(handle)) notifyParent(*edit, EN_CHANGE);
}

// Replaces the selection with `inserted`, keeping to the text limit; the caret ends after it.
void replaceSelection(HWND handle, std::string inserted) {
    Window* edit = findWindow(handle);
    if (!edit) return;
    clampSelection(*edit);
    DWORD from = std::min(edit->selectionStart, edit->selectionEnd);
    DWORD to = std::max(edit->selectionStart, edit->selectionEnd);
    std::size_t room =
        edit->textLimit - std::min<std::size_t>(edit->textLimit, edit->text.size() - (to - from));
    if (inserted.size() > room) {
        inserted.resize(room);
        notifyParent(*edit, EN_MAXTEXT);
        if ((edit = findWindow(handle)) == nullptr) return;
    }
    if (from == to && inserted.empty()) return;
    edit->text.replace(from, to - from, inserted);
    edit->selectionStart = edit->selectionEnd = from + static_cast<DWORD>(inserted.size());
    announceChange(handle);
}

void typeCharacter(HWND handle, char character) {
    Window* edit = findWindow(handle);
    if (!edit || (edit->style & ES_READONLY)) return;
    if (character == '\b') {
        clampSelection(*edit);
        if (edit->selectionStart == edit->selectionEnd && edit->selectionStart > 0)
            --edit->selectionStart;
        replaceSelection(handle, std::string());
        return;
    }
    auto byte = static_cast<unsigned char>(character);
    if (byte < 0x20 || byte == 0x7F) return; // control keys type nothing in a single-line edit
    if ((edit->style & ES_NUMBER) && !std::isdigit(byte)) return;
    if (edit->style & ES_UPPERCASE) character = static_cast<char>(std::toupper(byte));
    if (edit->style & ES_LOWERCASE) character = static_cast<char>(std::tolower(byte));
    replaceSelection(handle, std::string(1, character));
}

} // namespace

LRESULT CALLBACK editProcedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* edit = findWindow(handle);
    if (!edit) return 0;
    switch (message) {
    case WM_SETFOCUS:
        notifyParent(*edit, EN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        edit->selectionStart = edit->selectionEnd = static_cast<DWORD>(edit->text.size());
        notifyParent(*edit, EN_KILLFOCUS);
        return 0;
    case WM_LBUTTONDOWN:
        // The caret goes after the text, where a click beside short text puts it.
        edit->selectionStart = edit->selectionEnd = static_cast<DWORD>(edit->text.size());
        SetFocus(handle);
        return 0;
    case WM_LBUTTONDBLCLK:
        edit->selectionStart = 0;
        edit->selectionEnd = static_cast<DWORD>(edit->text.size());
        SetFocus(handle);
        return 0;
    case WM_CHAR:
        typeCharacter(handle, static_cast<char>(wParam));
        return 0;
    case WM_SETTEXT:
        edit->text = textOf(reinterpret_cast<LPCSTR>(lParam));
        edit->selectionStart = edit->selectionEnd = 0;
        announceChange(handle);
        return TRUE;
    case EM_SETSEL: {
        auto start = static_cast<long long>(static_cast<std::intptr_t>(wParam));
        auto end = static_cast<long long>(lParam);
        DWORD length = static_cast<DWORD>(edit->text.size());
        if (start < 0) {
            edit->selectionStart = edit->selectionEnd; // removes the selection, keeps the caret
        } else {
            edit->selectionStart = static_cast<DWORD>(std::min<long long>(start, length));
            edit->selectionEnd =
                end < 0 ? length : static_cast<DWORD>(std::min<long long>(end, length));
        }
        return 0;
    }
    case EM_GETSEL: {
        clampSelection(*edit);
        DWORD from = std::min(edit->selectionStart, edit->selectionEnd);
        DWORD to = std::max(edit->selectionStart, edit->selectionEnd);
        if (wParam) *reinterpret_cast<DWORD*>(wParam) = from;
        if (lParam) *reinterpret_cast<DWORD*>(lParam) = to;
        return MAKELONG(from, to);
    }
    case EM_REPLACESEL:
        replaceSelection(handle, textOf(reinterpret_cast<LPCSTR>(lParam)));
        return 0;
    case EM_LIMITTEXT:
        edit->textLimit = wParam == 0 ? 0x7FFFFFFE : static_cast<DWORD>(wParam);
        return 0;
    default:
        return DefWindowProcA(handle, message, wParam, lParam);
    }
}

} // namespace win32
