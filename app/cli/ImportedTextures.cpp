#include "cli/ImportedTextures.h"

#include "gltf/Uri.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace cli {
namespace {

namespace fs = std::filesystem;

bool sameIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

// The entry of `folder` named `name` in any case; the first in name order when several are.
std::string entryIgnoringCase(const fs::path& folder, const std::string& name) {
    std::error_code failed;
    std::string found;
    for (fs::directory_iterator it(folder, failed), end; !failed && it != end;
         it.increment(failed)) {
        const std::string entry = it->path().filename().string();
        if (sameIgnoringCase(entry, name) && (found.empty() || entry < found)) found = entry;
    }
    return found;
}

} // namespace

std::string findFileIgnoringCase(const std::string& path) {
    std::error_code failed;
    if (path.empty()) return {};
    if (fs::is_regular_file(path, failed)) return path;
    std::string slashed = path;
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    fs::path at = slashed.front() == '/' ? fs::path("/") : fs::path(".");
    std::size_t start = 0;
    while (start <= slashed.size()) {
        std::size_t end = slashed.find('/', start);
        if (end == std::string::npos) end = slashed.size();
        const std::string part = slashed.substr(start, end - start);
        start = end + 1;
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            at = at.parent_path();
            continue;
        }
        if (fs::exists(at / part, failed)) {
            at /= part;
            continue;
        }
        const std::string entry = entryIgnoringCase(at, part);
        if (entry.empty()) return {};
        at /= entry;
    }
    return fs::is_regular_file(at, failed) ? at.lexically_normal().string() : std::string();
}

void resolveImageFiles(gltf::Scene& scene, std::vector<std::string>& warnings) {
    for (gltf::Image& image : scene.images) {
        if (image.path.empty()) continue;
        if (std::string found = findFileIgnoringCase(image.path); !found.empty()) {
            image.path = found;
            continue;
        }
        std::string name = image.uri.empty() ? fs::path(image.path).filename().string() : image.uri;
        warnings.push_back("texture '" + name + "' was found nowhere; it keeps its name");
        std::replace(name.begin(), name.end(), '\\', '/');
        image.uri = gltf::encodeUriPath(name);
        image.path.clear();
    }
}

} // namespace cli
