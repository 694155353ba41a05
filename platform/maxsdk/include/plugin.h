// ClassDesc: how a plug-in library describes each of its classes to the host. The library
// returns descriptors from LibClassDesc; the host asks them for names and ids and calls Create
// to make instances.
#pragma once

#include "ioapi.h"
#include "maxtypes.h"
#include "plugapi.h"
#include "wintypes.h"

class Interface;
class ParamBlockDesc2;
class ReferenceMaker;
class IParamMap2;
class IObjParam;
class Animatable;

class ClassDesc {
public:
    virtual ~ClassDesc() = default;

    // Nonzero lists the class in the user interface (file-type lists, utility list).
    virtual int IsPublic() = 0;
    // A new instance the caller owns: Create(FALSE) for a new object, Create(TRUE) before loading
    // one from a file.
    virtual void* Create(BOOL loading = FALSE) = 0;
    virtual int BeginCreate(Interface*) { return 0; }
    virtual int EndCreate(Interface*) { return 0; }
    virtual const TCHAR* ClassName() = 0;
    virtual SClass_ID SuperClassID() = 0;
    virtual Class_ID ClassID() = 0;
    virtual const TCHAR* Category() = 0;
    virtual BOOL OkToCreate(Interface*) { return TRUE; }

    // Class-wide parameters.
    virtual BOOL HasClassParams() { return FALSE; }
    virtual void EditClassParams(HWND) {}
    virtual void ResetClassParams(BOOL fileReset = FALSE) { (void)fileReset; }

    // Class-wide data saved with scene files.
    virtual BOOL NeedsToSave() { return FALSE; }
    virtual IOResult Save(ISave*) { return IO_OK; }
    virtual IOResult Load(ILoad*) { return IO_OK; }

    // The scripting name, and the module the class's resources come from.
    virtual const TCHAR* InternalName() { return nullptr; }
    virtual HINSTANCE HInstance() { return nullptr; }

    // Parameter-block descriptions (ClassDesc2 keeps them).
    virtual int NumParamBlockDescs() { return 0; }
    virtual ParamBlockDesc2* GetParamBlockDesc(int) { return nullptr; }
    virtual ParamBlockDesc2* GetParamBlockDescByID(BlockID) { return nullptr; }
    virtual void AddParamBlockDesc(ParamBlockDesc2*) {}
    virtual void MakeAutoParamBlocks(ReferenceMaker*) {}
    virtual int NumParamMaps() { return 0; }
    virtual IParamMap2* GetParamMap(int) { return nullptr; }
    virtual IParamMap2* GetParamMap(ParamBlockDesc2*) { return nullptr; }

    // Command panel hooks.
    virtual void BeginEditParams(IObjParam*, ReferenceMaker*, ULONG, Animatable*) {}
    virtual void EndEditParams(IObjParam*, ReferenceMaker*, ULONG, Animatable*) {}
    virtual void InvalidateUI(ParamBlockDesc2*) {}
    virtual DWORD InitialRollupPageState() { return 0x7fffffff; }

    virtual Class_ID SubClassID() { return Class_ID(); }
    virtual INT_PTR Execute(int, ULONG_PTR = 0, ULONG_PTR = 0, ULONG_PTR = 0) { return 0; }
};
