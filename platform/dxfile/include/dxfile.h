// The DirectX file services: X files (text, binary and compressed, 32- and 64-bit floats) read
// and written through COM-style interfaces. The library is loaded at run time by the name
// "d3dxof.dll" and exports `DirectXFileCreate`; callers that load it need only this header.
//
// Interface layouts (vtable order), identifiers, constants and result codes are those of the
// published interface set. At the end of this header is one extension of this library's own,
// `DirectXFileGetLastError`, which the original services do not have.
#pragma once

#include <windows.h>

#include <bit>

// Packed data (GetData, CreateDataObject) holds values as they lie in memory, and the file
// formats are little-endian: the library is built for little-endian machines only.
static_assert(std::endian::native == std::endian::little,
              "X file data is little-endian and handed out as it lies in memory");

// ---- Identifiers ------------------------------------------------------------------------------

#ifndef GUID_DEFINED
#define GUID_DEFINED
typedef struct _GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
} GUID;
#endif
typedef GUID IID;
typedef GUID CLSID;
#define REFGUID const GUID&
#define REFIID const IID&
#define REFCLSID const CLSID&

inline bool IsEqualGUID(REFGUID a, REFGUID b) {
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
    for (int i = 0; i < 8; ++i)
        if (a.Data4[i] != b.Data4[i]) return false;
    return true;
}
#define IsEqualIID(a, b) IsEqualGUID(a, b)

// Identifiers are constants in this header, so a caller that loads the library at run time
// needs no import library for them.
#define DXFILE_DEFINE_GUID(name, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8) \
    inline constexpr GUID name = {l, w1, w2, {b1, b2, b3, b4, b5, b6, b7, b8}}

DXFILE_DEFINE_GUID(IID_IUnknown, 0x00000000, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00,
                   0x00, 0x46);
DXFILE_DEFINE_GUID(CLSID_CDirectXFile, 0x4516EC43, 0x8F20, 0x11D0, 0x9B, 0x6D, 0x00, 0x00, 0xC0,
                   0x78, 0x1B, 0xC3);
DXFILE_DEFINE_GUID(IID_IDirectXFile, 0x3D82AB40, 0x62DA, 0x11CF, 0xAB, 0x39, 0x00, 0x20, 0xAF,
                   0x71, 0xE4, 0x33);
DXFILE_DEFINE_GUID(IID_IDirectXFileEnumObject, 0x3D82AB41, 0x62DA, 0x11CF, 0xAB, 0x39, 0x00, 0x20,
                   0xAF, 0x71, 0xE4, 0x33);
DXFILE_DEFINE_GUID(IID_IDirectXFileSaveObject, 0x3D82AB42, 0x62DA, 0x11CF, 0xAB, 0x39, 0x00, 0x20,
                   0xAF, 0x71, 0xE4, 0x33);
DXFILE_DEFINE_GUID(IID_IDirectXFileObject, 0x3D82AB43, 0x62DA, 0x11CF, 0xAB, 0x39, 0x00, 0x20, 0xAF,
                   0x71, 0xE4, 0x33);
DXFILE_DEFINE_GUID(IID_IDirectXFileData, 0x3D82AB44, 0x62DA, 0x11CF, 0xAB, 0x39, 0x00, 0x20, 0xAF,
                   0x71, 0xE4, 0x33);
DXFILE_DEFINE_GUID(IID_IDirectXFileDataReference, 0x3D82AB45, 0x62DA, 0x11CF, 0xAB, 0x39, 0x00,
                   0x20, 0xAF, 0x71, 0xE4, 0x33);
DXFILE_DEFINE_GUID(IID_IDirectXFileBinary, 0x3D82AB46, 0x62DA, 0x11CF, 0xAB, 0x39, 0x00, 0x20, 0xAF,
                   0x71, 0xE4, 0x33);
// The Header template. Equal to IID_IDirectXFileObject: never compare template identifiers
// with interface identifiers.
DXFILE_DEFINE_GUID(TID_DXFILEHeader, 0x3D82AB43, 0x62DA, 0x11CF, 0xAB, 0x39, 0x00, 0x20, 0xAF,
                   0x71, 0xE4, 0x33);

// ---- Constants and records --------------------------------------------------------------------

typedef DWORD DXFILEFORMAT;
#define DXFILEFORMAT_BINARY 0
#define DXFILEFORMAT_TEXT 1
#define DXFILEFORMAT_COMPRESSED 2  // combined with BINARY or TEXT

typedef DWORD DXFILELOADOPTIONS;
#define DXFILELOAD_FROMFILE 0x00L      // source: const char* file name
#define DXFILELOAD_FROMRESOURCE 0x01L  // source: DXFILELOADRESOURCE* (not available here)
#define DXFILELOAD_FROMMEMORY 0x02L    // source: DXFILELOADMEMORY*
#define DXFILELOAD_FROMSTREAM 0x04L    // not available here
#define DXFILELOAD_FROMURL 0x08L       // not available here

typedef struct _DXFILELOADRESOURCE {
    HMODULE hModule;
    LPCSTR lpName;
    LPCSTR lpType;
} DXFILELOADRESOURCE, *LPDXFILELOADRESOURCE;

