// The named frame ranges (animation sets) the plug-in keeps in the scene, read and written by the
// host program in the plug-in's documented format: one application data chunk on the scene
// pointer, keyed by the "Animation SET" class id (0x760F2E41, 0x41CA01C3), super class 0x1020,
// sub id 0. Layout, little-endian, no padding:
//
//   count (int32), then per range: name size (int32, name length + 1), the name and a zero byte,
//   start frame (int32), end frame (int32)
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace scene {

struct AnimationRange {
    std::string name;
    std::int32_t startFrame = 0;
    std::int32_t endFrame = 0;
};

// The ranges stored in the current scene; empty when there is no chunk. The chunk may come from
// a plug-in or a scene file, so it is read as untrusted bytes: reading stops at the first entry
// that would run past the chunk, keeping the entries before it.
std::vector<AnimationRange> loadAnimationRanges();

// Replaces the stored ranges with `ranges`; an empty list removes the chunk.
void saveAnimationRanges(const std::vector<AnimationRange>& ranges);

// The chunk bytes for `ranges`, and the ranges in chunk bytes (the store's format, exposed for
// the tests).
std::vector<std::uint8_t> encodeAnimationRanges(const std::vector<AnimationRange>& ranges);
std::vector<AnimationRange> decodeAnimationRanges(const std::uint8_t* bytes, std::size_t length);

} // namespace scene
