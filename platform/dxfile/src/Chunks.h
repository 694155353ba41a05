// The compressed container: after the header, a DWORD with the size of the whole uncompressed
// file, then blocks of [WORD uncompressed size][WORD size of what follows]["CK"][raw deflate].
// The deflate window carries over from block to block.
#pragma once

#include "ByteCursor.h"
#include "LargeBuffer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace dxfile {

// Inflates the blocks that follow the 16-byte header. Untrusted input: never reads outside
// `afterHeader`, never produces more than the declared size. On failure `out` holds what was
// inflated so far, `reason` says why and `faultOffset` where (relative to `afterHeader`).
[[nodiscard]] bool inflateChunks(ByteSpan afterHeader, LargeBytes& out,
                                 std::string& reason, std::size_t& faultOffset);

// Appends the container for `body` to `out`: the total size DWORD (16 + body size), then one
// block per 32768 bytes, each compressed on its own so any inflater reads it. False on a zlib
// failure.
[[nodiscard]] bool deflateChunks(ByteSpan body, std::vector<std::uint8_t>& out);

} // namespace dxfile
