// Interface: the host's core interface, one per process, from GetCOREInterface(). The same
// object reaches DoExport, DoImport and a utility's BeginEditParams.
#pragma once

#include "inode.h"
#include "interval.h"
#include "ref.h"

// Folders for GetDir.
#define APP_FONT_DIR 0
#define APP_SCENE_DIR 1
#define APP_IMPORT_DIR 2
#define APP_EXPORT_DIR 3
#define APP_HELP_DIR 4
#define APP_EXPRESSION_DIR 5
#define APP_PREVIEW_DIR 6
#define APP_IMAGE_DIR 7
#define APP_SOUND_DIR 8
#define APP_PLUGCFG_DIR 9
#define APP_MAXSTART_DIR 10
#define APP_VPOST_DIR 11
#define APP_DRIVERS_DIR 12
#define APP_AUTOBACK_DIR 13
#define APP_MATLIB_DIR 14
#define APP_SCRIPTS_DIR 15
#define APP_STARTUPSCRIPTS_DIR 16
#define APP_MARKETDEFAULTS_DIR 17
#define APP_UI_DIR 18
#define APP_MAXROOT_DIR 19
#define APP_DIR_COUNT 20

#define REDRAW_BEGIN (1 << 0)
#define REDRAW_INTERACTIVE (1 << 1)
#define REDRAW_END (1 << 2)
#define REDRAW_NORMAL (1 << 3)

// The progress callback's shape: a thread routine whose result is ignored.
typedef DWORD(WINAPI* PTHREAD_START_ROUTINE)(LPVOID lpThreadParameter);
typedef PTHREAD_START_ROUTINE LPTHREAD_START_ROUTINE;

class Interface {
public:
    virtual ~Interface() = default;

    // Scene.
    virtual INode* GetRootNode() = 0;
    // The scene as an animatable: the place for scene-wide application data.
    virtual ReferenceTarget* GetScenePointer() = 0;
    // The first node of that name, depth first; NULL when none.
    virtual INode* GetINodeByName(const TCHAR* name) = 0;
    // A new top-level node showing `obj` (which may be NULL).
    virtual INode* CreateObjectNode(Object* obj) = 0;

    // Time: the active segment (default frames 0..100) and the time slider.
    virtual Interval GetAnimRange() = 0;
    virtual void SetAnimRange(Interval range) = 0;
    virtual TimeValue GetTime() = 0;
    virtual void SetTime(TimeValue t, BOOL redraw = TRUE) = 0;
    virtual BOOL IsAnimPlaying() = 0;
    virtual void StartAnimPlayback(int selOnly = FALSE) = 0;
    virtual void EndAnimPlayback() = 0;

    // The main window, parent of plug-in dialogs.
    virtual HWND GetMAXHWnd() = 0;
    // A host folder (APP_*_DIR), without a trailing separator; NULL for an unknown `which`.
    // APP_PLUGCFG_DIR exists when returned.
    virtual TCHAR* GetDir(int which) = 0;

    // Progress display. ProgressStart shows it and calls fn(arg) once, synchronously, before it
    // returns; updates and the end do not call it again. Always TRUE. (The titles are const here,
    // so literals pass as they do in plug-in code.)
    virtual BOOL ProgressStart(const TCHAR* title, BOOL dispBar, LPTHREAD_START_ROUTINE fn,
                               LPVOID arg) = 0;
    // pct 0..99. With showPct a percentage is shown and `title` ignored; otherwise `title`
    // (when not NULL) replaces the text.
    virtual void ProgressUpdate(int pct, BOOL showPct = TRUE, const TCHAR* title = nullptr) = 0;
    virtual void ProgressEnd() = 0;
    virtual BOOL GetCancel() = 0;
    virtual void SetCancel(BOOL sw) = 0;

    // A new instance of a registered class (plug-in classes included); NULL when unknown.
    virtual void* CreateInstance(SClass_ID superID, Class_ID classID) = 0;

    // Selection.
    virtual void SelectNode(INode* node, int clearSel = 1) = 0;
    virtual void DeSelectNode(INode* node) = 0;
    virtual void ClearNodeSelection(BOOL redraw = TRUE) = 0;
    virtual int GetSelNodeCount() = 0;
    virtual INode* GetSelNode(int i) = 0;

    virtual void RedrawViews(TimeValue t, DWORD vpFlags = REDRAW_NORMAL,
                             ReferenceTarget* change = nullptr) = 0;
};

Interface* GetCOREInterface();

// As Interface::CreateInstance.
void* CreateInstance(SClass_ID superID, Class_ID classID);

// Keyboard shortcuts of the host: a switch, not a counter.
void DisableAccelerators();
void EnableAccelerators();
BOOL AcceleratorsEnabled();

// Marks the scene modified for changes made outside undo.
void SetSaveRequiredFlag(BOOL b = TRUE);
BOOL GetSaveRequiredFlag();
BOOL IsSaveRequired();
