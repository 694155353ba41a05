#include "model/BoneVertexWeights.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <vector>

namespace {

std::vector<BoneVertexWeights::value_type> pairsOf(const BoneVertexWeights& weights) {
    return {weights.begin(), weights.end()};
}

std::vector<BoneVertexWeights::value_type> pairsOf(const std::map<std::int32_t, float>& weights) {
    return {weights.begin(), weights.end()};
}

TEST(BoneVertexWeights, SettingInAnyOrderKeepsOneAscendingPairPerVertex) {
    BoneVertexWeights weights;
    weights.set(4, 0.5f);
    weights.set(-2, 0.25f);
    weights.set(9, 1.0f);
    weights.set(4, 0.75f); // replaces
    weights[0] = 0.125f;
    ASSERT_EQ(weights.size(), 4u);
    EXPECT_EQ(pairsOf(weights), (std::vector<BoneVertexWeights::value_type>{
                                    {-2, 0.25f}, {0, 0.125f}, {4, 0.75f}, {9, 1.0f}}));
    EXPECT_EQ(weights.rbegin()->first, 9);
}

TEST(BoneVertexWeights, LooksUpByVertex) {
    const BoneVertexWeights weights = {{3, 0.5f}, {1, 0.25f}, {7, 1.0f}};
    ASSERT_NE(weights.find(3), weights.end());
    EXPECT_EQ(weights.find(3)->second, 0.5f);
    EXPECT_EQ(weights.find(2), weights.end());
    EXPECT_EQ(weights.find(8), weights.end());
    EXPECT_EQ(weights.at(7), 1.0f);
    EXPECT_THROW((void)weights.at(4), std::out_of_range);
    EXPECT_EQ(weights.count(7), 1u);
    EXPECT_FALSE(weights.contains(0));
    EXPECT_EQ(weights.lower_bound(2)->first, 3);
    EXPECT_EQ(weights.lower_bound(8), weights.end());
}

TEST(BoneVertexWeights, AListKeepsTheFirstPairOfAVertexAsAnOrderedMapDoes) {
    const std::map<std::int32_t, float> map = {{2, 0.5f}, {0, 0.25f}, {2, 0.75f}};
    const BoneVertexWeights weights = {{2, 0.5f}, {0, 0.25f}, {2, 0.75f}};
    EXPECT_EQ(pairsOf(weights), pairsOf(map));
}

TEST(BoneVertexWeights, AssignedPairsKeepTheLastPairOfAVertex) {
    BoneVertexWeights weights = {{100, 1.0f}};
    weights.assignPairs({{5, 0.1f}, {2, 0.2f}, {5, 0.3f}, {-1, 0.4f}, {2, 0.5f}});
    EXPECT_EQ(pairsOf(weights),
              (std::vector<BoneVertexWeights::value_type>{{-1, 0.4f}, {2, 0.5f}, {5, 0.3f}}));
    weights.assignPairs({});
    EXPECT_TRUE(weights.empty());
}

TEST(BoneVertexWeights, ErasingARangeKeepsTheRest) {
    BoneVertexWeights weights = {{-3, 0.5f}, {0, 0.25f}, {4, 1.0f}, {6, 0.5f}};
    weights.erase(weights.begin(), weights.lower_bound(0));
    weights.erase(weights.lower_bound(5), weights.end());
    EXPECT_EQ(pairsOf(weights),
              (std::vector<BoneVertexWeights::value_type>{{0, 0.25f}, {4, 1.0f}}));
}

TEST(BoneVertexWeights, EqualityComparesPairsAndWeights) {
    const BoneVertexWeights a = {{0, 0.5f}, {1, 0.5f}};
    EXPECT_EQ(a, (BoneVertexWeights{{1, 0.5f}, {0, 0.5f}}));
    EXPECT_NE(a, (BoneVertexWeights{{0, 0.5f}, {1, 0.25f}}));
    EXPECT_NE(a, (BoneVertexWeights{{0, 0.5f}, {2, 0.5f}}));
    EXPECT_NE(a, (BoneVertexWeights{{0, 0.5f}}));
}

// Weights set one by one, or handed over in bulk, come out as an ordered map set the same way.
TEST(BoneVertexWeights, AgreesWithAnOrderedMapOverRandomOperations) {
    std::mt19937 random(7);
    std::uniform_int_distribution<std::int32_t> vertex(-20, 200);
    std::uniform_real_distribution<float> weight(0.0f, 1.0f);
    for (int round = 0; round < 50; ++round) {
        BoneVertexWeights weights;
        std::map<std::int32_t, float> map;
        for (int step = 0; step < 300; ++step) {
            const std::int32_t v = vertex(random);
            const float w = weight(random);
            weights.set(v, w);
            map[v] = w;
        }
        ASSERT_EQ(pairsOf(weights), pairsOf(map)) << round;
        std::vector<BoneVertexWeights::value_type> pairs;
        for (int step = 0; step < 300; ++step)
            pairs.emplace_back(vertex(random), weight(random));
        std::map<std::int32_t, float> replaced;
        for (const auto& [v, w] : pairs)
            replaced[v] = w;
        weights.assignPairs(std::move(pairs));
        ASSERT_EQ(pairsOf(weights), pairsOf(replaced)) << round;
    }
}

} // namespace
