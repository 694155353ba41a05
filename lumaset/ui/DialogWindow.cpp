#include "ui/DialogWindow.h"

#include "ui/NumberText.h"

namespace {
constexpr int kNumberTextCapacity = 128;
}

DialogWindow::~DialogWindow() {
    if (IsOpen()) DestroyWindow(handle);
    handle = nullptr;
    commandHandlers.clear();
}

bool DialogWindow::Create(int templateNumber, HWND parent, HINSTANCE instance) {
    previousProc = nullptr;
    HWND created = CreateDialogParamA(instance, MAKEINTRESOURCEA(templateNumber), parent,
                                      DialogProc, reinterpret_cast<LPARAM>(this));
    handle = created;
    return created != nullptr;
}

bool DialogWindow::RunModal() {
    // A dialog that was never created cannot deliver OK or cancel; a plain window made in its
    // place would keep the loop running for ever.
    if (!IsOpen()) return false;
    running = true;
    Show(SW_SHOWNORMAL);
    if (!IsOpen()) return accepted;
    HWND owner = GetWindow(handle, GW_OWNER);
    if (owner) EnableWindow(owner, FALSE);
    MSG message;
    while (running) {
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (!IsOpen()) {
            // Destroyed while running (with its owner, say): nothing can end the loop any more.
            running = false;
            accepted = false;
        }
    }
    if (owner) EnableWindow(owner, TRUE);
    return accepted;
}

bool DialogWindow::Close() {
    if (!IsOpen()) return false;
    DestroyWindow(handle);
    handle = nullptr;
    return true;
}

void DialogWindow::AddCommandHandler(int controlId, MessageHandler handler) {
    commandHandlers[controlId] = handler;
}

void DialogWindow::Dispatch(WindowMessage& message) {
    WindowBase::Dispatch(message);
}

void DialogWindow::CallCommandHandler(int controlId, WindowMessage& message, bool& found) {
    auto entry = commandHandlers.find(controlId);
    found = entry != commandHandlers.end();
    if (!found) return;
    MessageHandler handler = entry->second;
    handler(message);
}

void DialogWindow::OnMessage(WindowMessage& message) {
    bool found = false;
    switch (message.id) {
    case WM_DESTROY:
        return; // a dialog never posts the quit message
    case WM_NOTIFY:
        CallCommandHandler(static_cast<int>(message.wParam), message, found);
        break;
    case WM_COMMAND: {
        int controlId = LOWORD(message.wParam);
        CallCommandHandler(controlId, message, found);
        if (found) break;
        if (controlId == IDOK) {
            message.result = 1;
            accepted = true;
            Show(SW_HIDE);
            running = false;
        } else if (controlId == IDCANCEL) {
            accepted = false;
            Show(SW_HIDE);
            running = false;
        }
        break;
    }
    default:
        break;
    }
    WindowBase::OnMessage(message);
}

void DialogWindow::SetCheck(int controlId, int value) {
    SendDlgItemMessageA(handle, controlId, BM_SETCHECK, static_cast<WPARAM>(value & 0xFF), 0);
}

bool DialogWindow::IsChecked(int controlId) const {
    return SendDlgItemMessageA(handle, controlId, BM_GETCHECK, 0, 0) != 0;
}

void DialogWindow::GetText(int controlId, char* buffer, int capacity) const {
    if (buffer == nullptr || capacity <= 0) return;
    buffer[0] = '\0';
    GetDlgItemTextA(handle, controlId, buffer, capacity);
}

void DialogWindow::SetText(int controlId, const char* text) {
    SetDlgItemTextA(handle, controlId, text);
}

void DialogWindow::SetFloat(int controlId, float value) {
    SetText(controlId, formatGeneral(static_cast<double>(value)).c_str());
}

double DialogWindow::GetFloat(int controlId) const {
    char text[kNumberTextCapacity];
    GetText(controlId, text, kNumberTextCapacity);
    return parseDouble(text);
}

int DialogWindow::GetInt(int controlId) const {
    char text[kNumberTextCapacity];
    GetText(controlId, text, kNumberTextCapacity);
    return parseInteger(text);
}

ListViewControl DialogWindow::GetListView(int controlId) const {
    return ListViewControl(GetDlgItem(handle, controlId));
}
