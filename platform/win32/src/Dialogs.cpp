// Dialogs: creation from a module's dialog template, the dialog manager's default processing
// (the "#32770" class procedure) and the dialog item helpers.
#include "WindowSystem.h"

#include <cstring>
#include <optional>

namespace win32 {
namespace {

struct DialogItem {
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT dialogUnits{};
    DWORD id = 0;
    std::string className;
    std::string title;
    std::vector<BYTE> creationData;
};

struct DialogTemplate {
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT dialogUnits{};
    std::string className;
    std::string title;
    WORD pointSize = 0;
    std::string fontFace;
    std::vector<DialogItem> items;
};

// Reads the little-endian fields of a template. Untrusted bytes: every read either succeeds
// whole or fails, and never reads outside the data.
class TemplateCursor {
public:
    TemplateCursor(const BYTE* data, std::size_t size) : data_(data), size_(size) {}

    bool word(WORD& value) {
        if (size_ - position_ < 2) return false;
        value = static_cast<WORD>(data_[position_] | (data_[position_ + 1] << 8));
        position_ += 2;
        return true;
    }
    bool dword(DWORD& value) {
        WORD low = 0;
        WORD high = 0;
        if (size_ - position_ < 4 || !word(low) || !word(high)) return false;
        value = low | (static_cast<DWORD>(high) << 16);
        return true;
    }
    bool coordinate(LONG& value) {
        WORD raw = 0;
        if (!word(raw)) return false;
        value = static_cast<short>(raw);
        return true;
    }
    bool rect(RECT& value) {
        LONG x = 0, y = 0, cx = 0, cy = 0;
        if (!coordinate(x) || !coordinate(y) || !coordinate(cx) || !coordinate(cy)) return false;
        value = RECT{x, y, x + cx, y + cy};
        return true;
    }
    // A zero-terminated UTF-16 text, narrowed to single bytes ('?' beyond 0xFF).
    bool text(std::string& value) {
        value.clear();
        for (WORD unit = 0;;) {
            if (!word(unit)) return false;
            if (unit == 0) return true;
            value.push_back(unit <= 0xFF ? static_cast<char>(unit) : '?');
        }
    }
    // A text or, after 0xFFFF, a number; `ordinal` tells which.
    bool textOrOrdinal(std::string& value, std::optional<WORD>& ordinal) {
        ordinal.reset();
        if (size_ - position_ >= 2 && data_[position_] == 0xFF && data_[position_ + 1] == 0xFF) {
            WORD marker = 0;
            WORD number = 0;
            if (!word(marker) || !word(number)) return false;
            ordinal = number;
            value.clear();
            return true;
        }
        return text(value);
    }
    bool byte(BYTE& value) {
        if (position_ >= size_) return false;
        value = data_[position_++];
        return true;
    }
    bool bytes(std::size_t count, std::vector<BYTE>& value) {
        if (size_ - position_ < count) return false;
        value.assign(data_ + position_, data_ + position_ + count);
        position_ += count;
        return true;
    }
    bool alignToDword() {
        std::size_t aligned = (position_ + 3) & ~std::size_t{3};
        if (aligned > size_) return false;
        position_ = aligned;
        return true;
    }

private:
    const BYTE* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

const char* predefinedClass(WORD ordinal) {
    switch (ordinal) {
    case 0x0080:
        return "Button";
    case 0x0081:
        return "Edit";
    case 0x0082:
        return "Static";
    case 0x0083:
        return "ListBox";
    case 0x0084:
        return "ScrollBar";
    case 0x0085:
        return "ComboBox";
    default:
        return "";
    }
}

// The extended template layout (dialog version 1, signature 0xFFFF).
bool parseTemplate(const BYTE* data, std::size_t size, DialogTemplate& result) {
    TemplateCursor cursor(data, size);
    WORD version = 0, signature = 0, itemCount = 0;
    DWORD helpId = 0;
    if (!cursor.word(version) || !cursor.word(signature) || version != 1 || signature != 0xFFFF)
        return false;
    if (!cursor.dword(helpId) || !cursor.dword(result.exStyle) || !cursor.dword(result.style) ||
        !cursor.word(itemCount) || !cursor.rect(result.dialogUnits))
        return false;
    std::string menu;
    std::optional<WORD> ordinal;
    if (!cursor.textOrOrdinal(menu, ordinal) || !cursor.textOrOrdinal(result.className, ordinal) ||
        !cursor.text(result.title))
        return false;
    if (result.style & DS_SETFONT) {
        WORD weight = 0;
        BYTE italic = 0, charset = 0;
        if (!cursor.word(result.pointSize) || !cursor.word(weight) || !cursor.byte(italic) ||
            !cursor.byte(charset) || !cursor.text(result.fontFace))
            return false;
    }
    for (WORD index = 0; index < itemCount; ++index) {
        DialogItem item;
        WORD extraCount = 0;
        if (!cursor.alignToDword() || !cursor.dword(helpId) || !cursor.dword(item.exStyle) ||
            !cursor.dword(item.style) || !cursor.rect(item.dialogUnits) || !cursor.dword(item.id))
            return false;
        if (!cursor.textOrOrdinal(item.className, ordinal)) return false;
        if (ordinal) item.className = predefinedClass(*ordinal);
        if (!cursor.textOrOrdinal(item.title, ordinal) || !cursor.word(extraCount) ||
            !cursor.bytes(extraCount, item.creationData))
            return false;
        result.items.push_back(std::move(item));
    }
    return true;
}

RECT toPixels(const RECT& dialogUnits) {
    auto across = [](LONG units) { return (units * kDialogBaseUnitX + 2) / 4; };
    auto down = [](LONG units) { return (units * kDialogBaseUnitY + 4) / 8; };
    return RECT{across(dialogUnits.left), down(dialogUnits.top), across(dialogUnits.right),
                down(dialogUnits.bottom)};
}

bool canTakeFocus(HWND handle) {
    Window* window = findWindow(handle);
    return window && window->isVisible() && window->isEnabled();
}

HWND firstTabStop(const Window& dialog) {
    for (HWND child : dialog.children) {
        Window* control = findWindow(child);
        if (control && (control->style & WS_TABSTOP) && canTakeFocus(child)) return child;
    }
    return nullptr;
}

// The dialog manager gives the focus back to the control that had it, or to the first tab stop;
// an edit reached so has its whole text selected.
void restoreFocus(HWND dialogHandle) {
    Window* dialog = findWindow(dialogHandle);
    HWND target = dialog->savedFocus;
    if (!target || GetParent(target) != dialogHandle || !canTakeFocus(target))
        target = firstTabStop(*dialog);
    if (!target) return;
    SetFocus(target);
    if (Window* control = findWindow(target); control && hasClass(*control, "Edit"))
        SendMessageA(target, EM_SETSEL, 0, -1);
}

bool returnsDialogProcedureValue(UINT message) {
    return message == WM_INITDIALOG || (message >= 0x0132 && message <= 0x0138); // WM_CTLCOLOR*
}

} // namespace

LRESULT CALLBACK dialogClassProcedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* dialog = findWindow(handle);
    if (!dialog) return 0;
    if (DLGPROC procedure = dialog->dialogProcedure) {
        dialog->dialogResult = 0;
        INT_PTR handled = procedure(handle, message, wParam, lParam);
        dialog = findWindow(handle);
        if (handled)
            return returnsDialogProcedureValue(message) || !dialog ? handled : dialog->dialogResult;
        if (!dialog) return 0;
    }
    switch (message) {
    case WM_CLOSE: {
        // The close box means cancel, unless the cancel button is there and disabled.
        HWND cancel = GetDlgItem(handle, IDCANCEL);
        if (!cancel || IsWindowEnabled(cancel))
            PostMessageA(handle, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                         reinterpret_cast<LPARAM>(cancel));
        return 0;
    }
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) {
            restoreFocus(handle);
        } else if (HWND focus = GetFocus(); focus && GetParent(focus) == handle) {
            dialog->savedFocus = focus;
        }
        return 0;
    default:
        return DefWindowProcA(handle, message, wParam, lParam);
    }
}

} // namespace win32

