// Little-endian reads from untrusted bytes. A read either succeeds completely or consumes
// nothing and returns false, so a caller can never run past the end. Every read of file bytes
// in the library goes through here.
#pragma once

#include "dxfile.h"  // asserts the machine is little-endian, as the format is

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace dxfile {

using ByteSpan = std::span<const std::uint8_t>;

class ByteCursor {
public:
    ByteCursor() = default;
    explicit ByteCursor(ByteSpan bytes) : data_(bytes.data()), size_(bytes.size()) {}

    [[nodiscard]] bool readU16(std::uint16_t& value) { return readRaw(&value, 2); }
    [[nodiscard]] bool readU32(std::uint32_t& value) { return readRaw(&value, 4); }
    [[nodiscard]] bool readU64(std::uint64_t& value) { return readRaw(&value, 8); }
    [[nodiscard]] bool take(std::size_t count, ByteSpan& bytes) {
        if (count > remaining()) return false;
        bytes = ByteSpan(data_ + position_, count);
        position_ += count;
        return true;
    }
    // Looks at the WORD or DWORD `ahead` bytes on without consuming anything.
    [[nodiscard]] bool peekU16(std::uint16_t& value, std::size_t ahead = 0) const {
        return peekRaw(&value, 2, ahead);
    }
    [[nodiscard]] bool peekU32(std::uint32_t& value, std::size_t ahead = 0) const {
        return peekRaw(&value, 4, ahead);
    }
    // Asks for the bytes `ahead` on to be loaded into the cache, when there are such bytes:
    // the data is walked in order, and a mapped file crosses into cold pages often.
    void prefetch(std::size_t ahead) const {
        if (ahead < remaining()) __builtin_prefetch(data_ + position_ + ahead);
    }
    std::size_t remaining() const { return size_ - position_; }
    std::size_t position() const { return position_; }
    bool atEnd() const { return position_ == size_; }

private:
    bool readRaw(void* value, std::size_t count) {
        if (!peekRaw(value, count, 0)) return false;
        position_ += count;
        return true;
    }
    bool peekRaw(void* value, std::size_t count, std::size_t ahead) const {
        if (ahead > remaining() || count > remaining() - ahead) return false;
        std::memcpy(value, data_ + position_ + ahead, count);
        return true;
    }

    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t position_ = 0;
};

} // namespace dxfile
