// The binary encoding: member values grouped into maximal runs, consecutive integers into one
// integer list and consecutive floats into one float list (4-byte elements: files are saved as
// "0032"), across member and structure boundaries; each string a string record and ';'.
#include "BinaryTokens.h"
#include "Guid.h"
#include "PackedLayout.h"
#include "Writer.h"

#include <cassert>
#include <cstring>

namespace dxfile {

using namespace binary;

namespace {

class BinaryWriter final : public BodyWriter {
public:
    void writeTemplate(const Template& t) override {
        word(kTemplate);
        name(t.name);
        word(kOBrace);
        guid(t.id);
        for (const Member& member : t.members) {
            if (member.isArray()) word(kArray);
            if (member.isTemplate)
                name(member.nested->name);
            else
                word(typeToken(member.scalar));
            if (!member.name.empty()) name(member.name);
            for (const Dimension& dim : member.dims) {
                word(kOBracket);
                if (dim.memberIndex >= 0) {
                    name(t.members[dim.memberIndex].name);
                } else {
                    word(kInteger);
                    dword(dim.fixedCount);
                }
                word(kCBracket);
            }
            word(kSemicolon);
        }
        if (t.restriction == RestrictionKind::Open) {
            word(kOBracket);
            word(kDot);
            word(kDot);
            word(kDot);
            word(kCBracket);
        } else if (t.restriction == RestrictionKind::Restricted) {
            word(kOBracket);
            for (std::size_t i = 0; i < t.allowed.size(); ++i) {
                if (i > 0) word(kComma);
                name(t.allowed[i].name);
                if (t.allowed[i].hasId) guid(t.allowed[i].id);
            }
            word(kCBracket);
        }
        word(kCBrace);
    }

    Diagnostic writeObject(const DataNode& node) override {
        std::size_t mark = position();
        if (streaming())
            body_.reserve(2 * kStreamPiece); // a piece and the append that completes it
        else
            body_.reserve(body_.size() + treeBytes(node) + 4096);
        Diagnostic failure = object(node, 0);
        if (failure.failed()) {
            rewind(mark);
            run_ = Run::None;
            return failure;
        }
        if (streaming()) flush();
        return {};
    }

private:
    // Large runs of values go to the stream straight from the packed data.
    void append(const void* data, std::size_t size) {
        if (streaming() && size >= kStreamPiece) {
            writeThrough(data, size);
            return;
        }
        body_.append(static_cast<const char*>(data), size);
        spill();
    }

    void word(std::uint16_t value) { append(&value, 2); }
    void dword(std::uint32_t value) { append(&value, 4); }
    void name(std::string_view text) {
        word(kName);
        dword(static_cast<std::uint32_t>(text.size()));
        append(text.data(), text.size());
    }
    void guid(const GUID& id) {
        std::uint8_t bytes[16];
        guidToBytes(id, bytes);
        word(kGuid);
        append(bytes, 16);
    }

    // ---- Runs of list values ---------------------------------------------------------------

    enum class Run { None, Integers, Floats };

    void closeRun() {
        if (run_ == Run::None) return;
        patch(runStart_ - 4, static_cast<std::uint32_t>((position() - runStart_) / 4));
        run_ = Run::None;
    }
    void openRun(Run kind) {
        if (run_ == kind) return;
        closeRun();
        word(kind == Run::Integers ? kIntegerList : kFloatList);
        dword(0); // the count, patched when the run closes
        runStart_ = position();
        run_ = kind;
    }
    // A key after anything but an open integer list: its integers as a closed list and its
    // floats as an open one, as the run helpers would write them, in one copy rather than six.
    static constexpr std::size_t kMostKeyLead = 8;
    static constexpr std::uint32_t kMostKeyFloats = 32;
    void keyInOneCopy(const std::uint8_t* key, std::size_t lead, std::uint32_t floatCount) {
        assert(run_ != Run::Integers && lead <= kMostKeyLead && floatCount > 0 &&
               floatCount <= kMostKeyFloats);
        closeRun();
        std::uint8_t bytes[2 * 6 + (kMostKeyLead + kMostKeyFloats) * 4];
        std::uint8_t* out = bytes;
        auto put = [&out](const void* data, std::size_t size) {
            std::memcpy(out, data, size);
            out += size;
        };
        std::uint16_t token = kIntegerList;
        std::uint32_t count = static_cast<std::uint32_t>(lead);
        put(&token, 2);
        put(&count, 4);
        put(key, lead * 4);
        token = kFloatList;
        put(&token, 2);
        put(&floatCount, 4);
        put(key + lead * 4, std::size_t{floatCount} * 4);
        append(bytes, static_cast<std::size_t>(out - bytes));
        runStart_ = position() - std::size_t{floatCount} * 4;
        run_ = Run::Floats;
    }
    void integer(std::uint32_t value) {
        openRun(Run::Integers);
        dword(value);
    }
    void floatValue(float value) {
        openRun(Run::Floats);
        append(&value, 4);
    }

