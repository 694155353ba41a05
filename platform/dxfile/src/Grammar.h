// Templates and data objects, read from the token stream of either encoding. Untrusted input:
// nesting is bounded, every count is checked against the bytes that remain before memory is
// reserved for it, and a failure leaves the objects completed before it intact.
#pragma once

#include "ByteCursor.h"
#include "DataTree.h"
#include "Diagnostics.h"
#include "Templates.h"

#include <memory>
#include <vector>

namespace dxfile {

// Data objects nested deeper than this are refused.
inline constexpr int kMaxObjectDepth = 128;

enum class Encoding { Text, Binary };

struct ParseRequest {
    ByteSpan body;          // the data after the 16-byte header (inflated when compressed)
    std::size_t baseOffset; // file offset of body[0], for diagnostics
    Encoding encoding;
    std::size_t floatBytes; // 4 or 8: width of binary float list elements
    bool templatesOnly;     // data objects are an error (template registration)
    std::vector<GUID>* declaredTemplates = nullptr; // if set, receives each template's GUID
};

// Registers every template met in `registry` and appends every complete top-level data object
// to `objects`, in file order. References are left unresolved. Returns the fault that ended
// reading (without the file name), if any; `dataBegan` tells whether any data object had begun
// by then, since a fault before the first one is reported when the file is opened.
Diagnostic parseBody(const ParseRequest& request, TemplateRegistry& registry,
                     std::vector<std::shared_ptr<DataNode>>& objects, bool& dataBegan);

} // namespace dxfile
