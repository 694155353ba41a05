// Storage for packed data and inflated files, which run to tens of megabytes. Large blocks come
// straight from the kernel, aligned for huge pages and asking for them, so a fresh block costs a
// few dozen faults instead of one per 4 KiB page, and the last one released is kept for the next
// request of its size; small ones come from the heap. New elements are
// left uninitialised: the data is always written right after it grows, and zero-filling tens of
// megabytes first would cost a pass over them.
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>
#include <vector>

namespace dxfile {

// Blocks of at least this many bytes are mapped; smaller ones use the heap.
inline constexpr std::size_t kLargeBlockBytes = std::size_t{1} << 20;

void* allocateLarge(std::size_t bytes);
void releaseLarge(void* block, std::size_t bytes) noexcept;

template <class T> struct LargeBlockAllocator {
    using value_type = T;
    LargeBlockAllocator() = default;
    template <class U> LargeBlockAllocator(const LargeBlockAllocator<U>&) noexcept {}

    T* allocate(std::size_t count) {
        assert(count > 0 && "containers never ask for empty blocks");
        std::size_t bytes = count * sizeof(T);
        if (bytes >= kLargeBlockBytes) return static_cast<T*>(allocateLarge(bytes));
        return static_cast<T*>(::operator new(bytes));
    }
    void deallocate(T* block, std::size_t count) noexcept {
        std::size_t bytes = count * sizeof(T);
        if (bytes >= kLargeBlockBytes)
            releaseLarge(block, bytes);
        else
            ::operator delete(block);
    }
    template <class U> void construct(U* p) noexcept { ::new (static_cast<void*>(p)) U; }
    template <class U, class... Args> void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
    template <class U> bool operator==(const LargeBlockAllocator<U>&) const noexcept {
        return true;
    }
};

using LargeBytes = std::vector<std::uint8_t, LargeBlockAllocator<std::uint8_t>>;

} // namespace dxfile
