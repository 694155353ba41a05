#include "TextLexer.h"

#include "Guid.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cctype>
#include <charconv>
#include <cstring>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// Bytes a number's fast reading may look at from its first character on, without checking for
// the end of the text: the longest number it takes, its terminator, and a whole eight-byte load
// after each part. Numbers closer to the end go the general way.
constexpr std::ptrdiff_t kNumberWindow = 32;

inline std::uint64_t loadEight(const char* p) {
    std::uint64_t chunk;
    std::memcpy(&chunk, p, 8);
    return chunk;
}

// How many of the eight bytes of `chunk` (in memory order) are ASCII digits before the first
// that is not: 0 to 8.
inline int leadingDigitCount(std::uint64_t chunk) {
    std::uint64_t offsets = chunk ^ 0x3030303030303030; // digits become 0 to 9
    // A byte's top bit ends up set when it is 10 or more. A carry runs only into later bytes,
    // past the first non-digit, so it cannot move that one.
    std::uint64_t nonDigits = ((offsets + 0x7676767676767676) | offsets) & 0x8080808080808080;
    return std::countr_zero(nonDigits) / 8; // 64 / 8 when there is none
}

// The value of eight digit values 0 to 9 (not ASCII digits), the first in the lowest byte: summed
// as pairs, fours and all eight.
inline std::uint32_t eightDigitsSum(std::uint64_t digits) {
    digits = digits * 10 + (digits >> 8);
    digits = ((digits & 0x000000FF000000FF) * (100 + (1000000ull << 32)) +
              ((digits >> 16) & 0x000000FF000000FF) * (1 + (10000ull << 32))) >>
             32;
    return static_cast<std::uint32_t>(digits);
}

// The value of the first `count` (1 to 8) bytes of `values`, digit values 0 to 9: shifted to the
// top, so that zero bytes lead them.
inline std::uint32_t leadingValue(std::uint64_t values, unsigned count) {
    return eightDigitsSum(values << (8 * (8 - count)));
}

// The value of the first `count` (1 to 8) bytes of `chunk`, all ASCII digits.
inline std::uint32_t leadingDigitsValue(std::uint64_t chunk, int count) {
    return leadingValue(chunk ^ 0x3030303030303030, static_cast<unsigned>(count));
}

constexpr std::uint64_t kIntegerPowers[] = {1,
                                            10,
                                            100,
                                            1000,
                                            10000,
                                            100000,
                                            1000000,
                                            10000000,
                                            100000000,
                                            1000000000,
                                            10000000000,
                                            100000000000,
                                            1000000000000,
                                            10000000000000,
                                            100000000000000,
                                            1000000000000000};
// Rounded to the nearest double.
constexpr double kInversePowers[] = {1e0,  1e-1, 1e-2, 1e-3,  1e-4,  1e-5,  1e-6,
                                     1e-7, 1e-8, 1e-9, 1e-10, 1e-11, 1e-12, 1e-13};
constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The usual index or count: one to seven digits. Returns the end of the digits or null.
// Needs kNumberWindow bytes from `p`.
inline const char* fastInteger(const char* p, std::uint32_t& value) {
    std::uint64_t chunk = loadEight(p);
    int count = leadingDigitCount(chunk);
    if (count == 0 || count == 8) return nullptr;
    value = leadingDigitsValue(chunk, count);
    return p + count;
}

// Which of the sixteen bytes from `p` are ASCII digits and which are points: bit i for byte i.
struct NumberBytes {
    unsigned digits;
    unsigned points;
};
inline NumberBytes classifySixteen(const char* p) {
#if defined(__SSE2__)
    __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    // '0' to '9' move to the ten lowest signed bytes, -128 to -119; nothing else lands there.
    __m128i moved = _mm_add_epi8(bytes, _mm_set1_epi8(static_cast<char>(0x80 - '0')));
    __m128i digits = _mm_cmplt_epi8(moved, _mm_set1_epi8(static_cast<char>(0x80 + 10)));
    __m128i points = _mm_cmpeq_epi8(bytes, _mm_set1_epi8('.'));
    return {static_cast<unsigned>(_mm_movemask_epi8(digits)),
            static_cast<unsigned>(_mm_movemask_epi8(points))};
#else
    NumberBytes found{0, 0};
    for (unsigned i = 0; i < 16; ++i) {
        found.digits |= unsigned{isDigit(p[i])} << i;
        found.points |= unsigned{p[i] == '.'} << i;
    }
    return found;
#endif
}

// The value of the first `count` (0 to 7) bytes of `chunk`, all ASCII digits; 0 for none.
inline std::uint32_t fewDigitsValue(std::uint64_t chunk, unsigned count) {
    // Two shifts, as one shift by 64 would be undefined.
    return eightDigitsSum(((chunk ^ 0x3030303030303030) << (8 * (7 - count))) << 8);
}

