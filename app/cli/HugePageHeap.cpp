#include "cli/HugePageHeap.h"

#include <WholeFile.h>

#include <cstdlib>
#include <string_view>

#include <unistd.h>

namespace cli {

namespace {

constexpr std::string_view kTunable = "glibc.malloc.hugetlb";

// "always [madvise] never" names the mode in force in brackets; only "[never]" refuses the
// C library's requests. The kernel says such files hold a page, whatever they hold.
bool systemGivesHugePages() {
    std::string modes;
    if (!fileio::readWholeFile("/sys/kernel/mm/transparent_hugepage/enabled", 8192, modes).ok())
        return false;
    return modes.find("[never]") == std::string::npos;
}

} // namespace

bool tunablesWithHugePageHeap(const char* current, std::string& wanted) {
    const std::string_view tunables = current ? current : "";
    if (tunables.find(kTunable) != std::string_view::npos) return false;
    wanted.assign(tunables);
    if (!wanted.empty()) wanted += ':';
    wanted.append(kTunable).append("=1");
    return true;
}

void restartWithHugePageHeap(char** argv) {
    const char* current = std::getenv("GLIBC_TUNABLES");
    std::string wanted;
    if (!tunablesWithHugePageHeap(current, wanted) || !systemGivesHugePages()) return;
    const std::string before = current ? current : "";
    if (::setenv("GLIBC_TUNABLES", wanted.c_str(), 1) != 0) return;
    ::execv("/proc/self/exe", argv);
    if (current)
        ::setenv("GLIBC_TUNABLES", before.c_str(), 1);
    else
        ::unsetenv("GLIBC_TUNABLES");
}

} // namespace cli
