// The headless window system's own state: the window table, the classes, focus and activation.
// Internal to libwin32; the public surface is winuser.h and commctrl.h.
#pragma once

#include "commctrl.h"
#include "winuser.h"

#include <memory>
#include <string>
#include <vector>

namespace win32 {

struct ListViewColumn {
    int format = LVCFMT_LEFT;
    int widthPixels = 0;
    std::string text;
    int subItem = 0;
};

struct ListViewItem {
    std::vector<std::string> texts; // by sub-item; missing ones are empty
    UINT state = 0;
    LPARAM value = 0;
};

struct ListViewState {
    std::vector<ListViewColumn> columns;
    std::vector<ListViewItem> items;
    DWORD extendedStyle = 0;
};

struct WindowClass {
    std::string name;
    ATOM atom = 0;
    UINT style = 0;
    WNDPROC procedure = nullptr;
    HINSTANCE instance = nullptr;
    HICON icon = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
    bool isSystem = false;
};

// One window. Geometry is in pixels: `rect` in the parent's client coordinates (screen
// coordinates for a top-level window), the frame thicknesses around the client area.
struct Window {
    HWND handle = nullptr;
    const WindowClass* windowClass = nullptr;
    WNDPROC procedure = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    std::string text;
    RECT rect{};
    RECT frame{}; // thickness of the non-client area on each side
    HWND parent = nullptr;
    HWND owner = nullptr;
    std::vector<HWND> children; // in creation (tab) order
    LONG_PTR userData = 0;
    LONG_PTR id = 0;
    HINSTANCE instance = nullptr;
    HFONT font = nullptr;
    bool isDestroying = false;

    // Dialogs.
    DLGPROC dialogProcedure = nullptr;
    LONG_PTR dialogResult = 0;
    LONG_PTR dialogUser = 0;
    HWND savedFocus = nullptr;
    std::string fontFace; // the template's font
    int fontPointSize = 0;
    // The template's rectangle in dialog units, for windows made from a template.
    bool hasDialogUnits = false;
    RECT dialogUnits{};

    // Buttons.
    UINT checkState = BST_UNCHECKED;
    bool isPushed = false;
    // Edits: the selection, as character offsets (start may exceed end when dragged backwards).
    DWORD selectionStart = 0;
    DWORD selectionEnd = 0;
    DWORD textLimit = 30000;

    std::unique_ptr<ListViewState> listView;

    bool isVisible() const { return (style & WS_VISIBLE) != 0; }
    bool isEnabled() const { return (style & WS_DISABLED) == 0; }
    bool isChild() const { return (style & WS_CHILD) != 0; }
    LONG clientWidth() const { return (rect.right - rect.left) - frame.left - frame.right; }
    LONG clientHeight() const { return (rect.bottom - rect.top) - frame.top - frame.bottom; }
};

// The live window a handle names, or null for a handle that names none (never was, or
// destroyed). A window being destroyed is still found until its WM_NCDESTROY has been sent.
Window* findWindow(HWND handle);
// The window a class name names, matched ignoring case; also atoms (MAKEINTATOM).
const WindowClass* findClass(LPCSTR name);
bool isDialogWindow(const Window& window);
bool hasClass(const Window& window, const char* className);

// Sends a message to a window's procedure and returns its answer; 0 for a dead handle. Keeps
// destroyed windows' memory alive until no procedure is running any more.
LRESULT send(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void notifyParent(const Window& control, WORD notification);
LRESULT notifyParent(const Window& control, NMHDR& header);

// Hook calls; the answer of the hook chain (0 without hooks).
LRESULT callCbtHooks(int code, WPARAM wParam, LPARAM lParam);

// The window procedures of the system classes.
LRESULT CALLBACK buttonProcedure(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK editProcedure(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK staticProcedure(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK listViewProcedure(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK dialogClassProcedure(HWND, UINT, WPARAM, LPARAM);

// The width in pixels of a text in the dialog font (8 point "MS Shell Dlg" at 96 dots per inch).
int textWidthPixels(const std::string& text);
constexpr int kDialogBaseUnitX = 6;  // pixels per 4 dialog units across
constexpr int kDialogBaseUnitY = 13; // pixels per 8 dialog units down
HFONT dialogFont();

// List-view geometry, shared by the control and the renderer.
constexpr int kListHeaderHeight = 20;
constexpr int kListRowHeight = 16;

// Copies a text into a caller's buffer of `capacity` bytes, cut and zero-terminated; returns the
// number of characters copied.
int copyText(const std::string& text, LPSTR buffer, int capacity);
// Reads a caller's text; an empty text for a null pointer.
std::string textOf(LPCSTR text);

} // namespace win32
