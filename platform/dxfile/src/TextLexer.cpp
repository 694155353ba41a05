#include "TextLexer.h"

#include "Guid.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cctype>
#include <charconv>
#include <cstring>
#include <limits>

namespace dxfile {

namespace {

enum CharClass : std::uint8_t { kNameChar, kSpace, kPunct, kQuote, kHash, kSlash };

constexpr std::array<std::uint8_t, 256> makeClasses() {
    std::array<std::uint8_t, 256> classes{};
    for (int c = 0; c <= 0x20; ++c)
        classes[c] = kSpace; // NUL and every control byte too
    for (char c : std::string_view("{}[]()<>,;"))
        classes[static_cast<unsigned char>(c)] = kPunct;
    classes['"'] = kQuote;
    classes['#'] = kHash;
    classes['/'] = kSlash;
    return classes;
}
constexpr std::array<std::uint8_t, 256> kClasses = makeClasses();

inline std::uint8_t classOf(char c) {
    return kClasses[static_cast<unsigned char>(c)];
}
inline bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

struct Keyword {
    std::string_view text;
    TokenKind kind;
    ScalarType scalar;
};
constexpr Keyword kKeywords[] = {
    {"template", TokenKind::Template, ScalarType::Dword},
    {"array", TokenKind::Array, ScalarType::Dword},
    {"WORD", TokenKind::Type, ScalarType::Word},
    {"DWORD", TokenKind::Type, ScalarType::Dword},
    {"FLOAT", TokenKind::Type, ScalarType::Float},
    {"DOUBLE", TokenKind::Type, ScalarType::Double},
    {"CHAR", TokenKind::Type, ScalarType::Char},
    {"UCHAR", TokenKind::Type, ScalarType::Uchar},
    {"BYTE", TokenKind::Type, ScalarType::Uchar}, // documented but tokenless: read as UCHAR
    {"SWORD", TokenKind::Type, ScalarType::Sword},
    {"SDWORD", TokenKind::Type, ScalarType::Sdword},
    {"STRING", TokenKind::Type, ScalarType::String},
    {"UNICODE", TokenKind::Type, ScalarType::Unicode},
    {"CSTRING", TokenKind::Type, ScalarType::Cstring},
    {"VOID", TokenKind::Void, ScalarType::Dword},
};

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return CaseInsensitiveEqual{}(a, b);
}

// Microsoft's C runtime spells non-finite values `1.#INF00`, `-1.#IND00`, `1.#QNAN0`.
bool isNonFiniteSpelling(std::string_view lexeme) {
    std::size_t hash = lexeme.find(".#");
    if (hash == std::string_view::npos || hash == 0) return false;
    std::string_view lead = lexeme.substr(0, hash);
    if (lead[0] == '-' || lead[0] == '+') lead.remove_prefix(1);
    if (lead.empty()) return false;
    for (char c : lead)
        if (!isDigit(c)) return false;
    std::string_view word = lexeme.substr(hash + 2);
    for (std::string_view kind : {"INF", "IND", "QNAN", "SNAN"})
        if (word.starts_with(kind)) {
            for (char c : word.substr(kind.size()))
                if (!isDigit(c)) return false;
            return true;
        }
    return false;
}

bool isIntegerLexeme(std::string_view lexeme) {
    if (!lexeme.empty() && (lexeme[0] == '-' || lexeme[0] == '+')) lexeme.remove_prefix(1);
    if (lexeme.empty()) return false;
    for (char c : lexeme)
        if (!isDigit(c)) return false;
    return true;
}

// Integers keep their low 32 bits; a leading minus sign negates modulo 2^32.
bool integerValue(std::string_view lexeme, std::uint32_t& value) {
    bool negative = false;
    if (lexeme[0] == '-' || lexeme[0] == '+') {
        negative = lexeme[0] == '-';
        lexeme.remove_prefix(1);
    }
    std::uint64_t magnitude = 0;
    auto [end, error] = std::from_chars(lexeme.data(), lexeme.data() + lexeme.size(), magnitude);
    if (error != std::errc() || end != lexeme.data() + lexeme.size()) return false;
    std::uint32_t low = static_cast<std::uint32_t>(magnitude);
    value = negative ? 0u - low : low;
    return true;
}

// Whether the eight bytes of `chunk` (in memory order) are all ASCII digits.
inline bool areEightDigits(std::uint64_t chunk) {
    constexpr std::uint64_t kHigh = 0xF0F0F0F0F0F0F0F0;
    constexpr std::uint64_t kZeros = 0x3030303030303030;
    return (chunk & kHigh) == kZeros && ((chunk + 0x0606060606060606) & kHigh) == kZeros;
}

// The value of eight ASCII digits, the first in the lowest byte: pairs, then fours, then all.
inline std::uint32_t eightDigitsValue(std::uint64_t chunk) {
    chunk -= 0x3030303030303030;
    chunk = chunk * 10 + (chunk >> 8);
    chunk = ((chunk & 0x000000FF000000FF) * (100 + (1000000ull << 32)) +
             ((chunk >> 16) & 0x000000FF000000FF) * (1 + (10000ull << 32))) >>
            32;
    return static_cast<std::uint32_t>(chunk);
}

// The usual number of a text file, "-12.375" or "0.841471", read without the general
// conversion: when its digits make an integer a double holds exactly, and the power of ten it is
// divided by is exact too, one division rounds correctly. A float is rounded from that double,
// which gives the correctly rounded float unless the double lies exactly halfway between two
// floats (then the true value may lie on either side). Returns the end of the number, or null
// for anything else (exponents, long mantissas, halfway cases, floats out of the normal range),
// which the general conversion then reads.
template <class Number> const char* shortDecimal(const char* p, const char* end, Number& value) {
    constexpr int kExactPowers = 22;
    constexpr std::uint64_t kExactMantissa = std::uint64_t{1} << 53;
    bool negative = p < end && *p == '-';
    if (negative) ++p;
    std::uint64_t mantissa = 0;
    int digits = 0;
    int fraction = -1; // digits after the point, once one was seen
    for (; p < end; ++p) {
        // Eight digits at a time where the mantissa has room: fractions are mostly long.
        while (end - p >= 8 && digits <= 10) {
            std::uint64_t eight;
            std::memcpy(&eight, p, 8);
            if (!areEightDigits(eight)) break;
            mantissa = mantissa * 100000000 + eightDigitsValue(eight);
            digits += 8;
            if (fraction >= 0) fraction += 8;
            p += 8;
        }
        if (p == end) break;
        if (isDigit(*p)) {
            if (++digits > 18) return nullptr;
            mantissa = mantissa * 10 + static_cast<std::uint64_t>(*p - '0');
            if (fraction >= 0) ++fraction;
        } else if (*p == '.' && fraction < 0) {
            fraction = 0;
        } else {
            break;
        }
    }
    if (digits == 0 || mantissa >= kExactMantissa) return nullptr;
    int scale = fraction < 0 ? 0 : fraction;
    if (scale > kExactPowers) return nullptr;
    if (p < end && (*p == 'e' || *p == 'E' || *p == '#')) return nullptr;
    static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                         1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    double exact = static_cast<double>(mantissa) / kPowers[scale];
    if constexpr (std::is_same_v<Number, float>) {
        if (exact != 0 && (exact < std::numeric_limits<float>::min() ||
                           exact > std::numeric_limits<float>::max()))
            return nullptr;
        // The 29 fraction bits a double has beyond a float's 23: exactly one half of a float's
        // last place marks the halfway case.
        constexpr std::uint64_t kBeyondFloat = (std::uint64_t{1} << 29) - 1;
        if ((std::bit_cast<std::uint64_t>(exact) & kBeyondFloat) == (std::uint64_t{1} << 28))
            return nullptr;
    }
    value = static_cast<Number>(exact);
    if (negative) value = -value;
    return p;
}

template <class Number> bool floatValue(std::string_view lexeme, Number& value) {
    if (isNonFiniteSpelling(lexeme)) {
        value = 0; // faulty exporters' non-finite values carry no usable number
        return true;
    }
    if (!lexeme.empty() && lexeme[0] == '+') lexeme.remove_prefix(1);
    if (lexeme.empty()) return false;
    char first = lexeme[0] == '-' && lexeme.size() > 1 ? lexeme[1] : lexeme[0];
    if (!isDigit(first) && first != '.') return false; // refuses "inf" and "nan"
    auto [end, error] = std::from_chars(lexeme.data(), lexeme.data() + lexeme.size(), value);
    return error == std::errc() && end == lexeme.data() + lexeme.size();
}

} // namespace

