#include "PackedLayout.h"

namespace dxfile {

std::uint32_t readCount(ScalarType type, ByteSpan data) {
    ByteCursor cursor(data);
    switch (type) {
    case ScalarType::Word:
    case ScalarType::Sword: {
        std::uint16_t value = 0;
        return cursor.readU16(value) ? value : 0;
    }
    case ScalarType::Char:
    case ScalarType::Uchar: {
        ByteSpan byte;
        return cursor.take(1, byte) ? byte[0] : 0;
    }
    default: {
        std::uint32_t value = 0;
        return cursor.readU32(value) ? value : 0;
    }
    }
}

namespace {

// Walks `t` from `at`, stopping after member `stopAfter` (or all members) with `at` advanced.
// `memberStart` receives the offset where member `stopAfter` begins.
bool walk(const Template& t, ByteSpan data, std::size_t& at, std::size_t stopAfter,
          std::size_t* memberStart) {
    MemberValues memberValues(t.members.size());
    std::uint32_t* values = memberValues.data();
    for (std::size_t i = 0; i < t.members.size(); ++i) {
        const Member& member = t.members[i];
        if (i == stopAfter && memberStart) *memberStart = at;
        values[i] = 0;
        std::uint64_t count = 1;
        for (const Dimension& dim : member.dims) {
            count *= dim.memberIndex >= 0 ? values[dim.memberIndex] : dim.fixedCount;
            if (count > data.size()) break; // clamps; the length check below refuses it
        }
        if (member.isTemplate) {
            const Template& nested = *member.nested;
            if (!nested.readsValues) {
                // packs to nothing
            } else if (nested.shape != FlatShape::Mixed) {
                std::uint64_t bytes = count * nested.flatCount * 4;
                if (bytes > data.size() - at) return false;
                at += static_cast<std::size_t>(bytes);
            } else {
                if (count > data.size() - at) return false; // every element takes a byte or more
                for (std::uint64_t e = 0; e < count; ++e)
                    if (!walk(nested, data, at, SIZE_MAX, nullptr)) return false;
            }
        } else {
            std::uint64_t bytes = count * packedSize(member.scalar);
            if (bytes > data.size() - at) return false;
            if (!member.isArray() && isIntegerType(member.scalar))
                values[i] = readCount(member.scalar, data.subspan(at));
            at += static_cast<std::size_t>(bytes);
        }
        if (i == stopAfter) return true;
    }
    return true;
}

} // namespace

bool measureInstance(const Template& t, ByteSpan data, std::size_t& size) {
    std::size_t at = 0;
    if (!walk(t, data, at, SIZE_MAX, nullptr)) return false;
    size = at;
    return true;
}

bool findMember(const Template& t, ByteSpan data, std::string_view name, std::size_t& offset,
                std::size_t& size) {
    for (std::size_t i = 0; i < t.members.size(); ++i) {
        if (t.members[i].name != name) continue;
        std::size_t at = 0;
        std::size_t start = 0;
        if (!walk(t, data, at, i, &start)) return false;
        offset = start;
        size = at - start;
        return true;
    }
    return false;
}

} // namespace dxfile