typedef struct _DXFILELOADMEMORY {
    LPVOID lpMemory;
    DWORD dSize;
} DXFILELOADMEMORY, *LPDXFILELOADMEMORY;

// ---- Result codes -----------------------------------------------------------------------------

#define DXFILE_OK 0
#define DXFILE_MAKE_ERROR(code) ((HRESULT)(0x88760000u | (code)))
#define DXFILEERR_BADOBJECT DXFILE_MAKE_ERROR(850)
#define DXFILEERR_BADVALUE DXFILE_MAKE_ERROR(851)
#define DXFILEERR_BADTYPE DXFILE_MAKE_ERROR(852)
#define DXFILEERR_BADSTREAMHANDLE DXFILE_MAKE_ERROR(853)
#define DXFILEERR_BADALLOC DXFILE_MAKE_ERROR(854)
#define DXFILEERR_NOTFOUND DXFILE_MAKE_ERROR(855)
#define DXFILEERR_NOTDONEYET DXFILE_MAKE_ERROR(856)
#define DXFILEERR_FILENOTFOUND DXFILE_MAKE_ERROR(857)
#define DXFILEERR_RESOURCENOTFOUND DXFILE_MAKE_ERROR(858)
#define DXFILEERR_URLNOTFOUND DXFILE_MAKE_ERROR(859)
#define DXFILEERR_BADRESOURCE DXFILE_MAKE_ERROR(860)
#define DXFILEERR_BADFILETYPE DXFILE_MAKE_ERROR(861)
#define DXFILEERR_BADFILEVERSION DXFILE_MAKE_ERROR(862)
#define DXFILEERR_BADFILEFLOATSIZE DXFILE_MAKE_ERROR(863)
#define DXFILEERR_BADFILECOMPRESSIONTYPE DXFILE_MAKE_ERROR(864)
#define DXFILEERR_BADFILE DXFILE_MAKE_ERROR(865)
#define DXFILEERR_PARSEERROR DXFILE_MAKE_ERROR(866)
#define DXFILEERR_NOTEMPLATE DXFILE_MAKE_ERROR(867)
#define DXFILEERR_BADARRAYSIZE DXFILE_MAKE_ERROR(868)
#define DXFILEERR_BADDATAREFERENCE DXFILE_MAKE_ERROR(869)
#define DXFILEERR_INTERNALERROR DXFILE_MAKE_ERROR(870)
#define DXFILEERR_NOMOREOBJECTS DXFILE_MAKE_ERROR(871)
#define DXFILEERR_BADINTRINSICS DXFILE_MAKE_ERROR(872)
#define DXFILEERR_NOMORESTREAMHANDLES DXFILE_MAKE_ERROR(873)
#define DXFILEERR_NOMOREDATA DXFILE_MAKE_ERROR(874)
#define DXFILEERR_BADCACHEFILE DXFILE_MAKE_ERROR(875)
#define DXFILEERR_NOINTERNET DXFILE_MAKE_ERROR(876)

// ---- Interfaces -------------------------------------------------------------------------------
// Every object is reference counted: a new object or a returned interface carries one reference
// for the caller, who gives it back with Release. An object stays valid while any reference to
// it is held, whatever else has been released; the data GetData hands out stays valid while its
// object is held.

