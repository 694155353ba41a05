// Whole files as bytes, bounded by a size the caller names: mapped to be read in place, or read
// into a buffer of their own. Every failure comes with a one-line reason.
#pragma once

#include "ByteCursor.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace dxfile {

// Files the services read are at most this large: sizes inside them are 32-bit.
inline constexpr std::uint64_t kMaxFileBytes = 0xFFFFFFFFull;

// A regular file mapped read-only for as long as the object lives.
class MappedFile {
public:
    MappedFile() = default;
    MappedFile(MappedFile&& other) noexcept;
    MappedFile& operator=(MappedFile&& other) noexcept;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    ~MappedFile();

    // False with `reason` when `path` cannot be opened, is not a regular file or holds more
    // than `limit` bytes.
    [[nodiscard]] bool open(const char* path, std::uint64_t limit, std::string& reason);
    ByteSpan bytes() const { return ByteSpan(data_, size_); }

private:
    void close() noexcept;

    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    bool mapped_ = false;
};

// Reads all of `path` into `bytes`. False with `reason` when it cannot be opened or read, is
// not a regular file or holds more than `limit` bytes.
[[nodiscard]] bool readWholeFile(const std::string& path, std::uint64_t limit,
                                 std::vector<std::uint8_t>& bytes, std::string& reason);

} // namespace dxfile
