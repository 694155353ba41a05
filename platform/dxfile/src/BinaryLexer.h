// Tokens and member values from the binary encoding. Untrusted input: every record length and
// list count is checked against the bytes that remain before it is used.
#pragma once

#include "ByteCursor.h"
#include "DataTree.h"
#include "Tokens.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace dxfile {

class BinaryLexer {
public:
    // `body` is the data after the 16-byte header; `baseOffset` the file offset of its first
    // byte; `floatBytes` the width of float list elements (4 for "0032", 8 for "0064").
    BinaryLexer(ByteSpan body, std::size_t baseOffset, std::size_t floatBytes);

    Token next();
    const Token& peek();

    // Member values. Integer and float lists hand out their elements one by one across member
    // and structure boundaries; single integers and strings carry a separator group.
    [[nodiscard]] bool readInteger(std::uint32_t& value);
    [[nodiscard]] bool readFloat(float& value);
    [[nodiscard]] bool readDouble(double& value);
    [[nodiscard]] bool readString(std::string_view& value);
    [[nodiscard]] bool readFloats(float* values, std::size_t count);
    [[nodiscard]] bool readDwords(std::uint32_t* values, std::size_t count);
    // Up to `most` elements of the form `DWORD n; n DWORDs`, appended to `out` as 4 + 4n bytes
    // each: as many as lie whole in the current integer list. Returns how many were taken; for
    // 0 nothing is consumed and the caller reads the next element value by value.
    [[nodiscard]] std::size_t takeCountedRuns(PackedBytes& out, std::uint64_t most);
    // Up to `most` elements of the form `DWORD a, ..., n; n FLOATs` (`lead` integers, the last
    // the count: animation keys), appended to `out`, while each lies whole in one integer list
    // and the float list after it. Returns how many were taken, as takeCountedRuns.
    [[nodiscard]] std::size_t takeCountedFloats(PackedBytes& out, std::uint64_t most,
                                                std::size_t lead);
    // `count` integers as `run` when they lie whole in the current integer list; else false with
    // nothing consumed.
    [[nodiscard]] bool takeDwords(std::size_t count, ByteSpan& run);
    // Fails when a list still holds values after the object's last member.
    [[nodiscard]] bool finishMembers();

    // Bytes not yet read, a peeked token counting as unread.
    std::size_t remaining() const {
        return (hasPeek_ ? peekedFrom_ : cursor_.remaining()) + listBytesLeft();
    }
    const LexFault& fault() const { return fault_; }

private:
    Token lexToken();
    bool separatorGroup();
    bool fail(ValueFault fault, const Token& found);
    bool failInList(ValueFault fault);
    // Makes a list with elements current, reading tokens as needed; false with `token` set when
    // the next value is not in a list.
    bool enterList(Token& token);
    bool enterListInPlace();
    template <class Number> bool readNumber(Number& value);
    std::size_t listBytesLeft() const {
        return static_cast<std::size_t>(listLeft_) * (listIsFloat_ ? floatBytes_ : 4);
    }

    ByteCursor cursor_;
    std::size_t base_;
    std::size_t floatBytes_;
    bool hasPeek_ = false;
    Token peeked_;
    std::size_t peekedFrom_ = 0; // cursor_.remaining() before the peeked token
    ByteCursor list_;            // the values left in the current list
    std::uint32_t listLeft_ = 0;
    bool listIsFloat_ = false;
    LexFault fault_;
};

} // namespace dxfile
