// Winding under mirroring transforms: a node's triangles turn when the product of the transforms
// from the top down to it mirrors space an odd number of times.
#include "shell/CorrectMirroredWinding.h"

#include <gtest/gtest.h>

namespace {

const SnapshotTriangle kTriangle{{4, 5, 6}};
const SnapshotTriangle kReversed{{4, 6, 5}};

SnapshotNode nodeWith(const std::string& name, const Matrix3& local) {
    SnapshotNode node;
    node.name = name;
    node.localTransform = local;
    node.mesh.faces = {kTriangle, SnapshotTriangle{{0, 1, 2}}};
    node.mesh.normalFaces = {kTriangle, kTriangle};
    node.mesh.texCoordFaces = {kTriangle, kTriangle};
    node.mesh.colorFaces = {kTriangle, kTriangle};
    node.mesh.positions.resize(7);
    node.mesh.faceMaterials = {0, 1};
    return node;
}

Matrix3 mirrorX() {
    return ScaleMatrix(Point3(-1.0f, 1.0f, 1.0f));
}
Matrix3 plain() {
    return TransMatrix(Point3(1.0f, 2.0f, 3.0f));
}

bool isReversed(const SnapshotMesh& mesh) {
    const bool reversed = mesh.faces[0] == kReversed;
    EXPECT_EQ(mesh.faces[1],
              reversed ? (SnapshotTriangle{{0, 2, 1}}) : (SnapshotTriangle{{0, 1, 2}}));
    for (const auto* list : {&mesh.normalFaces, &mesh.texCoordFaces, &mesh.colorFaces})
        for (const SnapshotTriangle& triangle : *list)
            EXPECT_EQ(triangle, reversed ? kReversed : kTriangle) << "streams turn together";
    EXPECT_EQ(mesh.faceMaterials, (std::vector<std::int32_t>{0, 1}));
    return reversed;
}

TEST(CorrectMirroredWinding, TurnsOnlyMeshesUnderAnOddNumberOfMirrors) {
    SceneSnapshot snapshot;
    SnapshotNode parent = nodeWith("parent", mirrorX());
    SnapshotNode child = nodeWith("child", mirrorX()); // mirrored back
    child.children.push_back(nodeWith("grandchild", plain()));
    SnapshotNode sibling = nodeWith("sibling", plain()); // under one mirror
    parent.children.push_back(std::move(child));
    parent.children.push_back(std::move(sibling));
    snapshot.nodes.push_back(std::move(parent));
    snapshot.nodes.push_back(nodeWith("plain", plain()));
    snapshot.nodes.push_back(
        nodeWith("scaled", ScaleMatrix(Point3(2.0f, -3.0f, -1.0f)))); // two flips

    CorrectMirroredWinding(snapshot);

    const SnapshotNode& top = snapshot.nodes[0];
    EXPECT_TRUE(isReversed(top.mesh));
    EXPECT_FALSE(isReversed(top.children[0].mesh));
    EXPECT_FALSE(isReversed(top.children[0].children[0].mesh));
    EXPECT_TRUE(isReversed(top.children[1].mesh));
    EXPECT_FALSE(isReversed(snapshot.nodes[1].mesh));
    EXPECT_FALSE(isReversed(snapshot.nodes[2].mesh));
}

TEST(CorrectMirroredWinding, EmptyStreamsAndEmptyScenesAreFine) {
    SceneSnapshot empty;
    CorrectMirroredWinding(empty);
    EXPECT_TRUE(empty.nodes.empty());

    SceneSnapshot snapshot;
    SnapshotNode node;
    node.localTransform = mirrorX();
    node.mesh.faces = {kTriangle};
    snapshot.nodes.push_back(node);
    CorrectMirroredWinding(snapshot);
    EXPECT_EQ(snapshot.nodes[0].mesh.faces[0], kReversed);
    EXPECT_TRUE(snapshot.nodes[0].mesh.texCoordFaces.empty());
}

TEST(CorrectMirroredWinding, AHundredThousandNestedNodesAreWalkedWithoutRecursion) {
    constexpr int kDepth = 100000;
    SceneSnapshot snapshot;
    snapshot.nodes.push_back(nodeWith("n0", mirrorX()));
    SnapshotNode* deepest = &snapshot.nodes[0];
    for (int level = 1; level < kDepth; ++level) {
        deepest->children.push_back(nodeWith("n" + std::to_string(level), mirrorX()));
        deepest = &deepest->children[0];
    }
    CorrectMirroredWinding(snapshot);
    // Level k sits under k + 1 mirrors: even levels are reversed, odd ones are not.
    const SnapshotNode* node = &snapshot.nodes[0];
    for (int level = 0; level < kDepth; ++level) {
        ASSERT_EQ(node->mesh.faces[0] == kReversed, level % 2 == 0) << level;
        node = node->children.empty() ? nullptr : &node->children[0];
    }
    // Take the chain apart from the top: the snapshot's own destructor recurses per level.
    std::vector<SnapshotNode> rest = std::move(snapshot.nodes[0].children);
    while (!rest.empty()) {
        std::vector<SnapshotNode> next = std::move(rest[0].children);
        rest = std::move(next);
    }
}

} // namespace
