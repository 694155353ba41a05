#include "build/TextureSearch.h"

#include "bmmlib.h"

#include <cctype>
#include <filesystem>
#include <system_error>

namespace {

// A full path split as the C runtime's path splitter splits one: the drive, the folder with its
// trailing separator, the file name without its extension, and the extension with its dot.
struct PathParts {
    std::string drive;
    std::string folder;
    std::string name;
    std::string extension;
};

bool hasDrive(const std::string& path) {
    return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
}

// The absolute form of `path`, with "." and ".." resolved; false when there is none. A name with
// a drive, written on another system, counts as absolute already.
bool fullPathOf(const std::string& path, std::string& full) {
    if (hasDrive(path)) {
        full = path;
        return true;
    }
    std::error_code failed;
    const std::filesystem::path absolute = std::filesystem::absolute(path, failed);
    if (failed) return false;
    full = absolute.lexically_normal().string();
    return !full.empty();
}

bool isSeparator(char c) {
    return c == '/' || c == '\\';
}

PathParts splitPath(const std::string& full) {
    PathParts parts;
    std::size_t rest = 0;
    if (hasDrive(full)) {
        parts.drive = full.substr(0, 2);
        rest = 2;
    }
    std::size_t nameStart = rest;
    for (std::size_t i = rest; i < full.size(); ++i)
        if (isSeparator(full[i])) nameStart = i + 1;
    parts.folder = full.substr(rest, nameStart - rest);
    const std::string fileName = full.substr(nameStart);
    const std::size_t dot = fileName.rfind('.');
    parts.name = dot == std::string::npos ? fileName : fileName.substr(0, dot);
    parts.extension = dot == std::string::npos ? std::string() : fileName.substr(dot);
    return parts;
}

// Rule 3: the X file's drive and folder, then the texture's file name and extension.
bool besideXFile(const std::string& textureName, const std::string& xFileName,
                 std::string& candidate) {
    std::string fullTexture;
    std::string fullXFile;
    if (xFileName.empty() || !fullPathOf(textureName, fullTexture) ||
        !fullPathOf(xFileName, fullXFile))
        return false;
    const PathParts texture = splitPath(fullTexture);
    const PathParts xFile = splitPath(fullXFile);
    candidate = xFile.drive + xFile.folder;
    if (candidate.empty() || !isSeparator(candidate.back())) candidate += '/';
    candidate += texture.name + texture.extension;
    return true;
}

} // namespace

std::string findTextureFile(const std::string& textureName, const std::string& xFileName) {
    if (BMMIsFile(textureName.c_str())) return textureName;
    BitmapInfo info;
    info.SetName(textureName.c_str());
    if (BMMGetFullFilename(&info) && BMMIsFile(info.Name())) return info.Name();
    std::string candidate;
    if (besideXFile(textureName, xFileName, candidate) && BMMIsFile(candidate.c_str()))
        return candidate;
    return textureName;
}
