#include "scene/SceneDepth.h"

#include <inode.h>
#include <maxapi.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace scene {

int xObjectDepthNeeded() {
    INode* root = GetCOREInterface()->GetRootNode();
    if (!root) return 0;
    int deepest = 0;
    std::vector<std::pair<INode*, int>> pending = {{root, 0}};
    while (!pending.empty()) {
        auto [node, level] = pending.back();
        pending.pop_back();
        if (level > 0) {
            const int contents =
                node->GetObjectRef() ? 4 : 1; // mesh ... texture name, or transform
            deepest = std::max(deepest, level + contents);
        }
        for (int i = 0; i < node->NumberOfChildren(); ++i)
            if (INode* child = node->GetChildNode(i)) pending.push_back({child, level + 1});
    }
    return deepest;
}

} // namespace scene
