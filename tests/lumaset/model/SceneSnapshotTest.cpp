#include "model/SceneSnapshot.h"

#include <gtest/gtest.h>

TEST(SceneSnapshot, FindOrAddGivesOneLastingEntryPerName) {
    SceneSnapshot snapshot;
    SnapshotAnimationSet& walk = snapshot.findOrAddSet("Walk");
    SnapshotTrack& hip = findOrAddTrack(walk, "Hip");
    hip.positionKeys[160] = Point3(1, 2, 3);
    for (const char* name : {"walk", "Walk 2", "Run", "A", "Zebra"}) // more sets, more tracks
        findOrAddTrack(snapshot.findOrAddSet(name), name);

    // Two top-level nodes of one name share the track found by that name.
    SnapshotTrack& again = findOrAddTrack(snapshot.findOrAddSet("Walk"), "Hip");
    EXPECT_EQ(&again, &hip);
    EXPECT_EQ(&snapshot.findOrAddSet("Walk"), &walk);
    again.positionKeys[160] = Point3(4, 5, 6);
    ASSERT_EQ(hip.positionKeys.size(), 1u);
    EXPECT_TRUE(hip.positionKeys.at(160) == Point3(4, 5, 6));
    EXPECT_TRUE(hip.rotationKeys.empty() && hip.scaleKeys.empty() && hip.matrixKeys.empty());
}

TEST(SceneSnapshot, SetNamesSortByBytesWithPrefixesFirst) {
    SceneSnapshot snapshot;
    for (const char* name : {"walk", "Walk 2", "Walk", "Run"})
        snapshot.findOrAddSet(name);
    std::vector<std::string> names;
    for (const auto& [name, set] : snapshot.animationSets)
        names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::string>{"Run", "Walk", "Walk 2", "walk"}));
}

TEST(SceneSnapshot, NodeListsGrowWithFreshNodesAndShrinkFromTheEnd) {
    SnapshotNode parent;
    parent.children.resize(2);
    parent.children[0].name = "First";
    parent.children[1].name = "Second";
    parent.children[1].mesh.positions.push_back(Point3(1, 1, 1));
    parent.children.resize(1);
    parent.children.resize(3);
    EXPECT_EQ(parent.children[0].name, "First");
    EXPECT_TRUE(parent.children[1].name.empty());
    EXPECT_TRUE(parent.children[1].mesh.positions.empty());
    EXPECT_EQ(parent.children[2].localTransform.GetIdentFlags(), 0u);
}
