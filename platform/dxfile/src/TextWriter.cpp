// The text encoding, laid out as tidy files are: one member per line, arrays of structures one
// element per line, long lists of numbers wrapped, one space of indentation per nesting level.
// Floats are written in the shortest fixed-point form that reads back to the same bits.
#include "Guid.h"
#include "PackedLayout.h"
#include "Writer.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace dxfile {

namespace {

constexpr std::size_t kWrapColumn = 100;

class TextWriter final : public BodyWriter {
public:
    TextWriter() { body_ = "\n"; } // ends the header's line

    void writeTemplate(const Template& t) override {
        std::string& out = body_;
        out += "template ";
        out += t.name;
        out += " {\n <";
        out += formatGuid(t.id, false);
        out += ">\n";
        for (const Member& member : t.members) {
            out += ' ';
            if (member.isArray()) out += "array ";
            out += member.isTemplate ? member.nested->name : std::string(keywordOf(member.scalar));
            if (!member.name.empty()) {
                out += ' ';
                out += member.name;
            }
            for (const Dimension& dim : member.dims) {
                out += '[';
                out += dim.memberIndex >= 0 ? t.members[dim.memberIndex].name
                                            : std::to_string(dim.fixedCount);
                out += ']';
            }
            out += ";\n";
        }
        if (t.restriction == RestrictionKind::Open) out += " [...]\n";
        if (t.restriction == RestrictionKind::Restricted) {
            out += " [";
            for (std::size_t i = 0; i < t.allowed.size(); ++i) {
                if (i > 0) out += ", ";
                out += t.allowed[i].name;
                if (t.allowed[i].hasId) {
                    out += " <";
                    out += formatGuid(t.allowed[i].id, false);
                    out += '>';
                }
            }
            out += "]\n";
        }
        out += "}\n\n";
    }

    Diagnostic writeObject(const DataNode& node) override {
        std::size_t mark = position();
        if (streaming())
            body_.reserve(2 * kStreamPiece);
        else
            body_.reserve(body_.size() + treeBytes(node) * 5 / 2 + 4096); // numbers run ~2.5x
        Diagnostic failure = object(node, 0);
        if (failure.failed()) {
            rewind(mark);
            return failure;
        }
        body_ += '\n';
        return {};
    }

private:
    void indent(int depth) { body_.append(static_cast<std::size_t>(depth), ' '); }

    Diagnostic object(const DataNode& node, int depth) {
        if (depth >= 128) return fault(DXFILEERR_BADVALUE, "objects nested too deeply");
        indent(depth);
        body_ += node.type->name;
        if (node.hasName) {
            body_ += ' ';
            body_ += node.name;
        }
        body_ += " {\n";
        if (node.hasId) {
            indent(depth + 1);
            body_ += '<';
            body_ += formatGuid(node.id, false);
            body_ += ">\n";
        }
        PackedWalk walk{node.packed.data(), node.packed.data() + node.packed.size()};
        fault_.clear();
        if (!topMembers(*node.type, walk, depth + 1))
            return fault(DXFILEERR_BADVALUE, fault_.empty()
                                                 ? "the data of " + describeObject(node) +
                                                       " is shorter than its counts promise"
                                                 : fault_ + " (" + describeObject(node) + ")");
        if (walk.p != walk.end)
            return fault(DXFILEERR_BADVALUE,
                         "the data of " + describeObject(node) + " is longer than its template");
        for (const ChildEntry& child : node.children) {
            spill();
            if (child.data) {
                if (Diagnostic failure = object(*child.data, depth + 1); failure.failed())
                    return failure;
            } else if (child.reference) {
                indent(depth + 1);
                body_ += "{ ";
                if (child.reference->hasName) {
                    body_ += child.reference->name;
                    body_ += ' ';
                }
                if (child.reference->hasId) {
                    body_ += '<';
                    body_ += formatGuid(child.reference->id, false);
                    body_ += "> ";
                }
                body_ += "}\n";
            } else {
                return fault(DXFILEERR_NOTDONEYET, "binary objects have no file form");
            }
        }
        indent(depth);
        body_ += "}\n";
        return {};
    }

    // One value of `type`, without separator. Integer values are also returned for counts.
    bool scalar(ScalarType type, PackedWalk& walk, std::uint32_t& count) {
        std::size_t size = packedSize(type);
        if (!walk.has(size)) return false;
        char text[400];
        char* end = text;
        const std::uint8_t* p = walk.p;
        walk.p += size;
        switch (type) {
        case ScalarType::Word: {
            std::uint16_t v;
            std::memcpy(&v, p, 2);
            count = v;
            end = std::to_chars(text, text + sizeof text, v).ptr;
            break;
        }
        case ScalarType::Sword: {
            std::int16_t v;
            std::memcpy(&v, p, 2);
            count = static_cast<std::uint16_t>(v);
            end = std::to_chars(text, text + sizeof text, v).ptr;
            break;
        }
        case ScalarType::Dword: {
            std::uint32_t v;
            std::memcpy(&v, p, 4);
            count = v;
            end = std::to_chars(text, text + sizeof text, v).ptr;
            break;
        }
        case ScalarType::Sdword: {
            std::int32_t v;
            std::memcpy(&v, p, 4);
            count = static_cast<std::uint32_t>(v);
            end = std::to_chars(text, text + sizeof text, v).ptr;
            break;
        }
        case ScalarType::Char: {
            auto v = static_cast<std::int8_t>(*p);
            count = static_cast<std::uint8_t>(v);
            end = std::to_chars(text, text + sizeof text, v).ptr;
            break;
        }
        case ScalarType::Uchar:
            count = *p;
            end = std::to_chars(text, text + sizeof text, *p).ptr;
            break;
        case ScalarType::Float: {
            float v;
            std::memcpy(&v, p, 4);
            end = fixedPoint(text, sizeof text, v);
            break;
        }
        case ScalarType::Double: {
            double v;
            std::memcpy(&v, p, 8);
            end = fixedPoint(text, sizeof text, v);
            break;
        }
        case ScalarType::String:
        case ScalarType::Unicode:
        case ScalarType::Cstring: {
            const char* s;
            std::memcpy(&s, p, sizeof s);
            if (s && std::strchr(s, '"')) {
                fault_ = "a string holds a '\"', which text files cannot carry";
                return false;
            }
            body_ += '"';
            if (s) body_ += s;
            body_ += '"';
            return true;
        }
        }
        body_.append(text, end);
        return true;
    }