    // ---- Objects ---------------------------------------------------------------------------

    Diagnostic object(const DataNode& node, int depth) {
        if (depth >= 128) return fault(DXFILEERR_BADVALUE, "objects nested too deeply");
        name(node.type->name);
        if (node.hasName) name(node.name);
        word(kOBrace);
        if (node.hasId) guid(node.id);
        PackedWalk walk{node.packed.data(), node.packed.data() + node.packed.size()};
        if (!instance(*node.type, walk))
            return fault(DXFILEERR_BADVALUE, "the data of " + describeObject(node) +
                                                 " is shorter than its counts promise");
        closeRun();
        if (walk.p != walk.end)
            return fault(DXFILEERR_BADVALUE,
                         "the data of " + describeObject(node) + " is longer than its template");
        for (const ChildEntry& child : node.children) {
            if (child.data) {
                if (Diagnostic failure = object(*child.data, depth + 1); failure.failed())
                    return failure;
            } else if (child.reference) {
                if (!child.reference->hasName)
                    return fault(DXFILEERR_BADVALUE,
                                 "a reference without a name has no binary form");
                word(kOBrace);
                name(child.reference->name);
                if (child.reference->hasId) guid(child.reference->id);
                word(kCBrace);
            } else {
                return fault(DXFILEERR_NOTDONEYET, "binary objects have no file form");
            }
        }
        word(kCBrace);
        return {};
    }

    bool scalar(ScalarType type, PackedWalk& walk, std::uint32_t& count, bool lastOfArray) {
        std::size_t size = packedSize(type);
        if (!walk.has(size)) return false;
        const std::uint8_t* p = walk.p;
        walk.p += size;
        switch (type) {
        case ScalarType::Word: {
            std::uint16_t v;
            std::memcpy(&v, p, 2);
            integer(count = v);
            return true;
        }
        case ScalarType::Sword: {
            std::int16_t v; // sign-extended into the list's DWORD
            std::memcpy(&v, p, 2);
            count = static_cast<std::uint16_t>(v);
            integer(static_cast<std::uint32_t>(static_cast<std::int32_t>(v)));
            return true;
        }
        case ScalarType::Dword:
        case ScalarType::Sdword:
            std::memcpy(&count, p, 4);
            integer(count);
            return true;
        case ScalarType::Char:
            count = *p;
            integer(static_cast<std::uint32_t>(
                static_cast<std::int32_t>(static_cast<std::int8_t>(*p))));
            return true;
        case ScalarType::Uchar:
            integer(count = *p);
            return true;
        case ScalarType::Float: {
            float v;
            std::memcpy(&v, p, 4);
            floatValue(v);
            return true;
        }
        case ScalarType::Double: {
            double v; // lists hold the file's float width, which saves use at 32 bits
            std::memcpy(&v, p, 8);
            floatValue(static_cast<float>(v));
            return true;
        }
        case ScalarType::String:
        case ScalarType::Unicode:
        case ScalarType::Cstring: {
            closeRun();
            const char* s;
            std::memcpy(&s, p, sizeof s);
            std::string_view text = s ? std::string_view(s) : std::string_view();
            word(kString);
            dword(static_cast<std::uint32_t>(text.size()));
            append(text.data(), text.size());
            word(lastOfArray ? kSemicolon : kComma);
            return true;
        }
        }
        return false;
    }

