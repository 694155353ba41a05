// Turns templates and data objects into the body of an X file (everything after the header),
// in the text or the binary encoding. The body streams to the file as it grows, or for
// compressed files is built in memory for the save object to frame.
#pragma once

#include "DataTree.h"
#include "Diagnostics.h"
#include "Templates.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace dxfile {

// A bounded walk over an object's packed data, as both encodings write it out.
struct PackedWalk {
    const std::uint8_t* p;
    const std::uint8_t* end;
    bool has(std::uint64_t bytes) const { return static_cast<std::uint64_t>(end - p) >= bytes; }
};

class BodyWriter {
public:
    virtual ~BodyWriter() = default;
    virtual void writeTemplate(const Template& t) = 0;
    // Writes `node` with all its descendants. On failure (data the encoding cannot hold, counts
    // that promise more than the packed data has, nesting too deep) returns the fault and leaves,
    // when not streaming, the body as it was before the call.
    [[nodiscard]] virtual Diagnostic writeObject(const DataNode& node) = 0;
    // The body, or with streaming the part not yet handed to the file.
    std::string& body() { return body_; }

    // Streaming, chosen before any of the body has gone out: the body goes to `fd` in pieces as
    // it grows, after the `fileOffset` bytes the file already holds, so a large object never
    // sits in memory whole. A failed writeObject can then not be undone: the caller gives up
    // the file.
    bool streamTo(int fd, std::size_t fileOffset) {
        if (streamed_ > 0 || fd_ >= 0) return false;
        fd_ = fd;
        fileOffset_ = fileOffset;
        return true;
    }
    // Hands what is left to the stream; false when any write to it failed.
    bool finishStream() {
        flush();
        return fd_ >= 0 && !streamFailed_;
    }

protected:
    // Streamed bodies go out in pieces of about this size.
    static constexpr std::size_t kStreamPiece = std::size_t{1} << 20;

    bool streaming() const { return fd_ >= 0; }
    // Where the next byte goes, counted from the start of the body.
    std::size_t position() const { return streamed_ + body_.size(); }
    // Hands the body so far to the stream.
    void flush();
    // Flushes once a piece has gathered; call where nothing refers into the body.
    void spill() {
        if (fd_ >= 0 && body_.size() >= kStreamPiece) flush();
    }
    // Writes `size` bytes straight to the stream, after what has gathered.
    void writeThrough(const void* data, std::size_t size);
    // Overwrites four bytes already written at body position `at`.
    void patch(std::size_t at, std::uint32_t value);
    // Drops what was written from body position `mark` on, where it is still in memory.
    void rewind(std::size_t mark) {
        if (mark >= streamed_) body_.resize(mark - streamed_);
    }

    std::string body_;

private:
    int fd_ = -1; // the file the body streams to, or -1
    std::size_t fileOffset_ = 0;
    std::size_t streamed_ = 0; // body bytes already in the file
    bool streamFailed_ = false;
};

// Writes all of `size` bytes to `fd`, resuming after interruptions; false on an error.
bool writeAll(int fd, const void* data, std::size_t size);

// The packed bytes of `node` and its descendants, to size the body before writing it.
std::size_t treeBytes(const DataNode& node);

std::unique_ptr<BodyWriter> makeTextWriter();
std::unique_ptr<BodyWriter> makeBinaryWriter();

} // namespace dxfile
