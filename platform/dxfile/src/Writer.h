// Turns templates and data objects into the body of an X file (everything after the header),
// in the text or the binary encoding. The body is built in memory; the save object frames and
// writes it.
#pragma once

#include "DataTree.h"
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
    // that promise more than the packed data has, nesting too deep) returns false with a reason
    // and the body as it was before the call.
    [[nodiscard]] virtual bool writeObject(const DataNode& node, std::string& reason) = 0;
    // The body, or with streaming the part not yet handed to the file.
    std::string& body() { return body_; }

    // Streaming, chosen before anything is written: the body goes to `fd` as it grows, after
    // the `fileOffset` bytes the file already holds, so a large object never sits in memory
    // whole. A failed writeObject can then not be undone: the caller gives up the file. Writers
    // that cannot stream keep the body in memory and return false.
    virtual bool streamTo(int /*fd*/, std::size_t /*fileOffset*/) { return false; }
    // Hands what is left to the stream; false when any write to it failed.
    virtual bool finishStream() { return false; }

protected:
    std::string body_;
};

// Writes all of `size` bytes to `fd`, resuming after interruptions; false on an error.
bool writeAll(int fd, const void* data, std::size_t size);

// The packed bytes of `node` and its descendants, to size the body before writing it.
std::size_t treeBytes(const DataNode& node);

std::unique_ptr<BodyWriter> makeTextWriter();
std::unique_ptr<BodyWriter> makeBinaryWriter();

} // namespace dxfile
