// Walks packed member data with its template: how long an instance is, where a member lies.
// The counts inside the data decide the lengths, so the data is untrusted: every length is
// checked against the bytes there are.
#pragma once

#include "ByteCursor.h"
#include "Templates.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace dxfile {

// The packed size of one instance of `t` at the start of `data`. False when the counts inside
// promise more bytes than `data` holds.
[[nodiscard]] bool measureInstance(const Template& t, ByteSpan data, std::size_t& size);

// Offset and size of the top-level member `name` (exact match) in an instance of `t`.
[[nodiscard]] bool findMember(const Template& t, ByteSpan data, std::string_view name,
                              std::size_t& offset, std::size_t& size);

// Reads an integer member value of `type` at the start of `data` as the 32 bits a count uses; 0
// when `data` is too short to hold one.
std::uint32_t readCount(ScalarType type, ByteSpan data);

} // namespace dxfile