TextLexer::TextLexer(ByteSpan text, std::size_t baseOffset)
    : begin_(reinterpret_cast<const char*>(text.data())), pos_(begin_), end_(begin_ + text.size()),
      base_(baseOffset) {}

void TextLexer::skipSpaceAndComments() {
    for (;;) {
        while (pos_ < end_ && static_cast<unsigned char>(*pos_) <= 0x20)
            ++pos_;
        if (pos_ == end_) return;
        char c = *pos_;
        bool comment = c == '#' || (c == '/' && pos_ + 1 < end_ && pos_[1] == '/');
        if (!comment) return;
        const void* lineEnd = std::memchr(pos_, '\n', static_cast<std::size_t>(end_ - pos_));
        pos_ = lineEnd ? static_cast<const char*>(lineEnd) + 1 : end_;
    }
}

bool TextLexer::atDelimiter(const char* p) const {
    if (p == end_) return true;
    std::uint8_t c = classOf(*p);
    if (c == kNameChar) return false;
    if (c == kSlash) return p + 1 < end_ && p[1] == '/';
    return true;
}

Token TextLexer::lexToken() {
    skipSpace();
    Token token;
    token.offset = offsetOf(pos_);
    if (pos_ == end_) return token;
    const char* start = pos_;
    char c = *pos_;
    switch (classOf(c)) {
    case kPunct:
        ++pos_;
        switch (c) {
        case '{':
            token.kind = TokenKind::OBrace;
            break;
        case '}':
            token.kind = TokenKind::CBrace;
            break;
        case '[':
            token.kind = TokenKind::OBracket;
            break;
        case ']':
            token.kind = TokenKind::CBracket;
            break;
        case '(':
            token.kind = TokenKind::OParen;
            break;
        case ')':
            token.kind = TokenKind::CParen;
            break;
        case '>':
            token.kind = TokenKind::CAngle;
            break;
        case ',':
            token.kind = TokenKind::Comma;
            break;
        case ';':
            token.kind = TokenKind::Semicolon;
            break;
        case '<': {
            // A GUID; documentation listings put spaces inside the brackets.
            token.kind = TokenKind::OAngle;
            const char* p = pos_;
            while (p < end_ && (*p == ' ' || *p == '\t'))
                ++p;
            if (end_ - p >= 36 && parseGuid(std::string_view(p, 36), token.guid)) {
                p += 36;
                while (p < end_ && (*p == ' ' || *p == '\t'))
                    ++p;
                if (p < end_ && *p == '>') {
                    token.kind = TokenKind::Guid;
                    pos_ = p + 1;
                }
            }
            break;
        }
        }
        return token;
    case kQuote: {
        const void* close = std::memchr(pos_ + 1, '"', static_cast<std::size_t>(end_ - pos_ - 1));
        if (!close) {
            token.kind = TokenKind::Error;
            token.text = "unterminated string";
            pos_ = end_;
            return token;
        }
        token.kind = TokenKind::String;
        token.text = std::string_view(pos_ + 1, static_cast<const char*>(close) - pos_ - 1);
        pos_ = static_cast<const char*>(close) + 1;
        return token;
    }
    default:
        break;
    }
    if (c == '.' && !(pos_ + 1 < end_ && isDigit(pos_[1]))) {
        ++pos_;
        token.kind = TokenKind::Dot;
        return token;
    }
    // A run of name characters: keyword, number or name.
    while (!atDelimiter(pos_))
        ++pos_;
    if (pos_ < end_ && *pos_ == '#' && pos_ - start >= 2 && pos_[-1] == '.') {
        const char* p = pos_ + 1; // `1.#INF00`: the '#' is part of the number here
        while (p < end_ && (std::isalnum(static_cast<unsigned char>(*p))))
            ++p;
        if (isNonFiniteSpelling(std::string_view(start, p - start))) pos_ = p;
    }
    std::string_view lexeme(start, pos_ - start);
    token.text = lexeme;
    if (lexeme.empty()) { // a lone '/' or '#' that skipSpace did not take
        ++pos_;
        token.kind = TokenKind::Error;
        token.text = std::string_view(start, 1);
        return token;
    }
    if (isIntegerLexeme(lexeme)) {
        token.kind = integerValue(lexeme, token.integer) ? TokenKind::Integer : TokenKind::Error;
        return token;
    }
    double probe = 0;
    if (floatValue(lexeme, probe)) {
        token.kind = TokenKind::Float;
        return token;
    }
    for (const Keyword& keyword : kKeywords)
        if (equalsIgnoringCase(lexeme, keyword.text)) {
            token.kind = keyword.kind;
            token.scalar = keyword.scalar;
            return token;
        }
    token.kind = TokenKind::Name;
    return token;
}

