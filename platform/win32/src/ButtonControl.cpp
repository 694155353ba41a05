// The "Button" class: push buttons, check boxes, radio buttons and group boxes. A click (mouse
// down then up inside the button, or BM_CLICK) does what the button's style says and tells the
// parent with BN_CLICKED.
#include "WindowSystem.h"

namespace win32 {
namespace {

DWORD buttonType(const Window& button) {
    return button.style & BS_TYPEMASK;
}

bool isRadio(const Window& button) {
    DWORD type = buttonType(button);
    return hasClass(button, "Button") && (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON);
}

// An automatic radio button checks itself and clears the other automatic radio buttons of its
// group: the siblings from the nearest one with WS_GROUP (itself included) up to the next one.
void checkRadioInGroup(Window& button) {
    Window* parent = findWindow(button.parent);
    if (!parent) {
        button.checkState = BST_CHECKED;
        return;
    }
    const std::vector<HWND>& siblings = parent->children;
    std::size_t position = 0;
    while (position < siblings.size() && siblings[position] != button.handle)
        ++position;
    std::size_t first = position;
    while (first > 0) {
        Window* sibling = findWindow(siblings[first]);
        if (sibling && (sibling->style & WS_GROUP)) break;
        --first;
    }
    for (std::size_t index = first; index < siblings.size(); ++index) {
        Window* sibling = findWindow(siblings[index]);
        if (!sibling) continue;
        if (index > first && (sibling->style & WS_GROUP)) break;
        if (sibling != &button && isRadio(*sibling) && buttonType(*sibling) == BS_AUTORADIOBUTTON)
            sibling->checkState = BST_UNCHECKED;
    }
    button.checkState = BST_CHECKED;
}

void click(HWND handle) {
    Window* button = findWindow(handle);
    if (!button || !button->isEnabled()) return;
    switch (buttonType(*button)) {
    case BS_GROUPBOX:
        return; // a frame, not a button
    case BS_AUTOCHECKBOX:
        button->checkState = button->checkState == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
        break;
    case BS_AUTO3STATE:
        button->checkState = (button->checkState + 1) % 3;
        break;
    case BS_AUTORADIOBUTTON:
        checkRadioInGroup(*button);
        break;
    default:
        break;
    }
    notifyParent(*button, BN_CLICKED);
}

bool contains(const Window& button, LPARAM point) {
    int x = GET_X_LPARAM(point);
    int y = GET_Y_LPARAM(point);
    return x >= 0 && y >= 0 && x < button.clientWidth() && y < button.clientHeight();
}

} // namespace

LRESULT CALLBACK buttonProcedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* button = findWindow(handle);
    if (!button) return 0;
    bool isGroupBox = buttonType(*button) == BS_GROUPBOX;
    switch (message) {
    case WM_NCHITTEST:
        return isGroupBox ? HTTRANSPARENT : HTCLIENT;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (isGroupBox) return 0;
        button->isPushed = true;
        SetFocus(handle);
        return 0;
    case WM_LBUTTONUP:
        if (!button->isPushed) return 0;
        button->isPushed = false;
        if (contains(*button, lParam)) click(handle);
        return 0;
    case WM_KEYUP:
        if (wParam == VK_SPACE) click(handle);
        return 0;
    case BM_CLICK:
        if (isGroupBox) return 0;
        SendMessageA(handle, WM_LBUTTONDOWN, MK_LBUTTON, 0);
        SendMessageA(handle, WM_LBUTTONUP, 0, 0);
        return 0;
    case BM_GETCHECK:
        return button->checkState;
    case BM_SETCHECK:
        button->checkState = static_cast<UINT>(wParam) & 3;
        return 0;
    case BM_GETSTATE:
        return button->checkState | (button->isPushed ? BST_PUSHED : 0) |
               (GetFocus() == handle ? BST_FOCUS : 0);
    case BM_SETSTATE:
        button->isPushed = wParam != 0;
        return 0;
    default:
        return DefWindowProcA(handle, message, wParam, lParam);
    }
}

LRESULT CALLBACK staticProcedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* label = findWindow(handle);
    if (!label) return 0;
    if (message == WM_NCHITTEST) return (label->style & SS_NOTIFY) ? HTCLIENT : HTTRANSPARENT;
    return DefWindowProcA(handle, message, wParam, lParam);
}

} // namespace win32