    // Shortest fixed-point form that reads back to the same value; never exponent notation,
    // which older readers refuse, and always with a '.', so strict readers see a float.
    template <class Number> static char* fixedPoint(char* text, std::size_t size, Number v) {
        if (!std::isfinite(v)) v = 0; // the format has no spelling for them
        char* end = std::to_chars(text, text + size - 2, v, std::chars_format::fixed).ptr;
        if (!std::memchr(text, '.', static_cast<std::size_t>(end - text))) {
            *end++ = '.';
            *end++ = '0';
        }
        return end;
    }

    static std::uint64_t elementCount(const Member& member, const std::uint32_t* values) {
        std::uint64_t count = 1;
        for (const Dimension& dim : member.dims) {
            count *= dim.memberIndex >= 0 ? values[dim.memberIndex] : dim.fixedCount;
            if (count > 0xFFFFFFFFull) return count;
        }
        return count;
    }

    // Bytes one element needs at the least, to refuse counts the data cannot hold.
    static std::size_t minimumBytes(const Member& member) {
        if (!member.isTemplate) return packedSize(member.scalar);
        return member.nested->readsValues ? 1 : 0;
    }

    // An instance on one line: every value followed by ';', a nested structure closed by one
    // more ';', array elements separated by ',' and the array closed by ';'.
    bool inlineStruct(const Template& t, PackedWalk& walk) {
        MemberValues memberValues(t.members.size());
        std::uint32_t* values = memberValues.data();
        for (std::size_t i = 0; i < t.members.size(); ++i) {
            const Member& member = t.members[i];
            values[i] = 0;
            if (!member.isArray()) {
                if (member.isTemplate ? !inlineStruct(*member.nested, walk)
                                      : !scalar(member.scalar, walk, values[i]))
                    return false;
                body_ += ';';
                continue;
            }
            std::uint64_t count = elementCount(member, values);
            if (count * minimumBytes(member) > static_cast<std::uint64_t>(walk.end - walk.p))
                return false;
            if (member.isTemplate && !member.nested->readsValues) continue;
            for (std::uint64_t e = 0; e < count; ++e) {
                std::uint32_t ignored;
                if (member.isTemplate ? !inlineStruct(*member.nested, walk)
                                      : !scalar(member.scalar, walk, ignored))
                    return false;
                body_ += e + 1 < count ? ',' : ';';
            }
        }
        return true;
    }

    std::string fault_; // why a value could not be written, when not for short data

    // The members of an object, one per line.
    bool topMembers(const Template& t, PackedWalk& walk, int depth) {
        MemberValues memberValues(t.members.size());
        std::uint32_t* values = memberValues.data();
        for (std::size_t i = 0; i < t.members.size(); ++i) {
            const Member& member = t.members[i];
            values[i] = 0;
            if (!member.isArray()) {
                if (member.isTemplate && !member.nested->readsValues) continue;
                indent(depth);
                if (member.isTemplate ? !inlineStruct(*member.nested, walk)
                                      : !scalar(member.scalar, walk, values[i]))
                    return false;
                body_ += ";\n";
                continue;
            }
            std::uint64_t count = elementCount(member, values);
            if (count * minimumBytes(member) > static_cast<std::uint64_t>(walk.end - walk.p))
                return false;
            if (count == 0 || (member.isTemplate && !member.nested->readsValues)) continue;
            if (member.isTemplate) {
                for (std::uint64_t e = 0; e < count; ++e) {
                    indent(depth);
                    if (!inlineStruct(*member.nested, walk)) return false;
                    body_ += e + 1 < count ? ",\n" : ";\n";
                    spill();
                }
                continue;
            }
            indent(depth);
            std::size_t lineStart = body_.size() - static_cast<std::size_t>(depth);
            for (std::uint64_t e = 0; e < count; ++e) {
                std::uint32_t ignored;
                if (!scalar(member.scalar, walk, ignored)) return false;
                if (e + 1 == count) {
                    body_ += ";\n";
                } else if (body_.size() - lineStart >= kWrapColumn) {
                    body_ += ",\n";
                    spill();
                    lineStart = body_.size();
                    indent(depth);
                } else {
                    body_ += ',';
                }
            }
        }
        return true;
    }
};

} // namespace

std::unique_ptr<BodyWriter> makeTextWriter() {
    return std::make_unique<TextWriter>();
}

} // namespace dxfile
