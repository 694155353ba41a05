// The Windows C runtime's path calls: _fullpath, _splitpath and _splitpath_s.
#include <stdlib.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>

#include "headless/FileNames.h"

namespace {

bool isSeparator(char c) {
    return c == '/' || c == '\\';
}

struct PathParts {
    std::string_view drive, dir, fname, ext;
};

PathParts partsOf(std::string_view path) {
    PathParts parts;
    if (path.size() >= 2 && path[1] == ':' &&
        ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'))) {
        parts.drive = path.substr(0, 2);
        path.remove_prefix(2);
    }
    size_t nameStart = 0;
    for (size_t i = 0; i < path.size(); ++i)
        if (isSeparator(path[i])) nameStart = i + 1;
    parts.dir = path.substr(0, nameStart);
    std::string_view name = path.substr(nameStart);
    size_t dot = name.rfind('.');
    parts.fname = dot == std::string_view::npos ? name : name.substr(0, dot);
    parts.ext = dot == std::string_view::npos ? std::string_view() : name.substr(dot);
    return parts;
}

// Copies `part` into `out` of `size` bytes, cut to fit.
void copyCut(std::string_view part, char* out, size_t size) {
    if (!out || size == 0) return;
    size_t count = part.size() < size - 1 ? part.size() : size - 1;
    if (count > 0) std::memcpy(out, part.data(), count); // an empty part may have no data
    out[count] = '\0';
}

} // namespace

extern "C" char* _fullpath(char* absPath, const char* relPath, size_t maxLength) {
    std::optional<std::string> full;
    if (!relPath || !*relPath) {
        std::error_code failed;
        std::filesystem::path current = std::filesystem::current_path(failed);
        if (!failed) full = current.string();
    } else {
        full = headless::fullPathOf(relPath);
    }
    if (!full) {
        errno = ENOENT;
        return nullptr;
    }
    if (!absPath) {
        auto* buffer = static_cast<char*>(std::malloc(full->size() + 1));
        if (!buffer) {
            errno = ENOMEM;
            return nullptr;
        }
        std::memcpy(buffer, full->c_str(), full->size() + 1);
        return buffer;
    }
    if (full->size() + 1 > maxLength) {
        errno = ERANGE;
        return nullptr;
    }
    std::memcpy(absPath, full->c_str(), full->size() + 1);
    return absPath;
}

extern "C" void _splitpath(const char* path, char* drive, char* dir, char* fname, char* ext) {
    PathParts parts = partsOf(path ? std::string_view(path) : std::string_view());
    copyCut(parts.drive, drive, _MAX_DRIVE);
    copyCut(parts.dir, dir, _MAX_DIR);
    copyCut(parts.fname, fname, _MAX_FNAME);
    copyCut(parts.ext, ext, _MAX_EXT);
}

extern "C" errno_t _splitpath_s(const char* path, char* drive, size_t driveNumberOfElements,
                                char* dir, size_t dirNumberOfElements, char* fname,
                                size_t nameNumberOfElements, char* ext,
                                size_t extNumberOfElements) {
    struct Out {
        char* buffer;
        size_t size;
        std::string_view part;
    };
    PathParts parts = partsOf(path ? std::string_view(path) : std::string_view());
    Out outs[4] = {{drive, driveNumberOfElements, parts.drive},
                   {dir, dirNumberOfElements, parts.dir},
                   {fname, nameNumberOfElements, parts.fname},
                   {ext, extNumberOfElements, parts.ext}};
    bool invalid = !path;
    bool tooLong = false;
    for (const Out& out : outs) {
        if (!out.buffer && out.size != 0) invalid = true;
        if (out.buffer && out.part.size() + 1 > out.size) tooLong = true;
    }
    if (invalid || tooLong) {
        for (const Out& out : outs)
            if (out.buffer && out.size > 0) out.buffer[0] = '\0';
        errno = invalid ? EINVAL : ERANGE;
        return invalid ? EINVAL : ERANGE;
    }
    for (const Out& out : outs)
        copyCut(out.part, out.buffer, out.size);
    return 0;
}
