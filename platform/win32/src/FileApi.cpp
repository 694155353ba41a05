// GetFileAttributesA and GetFullPathNameA over the file names of headless/FileNames.h.
#include <cstring>
#include <filesystem>
#include <system_error>

#include "fileapi.h"
#include "headless/FileNames.h"

namespace fs = std::filesystem;

extern "C" DWORD WINAPI GetFileAttributesA(LPCSTR lpFileName) {
    if (!lpFileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_FILE_ATTRIBUTES;
    }
    std::optional<std::string> found = headless::findFile(lpFileName);
    std::error_code failed;
    fs::file_status status = found ? fs::status(*found, failed) : fs::file_status();
    if (!found || failed || !fs::exists(status)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_FILE_ATTRIBUTES;
    }
    if (fs::is_directory(status)) return FILE_ATTRIBUTE_DIRECTORY;
    bool writable = (status.permissions() & fs::perms::owner_write) != fs::perms::none;
    return writable ? FILE_ATTRIBUTE_NORMAL : FILE_ATTRIBUTE_READONLY;
}

extern "C" DWORD WINAPI GetFullPathNameA(LPCSTR lpFileName, DWORD nBufferLength, LPSTR lpBuffer,
                                         LPSTR* lpFilePart) {
    if (!lpFileName || (!lpBuffer && nBufferLength > 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::optional<std::string> full = headless::fullPathOf(lpFileName);
    if (!full) {
        SetLastError(*lpFileName ? ERROR_FILENAME_EXCED_RANGE : ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (full->size() + 1 > nBufferLength) return DWORD(full->size() + 1);
    std::memcpy(lpBuffer, full->c_str(), full->size() + 1);
    if (lpFilePart) {
        std::string_view last = headless::fileNamePart(*full);
        *lpFilePart = last.empty() ? nullptr : lpBuffer + (full->size() - last.size());
    }
    return DWORD(full->size());
}
