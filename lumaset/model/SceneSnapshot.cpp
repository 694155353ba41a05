#include "model/SceneSnapshot.h"

#include <utility>

namespace {

// The node's own data, without its children.
void copyOwnData(const SnapshotNode& from, SnapshotNode& to) {
    to.name = from.name;
    to.localTransform = from.localTransform;
    to.mesh = from.mesh;
}

} // namespace

SnapshotNode::SnapshotNode(const SnapshotNode& other) {
    copyOwnData(other, *this);
    // Each pair is a node whose children are still to be copied. A child list is sized once,
    // before any pointer into it is taken, so the pointers stay valid.
    std::vector<std::pair<const SnapshotNode*, SnapshotNode*>> pending{{&other, this}};
    while (!pending.empty()) {
        const auto [from, to] = pending.back();
        pending.pop_back();
        to->children.resize(from->children.size());
        for (std::size_t i = 0; i < from->children.size(); ++i) {
            copyOwnData(from->children[i], to->children[i]);
            if (!from->children[i].children.empty())
                pending.emplace_back(&from->children[i], &to->children[i]);
        }
    }
}

SnapshotNode& SnapshotNode::operator=(const SnapshotNode& other) {
    if (this != &other) {
        SnapshotNode copy(other); // first: `other` may live inside this node's subtree
        *this = std::move(copy);
    }
    return *this;
}

SnapshotNode::~SnapshotNode() {
    // Nodes leave the list only once their children have joined it, so no destructor ever meets
    // a node with children and the call stack stays flat however deep the tree.
    std::vector<SnapshotNode> pending = std::move(children);
    while (!pending.empty()) {
        std::vector<SnapshotNode> grandchildren = std::move(pending.back().children);
        pending.pop_back();
        for (SnapshotNode& node : grandchildren)
            pending.push_back(std::move(node));
    }
}
