// The token numbers of the binary encoding: a WORD before every record. Read by the binary lexer
// and written by the binary writer.
#pragma once

#include "Templates.h"

#include <cstdint>

namespace dxfile::binary {

enum TokenNumber : std::uint16_t {
    kName = 1,         // DWORD length, that many bytes
    kString = 2,       // DWORD length, that many bytes, then a separator token
    kInteger = 3,      // DWORD
    kGuid = 5,         // 16 bytes: DWORD, WORD, WORD, 8 bytes
    kIntegerList = 6,  // DWORD count, that many DWORDs
    kFloatList = 7,    // DWORD count, that many floats of the header's width
    kOBrace = 10,
    kCBrace = 11,
    kOParen = 12,
    kCParen = 13,
    kOBracket = 14,
    kCBracket = 15,
    kOAngle = 16,
    kCAngle = 17,
    kDot = 18,
    kComma = 19,
    kSemicolon = 20,
    kTemplate = 31,
    kWord = 40,  // the primitive type keywords run from here to kCstring
    kDword = 41,
    kFloat = 42,
    kDouble = 43,
    kChar = 44,
    kUchar = 45,
    kSword = 46,
    kSdword = 47,
    kVoid = 48,
    kLpstr = 49,
    kUnicode = 50,
    kCstring = 51,
    kArray = 52,
};

// The type keyword token of `type`.
constexpr std::uint16_t typeToken(ScalarType type) {
    switch (type) {
    case ScalarType::Word: return kWord;
    case ScalarType::Dword: return kDword;
    case ScalarType::Float: return kFloat;
    case ScalarType::Double: return kDouble;
    case ScalarType::Char: return kChar;
    case ScalarType::Uchar: return kUchar;
    case ScalarType::Sword: return kSword;
    case ScalarType::Sdword: return kSdword;
    case ScalarType::String: return kLpstr;
    case ScalarType::Unicode: return kUnicode;
    case ScalarType::Cstring: return kCstring;
    }
    return kVoid;
}

// The type a keyword token names; false for tokens that are not type keywords (kVoid included).
constexpr bool tokenType(std::uint16_t token, ScalarType& type) {
    constexpr ScalarType kTypes[] = {
        ScalarType::Word, ScalarType::Dword,  ScalarType::Float,   ScalarType::Double,
        ScalarType::Char, ScalarType::Uchar,  ScalarType::Sword,   ScalarType::Sdword,
        ScalarType::Dword /* kVoid, refused below */,   ScalarType::String, ScalarType::Unicode,
        ScalarType::Cstring};
    if (token < kWord || token > kCstring || token == kVoid) return false;
    type = kTypes[token - kWord];
    return true;
}

} // namespace dxfile::binary
