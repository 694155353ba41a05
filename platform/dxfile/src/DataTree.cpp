#include "DataTree.h"

#include "Guid.h"
#include "Writer.h"

#include <string_view>
#include <unordered_map>

namespace dxfile {

namespace {

struct Index {
    std::unordered_map<std::string_view, const DataNode*> byName;
    std::unordered_map<GUID, const DataNode*, GuidHash, GuidEqual> byId;
    std::vector<const DataNode*> all; // file order, for name-and-GUID references
    std::vector<ReferenceNode*> references;
};

// Depth-first, pre-order, without recursion: file order.
void collect(const std::vector<std::shared_ptr<DataNode>>& objects, Index& index) {
    std::vector<std::pair<const DataNode*, std::size_t>> stack;
    for (const auto& object : objects) {
        stack.emplace_back(object.get(), 0);
        index.all.push_back(object.get());
        while (!stack.empty()) {
            auto& [node, next] = stack.back();
            if (next == node->children.size()) {
                stack.pop_back();
                continue;
            }
            const ChildEntry& child = node->children[next++];
            if (child.reference) index.references.push_back(child.reference.get());
            if (child.data) {
                index.all.push_back(child.data.get());
                stack.emplace_back(child.data.get(), 0);
            }
        }
    }
    for (const DataNode* node : index.all) {
        if (node->hasName) index.byName.emplace(node->name, node);
        if (node->hasId) index.byId.emplace(node->id, node);
    }
}

} // namespace

void resolveReferences(const std::vector<std::shared_ptr<DataNode>>& objects) {
    Index index;
    collect(objects, index);
    for (ReferenceNode* reference : index.references) {
        reference->target = nullptr;
        if (reference->hasName) {
            auto found = index.byName.find(reference->name);
            if (found == index.byName.end()) continue;
            if (!reference->hasId || sameGuid(found->second->id, reference->id)) {
                reference->target = found->second;
                continue;
            }
            for (const DataNode* node : index.all)
                if (node->hasName && node->name == reference->name &&
                    sameGuid(node->id, reference->id)) {
                    reference->target = node;
                    break;
                }
        } else if (reference->hasId) {
            auto found = index.byId.find(reference->id);
            if (found != index.byId.end()) reference->target = found->second;
        }
    }
}

std::size_t treeBytes(const DataNode& node) {
    std::size_t total = 0;
    std::vector<const DataNode*> pending{&node};
    while (!pending.empty()) {
        const DataNode* current = pending.back();
        pending.pop_back();
        total += current->packed.size() + current->name.size() + 16;
        for (const ChildEntry& child : current->children)
            if (child.data) pending.push_back(child.data.get());
    }
    return total;
}

std::string describeObject(const DataNode& node) {
    std::string text = node.type ? node.type->name : std::string("?");
    if (node.hasName) text += ' ' + node.name;
    return text;
}

} // namespace dxfile
