#include "headless/FileNames.h"

#include <cctype>
#include <filesystem>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace headless {

namespace {

// Windows' own limit on a path ("\\?\" names included).
constexpr size_t kMaxNameLength = 32767;
// Entries looked at in one folder while matching a name ignoring case.
constexpr size_t kMaxFolderEntries = 65536;

bool isSeparator(char c) {
    return c == '/' || c == '\\';
}

bool hasDrive(std::string_view name) {
    return name.size() >= 2 && std::isalpha(static_cast<unsigned char>(name[0])) && name[1] == ':';
}

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// The parts between separators, empty ones dropped.
std::vector<std::string_view> partsOf(std::string_view name) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (size_t i = 0; i <= name.size(); ++i) {
        if (i == name.size() || isSeparator(name[i])) {
            if (i > start) parts.push_back(name.substr(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

std::string joined(const std::string& folder, std::string_view part) {
    if (folder.empty()) return std::string(part);
    std::string path = folder;
    if (path.back() != '/') path += '/';
    path += part;
    return path;
}

bool exists(const std::string& path) {
    std::error_code failed;
    return fs::exists(path.empty() ? fs::path(".") : fs::path(path), failed);
}

} // namespace

std::optional<std::string> fullPathOf(std::string_view name) {
    if (name.empty() || name.size() > kMaxNameLength) return std::nullopt;
    std::string root;
    std::string_view rest = name;
    if (hasDrive(name)) {
        root = std::string(name.substr(0, 2)) + "/";
        rest = name.substr(2);
    } else if (name.size() >= 2 && isSeparator(name[0]) && isSeparator(name[1])) {
        root = "//";
    } else if (isSeparator(name[0])) {
        root = "/";
    } else {
        std::error_code failed;
        fs::path current = fs::current_path(failed);
        if (failed) return std::nullopt;
        return fullPathOf(current.string() + "/" + std::string(name));
    }
    std::vector<std::string_view> parts;
    for (std::string_view part : partsOf(rest)) {
        if (part == ".") continue;
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    std::string path = root;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) path += '/';
        path += parts[i];
    }
    if (isSeparator(name.back()) && !parts.empty()) path += '/';
    if (path.size() > kMaxNameLength) return std::nullopt;
    return path;
}

std::optional<std::string> findInFolder(const std::string& folder, std::string_view fileName) {
    if (fileName.empty() || fileName.size() > kMaxNameLength) return std::nullopt;
    std::string direct = joined(folder, fileName);
    if (exists(direct)) return direct;
    std::error_code failed;
    fs::directory_iterator it(folder.empty() ? fs::path(".") : fs::path(folder), failed);
    std::optional<std::string> match;
    size_t seen = 0;
    for (; !failed && it != fs::directory_iterator() && seen < kMaxFolderEntries;
         it.increment(failed), ++seen) {
        std::string entry = it->path().filename().string();
        if (!sameIgnoringCase(entry, fileName)) continue;
        if (match) return std::nullopt; // two names that differ only in case: not a match
        match = joined(folder, entry);
    }
    return match;
}

std::optional<std::string> findFile(std::string_view name) {
    if (name.empty() || name.size() > kMaxNameLength || hasDrive(name)) return std::nullopt;
    std::string path = isSeparator(name[0]) ? "/" : "";
    for (std::string_view part : partsOf(name)) {
        if (part == "." || part == "..") {
            path = joined(path, part); // the file system folds these itself
            continue;
        }
        std::optional<std::string> found = findInFolder(path, part);
        if (!found) return std::nullopt;
        path = *found;
    }
    if (path.empty() || !exists(path)) return std::nullopt;
    return path;
}

std::string_view fileNamePart(std::string_view name) {
    size_t start = hasDrive(name) ? 2 : 0;
    for (size_t i = start; i < name.size(); ++i)
        if (isSeparator(name[i])) start = i + 1;
    return name.substr(start);
}

} // namespace headless
