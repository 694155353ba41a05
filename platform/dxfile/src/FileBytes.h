// Whole files as bytes, bounded by a size the caller names: mapped to be read in place, or read
// into a buffer of their own. Every failure is a fault with a one-line reason:
// DXFILEERR_FILENOTFOUND when the file cannot be opened or is not one that can be read,
// DXFILEERR_BADFILE when reading it fails.
#pragma once

#include "ByteCursor.h"
#include "Diagnostics.h"

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

    // Fails when `path` cannot be opened or mapped, is not a regular file or holds more than
    // `limit` bytes.
    [[nodiscard]] Diagnostic open(const char* path, std::uint64_t limit);
    ByteSpan bytes() const { return ByteSpan(data_, size_); }

private:
    void close() noexcept;

    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    bool mapped_ = false;
};

// Reads all of `path` into `bytes`: a regular file, a pipe or a device. Fails when it cannot be
// opened or read, is a folder or holds more than `limit` bytes.
[[nodiscard]] Diagnostic readWholeFile(const std::string& path, std::uint64_t limit,
                                       std::vector<std::uint8_t>& bytes);

} // namespace dxfile
