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
    std::string& body() { return body_; }

protected:
    std::string body_;
};

// The packed bytes of `node` and its descendants, to size the body before writing it.
std::size_t treeBytes(const DataNode& node);

std::unique_ptr<BodyWriter> makeTextWriter();
std::unique_ptr<BodyWriter> makeBinaryWriter();

} // namespace dxfile