using namespace win32;

extern "C" LRESULT WINAPI DefDlgProcA(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return dialogClassProcedure(dialog, message, wParam, lParam);
}

extern "C" HWND WINAPI CreateDialogParamA(HINSTANCE instance, LPCSTR templateName, HWND parent,
                                          DLGPROC dialogProc, LPARAM initParam) {
    HRSRC resource = FindResourceA(instance, templateName, RT_DIALOG);
    if (!resource) return nullptr;
    auto* data = static_cast<const BYTE*>(LockResource(LoadResource(instance, resource)));
    DialogTemplate description;
    if (!data || !parseTemplate(data, SizeofResource(instance, resource), description)) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    DWORD style = description.style & ~static_cast<DWORD>(WS_VISIBLE);
    DWORD exStyle = description.exStyle | ((style & DS_MODALFRAME) ? WS_EX_DLGMODALFRAME : 0);
    // The template gives the client area; the window is that plus its frame.
    RECT bounds = toPixels(description.dialogUnits);
    AdjustWindowRectEx(&bounds, style, FALSE, exStyle);
    const char* className =
        description.className.empty() ? "#32770" : description.className.c_str();
    HWND handle = CreateWindowExA(exStyle, className, description.title.c_str(), style, bounds.left,
                                  bounds.top, bounds.right - bounds.left,
                                  bounds.bottom - bounds.top, parent, nullptr, instance, nullptr);
    Window* dialog = findWindow(handle);
    if (!dialog) return nullptr;
    dialog->dialogProcedure = dialogProc;
    dialog->hasDialogUnits = true;
    dialog->dialogUnits = description.dialogUnits;
    dialog->fontFace = description.fontFace;
    dialog->fontPointSize = description.pointSize;
    HFONT font = (description.style & DS_SETFONT) ? dialogFont() : nullptr;
    if (font) SendMessageA(handle, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

    for (const DialogItem& item : description.items) {
        RECT place = toPixels(item.dialogUnits);
        LPVOID creationData =
            item.creationData.empty() ? nullptr : const_cast<BYTE*>(item.creationData.data());
        HWND control = CreateWindowExA(
            item.exStyle, item.className.c_str(), item.title.c_str(), item.style | WS_CHILD,
            place.left, place.top, place.right - place.left, place.bottom - place.top, handle,
            reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(item.id)), instance, creationData);
        Window* record = findWindow(control);
        if (!record) {
            DestroyWindow(handle); // a dialog without all of its controls is not created
            return nullptr;
        }
        record->hasDialogUnits = true;
        record->dialogUnits = item.dialogUnits;
        if (font) SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    if (!findWindow(handle)) return nullptr;
    HWND first = firstTabStop(*findWindow(handle));
    if (SendMessageA(handle, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), initParam)) {
        if (Window* created = findWindow(handle)) created->savedFocus = first;
    }
    if (findWindow(handle) && (description.style & WS_VISIBLE)) ShowWindow(handle, SW_SHOWNORMAL);
    return findWindow(handle) ? handle : nullptr;
}