Token TextLexer::next() {
    if (hasPeek_) {
        hasPeek_ = false;
        return peeked_;
    }
    return lexToken();
}

const Token& TextLexer::peek() {
    if (!hasPeek_) {
        peekedFrom_ = pos_;
        peeked_ = lexToken();
        hasPeek_ = true;
    }
    return peeked_;
}

bool TextLexer::fail(ValueFault fault, const Token& found) {
    fault_.fault = fault;
    fault_.offset = found.offset;
    fault_.found = describe(found);
    return false;
}

bool TextLexer::separatorGroup() {
    skipSpace();
    if (pos_ < end_) {
        if (*pos_ == ';') {
            ++pos_;
            for (;;) {
                skipSpace();
                if (pos_ < end_ && *pos_ == ';')
                    ++pos_;
                else
                    break;
            }
            if (pos_ < end_ && *pos_ == ',') ++pos_;
            return true;
        }
        if (*pos_ == ',') {
            ++pos_;
            return true;
        }
        if (*pos_ == '}') return true;
    }
    return fail(ValueFault::MissingSeparator, peek());
}

template <class Number> bool TextLexer::readNumber(Number& value) {
    if (!hasPeek_) {
        skipSpace();
        // Fast path: the common lexeme parsed in place.
        const char* p = pos_;
        if (p < end_ && *p == '+') ++p;
        const char* digits = p < end_ && *p == '-' ? p + 1 : p;
        if (digits < end_ && (isDigit(*digits) || *digits == '.')) {
            if constexpr (std::is_same_v<Number, std::uint32_t>) {
                if (p == digits && isDigit(*p)) {
                    // Up to nine digits cannot overflow: the usual index or count.
                    const char* q = p;
                    std::uint32_t small = 0;
                    while (q < end_ && q - p < 9 && isDigit(*q))
                        small = small * 10 + static_cast<std::uint32_t>(*q++ - '0');
                    if (atDelimiter(q)) {
                        value = small;
                        pos_ = q;
                        return separatorGroup();
                    }
                }
                if (p == digits && isDigit(*p)) {
                    auto [q, error] = std::from_chars(p, end_, value);
                    if (error == std::errc() && atDelimiter(q)) {
                        pos_ = q;
                        return separatorGroup();
                    }
                }
            } else {
                if (const char* q = shortDecimal(p, end_, value); q && atDelimiter(q)) {
                    pos_ = q;
                    return separatorGroup();
                }
                auto [q, error] = std::from_chars(p, end_, value);
                if (error == std::errc() && atDelimiter(q) && (q == end_ || *q != '#')) {
                    pos_ = q;
                    return separatorGroup();
                }
            }
        }
    }
    Token token = next();
    if constexpr (std::is_same_v<Number, std::uint32_t>) {
        if (token.kind != TokenKind::Integer)
            return fail(token.kind == TokenKind::Error ? ValueFault::Lexical
                                                       : ValueFault::WrongKind,
                        token);
        value = token.integer;
    } else {
        if (token.kind != TokenKind::Integer && token.kind != TokenKind::Float)
            return fail(token.kind == TokenKind::Error ? ValueFault::Lexical
                                                       : ValueFault::WrongKind,
                        token);
        if (!floatValue(token.text, value)) return fail(ValueFault::BadNumber, token);
    }
    return separatorGroup();
}