    bool instance(const Template& t, PackedWalk& walk) {
        MemberValues memberValues(t.steps.size());
        std::uint32_t* values = memberValues.data();
        for (std::size_t i = 0; i < t.steps.size(); ++i) {
            const ReadStep& step = t.steps[i];
            if (step.dwordRun > 1) {
                // Integers in a row go into the list in one copy.
                std::size_t bytes = step.dwordRun * 4;
                if (!walk.has(bytes)) return false;
                openRun(Run::Integers);
                append(walk.p, bytes);
                std::memcpy(values + i, walk.p, bytes);
                walk.p += bytes;
                i += step.dwordRun - 1;
                continue;
            }
            const Member& member = *step.member;
            values[i] = 0;
            if (!member.isArray()) {
                if (member.isTemplate ? !instance(*member.nested, walk)
                                      : !scalar(member.scalar, walk, values[i], true))
                    return false;
                continue;
            }
            std::uint64_t count = 1;
            for (const Dimension& dim : step.dims) {
                count *= dim.memberIndex >= 0 ? values[dim.memberIndex] : dim.fixedCount;
                if (count > 0xFFFFFFFFull) return false;
            }
            const Template* nested = member.isTemplate ? member.nested.get() : nullptr;
            if (count == 0 || (nested && !nested->readsValues)) continue;
            FlatShape shape =
                nested                               ? nested->shape
                : member.scalar == ScalarType::Float ? FlatShape::Floats
                : member.scalar == ScalarType::Dword || member.scalar == ScalarType::Sdword
                    ? FlatShape::Dwords
                    : FlatShape::Mixed;
            if (shape != FlatShape::Mixed) {
                // Whole arrays of floats or DWORDs go into the list in one copy.
                std::uint64_t bytes = count * (nested ? nested->flatCount : 1) * 4;
                if (!walk.has(bytes)) return false;
                openRun(shape == FlatShape::Floats ? Run::Floats : Run::Integers);
                append(walk.p, static_cast<std::size_t>(bytes));
                walk.p += bytes;
                continue;
            }
            if (!walk.has(count)) return false; // every element takes a byte or more
            if (nested && nested->isCountedDwords) {
                // Faces and their kind: the count and its indices go into the list as they are.
                openRun(Run::Integers);
                const std::uint8_t* first = walk.p;
                for (std::uint64_t e = 0; e < count; ++e) {
                    std::uint32_t n;
                    if (!walk.has(4)) return false;
                    std::memcpy(&n, walk.p, 4);
                    std::uint64_t bytes = (static_cast<std::uint64_t>(n) + 1) * 4;
                    if (!walk.has(bytes)) return false;
                    walk.p += bytes;
                }
                append(first, static_cast<std::size_t>(walk.p - first));
                continue;
            }
            if (nested && nested->countedFloatsLead > 0) {
                // Animation keys and their kind: the integers, then the floats they count.
                std::size_t lead = nested->countedFloatsLead;
                for (std::uint64_t e = 0; e < count; ++e) {
                    if (!walk.has(lead * 4)) return false;
                    std::uint32_t n;
                    std::memcpy(&n, walk.p + (lead - 1) * 4, 4);
                    if (!walk.has((lead + static_cast<std::uint64_t>(n)) * 4)) return false;
                    if (run_ != Run::Integers && lead <= kMostKeyLead && n > 0 &&
                        n <= kMostKeyFloats) {
                        keyInOneCopy(walk.p, lead, n);
                        walk.p += (lead + std::size_t{n}) * 4;
                        continue;
                    }
                    openRun(Run::Integers);
                    append(walk.p, lead * 4);
                    walk.p += lead * 4;
                    if (n == 0) continue;
                    openRun(Run::Floats);
                    append(walk.p, n * std::size_t{4});
                    walk.p += n * std::size_t{4};
                }
                continue;
            }
            for (std::uint64_t e = 0; e < count; ++e) {
                std::uint32_t ignored;
                if (nested ? !instance(*nested, walk)
                           : !scalar(member.scalar, walk, ignored, e + 1 == count))
                    return false;
            }
        }
        return true;
    }

    Run run_ = Run::None;
    std::size_t runStart_ = 0; // body position of the open run's first value
};

} // namespace

std::unique_ptr<BodyWriter> makeBinaryWriter() {
    return std::make_unique<BinaryWriter>();
}

} // namespace dxfile
