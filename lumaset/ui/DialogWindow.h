// A dialog made from a template of a module's resources, with handlers per control, OK and
// cancel built in, a local modal loop, and typed accessors for its controls.
#pragma once

#include "ui/ListViewControl.h"
#include "ui/WindowBase.h"

class DialogWindow : public WindowBase {
public:
    DialogWindow() = default;
    // Destroys the window when it is open.
    ~DialogWindow() override;

    // Creates the dialog from template `templateNumber` of `instance` (null: the running
    // program's resources), owned by `parent`. The dialog stays hidden until `Show` or
    // `RunModal`. False when no dialog could be created.
    bool Create(int templateNumber, HWND parent, HINSTANCE instance);
    // Shows the dialog and runs the thread's messages, with the owner disabled, until OK or
    // cancel; answers whether OK ended it. False at once when there is no dialog, and false when
    // the dialog is destroyed while it runs. The dialog is only hidden afterwards.
    bool RunModal();
    // Destroys the window; false when there was none.
    bool Close() override;
    // Inserts or replaces the handler of a control's command and notify messages. A handler for
    // 1 (OK) or 2 (cancel) replaces the built-in behaviour.
    void AddCommandHandler(int controlId, MessageHandler handler);

    void Dispatch(WindowMessage& message) override;
    void OnMessage(WindowMessage& message) override;

    bool IsAccepted() const { return accepted; }

    // Control accessors, on the child control with the given id.
    // Check state from the low byte of `value` (0 unchecked, 1 checked).
    void SetCheck(int controlId, int value);
    // True for any non-zero check state.
    bool IsChecked(int controlId) const;
    // Copies at most capacity - 1 characters and a zero byte; an empty text when there is no
    // such control.
    void GetText(int controlId, char* buffer, int capacity) const;
    void SetText(int controlId, const char* text);
    // The value in "%g" form.
    void SetFloat(int controlId, float value);
    // The text (at most 127 characters) through the C library's text-to-double conversion: 0
    // when it holds no number. Callers narrow it to float.
    double GetFloat(int controlId) const;
    // The text (at most 127 characters) through the C library's text-to-integer conversion.
    int GetInt(int controlId) const;
    // The list view with the given id.
    ListViewControl GetListView(int controlId) const;

protected:
    std::map<int, MessageHandler> commandHandlers;
    bool accepted = false;
    bool running = false;

private:
    void CallCommandHandler(int controlId, WindowMessage& message, bool& found);
};
