// File names and attributes. Names are Windows names: '\' and '/' both separate folders, and
// files are found whatever their letter case (see headless/FileNames.h for the exact rules).
#pragma once

#include "wintypes.h"

#define INVALID_FILE_ATTRIBUTES ((DWORD)-1)
#define FILE_ATTRIBUTE_READONLY 0x00000001
#define FILE_ATTRIBUTE_HIDDEN 0x00000002
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010
#define FILE_ATTRIBUTE_NORMAL 0x00000080

#ifndef ERROR_PATH_NOT_FOUND
#define ERROR_PATH_NOT_FOUND 3L
#endif
#ifndef ERROR_INVALID_PARAMETER
#define ERROR_INVALID_PARAMETER 87L
#endif
#ifndef ERROR_FILENAME_EXCED_RANGE
#define ERROR_FILENAME_EXCED_RANGE 206L
#endif

extern "C" {

// FILE_ATTRIBUTE_DIRECTORY for a folder, FILE_ATTRIBUTE_NORMAL for a file (with
// FILE_ATTRIBUTE_READONLY when it cannot be written); INVALID_FILE_ATTRIBUTES, with the last
// error ERROR_FILE_NOT_FOUND, when nothing has that name.
DWORD WINAPI GetFileAttributesA(LPCSTR lpFileName);

// Writes the absolute form of `lpFileName` (worked out from the text, nothing looked up) into
// `lpBuffer` and returns its length without the terminating zero; `*lpFilePart` (when
// `lpFilePart` is not NULL) points at its last part, or is NULL when the name ends in a
// separator. When the buffer is too small nothing is written and the result is the size needed,
// terminating zero included. 0 (with the last error set) for a name that has no absolute form.
DWORD WINAPI GetFullPathNameA(LPCSTR lpFileName, DWORD nBufferLength, LPSTR lpBuffer,
                              LPSTR* lpFilePart);

} // extern "C"
