#include "BinaryLexer.h"

#include "BinaryTokens.h"
#include "Guid.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cstring>
#include <string>

namespace dxfile {

using namespace binary;

namespace {

// Keys hold a handful of values: copies of the usual sizes are inlined rather than called.
inline void copySmall(std::uint8_t* to, const std::uint8_t* from, std::size_t bytes) {
    switch (bytes) {
    case 4:
        std::memcpy(to, from, 4);
        return;
    case 8:
        std::memcpy(to, from, 8);
        return;
    case 12:
        std::memcpy(to, from, 12);
        return;
    case 16:
        std::memcpy(to, from, 16);
        return;
    default:
        std::memcpy(to, from, bytes);
        return;
    }
}

std::string_view asText(ByteSpan bytes) {
    return std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

} // namespace

BinaryLexer::BinaryLexer(ByteSpan body, std::size_t baseOffset, std::size_t floatBytes)
    : cursor_(body), base_(baseOffset), floatBytes_(floatBytes) {
    assert((floatBytes == 4 || floatBytes == 8) && "the header allows 32- and 64-bit floats only");
}

Token BinaryLexer::lexToken() {
    Token token;
    token.offset = base_ + cursor_.position();
    std::uint16_t value = 0;
    if (!cursor_.readU16(value)) {
        if (!cursor_.atEnd()) {
            token.kind = TokenKind::Error;
            token.text = "truncated token";
        }
        return token;
    }
    auto truncated = [&] {
        token.kind = TokenKind::Error;
        token.text = "truncated record";
        return token;
    };
    std::uint32_t count = 0;
    ByteSpan bytes;
    switch (value) {
    case kName:
    case kString:
        // DWORD count, then that many bytes, no terminating NUL.
        if (!cursor_.readU32(count) || !cursor_.take(count, bytes)) return truncated();
        token.kind = value == kName ? TokenKind::Name : TokenKind::String;
        token.text = asText(bytes);
        return token;
    case kInteger:
        if (!cursor_.readU32(token.integer)) return truncated();
        token.kind = TokenKind::Integer;
        return token;
    case kGuid:
        // DWORD, WORD, WORD, 8 bytes: the in-memory GUID layout.
        if (!cursor_.take(16, bytes)) return truncated();
        token.kind = TokenKind::Guid;
        token.guid = guidFromBytes(bytes.data());
        return token;
    case kIntegerList:
    case kFloatList: {
        // DWORD count, then count elements of 4 bytes (floats: 4 or 8 by the header).
        std::size_t width = value == kIntegerList ? 4 : floatBytes_;
        if (!cursor_.readU32(count)) return truncated();
        if (std::uint64_t{count} * width > cursor_.remaining()) return truncated();
        (void)cursor_.take(count * width, bytes);
        token.kind = value == kIntegerList ? TokenKind::IntegerList : TokenKind::FloatList;
        token.integer = count;
        token.text = asText(bytes);
        return token;
    }
    case kOBrace:
        token.kind = TokenKind::OBrace;
        return token;
    case kCBrace:
        token.kind = TokenKind::CBrace;
        return token;
    case kOParen:
        token.kind = TokenKind::OParen;
        return token;
    case kCParen:
        token.kind = TokenKind::CParen;
        return token;
    case kOBracket:
        token.kind = TokenKind::OBracket;
        return token;
    case kCBracket:
        token.kind = TokenKind::CBracket;
        return token;
    case kOAngle:
        token.kind = TokenKind::OAngle;
        return token;
    case kCAngle:
        token.kind = TokenKind::CAngle;
        return token;
    case kDot:
        token.kind = TokenKind::Dot;
        return token;
    case kComma:
        token.kind = TokenKind::Comma;
        return token;
    case kSemicolon:
        token.kind = TokenKind::Semicolon;
        return token;
    case kTemplate:
        token.kind = TokenKind::Template;
        return token;
    case kArray:
        token.kind = TokenKind::Array;
        return token;
    case kVoid:
        token.kind = TokenKind::Void;
        return token;
    default:
        break;
    }
    if (tokenType(value, token.scalar)) {
        token.kind = TokenKind::Type;
        return token;
    }
    token.kind = TokenKind::Error;
    token.text = "unknown token";
    return token;
}

Token BinaryLexer::next() {
    if (hasPeek_) {
        hasPeek_ = false;
        return peeked_;
    }
    return lexToken();
}

const Token& BinaryLexer::peek() {
    if (!hasPeek_) {
        peekedFrom_ = cursor_.remaining();
        peeked_ = lexToken();
        hasPeek_ = true;
    }
    return peeked_;
}

bool BinaryLexer::fail(ValueFault fault, const Token& found) {
    fault_.fault = fault;
    fault_.offset = found.offset;
    fault_.found = describe(found);
    if (found.kind == TokenKind::Error) fault_.found = std::string(found.text);
    return false;
}

bool BinaryLexer::failInList(ValueFault fault) {
    fault_.fault = fault;
    fault_.offset = base_ + cursor_.position() - listBytesLeft();
    fault_.found = std::string(listIsFloat_ ? "float list" : "integer list") + " with " +
                   std::to_string(listLeft_) + " values left";
    return false;
}

bool BinaryLexer::separatorGroup() {
    const Token& token = peek();
    if (token.kind == TokenKind::Semicolon) {
        while (peek().kind == TokenKind::Semicolon)
            next();
        if (peek().kind == TokenKind::Comma) next();
        return true;
    }
    if (token.kind == TokenKind::Comma) {
        next();
        return true;
    }
    if (token.kind == TokenKind::CBrace) return true;
    return fail(ValueFault::MissingSeparator, token);
}

bool BinaryLexer::enterList(Token& token) {
    while (listLeft_ == 0) {
        if (!hasPeek_ && enterListInPlace()) continue;
        token = next();
        if (token.kind != TokenKind::IntegerList && token.kind != TokenKind::FloatList)
            return false;
        list_ = ByteCursor(
            ByteSpan(reinterpret_cast<const std::uint8_t*>(token.text.data()), token.text.size()));
        listLeft_ = token.integer; // an empty list is legal and simply skipped
        listIsFloat_ = token.kind == TokenKind::FloatList;
    }
    return true;
}

// The common case of enterList, without building a token: the next record is a list that lies
// whole in the data. Anything else is left to the token path, which also reports faults.
bool BinaryLexer::enterListInPlace() {
    std::uint16_t kind;
    std::uint32_t count;
    if (!cursor_.peekU16(kind) || (kind != kIntegerList && kind != kFloatList) ||
        !cursor_.peekU32(count, 2))
        return false;
    std::size_t width = kind == kIntegerList ? 4 : floatBytes_;
    // No division: this runs once per list, and animation keys are a pair of lists each.
    if (std::uint64_t{count} * width > cursor_.remaining() - 6) return false;
    ByteSpan header;
    ByteSpan values;
    (void)cursor_.take(6, header);
    (void)cursor_.take(count * width, values);
    list_ = ByteCursor(values);
    listLeft_ = count;
    listIsFloat_ = kind == kFloatList;
    return true;
}

template <class Number> bool BinaryLexer::readNumber(Number& value) {
    Token token;
    if (!enterList(token)) {
        if (token.kind == TokenKind::Integer) {
            value = static_cast<Number>(token.integer);
            return separatorGroup();
        }
        return fail(token.kind == TokenKind::Error ? ValueFault::Lexical : ValueFault::WrongKind,
                    token);
    }
    // The list holds listLeft_ elements: the reads below cannot fail.
    --listLeft_;
    if (!listIsFloat_) {
        std::uint32_t element = 0;
        (void)list_.readU32(element);
        value = static_cast<Number>(element);
        return true;
    }
    if constexpr (std::is_same_v<Number, std::uint32_t>) {
        ++listLeft_;
        return failInList(ValueFault::WrongKind); // a float never silently becomes an integer
    } else {
        if (floatBytes_ == 4) {
            std::uint32_t bits = 0;
            (void)list_.readU32(bits);
            value = static_cast<Number>(std::bit_cast<float>(bits));
        } else {
            std::uint64_t bits = 0;
            (void)list_.readU64(bits);
            value = static_cast<Number>(std::bit_cast<double>(bits));
        }
        return true;
    }
}

bool BinaryLexer::readInteger(std::uint32_t& value) {
    return readNumber(value);
}
bool BinaryLexer::readFloat(float& value) {
    return readNumber(value);
}
bool BinaryLexer::readDouble(double& value) {
    return readNumber(value);
}

bool BinaryLexer::readString(std::string_view& value) {
    if (listLeft_ > 0) return failInList(ValueFault::WrongKind);
    Token token = next();
    while ((token.kind == TokenKind::IntegerList || token.kind == TokenKind::FloatList) &&
           token.integer == 0)
        token = next();
    if (token.kind != TokenKind::String)
        return fail(token.kind == TokenKind::Error ? ValueFault::Lexical : ValueFault::WrongKind,
                    token);
    value = token.text;
    return separatorGroup();
}

bool BinaryLexer::readFloats(float* values, std::size_t count) {
    while (count > 0) {
        if (listLeft_ > 0 && listIsFloat_) {
            std::size_t run = count < listLeft_ ? count : listLeft_;
            if (floatBytes_ == 4) {
                ByteSpan bytes;
                (void)list_.take(run * 4, bytes);
                std::memcpy(values, bytes.data(), run * 4);
            } else {
                for (std::size_t i = 0; i < run; ++i) {
                    std::uint64_t bits = 0;
                    (void)list_.readU64(bits);
                    values[i] = static_cast<float>(std::bit_cast<double>(bits));
                }
            }
            listLeft_ -= static_cast<std::uint32_t>(run);
            values += run;
            count -= run;
            continue;
        }
        if (!readNumber(*values)) return false;
        ++values;
        --count;
    }
    return true;
}

bool BinaryLexer::readDwords(std::uint32_t* values, std::size_t count) {
    while (count > 0) {
        if (listLeft_ > 0 && !listIsFloat_) {
            std::size_t run = count < listLeft_ ? count : listLeft_;
            ByteSpan bytes;
            (void)list_.take(run * 4, bytes);
            std::memcpy(values, bytes.data(), run * 4);
            listLeft_ -= static_cast<std::uint32_t>(run);
            values += run;
            count -= run;
            continue;
        }
        if (!readNumber(*values)) return false;
        ++values;
        --count;
    }
    return true;
}

bool BinaryLexer::takeDwords(std::size_t count, ByteSpan& run) {
    if (listLeft_ == 0 && !hasPeek_) (void)enterListInPlace(); // values to come either way
    if (listLeft_ < count || listIsFloat_) return false;
    (void)list_.take(count * 4, run);
    listLeft_ -= static_cast<std::uint32_t>(count);
    return true;
}

std::size_t BinaryLexer::takeCountedRuns(PackedBytes& out, std::uint64_t most) {
    if (listLeft_ == 0 || listIsFloat_) return 0;
    // Walk the counts first, then copy every whole run in one go.
    std::size_t runs = 0;
    std::size_t used = 0;
    auto countAt = [this](std::size_t index) {
        std::uint32_t count = 0;
        (void)list_.peekU32(count, index * 4); // index < listLeft_: always there
        return count;
    };
    while (runs < most && used < listLeft_) {
        std::uint32_t count = countAt(used);
        if (count >= listLeft_ - used) break;
        std::size_t stride = static_cast<std::size_t>(count) + 1;
        // Faces of one size come in long stretches: check four ahead at once rather than
        // following the chain of counts one load at a time.
        while (runs + 4 <= most && used + 4 * stride <= listLeft_ &&
               countAt(used + stride) == count && countAt(used + 2 * stride) == count &&
               countAt(used + 3 * stride) == count) {
            used += 3 * stride;
            runs += 3;
        }
        used += stride;
        ++runs;
    }
    if (runs == 0) return 0;
    ByteSpan bytes;
    (void)list_.take(used * 4, bytes);
    std::size_t at = out.size();
    out.resize(at + used * 4);
    std::memcpy(out.data() + at, bytes.data(), used * 4);
    listLeft_ -= static_cast<std::uint32_t>(used);
    return runs;
}

std::size_t BinaryLexer::takeCountedFloats(PackedBytes& out, std::uint64_t most, std::size_t lead) {
    if (floatBytes_ != 4 || lead == 0) return 0;
    // Room for all of them sized like the first, within the bytes left: each packed value
    // comes from a value of the same width in the data.
    if (listLeft_ >= lead && !listIsFloat_) {
        std::uint32_t first = 0;
        (void)list_.peekU32(first, (lead - 1) * 4);
        std::uint64_t room = most * (lead + static_cast<std::uint64_t>(first)) * 4;
        out.reserve(out.size() +
                    static_cast<std::size_t>(std::min<std::uint64_t>(room, remaining())));
    }
    // The block grows in steps rather than once per key; what is unused is cut off at the end.
    std::size_t written = out.size();
    auto claim = [&out, &written](std::size_t bytes) {
        if (written + bytes > out.size())
            out.resize(std::max(written + bytes, out.capacity())); // the vector grows geometrically
        std::uint8_t* at = out.data() + written;
        written += bytes;
        return at;
    };
    std::size_t runs = 0;
    while (runs < most && !hasPeek_) {
        cursor_.prefetch(1024);
        // `lead` integers, the last of them the count of the floats that follow.
        if (listLeft_ == 0) (void)enterListInPlace();
        if (listIsFloat_ || listLeft_ < lead) break;
        std::uint32_t count = 0;
        (void)list_.peekU32(count, (lead - 1) * 4);
        std::uint32_t listCount = 0;
        if (count > 0) {
            // The integers must end their list and a float list holding the values follow.
            std::uint16_t kind;
            if (listLeft_ != lead || !cursor_.peekU16(kind) || kind != kFloatList ||
                !cursor_.peekU32(listCount, 2) || listCount < count ||
                std::uint64_t{listCount} * 4 > cursor_.remaining() - 6)
                break;
        }
        ByteSpan integers;
        (void)list_.take(lead * 4, integers);
        listLeft_ -= static_cast<std::uint32_t>(lead);
        std::uint8_t* at = claim((lead + count) * 4);
        copySmall(at, integers.data(), lead * 4);
        if (count > 0) {
            // The float list, checked above to lie whole in the data; what the key leaves of it
            // is the current list.
            ByteSpan header;
            ByteSpan values;
            (void)cursor_.take(6, header);
            (void)cursor_.take(std::size_t{listCount} * 4, values);
            copySmall(at + lead * 4, values.data(), count * 4);
            list_ = ByteCursor(values.subspan(std::size_t{count} * 4));
            listLeft_ = listCount - count;
            listIsFloat_ = true;
        }
        ++runs;
    }
    out.resize(written);
    return runs;
}

bool BinaryLexer::finishMembers() {
    if (listLeft_ > 0) return failInList(ValueFault::ExtraValues);
    return true;
}

} // namespace dxfile
