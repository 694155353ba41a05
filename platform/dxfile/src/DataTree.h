// The objects an X file holds, as read or as built for saving: data objects with their packed
// member data, references and binary children.
#pragma once

#include "LargeBuffer.h"
#include "Templates.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace dxfile {

using PackedBytes = LargeBytes;

struct DataNode;

struct ReferenceNode {
    std::string name;
    bool hasName = false;
    GUID id{};
    bool hasId = false;
    // The object referred to, in the same file; null when nothing matches. Not owning: whoever
    // hands out the reference keeps the whole tree alive.
    const DataNode* target = nullptr;
};

struct BinaryNode {
    std::string name;
    bool hasName = false;
    GUID id{};
    bool hasId = false;
    std::string mimeType;
    std::vector<std::uint8_t> bytes;
};

// Exactly one of the three is set.
struct ChildEntry {
    std::shared_ptr<DataNode> data;
    std::shared_ptr<ReferenceNode> reference;
    std::shared_ptr<BinaryNode> binary;
};

struct DataNode {
    std::shared_ptr<const Template> type;
    std::string name;
    bool hasName = false;
    GUID id{};
    bool hasId = false;
    // Members in template order, no padding; a STRING member is a `char*` into `strings`.
    PackedBytes packed;
    std::vector<char> strings;
    std::vector<ChildEntry> children;
};

// Points every reference of `objects` (a whole file) at the first object, in file order, that
// carries the referenced name and/or GUID. Names compare exactly.
void resolveReferences(const std::vector<std::shared_ptr<DataNode>>& objects);

// "Frame Root" or "Mesh" for an unnamed object.
std::string describeObject(const DataNode& node);

} // namespace dxfile
