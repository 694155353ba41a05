// The animation-set chunk: its bytes, what damaged chunks read as, and its life in the scene.
#include "scene/AnimationRanges.h"

#include <hostcore.h>

#include <gtest/gtest.h>

namespace {

using scene::AnimationRange;

TEST(AnimationRanges, OneSetNamedWalkIsTwentyOneBytes) {
    const std::vector<std::uint8_t> expected = {1,   0, 0, 0, 5, 0, 0,  0, 'w', 'a', 'l',
                                                'k', 0, 0, 0, 0, 0, 30, 0, 0,   0};
    EXPECT_EQ(scene::encodeAnimationRanges({{"walk", 0, 30}}), expected);
    const auto decoded = scene::decodeAnimationRanges(expected.data(), expected.size());
    ASSERT_EQ(decoded.size(), 1u);
    EXPECT_EQ(decoded[0].name, "walk");
    EXPECT_EQ(decoded[0].startFrame, 0);
    EXPECT_EQ(decoded[0].endFrame, 30);
}

TEST(AnimationRanges, DamagedChunksKeepTheWholeEntriesBeforeTheDamage) {
    const std::vector<AnimationRange> ranges = {{"walk", 0, 30}, {"run", 40, 31}};
    const std::vector<std::uint8_t> bytes = scene::encodeAnimationRanges(ranges);
    for (std::size_t length = 0; length <= bytes.size(); ++length) {
        std::vector<std::uint8_t> prefix(bytes.begin(), bytes.begin() + std::ptrdiff_t(length));
        const auto decoded = scene::decodeAnimationRanges(prefix.data(), prefix.size());
        const std::size_t whole = length == bytes.size() ? 2 : (length >= 21 ? 1 : 0);
        ASSERT_EQ(decoded.size(), whole) << length;
    }
    // A name size past the end, a negative count: nothing is read from beyond the chunk.
    std::vector<std::uint8_t> lying = bytes;
    lying[4] = 0xFF;
    EXPECT_TRUE(scene::decodeAnimationRanges(lying.data(), lying.size()).empty());
    std::vector<std::uint8_t> negative = bytes;
    negative[3] = 0x80;
    EXPECT_TRUE(scene::decodeAnimationRanges(negative.data(), negative.size()).empty());
    // The end before the start is kept as written.
    EXPECT_EQ(scene::decodeAnimationRanges(bytes.data(), bytes.size())[1].endFrame, 31);
}

TEST(AnimationRanges, SavingReplacesTheSetsAndAnEmptyListRemovesTheChunk) {
    hostcore::resetScene();
    EXPECT_TRUE(scene::loadAnimationRanges().empty());
    scene::saveAnimationRanges({{"a", 0, 1}, {"b", 2, 3}, {"c", 4, 5}});
    scene::saveAnimationRanges({{"d", 6, 7}, {"e", 8, 9}});
    const auto loaded = scene::loadAnimationRanges();
    ASSERT_EQ(loaded.size(), 2u);
    EXPECT_EQ(loaded[0].name, "d");
    EXPECT_EQ(loaded[1].endFrame, 9);
    scene::saveAnimationRanges({});
    EXPECT_TRUE(scene::loadAnimationRanges().empty());
}

} // namespace
