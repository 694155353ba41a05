// The C library's <stdlib.h> with the path calls of the Windows C runtime added: _fullpath,
// _splitpath and _splitpath_s, with the buffer sizes Windows defines. Names are Windows names
// ('\' and '/' both separate folders; a drive name "D:" may lead).
#pragma GCC system_header
#include_next <stdlib.h>

#ifndef LUMASET_WIN32_CRT_PATHS
#define LUMASET_WIN32_CRT_PATHS

#define _MAX_PATH 260
#define _MAX_DRIVE 3
#define _MAX_DIR 256
#define _MAX_FNAME 256
#define _MAX_EXT 256

#ifdef __cplusplus
extern "C" {
#endif

typedef int errno_t;

// The absolute form of `relPath` (see GetFullPathNameA; an empty or NULL name gives the current
// folder) in `absPath`, which holds `maxLength` bytes; returns `absPath`, or NULL when the
// result does not fit (errno ERANGE) or there is none. With `absPath` NULL the result is in a
// new buffer of the size it needs, which the caller frees with free.
char* _fullpath(char* absPath, const char* relPath, size_t maxLength);

// Splits `path` into drive ("D:"), folder (up to and with the last separator), file name and
// extension (from the last '.', with it). Each out buffer may be NULL. _splitpath assumes
// buffers of _MAX_DRIVE, _MAX_DIR, _MAX_FNAME and _MAX_EXT bytes and cuts longer parts to fit;
// _splitpath_s takes the sizes and returns ERANGE, leaving every buffer empty, when a part does
// not fit (EINVAL for a NULL path, or a NULL buffer with a nonzero size).
void _splitpath(const char* path, char* drive, char* dir, char* fname, char* ext);
errno_t _splitpath_s(const char* path, char* drive, size_t driveNumberOfElements, char* dir,
                     size_t dirNumberOfElements, char* fname, size_t nameNumberOfElements,
                     char* ext, size_t extNumberOfElements);

#ifdef __cplusplus
}
#endif

#endif
