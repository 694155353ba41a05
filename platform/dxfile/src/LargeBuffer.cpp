#include "LargeBuffer.h"

#include <sys/mman.h>

#include <cstdint>

namespace dxfile {

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

} // namespace

void* allocateLarge(std::size_t bytes) {
    // Over-map by one huge page and trim to an aligned block, so the kernel can back it with
    // huge pages from the first byte.
    std::size_t mapped = bytes + kHugePage;
    void* raw = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) throw std::bad_alloc();
    auto start = reinterpret_cast<std::uintptr_t>(raw);
    std::uintptr_t aligned = (start + kHugePage - 1) & ~(kHugePage - 1);
    std::size_t before = aligned - start;
    std::size_t after = mapped - before - bytes;
    if (before > 0) ::munmap(raw, before);
    if (after > 0) ::munmap(reinterpret_cast<void*>(aligned + bytes), after);
    ::madvise(reinterpret_cast<void*>(aligned), bytes, MADV_HUGEPAGE);
    return reinterpret_cast<void*>(aligned);
}

void releaseLarge(void* block, std::size_t bytes) noexcept { ::munmap(block, bytes); }

} // namespace dxfile
