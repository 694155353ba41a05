#include "xfile/XFileTarget.h"

#include "xfile/FileServices.h"

#include <ComRef.h>
#include <WholeFile.h>
#include <dxfile.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace xfile {
namespace {

// The services' own line for the last failure.
std::string lastReason(const FileServices& services) {
    const DXFILEDIAGNOSTIC diagnostic = services.lastDiagnostic();
    if (diagnostic.code == DXFILE_OK || !diagnostic.reason)
        return "the file services cannot create it";
    return diagnostic.reason;
}

bool isNameCharacter(char c) {
    return !std::strchr(" \t\r\n{};,\"<>[]", c);
}

} // namespace

FileState fileStateOf(const std::string& path) {
    FileState state;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return state;
    state.exists = true;
    state.device = info.st_dev;
    state.inode = info.st_ino;
    state.modified = info.st_mtim;
    state.size = info.st_size;
    return state;
}

bool wasReplaced(const FileState& before, const std::string& path) {
    const FileState now = fileStateOf(path);
    if (!now.exists) return false;
    if (!before.exists) return true;
    return now.device != before.device || now.inode != before.inode ||
           now.modified.tv_sec != before.modified.tv_sec ||
           now.modified.tv_nsec != before.modified.tv_nsec || now.size != before.size;
}

std::string saveRefusal(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) return "is a folder";
        // The services rename the finished file over the target, which the system allows even
        // for a file marked read-only; the program keeps such a file as it is, for every user.
        if (!(info.st_mode & S_IWUSR)) return "cannot be replaced: the file is read-only";
        if (::access(path.c_str(), W_OK) != 0)
            return std::string("cannot be replaced: ") + std::strerror(errno);
    }
    FileServices services;
    if (!services.root()) return "the file services (d3dxof.dll) could not be loaded";
    ComRef<IDirectXFileSaveObject> save;
    if (services.root()->CreateSaveObject(path.c_str(), DXFILEFORMAT_BINARY, save.receive()) !=
        DXFILE_OK)
        return lastReason(services);
    // A save in which a call failed leaves the target untouched when it is released: a probe.
    (void)save->SaveTemplates(1, nullptr);
    return std::string();
}

bool textFrameNames(const std::string& path, std::vector<std::string>& names) {
    std::string text;
    // Sizes inside an X file are 32-bit: a larger file is not one the services would read.
    if (!fileio::readWholeFile(path, 0xFFFFFFFFull, text).ok()) return false;
    if (text.size() < 16 || text.compare(0, 4, "xof ") != 0 || text.compare(8, 4, "txt ") != 0)
        return false;
    names.clear();
    // Tokens: names and numbers are runs of name characters, strings are skipped whole, every
    // other character is punctuation. A frame is "Frame [name] {" not preceded by "template".
    std::string previous;
    std::size_t at = 16;
    auto nextToken = [&](std::string& token) {
        while (at < text.size()) {
            const char c = text[at];
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
                ++at;
            } else if (c == '#' || (c == '/' && at + 1 < text.size() && text[at + 1] == '/')) {
                while (at < text.size() && text[at] != '\n')
                    ++at;
            } else if (c == '"') {
                const std::size_t end = text.find('"', at + 1);
                at = end == std::string::npos ? text.size() : end + 1;
                token = "\"";
                return true;
            } else if (isNameCharacter(c)) {
                const std::size_t start = at;
                while (at < text.size() && isNameCharacter(text[at]))
                    ++at;
                token.assign(text, start, at - start);
                return true;
            } else {
                token.assign(1, c);
                ++at;
                return true;
            }
        }
        return false;
    };
    std::string token;
    while (nextToken(token)) {
        if (token == "Frame" && previous != "template") {
            std::string name;
            if (!nextToken(name)) break;
            if (name == "{") {
                names.emplace_back();
            } else {
                std::string brace;
                if (nextToken(brace) && brace == "{") names.push_back(name);
            }
            previous = "{";
            continue;
        }
        previous = token;
    }
    return true;
}

} // namespace xfile
