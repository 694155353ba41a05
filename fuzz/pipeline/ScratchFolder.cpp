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

ScratchFolder::ScratchFolder(const std::string& prefix) : path_(makeScratchFolder(prefix)) {
    if (path_.empty()) std::abort();
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}
