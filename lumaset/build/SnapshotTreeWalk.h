// A walk over snapshot node trees with an explicit stack, so that a chain of any depth is
// visited without growing the call stack.
#pragma once

#include "model/SceneSnapshot.h"

#include <cstddef>
#include <utility>
#include <vector>

// Calls visit(node) for each node of `roots` and of every subtree below them: parents before
// children, children in list order. `Nodes` is std::vector<SnapshotNode>, const or not. The
// visitor must not add or remove children.
template <class Nodes, class Visit> void forEachSnapshotNode(Nodes& roots, Visit visit) {
    std::vector<std::pair<Nodes*, std::size_t>> pending{{&roots, 0}};
    while (!pending.empty()) {
        auto& [siblings, next] = pending.back();
        if (next == siblings->size()) {
            pending.pop_back();
            continue;
        }
        auto& node = (*siblings)[next++];
        visit(node);
        if (!node.children.empty())
            pending.emplace_back(&node.children, 0); // invalidates the binding above: last use
    }
}