bool TextLexer::readInteger(std::uint32_t& value) {
    return readNumber(value);
}
bool TextLexer::readFloat(float& value) {
    return readNumber(value);
}
bool TextLexer::readDouble(double& value) {
    return readNumber(value);
}

bool TextLexer::readString(std::string_view& value) {
    Token token = next();
    if (token.kind != TokenKind::String)
        return fail(token.kind == TokenKind::Error ? ValueFault::Lexical : ValueFault::WrongKind,
                    token);
    value = token.text;
    return separatorGroup();
}

bool TextLexer::readFloats(float* values, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        if (!readNumber(values[i])) return false;
    return true;
}

bool TextLexer::readDwords(std::uint32_t* values, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        if (!readNumber(values[i])) return false;
    return true;
}

std::size_t TextLexer::takeCountedFloats(PackedBytes& out, std::uint64_t most, std::size_t lead) {
    constexpr std::size_t kMostLead = 8;
    if (lead == 0 || lead > kMostLead) return 0;
    std::size_t runs = 0;
    std::size_t firstAt = out.size();
    std::size_t written = out.size(); // the block may run ahead of what is written
    while (runs < most && !hasPeek_) {
        const char* start = pos_;
        std::size_t at = written;
        std::uint32_t integers[kMostLead];
        bool ok = true;
        for (std::size_t i = 0; ok && i < lead; ++i)
            ok = readNumber(integers[i]);
        std::uint32_t count = ok ? integers[lead - 1] : 0;
        ok = ok && count <= remaining(); // every value takes a byte or more
        if (ok) {
            std::size_t bytes = (lead + std::size_t{count}) * 4;
            if (runs == 1) {
                // Keys are usually alike: room for the rest like the first, within what the text
                // left could fill (a value of four bytes takes a character or more).
                std::uint64_t room = (at - firstAt) * (most - 1);
                out.reserve(at + static_cast<std::size_t>(std::min<std::uint64_t>(
                                     room, std::uint64_t{remaining()} * 4)));
            }
            if (at + bytes > out.size()) out.resize(std::max(at + bytes, out.capacity()));
            written = at + bytes;
            std::memcpy(out.data() + at, integers, lead * 4);
            std::uint8_t* values = out.data() + at + lead * 4;
            for (std::uint32_t i = 0; ok && i < count; ++i) {
                float value;
                ok = readNumber(value);
                std::memcpy(values + std::size_t{i} * 4, &value, 4);
            }
        }
        if (!ok) {
            pos_ = start;
            hasPeek_ = false;
            fault_ = LexFault{};
            written = at;
            break;
        }
        ++runs;
    }
    out.resize(written);
    return runs;
}

void TextLexer::lineAndColumn(std::size_t offset, std::uint32_t& line,
                              std::uint32_t& column) const {
    std::size_t local = offset < base_ ? 0 : offset - base_;
    if (local > static_cast<std::size_t>(end_ - begin_))
        local = static_cast<std::size_t>(end_ - begin_);
    line = 1;
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < local; ++i)
        if (begin_[i] == '\n') {
            ++line;
            lineStart = i + 1;
        }
    // The header line counts: the text starts on the header's line.
    column = static_cast<std::uint32_t>(local - lineStart + 1 + (line == 1 ? base_ : 0));
}

} // namespace dxfile
