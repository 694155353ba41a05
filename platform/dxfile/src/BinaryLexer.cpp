#include "BinaryLexer.h"

#include "Guid.h"

#include <cstring>
#include <string>

namespace dxfile {

namespace {

// Token values of the binary encoding.
enum : std::uint16_t {
    kName = 1,
    kString = 2,
    kInteger = 3,
    kGuid = 5,
    kIntegerList = 6,
    kFloatList = 7,
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
    kWord = 40,
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

std::string_view asText(ByteSpan bytes) {
    return std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

} // namespace

BinaryLexer::BinaryLexer(ByteSpan body, std::size_t baseOffset, std::size_t floatBytes)
    : cursor_(body), base_(baseOffset), floatBytes_(floatBytes) {}

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
        if (count > cursor_.remaining() / width) return truncated();
        (void)cursor_.take(count * width, bytes);
        token.kind = value == kIntegerList ? TokenKind::IntegerList : TokenKind::FloatList;
        token.integer = count;
        token.text = asText(bytes);
        return token;
    }
    case kOBrace: token.kind = TokenKind::OBrace; return token;
    case kCBrace: token.kind = TokenKind::CBrace; return token;
    case kOParen: token.kind = TokenKind::OParen; return token;
    case kCParen: token.kind = TokenKind::CParen; return token;
    case kOBracket: token.kind = TokenKind::OBracket; return token;
    case kCBracket: token.kind = TokenKind::CBracket; return token;
    case kOAngle: token.kind = TokenKind::OAngle; return token;
    case kCAngle: token.kind = TokenKind::CAngle; return token;
    case kDot: token.kind = TokenKind::Dot; return token;
    case kComma: token.kind = TokenKind::Comma; return token;
    case kSemicolon: token.kind = TokenKind::Semicolon; return token;
    case kTemplate: token.kind = TokenKind::Template; return token;
    case kArray: token.kind = TokenKind::Array; return token;
    case kVoid: token.kind = TokenKind::Void; return token;
    default: break;
    }
    static constexpr ScalarType kTypes[] = {
        ScalarType::Word,  ScalarType::Dword, ScalarType::Float,  ScalarType::Double,
        ScalarType::Char,  ScalarType::Uchar, ScalarType::Sword,  ScalarType::Sdword,
        ScalarType::Dword, ScalarType::String, ScalarType::Unicode, ScalarType::Cstring};
    if (value >= kWord && value <= kCstring && value != kVoid) {
        token.kind = TokenKind::Type;
        token.scalar = kTypes[value - kWord];
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
        while (peek().kind == TokenKind::Semicolon) next();
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
        if (token.kind != TokenKind::IntegerList && token.kind != TokenKind::FloatList) return false;
        list_ = reinterpret_cast<const std::uint8_t*>(token.text.data());
        listLeft_ = token.integer;  // an empty list is legal and simply skipped
        listIsFloat_ = token.kind == TokenKind::FloatList;
    }
    return true;
}

// The common case of enterList, without building a token: the next record is a list that lies
// whole in the data. Anything else is left to the token path, which also reports faults.
bool BinaryLexer::enterListInPlace() {
    std::uint16_t kind;
    if (!cursor_.peekU16(kind) || (kind != kIntegerList && kind != kFloatList)) return false;
    std::size_t width = kind == kIntegerList ? 4 : floatBytes_;
    if (cursor_.remaining() < 6) return false;
    std::uint32_t count;
    std::memcpy(&count, cursor_.here() + 2, 4);
    if (count > (cursor_.remaining() - 6) / width) return false;
    ByteSpan record;
    (void)cursor_.take(6 + count * width, record);
    list_ = record.data() + 6;
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
    if (!listIsFloat_) {
        std::uint32_t element;
        std::memcpy(&element, list_, 4);
        list_ += 4;
        --listLeft_;
        value = static_cast<Number>(element);
        return true;
    }
    if constexpr (std::is_same_v<Number, std::uint32_t>) {
        return failInList(ValueFault::WrongKind);  // a float never silently becomes an integer
    } else {
        if (floatBytes_ == 4) {
            float element;
            std::memcpy(&element, list_, 4);
            value = static_cast<Number>(element);
        } else {
            double element;
            std::memcpy(&element, list_, 8);
            value = static_cast<Number>(element);
        }
        list_ += floatBytes_;
        --listLeft_;
        return true;
    }
}

bool BinaryLexer::readInteger(std::uint32_t& value) { return readNumber(value); }
bool BinaryLexer::readFloat(float& value) { return readNumber(value); }
bool BinaryLexer::readDouble(double& value) { return readNumber(value); }

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
                std::memcpy(values, list_, run * 4);
            } else {
                for (std::size_t i = 0; i < run; ++i) {
                    double element;
                    std::memcpy(&element, list_ + i * 8, 8);
                    values[i] = static_cast<float>(element);
                }
            }
            list_ += run * floatBytes_;
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
            std::memcpy(values, list_, run * 4);
            list_ += run * 4;
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

std::size_t BinaryLexer::takeCountedRuns(PackedBytes& out, std::uint64_t most) {
    if (listLeft_ == 0 || listIsFloat_) return 0;
    // Walk the counts first, then copy every whole run in one go.
    std::size_t runs = 0;
    std::size_t used = 0;
    auto countAt = [this](std::size_t index) {
        std::uint32_t count;
        std::memcpy(&count, list_ + index * 4, 4);
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
    std::size_t at = out.size();
    out.resize(at + used * 4);
    std::memcpy(out.data() + at, list_, used * 4);
    list_ += used * 4;
    listLeft_ -= static_cast<std::uint32_t>(used);
    return runs;
}

bool BinaryLexer::finishMembers() {
    if (listLeft_ > 0) return failInList(ValueFault::ExtraValues);
    return true;
}

} // namespace dxfile
