// The program's heap in huge pages. Importing or exporting a large scene puts a few hundred MB
// of fresh arrays through the C library's allocator, and with 4 KiB pages the kernel's handling
// of their first touch is most of the time the command takes. The C library hands large blocks
// out in transparent huge pages when its tunable glibc.malloc.hugetlb is 1; tunables are read
// only when a process starts, so the program starts itself once more with the tunable added.
#pragma once

#include <string>

namespace cli {

// GLIBC_TUNABLES with glibc.malloc.hugetlb=1 added, or nothing to change when the user already
// chose a value for it (glibc.malloc.hugetlb=0 keeps the usual heap).
bool tunablesWithHugePageHeap(const char* current, std::string& wanted);

// Starts the program again with the tunable added when the system hands out huge pages on
// request. Returns only when the program goes on in this process: the tunable was already set,
// the system has no huge pages to give, or starting again failed (the usual heap then serves,
// and the environment is left as it was). Call it first thing, before any input is read.
void restartWithHugePageHeap(char** argv);

} // namespace cli
