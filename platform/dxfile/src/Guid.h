// GUIDs in their X file text form `<3D82AB44-62DA-11CF-AB39-0020AF71E433>` and as bytes.
#pragma once

#include "dxfile.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace dxfile {

inline bool sameGuid(const GUID& a, const GUID& b) {
    return IsEqualGUID(a, b);
}
inline bool isNullGuid(const GUID& id) {
    return sameGuid(id, GUID{});
}

// Parses the 36 characters between the angle brackets (hex digits in either case).
[[nodiscard]] bool parseGuid(std::string_view text, GUID& id);
// The 36-character form, upper or lower case hex.
std::string formatGuid(const GUID& id, bool upperCase);
// The GUID's 16 bytes in their in-memory (and binary X file) order.
void guidToBytes(const GUID& id, std::uint8_t bytes[16]);
GUID guidFromBytes(const std::uint8_t bytes[16]);

struct GuidHash {
    std::size_t operator()(const GUID& id) const {
        std::uint8_t bytes[16];
        guidToBytes(id, bytes);
        std::uint64_t a, b;
        __builtin_memcpy(&a, bytes, 8);
        __builtin_memcpy(&b, bytes + 8, 8);
        return static_cast<std::size_t>(a * 0x9E3779B97F4A7C15ull ^ b);
    }
};
struct GuidEqual {
    bool operator()(const GUID& a, const GUID& b) const { return sameGuid(a, b); }
};

} // namespace dxfile