#ifndef DXFILE_IUNKNOWN_DEFINED
#define DXFILE_IUNKNOWN_DEFINED
struct IUnknown {
    virtual HRESULT QueryInterface(REFIID iid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
};
#endif

struct IDirectXFile;
struct IDirectXFileEnumObject;
struct IDirectXFileSaveObject;
struct IDirectXFileObject;
struct IDirectXFileData;
struct IDirectXFileDataReference;
struct IDirectXFileBinary;

typedef IDirectXFile* LPDIRECTXFILE;
typedef IDirectXFileEnumObject* LPDIRECTXFILEENUMOBJECT;
typedef IDirectXFileSaveObject* LPDIRECTXFILESAVEOBJECT;
typedef IDirectXFileObject* LPDIRECTXFILEOBJECT;
typedef IDirectXFileData* LPDIRECTXFILEDATA;
typedef IDirectXFileDataReference* LPDIRECTXFILEDATAREFERENCE;
typedef IDirectXFileBinary* LPDIRECTXFILEBINARY;

// The root object: holds the template registry that every enumeration and save made from it
// uses. Releasing it does not invalidate the enumerators and save objects made from it.
struct IDirectXFile : IUnknown {
    // Opens an X file from a file name (`const char*`) or from memory (DXFILELOADMEMORY*; the
    // bytes are copied). Checks the header and reads the templates ahead of the first data object.
    virtual HRESULT CreateEnumObject(LPVOID source, DXFILELOADOPTIONS options,
                                     LPDIRECTXFILEENUMOBJECT* enumObject) = 0;
    // Starts a save to `fileName`. The file is replaced only when every call on the save object
    // succeeded, at its final Release; a failed save leaves an existing file untouched.
    virtual HRESULT CreateSaveObject(LPCSTR fileName, DXFILEFORMAT format,
                                     LPDIRECTXFILESAVEOBJECT* saveObject) = 0;
    // Registers the templates of a complete X file (header included; any encoding) that holds
    // templates only. A template whose name is already registered keeps its first definition.
    virtual HRESULT RegisterTemplates(LPVOID data, DWORD size) = 0;
};

struct IDirectXFileEnumObject : IUnknown {
    // The next top-level data object; DXFILEERR_NOMOREOBJECTS at the end.
    virtual HRESULT GetNextDataObject(LPDIRECTXFILEDATA* dataObject) = 0;
    // A top-level data object of the file by its identifier or exact name; DXFILEERR_NOTFOUND.
    virtual HRESULT GetDataObjectById(REFGUID id, LPDIRECTXFILEDATA* dataObject) = 0;
    virtual HRESULT GetDataObjectByName(LPCSTR name, LPDIRECTXFILEDATA* dataObject) = 0;
};

struct IDirectXFileSaveObject : IUnknown {
    // Writes the definitions of registered templates, in the order given.
    virtual HRESULT SaveTemplates(DWORD count, const GUID** templateIds) = 0;
    // Builds an unattached object from packed data (members in template order, no padding; a
    // STRING member is a `char*`, copied during the call). `size` must be the packed size.
    virtual HRESULT CreateDataObject(REFGUID templateId, LPCSTR name, const GUID* id, DWORD size,
                                     LPVOID data, LPDIRECTXFILEDATA* dataObject) = 0;
    // Writes `dataObject` with all its children as one top-level object.
    virtual HRESULT SaveData(LPDIRECTXFILEDATA dataObject) = 0;
};

struct IDirectXFileObject : IUnknown {
    // Size query with a null buffer; 0 is the needed length of an unnamed object.
    virtual HRESULT GetName(LPSTR name, DWORD* length) = 0;
    virtual HRESULT GetId(GUID* id) = 0;
};

struct IDirectXFileData : IDirectXFileObject {
    // The packed block of all members (`member` null) or of one top-level member by name.
    virtual HRESULT GetData(LPCSTR member, DWORD* size, void** data) = 0;
    virtual HRESULT GetType(const GUID** type) = 0;
    virtual HRESULT GetNextObject(LPDIRECTXFILEOBJECT* child) = 0;
    virtual HRESULT AddDataObject(LPDIRECTXFILEDATA child) = 0;
    virtual HRESULT AddDataReference(LPCSTR name, const GUID* id) = 0;
    virtual HRESULT AddBinaryObject(LPCSTR name, const GUID* id, LPCSTR mimeType, LPVOID data,
                                    DWORD size) = 0;
};

struct IDirectXFileDataReference : IDirectXFileObject {
    virtual HRESULT Resolve(LPDIRECTXFILEDATA* dataObject) = 0;
};

struct IDirectXFileBinary : IDirectXFileObject {
    virtual HRESULT GetSize(DWORD* size) = 0;
    virtual HRESULT GetMimeType(LPCSTR* mimeType) = 0;
    virtual HRESULT Read(LPVOID data, DWORD size, DWORD* read) = 0;
};

extern "C" {
// Creates a root object with an empty template registry.
HRESULT WINAPI DirectXFileCreate(LPDIRECTXFILE* directXFile);
}
typedef HRESULT(WINAPI* LPDIRECTXFILECREATE)(LPDIRECTXFILE* directXFile);

// ---- Extension of this library: diagnostics ---------------------------------------------------
// Not part of the published interface set. Each root object keeps the last error that reading or
// saving met through it or through any enumerator or save object made from it.

typedef struct _DXFILEDIAGNOSTIC {
    HRESULT code;          // the DXFILEERR_* code returned; DXFILE_OK when nothing failed
    LPCSTR fileName;       // the file read or saved; "" for memory sources
    DWORD line;            // text encodings: 1-based line of the error, else 0
    DWORD column;          // text encodings: 1-based column (in bytes), else 0
    ULONGLONG byteOffset;  // offset in the file; in the inflated data for compressed files
    BOOL isInflatedOffset; // byteOffset counts inflated bytes after the 16-byte header
    LPCSTR objectPath;     // the objects being read, outermost first: "Frame Root/Mesh Cube"
    LPCSTR reason;         // one line, e.g. "expected ';' after member 'nVertices' of Mesh"
    LPCSTR message;        // all of the above in one line, ready to print
} DXFILEDIAGNOSTIC;

extern "C" {
// Fills `diagnostic` with the last error met through `directXFile`. The texts stay valid until
// the next error through the same root object or the root object's release. DXFILEERR_BADVALUE
// for null arguments or an object that is not a root object of this library.
HRESULT WINAPI DirectXFileGetLastError(LPDIRECTXFILE directXFile, DXFILEDIAGNOSTIC* diagnostic);
}
typedef HRESULT(WINAPI* LPDIRECTXFILEGETLASTERROR)(LPDIRECTXFILE directXFile,
                                                  DXFILEDIAGNOSTIC* diagnostic);
