#include "scene/AnimationRanges.h"

#include <maxapi.h>
#include <plugapi.h>

#include <cstdlib>
#include <cstring>

namespace scene {
namespace {

const Class_ID animationSetClassId(0x760F2E41, 0x41CA01C3);

void putInt(std::vector<std::uint8_t>& out, std::int32_t value) {
    const std::uint32_t bits = std::uint32_t(value);
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(std::uint8_t(bits >> shift));
}

bool takeInt(const std::uint8_t* bytes, std::size_t length, std::size_t& at, std::int32_t& value) {
    if (length - at < 4) return false;
    value = std::int32_t(std::uint32_t(bytes[at]) | std::uint32_t(bytes[at + 1]) << 8 |
                         std::uint32_t(bytes[at + 2]) << 16 | std::uint32_t(bytes[at + 3]) << 24);
    at += 4;
    return true;
}

} // namespace

std::vector<std::uint8_t> encodeAnimationRanges(const std::vector<AnimationRange>& ranges) {
    std::vector<std::uint8_t> out;
    putInt(out, std::int32_t(ranges.size()));
    for (const AnimationRange& range : ranges) {
        // The name stops at its first zero byte, as readers take it.
        const std::string name = range.name.substr(0, range.name.find('\0'));
        putInt(out, std::int32_t(name.size() + 1));
        out.insert(out.end(), name.begin(), name.end());
        out.push_back(0);
        putInt(out, range.startFrame);
        putInt(out, range.endFrame);
    }
    return out;
}

std::vector<AnimationRange> decodeAnimationRanges(const std::uint8_t* bytes, std::size_t length) {
    std::vector<AnimationRange> ranges;
    std::size_t at = 0;
    std::int32_t count = 0;
    if (!bytes || !takeInt(bytes, length, at, count) || count < 0) return ranges;
    for (std::int32_t i = 0; i < count; ++i) {
        std::int32_t nameSize = 0;
        AnimationRange range;
        if (!takeInt(bytes, length, at, nameSize) || nameSize < 1 ||
            std::size_t(nameSize) > length - at)
            break;
        const char* name = reinterpret_cast<const char*>(bytes + at);
        range.name.assign(name, strnlen(name, std::size_t(nameSize)));
        at += std::size_t(nameSize);
        if (!takeInt(bytes, length, at, range.startFrame) ||
            !takeInt(bytes, length, at, range.endFrame))
            break;
        ranges.push_back(std::move(range));
    }
    return ranges;
}

std::vector<AnimationRange> loadAnimationRanges() {
    ReferenceTarget* scene = GetCOREInterface()->GetScenePointer();
    AppDataChunk* chunk = scene->GetAppDataChunk(animationSetClassId, UTILITY_CLASS_ID, 0);
    if (!chunk) return {};
    return decodeAnimationRanges(static_cast<const std::uint8_t*>(chunk->data), chunk->length);
}

void saveAnimationRanges(const std::vector<AnimationRange>& ranges) {
    ReferenceTarget* scene = GetCOREInterface()->GetScenePointer();
    scene->RemoveAppDataChunk(animationSetClassId, UTILITY_CLASS_ID, 0);
    if (ranges.empty()) return;
    const std::vector<std::uint8_t> bytes = encodeAnimationRanges(ranges);
    // The host takes the block and frees it with free().
    void* block = std::malloc(bytes.size());
    if (!block) return;
    std::memcpy(block, bytes.data(), bytes.size());
    scene->AddAppDataChunk(animationSetClassId, UTILITY_CLASS_ID, 0, DWORD(bytes.size()), block);
}

} // namespace scene
