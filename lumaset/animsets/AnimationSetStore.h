// The animation sets of a scene: named frame ranges kept in one application data chunk on the
// host's scene object, saved and loaded with the scene file.
//
// Chunk layout (key: the utility's class id, super class 0x1020, sub id 0), integers 32-bit
// little-endian, no padding:
//   count                      signed; a chunk is never written with 0 (it is removed instead)
//   count entries, each:
//     nameSize                 name length + 1
//     name bytes, then a zero
//     start frame, end frame   signed
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct AnimationSetEntry {
    std::string name;
    std::int32_t start = 0; // first frame
    std::int32_t end = 0;   // last frame; may be below start
    friend bool operator==(const AnimationSetEntry&, const AnimationSetEntry&) = default;
};

class AnimationSetStore {
public:
    // Replaces `sets` with the entries stored in the current scene and returns true; returns
    // false, leaving `sets` as it was, when the scene stores none. The chunk may come from scene
    // files others made: it is read with bounds, a negative count counts as 0, and reading stops
    // at the first entry that does not fit, so `sets` gets exactly the complete entries.
    bool LoadFromScene(std::vector<AnimationSetEntry>& sets) const;
    // Replaces the stored sets with `sets`, in list order; an empty list removes the chunk.
    // False, leaving the stored sets as they were, only when the chunk cannot be made.
    bool SaveToScene(const std::vector<AnimationSetEntry>& sets) const;

    // The chunk's bytes for `sets`, and the entries read from chunk bytes (the bounded reader
    // LoadFromScene uses; untrusted input).
    static std::vector<std::uint8_t> encode(const std::vector<AnimationSetEntry>& sets);
    static std::vector<AnimationSetEntry> decode(const std::uint8_t* data, std::size_t size);
};
