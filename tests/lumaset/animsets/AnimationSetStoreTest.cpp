#include "animsets/AnimationSetStore.h"

#include "SceneKit.h"
#include "hostcore.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

using Bytes = std::vector<std::uint8_t>;

void putInt(Bytes& out, std::int32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(std::uint8_t(std::uint32_t(value) >> shift));
}

// The entries decoded from a fresh heap block of exactly `size` bytes, so that a read one byte
// past the chunk is an error the address sanitizer reports.
std::vector<AnimationSetEntry> decodeExactly(const Bytes& bytes, std::size_t size) {
    std::unique_ptr<std::uint8_t[]> block(new std::uint8_t[size ? size : 1]);
    if (size) std::memcpy(block.get(), bytes.data(), size);
    return AnimationSetStore::decode(block.get(), size);
}

class AnimationSetStoreTest : public testing::Test {
protected:
    void SetUp() override { hostcore::resetScene(); }
    void TearDown() override { hostcore::resetScene(); }
    AnimationSetStore store;
};

TEST_F(AnimationSetStoreTest, OneSetIsTheTwentyOneByteChunk) {
    ASSERT_TRUE(store.SaveToScene({{"walk", 0, 30}}));
    const Bytes expected = {1, 0, 0, 0, 5, 0, 0, 0, 'w', 'a', 'l', 'k', 0, 0, 0, 0, 0, 30, 0, 0, 0};
    EXPECT_EQ(AnimationSetStore::encode({{"walk", 0, 30}}), expected);

    AppDataChunk* chunk = GetCOREInterface()->GetScenePointer()->GetAppDataChunk(
        Class_ID(0x760F2E41, 0x41CA01C3), 0x1020, 0);
    ASSERT_NE(chunk, nullptr);
    ASSERT_EQ(chunk->length, 21u);
    EXPECT_EQ(Bytes(static_cast<std::uint8_t*>(chunk->data),
                    static_cast<std::uint8_t*>(chunk->data) + 21),
              expected);
}

TEST_F(AnimationSetStoreTest, SavingReplacesAndAnEmptyListRemovesTheChunk) {
    store.SaveToScene({{"a", 0, 1}, {"b", 2, 3}, {"c", 4, 5}});
    store.SaveToScene({{"run", 31, 50}, {"back", 20, 10}}); // end before start is kept as written

    std::vector<AnimationSetEntry> sets;
    ASSERT_TRUE(store.LoadFromScene(sets));
    EXPECT_EQ(sets, (std::vector<AnimationSetEntry>{{"run", 31, 50}, {"back", 20, 10}}));

    // The chunk the scene kit stores (written independently) reads the same way.
    scenekit::storeAnimationSets({{"idle", -5, 7}});
    ASSERT_TRUE(store.LoadFromScene(sets));
    EXPECT_EQ(sets, (std::vector<AnimationSetEntry>{{"idle", -5, 7}}));

    store.SaveToScene({});
    EXPECT_TRUE(scenekit::storedAnimationSets().empty());
    std::vector<AnimationSetEntry> untouched = {{"keep", 1, 2}};
    EXPECT_FALSE(store.LoadFromScene(untouched));
    EXPECT_EQ(untouched, (std::vector<AnimationSetEntry>{{"keep", 1, 2}}));
}

TEST_F(AnimationSetStoreTest, LongNamesAndNamesWithAZeroByte) {
    const std::string longName(300, 'n');
    store.SaveToScene({{longName, 1, 2}, {std::string("cut\0off", 7), 3, 4}});
    std::vector<AnimationSetEntry> sets;
    ASSERT_TRUE(store.LoadFromScene(sets));
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_EQ(sets[0].name, longName);
    EXPECT_EQ(sets[1].name, "cut"); // what any reader of the chunk would take
    EXPECT_EQ(sets[1].start, 3);
}

// Chunks from other people's scene files: a negative count, a count promising more than is
// there, a name field without its zero, a name size running past the end.
TEST(AnimationSetChunk, MalformedChunksGiveExactlyTheEntriesThatFit) {
    Bytes negative;
    putInt(negative, -3);
    EXPECT_TRUE(decodeExactly(negative, negative.size()).empty());

    Bytes overpromised;
    putInt(overpromised, 1'000'000'000);
    putInt(overpromised, 2);
    overpromised.insert(overpromised.end(), {'a', 0});
    putInt(overpromised, 1);
    putInt(overpromised, 2);
    const auto one = decodeExactly(overpromised, overpromised.size());
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0], (AnimationSetEntry{"a", 1, 2}));

    Bytes unterminated;
    putInt(unterminated, 1);
    putInt(unterminated, 3);
    unterminated.insert(unterminated.end(), {'a', 'b', 'c'});
    putInt(unterminated, 7);
    putInt(unterminated, 8);
    const auto whole = decodeExactly(unterminated, unterminated.size());
    ASSERT_EQ(whole.size(), 1u);
    EXPECT_EQ(whole[0].name, "abc");

    for (std::int32_t badSize : {0, -1, 1000}) {
        Bytes bad;
        putInt(bad, 1);
        putInt(bad, badSize);
        bad.insert(bad.end(), {'x', 0, 0, 0, 0, 0, 0, 0, 0, 0});
        EXPECT_TRUE(decodeExactly(bad, bad.size()).empty()) << "name size " << badSize;
    }
}

// Every prefix of a valid two-entry chunk gives the entries wholly inside it; every single-byte
// change reads within the chunk and gives at most the two entries.
TEST(AnimationSetChunk, PrefixAndByteFlipSweep) {
    const std::vector<AnimationSetEntry> sets = {{"walk", 0, 30}, {"run", 31, 50}};
    const Bytes valid = AnimationSetStore::encode(sets);
    const std::size_t firstEnd = 4 + 4 + 5 + 8;
    ASSERT_EQ(valid.size(), firstEnd + 4 + 4 + 8);

    for (std::size_t size = 0; size <= valid.size(); ++size) {
        const auto read = decodeExactly(valid, size);
        const std::size_t expected = size == valid.size() ? 2 : size >= firstEnd ? 1 : 0;
        ASSERT_EQ(read.size(), expected) << "prefix " << size;
        for (std::size_t i = 0; i < read.size(); ++i)
            EXPECT_EQ(read[i], sets[i]);
    }
    for (std::size_t at = 0; at < valid.size(); ++at) {
        for (std::uint8_t flip : {0x01, 0x80, 0xff}) {
            Bytes changed = valid;
            changed[at] ^= flip;
            EXPECT_LE(decodeExactly(changed, changed.size()).size(), 2u) << "byte " << at;
        }
    }
}

} // namespace
