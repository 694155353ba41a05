// Module loading. A module is a shared object; `LoadLibraryA` takes a Windows-style name
// ("d3dxof.dll", "Lumaset.dle") or a path. A bare name is searched for, in order, in the folder
// of the running program and in the folders of the PATH variable; a name with a '/' is used as
// given. Loading a module that is already loaded returns the same handle and counts one more
// reference. After a module's static initialisation, its `DllMain` (if it exports one) is called
// with DLL_PROCESS_ATTACH; when the last reference is freed, with DLL_PROCESS_DETACH before the
// module is unloaded.
#pragma once

#include "wintypes.h"

#define DLL_PROCESS_DETACH 0
#define DLL_PROCESS_ATTACH 1
#define DLL_THREAD_ATTACH 2
#define DLL_THREAD_DETACH 3

// Windows declares FARPROC as returning INT_PTR; a void-returning type is the one the compiler
// accepts a cast from without warning, so callers may cast it to the procedure's real type.
typedef void(WINAPI* FARPROC)();
// The entry routine a module may export, as Windows calls it.
typedef BOOL(WINAPI* DllMainProc)(HINSTANCE instance, DWORD reason, LPVOID reserved);

extern "C" {
// Null on failure, with GetLastError set (ERROR_MOD_NOT_FOUND, ERROR_BAD_EXE_FORMAT).
HMODULE WINAPI LoadLibraryA(LPCSTR fileName);
// FALSE for a handle that is not a loaded module.
BOOL WINAPI FreeLibrary(HMODULE module);
// Null when the module exports no such name (GetLastError: ERROR_PROC_NOT_FOUND).
FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR procName);
// The full path of a loaded module, or of the running program for a null handle. Returns the
// length copied (without the zero byte), cut to the buffer; 0 on failure.
DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size);
// The handle of a module already loaded through LoadLibraryA, by its name or path; null if none.
HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName);
}
