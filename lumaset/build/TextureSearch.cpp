#include "build/TextureSearch.h"

#include "bmmlib.h"

#include <stdlib.h>

#include <memory>

namespace {

// A full path split by the C runtime's path splitter: the drive, the folder with its trailing
// separator, the file name without its extension, and the extension with its dot.
struct PathParts {
    std::string drive;
    std::string folder;
    std::string name;
    std::string extension;
};

struct FreeWithFree {
    void operator()(char* text) const { free(text); }
};

// The absolute form of `path` by the C runtime's full-path call, in a buffer of the size it
// needs, so names of any length go through; false when there is none.
bool fullPathOf(const std::string& path, std::string& full) {
    const std::unique_ptr<char, FreeWithFree> absolute(_fullpath(nullptr, path.c_str(), 0));
    if (!absolute || !*absolute) return false;
    full = absolute.get();
    return true;
}

// Splits `full`; every part is at most as long as the whole, so buffers of that size always
// hold it. False when the splitter refuses all the same.
bool splitPath(const std::string& full, PathParts& parts) {
    const std::size_t size = full.size() + 1;
    std::string drive(size, '\0'), folder(size, '\0'), name(size, '\0'), extension(size, '\0');
    if (_splitpath_s(full.c_str(), drive.data(), size, folder.data(), size, name.data(), size,
                     extension.data(), size) != 0)
        return false;
    const auto text = [](const std::string& buffer) { return std::string(buffer.c_str()); };
    parts = PathParts{text(drive), text(folder), text(name), text(extension)};
    return true;
}

bool isSeparator(char c) {
    return c == '/' || c == '\\';
}

// Rule 3: the X file's drive and folder, then the texture's file name and extension.
bool besideXFile(const std::string& textureName, const std::string& xFileName,
                 std::string& candidate) {
    std::string fullTexture;
    std::string fullXFile;
    PathParts texture;
    PathParts xFile;
    if (xFileName.empty() || !fullPathOf(textureName, fullTexture) ||
        !fullPathOf(xFileName, fullXFile) || !splitPath(fullTexture, texture) ||
        !splitPath(fullXFile, xFile) || (texture.name.empty() && texture.extension.empty()))
        return false;
    candidate = xFile.drive + xFile.folder;
    // The folder part ends in its separator; one is added only where there is none, in the
    // kind the full path uses.
    if (candidate.empty() || !isSeparator(candidate.back()))
        candidate += xFile.folder.find('\\') != std::string::npos ? '\\' : '/';
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
