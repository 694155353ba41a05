// Finding image files. Names come from scene files made on Windows, so '\' separates folders
// as '/' does and letter case does not matter (headless/FileNames.h).
#include <algorithm>
#include <deque>
#include <filesystem>
#include <system_error>
#include <vector>

#include "bmmlib.h"
#include "headless/FileNames.h"
#include "hostcore.h"

namespace fs = std::filesystem;

namespace {

// Bounds of the search below the scene folder: how deep, and how many folders in all.
constexpr int kMaxSubfolderDepth = 8;
constexpr size_t kMaxFoldersSearched = 4096;
constexpr size_t kMaxEntriesPerFolder = 65536;

bool isRegularFile(const std::string& path) {
    std::error_code failed;
    return fs::is_regular_file(path, failed);
}

std::optional<std::string> fileIn(const std::string& folder, std::string_view fileName) {
    std::optional<std::string> found = headless::findInFolder(folder, fileName);
    return found && isRegularFile(*found) ? found : std::nullopt;
}

// The subfolders of `folder` in name order (so the search is the same on every run).
std::vector<std::string> subfoldersOf(const std::string& folder) {
    std::vector<std::string> folders;
    std::error_code failed;
    fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, failed);
    for (size_t seen = 0; !failed && it != fs::directory_iterator() && seen < kMaxEntriesPerFolder;
         it.increment(failed), ++seen) {
        std::error_code notADirectory;
        if (it->is_directory(notADirectory) && !it->is_symlink(notADirectory))
            folders.push_back(it->path().string());
    }
    std::sort(folders.begin(), folders.end());
    return folders;
}

// `folder` itself, then its subfolders breadth first, nearest first.
std::optional<std::string> fileBelow(const std::string& folder, std::string_view fileName) {
    std::deque<std::pair<std::string, int>> pending{{folder, 0}};
    for (size_t searched = 0; !pending.empty() && searched < kMaxFoldersSearched; ++searched) {
        auto [current, depth] = pending.front();
        pending.pop_front();
        if (std::optional<std::string> found = fileIn(current, fileName)) return found;
        if (depth < kMaxSubfolderDepth)
            for (std::string& sub : subfoldersOf(current))
                pending.emplace_back(std::move(sub), depth + 1);
    }
    return std::nullopt;
}

std::string absolute(const std::string& path) {
    std::error_code failed;
    fs::path full = fs::absolute(path, failed);
    return failed ? path : full.lexically_normal().string();
}

} // namespace

BOOL BMMIsFile(const TCHAR* filename) {
    if (!filename || !*filename) return FALSE;
    std::optional<std::string> found = headless::findFile(filename);
    return found && isRegularFile(*found) ? TRUE : FALSE;
}

int BMMGetFullFilename(BitmapInfo* bi) {
    if (!bi || !*bi->Name()) return FALSE;
    std::string given = bi->Name();
    std::optional<std::string> found = headless::findFile(given);
    if (!found || !isRegularFile(*found)) {
        found.reset();
        std::string_view fileName = headless::fileNamePart(given);
        if (fileName.empty()) return FALSE;
        if (!hostcore::sceneFolder().empty()) found = fileBelow(hostcore::sceneFolder(), fileName);
        for (size_t i = 0; !found && i < hostcore::mapPaths().size(); ++i)
            found = fileIn(hostcore::mapPaths()[i], fileName);
    }
    if (!found) return FALSE;
    bi->SetName(absolute(*found).c_str());
    return TRUE;
}
