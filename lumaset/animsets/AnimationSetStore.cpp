#include "animsets/AnimationSetStore.h"

#include "maxapi.h"
#include "plugapi.h"
#include "shell/ClassIds.h"

#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

const DWORD chunkSubId = 0;

// Little-endian reads from the chunk's bytes, never past its length. A read that does not fit
// consumes nothing and fails.
class ChunkCursor {
public:
    ChunkCursor(const std::uint8_t* bytes, std::size_t byteCount)
        : data(bytes), size(bytes ? byteCount : 0) {}

    bool readInt(std::int32_t& value) {
        if (remaining() < 4) return false;
        const std::uint8_t* bytes = data + at;
        value = std::int32_t(std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 |
                             std::uint32_t(bytes[2]) << 16 | std::uint32_t(bytes[3]) << 24);
        at += 4;
        return true;
    }
    bool take(std::size_t count, const char*& bytes) {
        if (remaining() < count) return false;
        bytes = reinterpret_cast<const char*>(data + at);
        at += count;
        return true;
    }
    std::size_t remaining() const { return size - at; }

private:
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;
};

void appendInt(std::vector<std::uint8_t>& out, std::int32_t value) {
    const std::uint32_t bits = std::uint32_t(value);
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(std::uint8_t(bits >> shift));
}

ReferenceTarget* sceneObject() {
    return GetCOREInterface()->GetScenePointer();
}

} // namespace

std::vector<std::uint8_t> AnimationSetStore::encode(const std::vector<AnimationSetEntry>& sets) {
    std::vector<std::uint8_t> out;
    appendInt(out, std::int32_t(sets.size()));
    for (const AnimationSetEntry& set : sets) {
        // A reader takes the name up to its first zero, so nothing after one could come back.
        const std::size_t nameLength = std::min(set.name.find('\0'), set.name.size());
        appendInt(out, std::int32_t(nameLength + 1));
        out.insert(out.end(), set.name.begin(), set.name.begin() + std::ptrdiff_t(nameLength));
        out.push_back(0);
        appendInt(out, set.start);
        appendInt(out, set.end);
    }
    return out;
}

std::vector<AnimationSetEntry> AnimationSetStore::decode(const std::uint8_t* data,
                                                         std::size_t size) {
    std::vector<AnimationSetEntry> sets;
    ChunkCursor cursor(data, size);
    std::int32_t count = 0;
    if (!cursor.readInt(count)) return sets;
    // The stored count is only an upper bound: the list grows by the entries that really fit.
    for (std::int32_t i = 0; i < count; ++i) {
        std::int32_t nameSize = 0;
        const char* name = nullptr;
        AnimationSetEntry entry;
        if (!cursor.readInt(nameSize) || nameSize < 1 || !cursor.take(std::size_t(nameSize), name))
            break;
        if (cursor.remaining() < 8) break;
        entry.name.assign(name, strnlen(name, std::size_t(nameSize)));
        (void)cursor.readInt(entry.start);
        (void)cursor.readInt(entry.end);
        sets.push_back(std::move(entry));
    }
    return sets;
}

bool AnimationSetStore::LoadFromScene(std::vector<AnimationSetEntry>& sets) const {
    AppDataChunk* chunk =
        sceneObject()->GetAppDataChunk(animationSetUtilityClassId, UTILITY_CLASS_ID, chunkSubId);
    if (!chunk) return false;
    sets = decode(static_cast<const std::uint8_t*>(chunk->data), chunk->length);
    return true;
}

bool AnimationSetStore::SaveToScene(const std::vector<AnimationSetEntry>& sets) const {
    ReferenceTarget* scene = sceneObject();
    if (sets.empty()) {
        scene->RemoveAppDataChunk(animationSetUtilityClassId, UTILITY_CLASS_ID, chunkSubId);
        return true;
    }
    // The block is made before the old chunk goes, so a set list that cannot be stored leaves
    // the scene's sets as they were.
    const std::vector<std::uint8_t> bytes = encode(sets);
    if (bytes.size() > std::numeric_limits<DWORD>::max()) return false;
    // The host owns application data from here on and frees it with free().
    void* block = std::malloc(bytes.size());
    if (!block) return false;
    std::memcpy(block, bytes.data(), bytes.size());
    scene->RemoveAppDataChunk(animationSetUtilityClassId, UTILITY_CLASS_ID, chunkSubId);
    scene->AddAppDataChunk(animationSetUtilityClassId, UTILITY_CLASS_ID, chunkSubId,
                           DWORD(bytes.size()), block);
    return true;
}
