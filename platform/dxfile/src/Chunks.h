// The compressed container: after the header, a DWORD with the size of the whole uncompressed
// file, then blocks of [WORD uncompressed size][WORD size of what follows]["CK"][raw deflate].
// The deflate window carries over from block to block.
#pragma once

#include "ByteCursor.h"
#include "Diagnostics.h"
#include "LargeBuffer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace dxfile {

// Inflates the blocks that follow the 16-byte header. Untrusted input: never reads outside
// `afterHeader`, never produces more than the declared size. On failure `out` holds what was
// inflated so far, and the fault's offset is relative to `afterHeader`.
[[nodiscard]] Diagnostic inflateChunks(ByteSpan afterHeader, LargeBytes& out);

// Appends the container for `body` to `out`: the total size DWORD (16 + body size), then one
// block per 32768 bytes, each compressed on its own so any inflater reads it. Fails only when
// zlib does or the body is too large for the container.
[[nodiscard]] Diagnostic deflateChunks(ByteSpan body, std::vector<std::uint8_t>& out);

} // namespace dxfile
