// Packed template data as the file services take it in (CreateDataObject) and hand it out
// (GetData): members in template order, no padding, little-endian, FLOAT always 4 bytes, a
// STRING member one text pointer wide.
#pragma once

// The services' header also holds the check that this machine stores values little-endian.
#include <dxfile.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// Builds one packed block. Values are appended in member order; the block owns its bytes, and a
// STRING member refers to text the caller keeps alive until the block has been handed over.
// Storage is not cleared before use: every byte of the block is written by an append.
class PackedBuilder {
public:
    // Room for `byteCount` bytes in all; appending within it costs no further allocation.
    void reserve(std::size_t byteCount) {
        if (byteCount > capacity_) reallocate(byteCount);
    }
    void addWord(std::uint16_t value) { addRaw(&value, sizeof value); }
    void addDword(std::uint32_t value) { addRaw(&value, sizeof value); }
    void addFloat(float value) { addRaw(&value, sizeof value); }
    void addFloats(const float* values, std::size_t count) {
        addRaw(values, count * sizeof(float));
    }
    // A STRING member: the address of `text`, which must outlive the use of this block.
    void addString(const char* text) { addRaw(&text, sizeof text); }
    void addRaw(const void* data, std::size_t byteCount) {
        if (byteCount != 0) std::memcpy(extend(byteCount), data, byteCount);
    }
    // Appends `byteCount` bytes the caller must write at once, through the pointer returned.
    std::uint8_t* extend(std::size_t byteCount) {
        if (byteCount > capacity_ - size_) reallocate(std::max(2 * capacity_, size_ + byteCount));
        std::uint8_t* at = bytes_.get() + size_;
        size_ += byteCount;
        return at;
    }

    // Empties the block and keeps its storage for the next one.
    void clear() { size_ = 0; }

    void* data() { return size_ == 0 ? nullptr : bytes_.get(); }
    std::size_t size() const { return size_; }

private:
    void reallocate(std::size_t capacity) {
        // new[] of bytes leaves them uninitialised: a block of many megabytes is not cleared
        // only to be overwritten.
        std::unique_ptr<std::uint8_t[]> bytes(new std::uint8_t[capacity]);
        if (size_ != 0) std::memcpy(bytes.get(), bytes_.get(), size_);
        bytes_ = std::move(bytes);
        capacity_ = capacity;
    }

    std::unique_ptr<std::uint8_t[]> bytes_; // storage; the block is its first size_ bytes
    std::size_t capacity_ = 0;
    std::size_t size_ = 0;
};

// Reads a packed block handed out by the file services. The block is treated as untrusted: a
// read either succeeds completely or consumes nothing and returns false, and no count is
// believed before the bytes it promises are known to be there.
class PackedCursor {
public:
    PackedCursor(const void* data, std::size_t size)
        : at_(static_cast<const std::uint8_t*>(data)), left_(data ? size : 0) {}

    std::size_t remaining() const { return left_; }

    [[nodiscard]] bool readDword(std::uint32_t& value) { return readRaw(&value, sizeof value); }
    [[nodiscard]] bool readFloat(float& value) { return readRaw(&value, sizeof value); }
    [[nodiscard]] bool readFloats(float* values, std::size_t count) {
        if (count > left_ / sizeof(float)) return false;
        return readRaw(values, count * sizeof(float));
    }
    // `byteCount` bytes as they stand, into `out` (plain values of the packed layout).
    [[nodiscard]] bool readBytes(void* out, std::size_t byteCount) {
        return readRaw(out, byteCount);
    }
    // A STRING member: the text the pointer refers to, owned by the data object. A null pointer
    // reads as the empty text.
    [[nodiscard]] bool readString(std::string& text) {
        const char* pointer = nullptr;
        if (!readRaw(&pointer, sizeof pointer)) return false;
        text = pointer ? pointer : "";
        return true;
    }
    [[nodiscard]] bool skip(std::size_t byteCount) {
        if (byteCount > left_) return false;
        at_ += byteCount;
        left_ -= byteCount;
        return true;
    }
    // Whether `count` elements of `elementSize` bytes each can still follow.
    bool holds(std::uint64_t count, std::size_t elementSize) const {
        return count <= left_ / elementSize;
    }

private:
    bool readRaw(void* out, std::size_t byteCount) {
        if (byteCount > left_) return false;
        if (byteCount != 0) std::memcpy(out, at_, byteCount);
        at_ += byteCount;
        left_ -= byteCount;
        return true;
    }

    const std::uint8_t* at_;
    std::size_t left_;
};
