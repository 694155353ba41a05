// The token stream where the text and the binary encodings meet: the grammar of templates and
// data objects reads these tokens and never sees which encoding produced them.
#pragma once

#include "Templates.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace dxfile {

enum class TokenKind : std::uint8_t {
    End,
    Error,
    Name,
    String,
    Integer,
    Float, // text only; binary floats come in lists
    Guid,
    IntegerList, // binary only
    FloatList,   // binary only
    OBrace,
    CBrace,
    OParen,
    CParen,
    OBracket,
    CBracket,
    OAngle,
    CAngle,
    Dot,
    Comma,
    Semicolon,
    Template,
    Array,
    Type, // a primitive type keyword; `scalar` says which
    Void,
};

struct Token {
    TokenKind kind = TokenKind::End;
    ScalarType scalar = ScalarType::Dword;
    std::string_view text;     // Name, String, and number lexemes of the text encoding
    std::uint32_t integer = 0; // Integer; element count of a list
    GUID guid{};               // Guid
    std::size_t offset = 0;    // where the token starts, in the file's byte numbering
};

// Describes a token for error messages: "name 'Mesh'", "'}'", "end of data".
std::string describe(const Token& token);

// What went wrong while reading one member value; the grammar adds which member it was.
enum class ValueFault : std::uint8_t {
    None,
    MissingSeparator, // a value not followed by ';' or ','
    WrongKind,        // e.g. a string where a number belongs
    BadNumber,        // a number that does not parse or does not fit
    Unsupported,      // UNICODE and CSTRING data
    Lexical,          // a token that cannot be read at all
    ExtraValues,      // a binary list holding more values than the object has members
};

struct LexFault {
    ValueFault fault = ValueFault::None;
    std::size_t offset = 0;
    std::string found; // what stood where the value or separator belonged
};

} // namespace dxfile
