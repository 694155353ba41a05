// Generated names for what a glTF file leaves unnamed: "<kind>_<index>", stable for a given
// file, and unique against every name the file gives ("node_3_2" when a node is called "node_3").
#pragma once

#include <set>
#include <string>
#include <vector>

namespace gltf {

struct NameMaker {
    // Gives every element of `items` (anything with a `name` field) without a name a generated
    // one; names already present are kept as they are, duplicates included.
    template <class Item> static void fill(std::vector<Item>& items, const std::string& kind) {
        std::set<std::string> taken;
        for (const Item& item : items)
            if (!item.name.empty()) taken.insert(item.name);
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (!items[i].name.empty()) continue;
            const std::string base = kind + "_" + std::to_string(i);
            std::string name = base;
            for (int suffix = 2; taken.count(name); ++suffix)
                name = base + "_" + std::to_string(suffix);
            taken.insert(name);
            items[i].name = name;
        }
    }
};

} // namespace gltf
