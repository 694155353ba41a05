#include "LargeBuffer.h"

#include <sys/mman.h>

#include <cassert>
#include <cstdint>
#include <mutex>
#include <utility>

namespace dxfile {

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

// The last block released, kept for the next request of the same size: reading one file after
// another asks for the same blocks again, and a block already backed by pages costs no faults.
// Only one, and only up to this size, is kept.
constexpr std::size_t kMostKeptBytes = std::size_t{64} << 20;

struct KeptBlock {
    std::mutex mutex;
    void* block = nullptr;
    std::size_t bytes = 0;
};

KeptBlock& kept() {
    static KeptBlock keptBlock;
    return keptBlock;
}

} // namespace

void* allocateLarge(std::size_t bytes) {
    assert(bytes > 0 && "large blocks are never empty");
    {
        KeptBlock& k = kept();
        std::lock_guard<std::mutex> lock(k.mutex);
        if (k.block && k.bytes == bytes) return std::exchange(k.block, nullptr);
    }
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

void releaseLarge(void* block, std::size_t bytes) noexcept {
    if (bytes <= kMostKeptBytes) {
        KeptBlock& k = kept();
        std::lock_guard<std::mutex> lock(k.mutex);
        std::swap(block, k.block);
        std::swap(bytes, k.bytes);
        if (!block) return;
    }
    ::munmap(block, bytes);
}

} // namespace dxfile