extern "C" HWND WINAPI GetDlgItem(HWND dialogHandle, int id) {
    Window* dialog = findWindow(dialogHandle);
    if (!dialog) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    for (HWND child : dialog->children)
        if (Window* control = findWindow(child); control && static_cast<int>(control->id) == id)
            return child;
    return nullptr;
}

extern "C" int WINAPI GetDlgCtrlID(HWND handle) {
    Window* window = findWindow(handle);
    return window && window->isChild() ? static_cast<int>(window->id) : 0;
}

extern "C" LRESULT WINAPI SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    HWND control = GetDlgItem(dialog, id);
    return control ? SendMessageA(control, message, wParam, lParam) : 0;
}

extern "C" BOOL WINAPI SetDlgItemTextA(HWND dialog, int id, LPCSTR text) {
    HWND control = GetDlgItem(dialog, id);
    return control ? SetWindowTextA(control, text) : FALSE;
}

extern "C" UINT WINAPI GetDlgItemTextA(HWND dialog, int id, LPSTR text, int capacity) {
    HWND control = GetDlgItem(dialog, id);
    if (!control) {
        if (text && capacity > 0) text[0] = '\0';
        return 0;
    }
    return static_cast<UINT>(GetWindowTextA(control, text, capacity));
}

extern "C" BOOL WINAPI CheckDlgButton(HWND dialog, int id, UINT check) {
    HWND control = GetDlgItem(dialog, id);
    if (!control) return FALSE;
    SendMessageA(control, BM_SETCHECK, check, 0);
    return TRUE;
}

extern "C" UINT WINAPI IsDlgButtonChecked(HWND dialog, int id) {
    return static_cast<UINT>(SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0));
}

extern "C" BOOL WINAPI MapDialogRect(HWND dialog, LPRECT rect) {
    if (!findWindow(dialog) || !rect) return FALSE;
    *rect = toPixels(*rect);
    return TRUE;
}
