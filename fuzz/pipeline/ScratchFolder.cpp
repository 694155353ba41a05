#include "PipelineChecks.h"

#include <cstdlib>
#include <vector>

std::filesystem::path makeScratchFolder(const std::string& prefix) {
    std::error_code ignored;
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ignored)
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path();
    const std::string pattern = (base / (prefix + "-XXXXXX")).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (!::mkdtemp(name.data())) return {};
    return std::filesystem::path(name.data());
}

const std::filesystem::path& processScratchFolder() {
    static const std::filesystem::path folder = [] {
        std::filesystem::path made = makeScratchFolder("lumaset-fuzz");
        if (made.empty()) std::abort();
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(processScratchFolder(), ignored);
        });
        return made;
    }();
    return folder;
}