// The usual number of a text file, "-12.375" or "0.009999833": at most fifteen characters, an
// optional minus, then one to seven integer digits, and optionally a point and one or more
// digits. Returns the end of the number, or null for any other shape (exponents, '+', a bare
// point, long numbers), which the general conversion then reads; and for the rare float lying
// too close to halfway between two floats to round from a double. Where the number ends is found
// from one look at its sixteen bytes, so that the next number need not wait for a scan. Needs
// kNumberWindow bytes from `p`.
//
// The digits make an integer below 10^14, which a double holds exactly. For a double it is
// divided by the power of ten, exact too, so that the one division rounds correctly. A float is
// rounded from the product with the power's inverse, a double within two units in its last place
// of the true value: that gives the correctly rounded float unless a point halfway between two
// floats lies that close, when the general conversion decides. Such a mantissa and scale keep a
// float inside its normal range, 1e-13 to 1e14.
template <class Number>
[[gnu::always_inline]] inline const char* fastDecimal(const char* p, Number& value) {
    // The sign is found beside the bytes' classes rather than before them, so that the end of
    // the number waits only on one load.
    unsigned negative = *p == '-';
    NumberBytes bytes = classifySixteen(p);
    bytes.digits >>= negative;
    bytes.points >>= negative;
    p += negative;
    unsigned integerDigits = static_cast<unsigned>(std::countr_zero(~bytes.digits));
    unsigned length = static_cast<unsigned>(std::countr_zero(~(bytes.digits | bytes.points)));
    if (integerDigits == 0 || integerDigits > 7 || length + negative >= 16) return nullptr;
    bool hasPoint = length > integerDigits;
    unsigned scale = hasPoint ? length - integerDigits - 1 : 0;
    // One point at most, right after the integer digits, and digits after it.
    if (hasPoint && (scale == 0 || (bytes.points & ((1u << length) - 1)) != 1u << integerDigits))
        return nullptr;
    // The first eight bytes as digit values with the point taken out: the integer digits move up
    // one byte, over the point, and a zero comes to lead them.
    std::uint64_t values = loadEight(p) ^ 0x3030303030303030;
    std::uint64_t integerBytes =
        hasPoint ? (std::uint64_t{1} << (8 * integerDigits)) - 1 : ~std::uint64_t{0};
    values = ((values & integerBytes) << (hasPoint ? 8 : 0)) | (values & (~integerBytes << 8));
    unsigned firstCount = std::min(length, 8u);
    unsigned restCount = length - firstCount;
    std::uint64_t mantissa =
        std::uint64_t{leadingValue(values, firstCount)} * kIntegerPowers[restCount] +
        fewDigitsValue(loadEight(p + 8), restCount);
    double exact;
    if constexpr (std::is_same_v<Number, float>) {
        exact = static_cast<double>(mantissa) * kInversePowers[scale];
        // The 29 fraction bits a double has beyond a float's 23: one half of a float's last place,
        // give or take a few of the double's, marks the near-halfway case.
        constexpr std::uint64_t kBeyondFloat = (std::uint64_t{1} << 29) - 1;
        constexpr std::uint64_t kHalf = std::uint64_t{1} << 28;
        constexpr std::uint64_t kMargin = 8;
        if (((std::bit_cast<std::uint64_t>(exact) & kBeyondFloat) - (kHalf - kMargin)) <=
            2 * kMargin)
            return nullptr;
    } else {
        exact = static_cast<double>(mantissa) / kExactPowers[scale];
    }
    value = static_cast<Number>(negative ? -exact : exact);
    return p + length;
}

// A value of the usual shape, after the usual layout (line breaks and indentation, no comment),
// directly followed by ',' or by a group of ';' (spaces between allowed) and an optional ','.
// Returns where the general reading of the value and its separator would stop, or null when the
// general reading must decide. The window leaves room for the three bytes after the number that
// are looked at without checking for the end.
template <class Number>
[[gnu::always_inline]] inline const char* takeUsualValue(const char* p, const char* end,
                                                         Number& value) {
    if (end - p < kNumberWindow) return nullptr;
    if (static_cast<unsigned char>(*p) <= 0x20) { // a line break and indentation
        do
            ++p;
        while (p < end && static_cast<unsigned char>(*p) <= 0x20);
        if (end - p < kNumberWindow) return nullptr;
    }
    if constexpr (std::is_same_v<Number, std::uint32_t>)
        p = fastInteger(p, value);
    else
        p = fastDecimal(p, value);
    if (!p) return nullptr;
    if (*p == ',') return p + 1;
    if (*p != ';') return nullptr;
    // The usual groups, ";" before the next number and ";;," ending a list, at a glance.
    if (isDigit(p[1]) || p[1] == '-') return p + 1;
    if (p[1] == ';' && p[2] == ',') return p + 3;
    do {
        ++p;
        while (p < end && static_cast<unsigned char>(*p) <= 0x20)
            ++p;
    } while (p < end && *p == ';');
    if (p < end) {
        if (*p == ',')
            ++p;
        else if (*p == '#' || *p == '/')
            return nullptr; // maybe a comment inside the group
    }
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
            do {
                ++pos_;
                skipSpace();
            } while (pos_ < end_ && *pos_ == ';');
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
        // The usual number, well inside the text, read in place. Its end must be where the
        // token's would be; a '#' there may start `1.#INF`, which the general way knows.
        if (end_ - pos_ >= kNumberWindow) {
            const char* q;
            if constexpr (std::is_same_v<Number, std::uint32_t>)
                q = fastInteger(pos_, value);
            else
                q = fastDecimal(pos_, value);
            if (q) {
                if (*q == ',') {
                    pos_ = q + 1;
                    return true;
                }
                if (*q == ';' || (atDelimiter(q) && *q != '#')) {
                    pos_ = q;
                    return separatorGroup();
                }
            }
        }
    }
    return readOtherNumber(value);
}

