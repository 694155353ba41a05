#include "Diagnostics.h"

#include <vector>

namespace dxfile {

namespace {

// The object path as the message shows it: a path through a deep hierarchy keeps its first and
// last objects and counts the ones between, so the message stays one readable line. The full
// path stays in `objectPath`.
std::string shownPath(const std::string& path) {
    constexpr std::size_t kHead = 3, kTail = 4;
    std::vector<std::size_t> slashes;
    for (std::size_t at = path.find('/'); at != std::string::npos; at = path.find('/', at + 1))
        slashes.push_back(at);
    const std::size_t objects = slashes.size() + 1;
    if (objects <= kHead + kTail + 1) return path;
    const std::size_t left = objects - kHead - kTail;
    return path.substr(0, slashes[kHead - 1]) + "/... " + std::to_string(left) + " more .../" +
           path.substr(slashes[slashes.size() - kTail] + 1);
}

} // namespace

void Diagnostic::compose() {
    std::string text = fileName.empty() ? std::string("<memory>") : fileName;
    if (line > 0) {
        text += ':' + std::to_string(line) + ':' + std::to_string(column);
    } else if (hasOffset) {
        text += isInflatedOffset ? ": at inflated byte " : ": at byte ";
        text += std::to_string(byteOffset);
    }
    text += ": " + reason;
    if (!objectPath.empty()) text += " (in " + shownPath(objectPath) + ")";
    message = std::move(text);
}

} // namespace dxfile
