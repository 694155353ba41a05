// Tokens and member values from the text encoding. Untrusted input: every read stays inside the
// bytes given, and no token allocates (names and strings are views into the input).
#pragma once

#include "ByteCursor.h"
#include "DataTree.h"
#include "Tokens.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace dxfile {

class TextLexer {
public:
    // `text` is the data after the 16-byte header; `baseOffset` is the file offset of its first
    // byte, so that token offsets count from the start of the file.
    TextLexer(ByteSpan text, std::size_t baseOffset);

    Token next();
    const Token& peek();

    // Member values: one value of the asked kind followed by its separator group (`;`+ then an
    // optional `,`, or a lone `,`). A value directly before `}` may go without one, as many
    // writers end objects. On failure fault() says why.
    [[nodiscard]] bool readInteger(std::uint32_t& value);
    [[nodiscard]] bool readFloat(float& value);
    [[nodiscard]] bool readDouble(double& value);
    [[nodiscard]] bool readString(std::string_view& value);
    [[nodiscard]] bool readFloats(float* values, std::size_t count);
    [[nodiscard]] bool readDwords(std::uint32_t* values, std::size_t count);
    // Text has no runs to take whole: face elements are read value by value.
    [[nodiscard]] std::size_t takeCountedRuns(PackedBytes&, std::uint64_t) { return 0; }
    // Up to `most` elements of the form `DWORD a, ..., n; n FLOATs` (`lead` integers, the last
    // the count: animation keys), appended to `out` without the grammar's step-by-step walk.
    // Stops before an element that does not read cleanly, leaving it unread for the grammar to
    // read and report. Returns how many were taken.
    [[nodiscard]] std::size_t takeCountedFloats(PackedBytes& out, std::uint64_t most,
                                                std::size_t lead);
    [[nodiscard]] bool takeDwords(std::size_t, ByteSpan&) { return false; }
    // The end of an object's member values. Text has nothing pending between values.
    [[nodiscard]] bool finishMembers() { return true; }

    // Bytes not yet read, a peeked token counting as unread: an upper bound on the values still
    // to come.
    std::size_t remaining() const {
        return static_cast<std::size_t>(end_ - (hasPeek_ ? peekedFrom_ : pos_));
    }
    const LexFault& fault() const { return fault_; }

    // 1-based line and column of a file offset inside this text.
    void lineAndColumn(std::size_t offset, std::uint32_t& line, std::uint32_t& column) const;

private:
    // Most calls find a value or a separator right away: that test stays inline.
    void skipSpace() {
        if (pos_<end_&& static_cast<unsigned char>(*pos_)> 0x20 && *pos_ != '#' && *pos_ != '/')
            return;
        skipSpaceAndComments();
    }
    void skipSpaceAndComments();
    Token lexToken();
    bool separatorGroup();
    bool fail(ValueFault fault, const Token& found);
    bool atDelimiter(const char* p) const;
    template <class Number> bool readNumber(Number& value);
    template <class Number> bool readOtherNumber(Number& value);
    // readNumber from `p`, which it moves on; pos_ is left wherever. The usual value is read
    // inline, other shapes out of line by readValueSlowly, which gives null when it fails.
    template <class Number> bool readValueAt(const char*& p, Number& value);
    template <class Number> const char* readValueSlowly(const char* p, Number& value);
    // readFloats and readDwords.
    template <class Number> bool readValues(Number* values, std::size_t count);
    std::size_t offsetOf(const char* p) const {
        return base_ + static_cast<std::size_t>(p - begin_);
    }

    const char* begin_;
    const char* pos_;
    const char* end_;
    std::size_t base_;
    bool hasPeek_ = false;
    Token peeked_;
    const char* peekedFrom_ = nullptr;
    LexFault fault_;
};

} // namespace dxfile
