// A find-or-add index over entries that live in the caller's own array, numbering distinct entries
// in order of first appearance. It gives exactly the numbering an ordered map would, at the cost of
// a hash per lookup instead of a walk down a tree, which matters for meshes of a million faces.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

class FirstAppearanceIndex {
public:
    // Sized for about `expectedEntryCount` distinct entries; the table grows when more arrive.
    explicit FirstAppearanceIndex(std::size_t expectedEntryCount) {
        std::size_t capacity = 16;
        while (capacity < expectedEntryCount * 2)
            capacity *= 2;
        slots_.assign(capacity, Slot{kEmpty, 0});
    }

    // Returns the number of the entry equal to the candidate when one was added before; otherwise
    // records the candidate as `newEntry` and returns it. `equalsEntry(e)` compares the candidate
    // with entry e; equal entries must have equal hashes.
    template <class EqualsEntry>
    std::uint32_t findOrAdd(std::uint64_t hash, std::uint32_t newEntry, EqualsEntry&& equalsEntry) {
        const auto key = static_cast<std::uint32_t>(hash ^ (hash >> 32));
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t slot = key & mask;; slot = (slot + 1) & mask) {
            Slot& s = slots_[slot];
            if (s.entry == kEmpty) {
                s = Slot{newEntry, key};
                if (++entryCount_ * 5 > slots_.size() * 3) grow();
                return newEntry;
            }
            if (s.key == key && equalsEntry(s.entry)) return s.entry;
        }
    }

    // Asks for the slot a later findOrAdd(hash, ...) starts at to be brought into the cache. A
    // table of a million entries does not fit in the cache, and a lookup that waits for memory
    // costs more than the hashing; callers that know their next hashes ask ahead.
    void prefetch(std::uint64_t hash) const {
        const auto key = static_cast<std::uint32_t>(hash ^ (hash >> 32));
        __builtin_prefetch(&slots_[key & (slots_.size() - 1)]);
    }

private:
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;
    struct Slot {
        std::uint32_t entry;
        std::uint32_t key; // the folded hash: places the slot and skips most unequal entries unread
    };

    // Doubles the table, keeping every entry; the stored keys are enough to place them again.
    void grow() {
        std::vector<Slot> old(slots_.size() * 2, Slot{kEmpty, 0});
        old.swap(slots_);
        const std::size_t mask = slots_.size() - 1;
        for (const Slot& s : old) {
            if (s.entry == kEmpty) continue;
            std::size_t slot = s.key & mask;
            while (slots_[slot].entry != kEmpty)
                slot = (slot + 1) & mask;
            slots_[slot] = s;
        }
    }

    std::vector<Slot> slots_;
    std::size_t entryCount_ = 0;
};

// Mixes 64 bits so that every input bit reaches both halves of the result.
inline std::uint64_t mixHashBits(std::uint64_t x) {
    x ^= x >> 30;
    x *= 0xBF58476D1CE4E5B9ull;
    x ^= x >> 27;
    x *= 0x94D049BB133111EBull;
    x ^= x >> 31;
    return x;
}

inline std::uint64_t combineHash(std::uint64_t seed, std::uint32_t value) {
    return mixHashBits(seed ^ (value + 0x9E3779B97F4A7C15ull + (seed << 6)));
}

// Floats are matched as the X mesh processing defines it: numbers compare as floats (-0 equals +0),
// a NaN equals only a NaN of the same bit pattern. This is an equivalence, so hashing works.
inline std::uint32_t floatBits(float value) {
    return std::bit_cast<std::uint32_t>(value);
}

inline bool sameFloat(float a, float b) {
    return a == b || (a != a && b != b && floatBits(a) == floatBits(b));
}

inline std::uint32_t canonicalFloatBits(float value) {
    return value == 0.0f ? 0u : floatBits(value);
}
