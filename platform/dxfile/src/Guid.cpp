#include "Guid.h"

#include <cstring>

namespace dxfile {

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool parseHex(std::string_view text, std::size_t start, std::size_t digits, std::uint32_t& value) {
    value = 0;
    for (std::size_t i = 0; i < digits; ++i) {
        int digit = hexValue(text[start + i]);
        if (digit < 0) return false;
        value = value << 4 | static_cast<std::uint32_t>(digit);
    }
    return true;
}

} // namespace

bool parseGuid(std::string_view text, GUID& id) {
    // 8-4-4-4-12: Data1, Data2, Data3, Data4[0..1], Data4[2..7].
    if (text.size() != 36 || text[8] != '-' || text[13] != '-' || text[18] != '-' ||
        text[23] != '-')
        return false;
    std::uint32_t value = 0;
    if (!parseHex(text, 0, 8, value)) return false;
    id.Data1 = value;
    if (!parseHex(text, 9, 4, value)) return false;
    id.Data2 = static_cast<WORD>(value);
    if (!parseHex(text, 14, 4, value)) return false;
    id.Data3 = static_cast<WORD>(value);
    static constexpr std::size_t kData4Starts[8] = {19, 21, 24, 26, 28, 30, 32, 34};
    for (int i = 0; i < 8; ++i) {
        if (!parseHex(text, kData4Starts[i], 2, value)) return false;
        id.Data4[i] = static_cast<BYTE>(value);
    }
    return true;
}

std::string formatGuid(const GUID& id, bool upperCase) {
    const char* digits = upperCase ? "0123456789ABCDEF" : "0123456789abcdef";
    std::string text;
    text.reserve(36);
    auto hex = [&](std::uint32_t value, int count) {
        for (int shift = (count - 1) * 4; shift >= 0; shift -= 4)
            text += digits[(value >> shift) & 15];
    };
    hex(id.Data1, 8);
    text += '-';
    hex(id.Data2, 4);
    text += '-';
    hex(id.Data3, 4);
    text += '-';
    for (int i = 0; i < 8; ++i) {
        if (i == 2) text += '-';
        hex(id.Data4[i], 2);
    }
    return text;
}

void guidToBytes(const GUID& id, std::uint8_t bytes[16]) {
    std::memcpy(bytes, &id.Data1, 4);
    std::memcpy(bytes + 4, &id.Data2, 2);
    std::memcpy(bytes + 6, &id.Data3, 2);
    std::memcpy(bytes + 8, id.Data4, 8);
}

GUID guidFromBytes(const std::uint8_t bytes[16]) {
    GUID id{};
    std::memcpy(&id.Data1, bytes, 4);
    std::memcpy(&id.Data2, bytes + 4, 2);
    std::memcpy(&id.Data3, bytes + 6, 2);
    std::memcpy(id.Data4, bytes + 8, 8);
    return id;
}

} // namespace dxfile
