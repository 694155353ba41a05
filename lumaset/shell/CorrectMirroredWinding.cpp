#include "shell/CorrectMirroredWinding.h"

#include <utility>
#include <vector>

namespace {

void reverseTriangles(std::vector<SnapshotTriangle>& triangles) {
    for (SnapshotTriangle& triangle : triangles)
        std::swap(triangle.indices[1], triangle.indices[2]);
}

void reverseWinding(SnapshotMesh& mesh) {
    reverseTriangles(mesh.faces);
    reverseTriangles(mesh.normalFaces);
    reverseTriangles(mesh.texCoordFaces);
    reverseTriangles(mesh.colorFaces);
}

struct PendingNode {
    SnapshotNode* node;
    // The product of the local transforms from the top-level node down to this one (only its
    // parity matters, and that does not depend on the order of the factors).
    Matrix3 accumulated;
};

} // namespace

void CorrectMirroredWinding(SceneSnapshot& snapshot) {
    std::vector<PendingNode> pending;
    // Pushed in reverse so that nodes are taken in list order, as a recursive walk would.
    for (auto node = snapshot.nodes.rbegin(); node != snapshot.nodes.rend(); ++node)
        pending.push_back({&*node, node->localTransform});
    while (!pending.empty()) {
        PendingNode current = std::move(pending.back());
        pending.pop_back();
        if (current.accumulated.Parity()) reverseWinding(current.node->mesh);
        std::vector<SnapshotNode>& children = current.node->children;
        for (auto child = children.rbegin(); child != children.rend(); ++child)
            pending.push_back({&*child, current.accumulated * child->localTransform});
    }
}
