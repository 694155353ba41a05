// Icons, cursors, brushes and the common-controls start-up. Nothing is drawn, so each stock
// object is a distinct handle that only stands for what it names.
#include "commctrl.h"

namespace {

struct StockObject {
    int kind;
    ULONG_PTR number;
};

template <int Kind, ULONG_PTR Number> void* stockHandle() {
    static StockObject object{Kind, Number};
    return &object;
}

} // namespace

extern "C" HICON WINAPI LoadIconA(HINSTANCE, LPCSTR name) {
    if (name == IDI_APPLICATION) return static_cast<HICON>(stockHandle<1, 32512>());
    return nullptr;
}

extern "C" HCURSOR WINAPI LoadCursorA(HINSTANCE, LPCSTR name) {
    if (name == IDC_ARROW) return static_cast<HCURSOR>(stockHandle<2, 32512>());
    return nullptr;
}

extern "C" HGDIOBJ WINAPI GetStockObject(int object) {
    switch (object) {
    case WHITE_BRUSH:
        return stockHandle<3, WHITE_BRUSH>();
    case BLACK_BRUSH:
        return stockHandle<3, BLACK_BRUSH>();
    case DEFAULT_GUI_FONT:
        return stockHandle<4, DEFAULT_GUI_FONT>();
    default:
        return nullptr;
    }
}

extern "C" void WINAPI InitCommonControls() {}

extern "C" BOOL WINAPI InitCommonControlsEx(const INITCOMMONCONTROLSEX* controls) {
    return controls && controls->dwSize == sizeof(INITCOMMONCONTROLSEX);
}
