// Little-endian reads from untrusted bytes. A read either succeeds completely or consumes
// nothing and returns false, so a caller can never run past the end.
#pragma once

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
    [[nodiscard]] bool take(std::size_t count, ByteSpan& bytes) {
        if (count > remaining()) return false;
        bytes = ByteSpan(data_ + position_, count);
        position_ += count;
        return true;
    }
    // Looks at the next WORD without consuming it.
    [[nodiscard]] bool peekU16(std::uint16_t& value) const {
        if (remaining() < 2) return false;
        std::memcpy(&value, data_ + position_, 2);
        return true;
    }
    std::size_t remaining() const { return size_ - position_; }
    std::size_t position() const { return position_; }
    bool atEnd() const { return position_ == size_; }
    const std::uint8_t* here() const { return data_ + position_; }

private:
    // The format is little-endian, as is every machine this library is built for.
    bool readRaw(void* value, std::size_t count) {
        if (count > remaining()) return false;
        std::memcpy(value, data_ + position_, count);
        position_ += count;
        return true;
    }

    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t position_ = 0;
};

} // namespace dxfile
