#include <filesystem>
#include <system_error>

#include "bmmlib.h"
#include "hostcore.h"

namespace fs = std::filesystem;

BOOL BMMIsFile(const TCHAR* filename) {
    if (!filename || !*filename) return FALSE;
    std::error_code failed;
    return fs::is_regular_file(fs::path(filename), failed) ? TRUE : FALSE;
}

namespace {

// Looks for `fileName` in `folder` and, when `withSubfolders`, below it.
bool findIn(const fs::path& folder, const fs::path& fileName, bool withSubfolders, fs::path& found) {
    std::error_code failed;
    if (folder.empty() || !fs::is_directory(folder, failed)) return false;
    fs::path direct = folder / fileName;
    if (fs::is_regular_file(direct, failed)) {
        found = direct;
        return true;
    }
    if (!withSubfolders) return false;
    fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, failed);
    for (; !failed && it != fs::recursive_directory_iterator(); it.increment(failed)) {
        if (it.depth() > 8) {
            it.disable_recursion_pending();
            continue;
        }
        if (it->path().filename() == fileName && fs::is_regular_file(it->path(), failed)) {
            found = it->path();
            return true;
        }
    }
    return false;
}

}  // namespace

int BMMGetFullFilename(BitmapInfo* bi) {
    if (!bi || !*bi->Name()) return FALSE;
    fs::path given(bi->Name());
    std::error_code failed;
    if (fs::is_regular_file(given, failed)) {
        bi->SetName(fs::absolute(given, failed).string().c_str());
        return TRUE;
    }
    fs::path fileName = given.filename();
    fs::path found;
    if (findIn(hostcore::sceneFolder(), fileName, true, found)) {
        bi->SetName(found.string().c_str());
        return TRUE;
    }
    for (const std::string& folder : hostcore::mapPaths()) {
        if (findIn(folder, fileName, false, found)) {
            bi->SetName(found.string().c_str());
            return TRUE;
        }
    }
    return FALSE;
}
