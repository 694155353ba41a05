// Scene import and export plug-ins, and the interfaces the host hands them.
#pragma once

#include "interval.h"
#include "matrix3.h"
#include "maxtypes.h"
#include "plugapi.h"
#include "point3.h"
#include "wintypes.h"

class Interface;
class INode;
class Object;
typedef Object* ObjectHandle;
typedef int RefResult;
#ifndef REF_FAIL
#define REF_FAIL 0
#endif
#ifndef REF_SUCCEED
#define REF_SUCCEED 1
#endif

// Results of DoExport and DoImport.
#define IMPEXP_FAIL 0
#define IMPEXP_SUCCESS 1
#define IMPEXP_CANCEL 2

// DoExport's option bits.
#define SCENE_EXPORT_SELECTED (1 << 0)

// ZoomExtents answers.
#define ZOOMEXT_NOT_IMPLEMENTED -1
#define ZOOMEXT_YES TRUE
#define ZOOMEXT_NO FALSE

// ITreeEnumProc::callback results.
#define TREE_CONTINUE 0
#define TREE_IGNORECHILDREN 1
#define TREE_ABORT 2

// A visitor of the scene's nodes.
class ITreeEnumProc {
public:
    virtual ~ITreeEnumProc() = default;
    // One call per node, parents before children; returns a TREE_* value.
    virtual int callback(INode* node) = 0;
};

class IScene {
public:
    virtual ~IScene() = default;
    // Visits every node below the root. Returns nonzero when the visitor aborted.
    virtual int EnumTree(ITreeEnumProc* proc) = 0;
};

// What the host hands an exporter.
class ExpInterface {
public:
    virtual ~ExpInterface() = default;
    IScene* theScene = nullptr;
};

// A node wrapper for importers: host-owned, valid until DoImport returns, never deleted by the
// importer.
class ImpNode {
public:
    virtual ~ImpNode() = default;
    // Gives the node its object; REF_SUCCEED or REF_FAIL.
    virtual RefResult Reference(ObjectHandle obj) = 0;
    // The node matrix at time t, through its transform controller (world while the parent is
    // the root).
    virtual void SetTransform(TimeValue t, Matrix3 tm) = 0;
    virtual void SetName(const TCHAR* newname) = 0;
    virtual void SetPivot(Point3 p) = 0;
    // The node itself, for everything else.
    virtual INode* GetINode() = 0;
};

// What the host hands an importer.
class ImpInterface {
public:
    virtual ~ImpInterface() = default;
    // A new node wrapper, not yet in the scene.
    virtual ImpNode* CreateNode() = 0;
    // Attaches the node to the scene root.
    virtual void AddNodeToScene(ImpNode* node) = 0;
    virtual void RedrawViews() = 0;
    virtual void SetAnimRange(Interval& range) = 0;
    virtual Interval GetAnimRange() = 0;
    // Deletes everything in the scene; nonzero on success.
    virtual int NewScene() = 0;
    // A new instance of a registered class, as Interface::CreateInstance; NULL when unknown.
    virtual void* Create(SClass_ID sclass, Class_ID classid) = 0;
};

// Exporters and importers. Shared descriptive operations: extensions are given without the dot
// and matched case-insensitively; Version is the version times 100.
class SceneExport {
public:
    SceneExport() = default;
    virtual ~SceneExport() = default;
    virtual int ExtCount() = 0;
    virtual const TCHAR* Ext(int n) = 0;
    virtual const TCHAR* LongDesc() = 0;
    virtual const TCHAR* ShortDesc() = 0; // shown in the file-type list
    virtual const TCHAR* AuthorName() = 0;
    virtual const TCHAR* CopyrightMessage() = 0;
    virtual const TCHAR* OtherMessage1() = 0;
    virtual const TCHAR* OtherMessage2() = 0;
    virtual unsigned int Version() = 0;
    virtual void ShowAbout(HWND hWnd) = 0;
    // `name` is the full path; `suppressPrompts` is TRUE when run without user interface;
    // `options` may hold SCENE_EXPORT_SELECTED. Returns an IMPEXP_* value.
    virtual int DoExport(const TCHAR* name, ExpInterface* ei, Interface* i,
                         BOOL suppressPrompts = FALSE, DWORD options = 0) = 0;
    // Whether the exporter honours `options` for extension `ext`; the host offers "Export
    // Selected" only when it does for SCENE_EXPORT_SELECTED.
    virtual BOOL SupportsOptions(int, DWORD) { return FALSE; }
};

class SceneImport {
public:
    SceneImport() = default;
    virtual ~SceneImport() = default;
    virtual int ExtCount() = 0;
    virtual const TCHAR* Ext(int n) = 0;
    virtual const TCHAR* LongDesc() = 0;
    virtual const TCHAR* ShortDesc() = 0;
    virtual const TCHAR* AuthorName() = 0;
    virtual const TCHAR* CopyrightMessage() = 0;
    virtual const TCHAR* OtherMessage1() = 0;
    virtual const TCHAR* OtherMessage2() = 0;
    virtual unsigned int Version() = 0;
    virtual void ShowAbout(HWND hWnd) = 0;
    // Returns an IMPEXP_* value.
    virtual int DoImport(const TCHAR* name, ImpInterface* ii, Interface* i,
                         BOOL suppressPrompts = FALSE) = 0;
    // Asked after a successful import: ZOOMEXT_YES, ZOOMEXT_NO, or ZOOMEXT_NOT_IMPLEMENTED to
    // leave it to the host's preference.
    virtual int ZoomExtents() { return ZOOMEXT_NOT_IMPLEMENTED; }
};
