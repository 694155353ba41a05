// The 16-byte header every X file starts with: "xof 0303txt 0032" and its variants.
#pragma once

#include "ByteCursor.h"
#include "Diagnostics.h"
#include "dxfile.h"

#include <cstddef>
#include <string>

namespace dxfile {

inline constexpr std::size_t kHeaderSize = 16;

struct FileHeader {
    bool isText = true;
    bool isCompressed = false;
    std::size_t floatBytes = 4; // "0032" -> 4, "0064" -> 8
};

// Checks in the order the native services do (magic, version, format, float size); the fault
// of the first check that fails.
Diagnostic readHeader(ByteSpan file, FileHeader& header);

// The header a save in `format` writes: version 0303, 32-bit floats.
std::string headerFor(DXFILEFORMAT format);

} // namespace dxfile
