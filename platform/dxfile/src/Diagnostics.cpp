#include "Diagnostics.h"

namespace dxfile {

void Diagnostic::compose() {
    std::string text = fileName.empty() ? std::string("<memory>") : fileName;
    if (line > 0) {
        text += ':' + std::to_string(line) + ':' + std::to_string(column);
    } else if (hasOffset) {
        text += isInflatedOffset ? ": at inflated byte " : ": at byte ";
        text += std::to_string(byteOffset);
    }
    text += ": " + reason;
    if (!objectPath.empty()) text += " (in " + objectPath + ")";
    message = std::move(text);
}

} // namespace dxfile
