// The animation set utility the host lists in its utilities panel ("Animation SET"). It opens the
// modeless "Animation set" dialog (template 103), where the user lists, adds, changes and deletes
// the scene's named frame ranges and sets the host's time slider to a range. Every change is
// written to the scene at once through AnimationSetStore; the dialog's list view is the working
// copy in between.
//
// The host creates one object each time the user starts the utility and ends it with DeleteThis.
#pragma once

#include "ui/DialogWindow.h"

#include <utilapi.h>

#include <string>

class AnimationSetList;

class AnimationSetUtility : public UtilityObj {
public:
    AnimationSetUtility() = default;
    // Destroys the dialog; gives the host its keyboard shortcuts back if an edit of the dialog
    // still held them.
    ~AnimationSetUtility() override;

    // Opens the dialog beside the host's windows (owned by its main window), filled from the
    // scene; an open dialog is refilled and shown again. No modal loop runs: the dialog's
    // handlers run from the host's own message loop.
    void BeginEditParams(Interface* ip, IUtil* iu) override;
    void EndEditParams(Interface* ip, IUtil* iu) override;
    // Destroys the dialog and deletes the object (each comes from PluginClassDesc::Create with
    // new).
    void DeleteThis() override;

    // The dialog, for the host program and the tests that look at it.
    HWND GetDialogHandle() const { return dialog.GetHandle(); }

private:
    void CreateDialogWindow(Interface* ip);
    AnimationSetList List() const;
    // Refills the list from the scene's stored sets.
    void RefreshFromScene();
    // Refills the list from the scene when the scene's sets differ from the rows, so that sets
    // written elsewhere while the dialog was open are not overwritten with a stale list.
    void CatchUpWithScene();
    // Stores the rows as the scene's sets and marks the scene modified.
    void WriteListToScene();
    // Sets the host's active time segment to the frames, pausing playback around the change.
    void ApplySliderRange(int startFrame, int endFrame);

    void OnSet();
    void OnDelete();
    void OnSetSlider();
    void OnAllSlider();
    void OnListNotify(const WindowMessage& message);
    void OnEditFocus(const WindowMessage& message);
    void OnClose();

    static void SetHandler(void* object, WindowMessage& message);
    static void DeleteHandler(void* object, WindowMessage& message);
    static void SetSliderHandler(void* object, WindowMessage& message);
    static void AllSliderHandler(void* object, WindowMessage& message);
    static void ListHandler(void* object, WindowMessage& message);
    static void CommandHandler(void* object, WindowMessage& message);
    static void CloseHandler(void* object, WindowMessage& message);

    DialogWindow dialog;
    IUtil* utilityInterface = nullptr;
    // Whether an edit of the dialog has the focus and so holds the host's shortcuts off.
    bool acceleratorsHeld = false;
};