// Numbers of other shapes, and those near the end of the text.
template <class Number> bool TextLexer::readOtherNumber(Number& value) {
    if (!hasPeek_) {
        const char* p = pos_;
        if (p < end_ && *p == '+') ++p;
        const char* digits = p < end_ && *p == '-' ? p + 1 : p;
        if (digits < end_ && (isDigit(*digits) || *digits == '.')) {
            auto [q, error] = std::from_chars(p, end_, value);
            if (error == std::errc() && atDelimiter(q) && (q == end_ || *q != '#')) {
                pos_ = q;
                return separatorGroup();
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

template <class Number> const char* TextLexer::readValueSlowly(const char* p, Number& value) {
    pos_ = p;
    return readNumber(value) ? pos_ : nullptr;
}

template <class Number>
[[gnu::always_inline]] inline bool TextLexer::readValueAt(const char*& p, Number& value) {
    const char* next = takeUsualValue(p, end_, value);
    if (!next) next = readValueSlowly(p, value);
    if (!next) return false;
    p = next;
    return true;
}

template <class Number> bool TextLexer::readValues(Number* values, std::size_t count) {
    if (hasPeek_) {
        if (count == 0) return true;
        if (!readNumber(values[0])) return false;
        ++values;
        --count;
    }
    // The position stays local: stores to the values could otherwise alias it.
    const char* p = pos_;
    for (std::size_t i = 0; i < count; ++i)
        if (!readValueAt(p, values[i])) return false;
    pos_ = p;
    return true;
}

bool TextLexer::readFloats(float* values, std::size_t count) {
    return readValues(values, count);
}

bool TextLexer::readDwords(std::uint32_t* values, std::size_t count) {
    return readValues(values, count);
}

std::size_t TextLexer::takeCountedFloats(PackedBytes& out, std::uint64_t most, std::size_t lead) {
    constexpr std::size_t kMostLead = 8;
    if (lead == 0 || lead > kMostLead) return 0;
    std::size_t runs = 0;
    std::size_t firstAt = out.size();
    std::size_t written = out.size(); // the block may run ahead of what is written
    const char* p = pos_;             // kept local, as in readFloats
    while (runs < most && !hasPeek_) {
        const char* start = p;
        std::size_t at = written;
        std::uint32_t integers[kMostLead];
        bool ok = true;
        for (std::size_t i = 0; ok && i < lead; ++i)
            ok = readValueAt(p, integers[i]);
        std::uint32_t count = ok ? integers[lead - 1] : 0;
        ok = ok && count <= static_cast<std::size_t>(end_ - p); // every value takes a byte or more
        if (ok) {
            std::size_t bytes = (lead + std::size_t{count}) * 4;
            if (runs == 1) {
                // Keys are usually alike: room for the rest like the first, within what the text
                // left could fill (a value of four bytes takes a character or more).
                std::uint64_t room = (at - firstAt) * (most - 1);
                out.reserve(at + static_cast<std::size_t>(std::min<std::uint64_t>(
                                     room, std::uint64_t{static_cast<std::size_t>(end_ - p)} * 4)));
            }
            if (at + bytes > out.size()) out.resize(std::max(at + bytes, out.capacity()));
            written = at + bytes;
            for (std::size_t i = 0; i < lead; ++i)
                std::memcpy(out.data() + at + i * 4, &integers[i], 4);
            std::uint8_t* values = out.data() + at + lead * 4;
            for (std::uint32_t i = 0; ok && i < count; ++i) {
                float value;
                ok = readValueAt(p, value);
                std::memcpy(values + std::size_t{i} * 4, &value, 4);
            }
        }
        if (!ok) {
            p = start;
            hasPeek_ = false;
            fault_ = LexFault{};
            written = at;
            break;
        }
        ++runs;
    }
    pos_ = p;
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
