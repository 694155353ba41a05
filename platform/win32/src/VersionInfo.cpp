// The version query over version resource data: a tree of nodes, each with its length, the
// length of its value, its type (1 text, 0 binary), a UTF-16 key, then value and children, each
// aligned to four bytes from the start of the block.
#include "winver.h"

#include <map>
#include <string>
#include <strings.h>
#include <utility>

namespace {

struct Node {
    std::size_t end = 0; // one past the node
    std::string key;
    std::size_t valueOffset = 0;
    std::size_t valueBytes = 0;
    bool isText = false;
    std::size_t childrenOffset = 0;
};

WORD wordAt(const BYTE* data, std::size_t at) {
    return static_cast<WORD>(data[at] | (data[at + 1] << 8));
}

std::size_t aligned(std::size_t offset) {
    return (offset + 3) & ~std::size_t{3};
}

// Reads the node at `start` within `limit`. Untrusted data: false when anything points outside.
bool readNode(const BYTE* data, std::size_t start, std::size_t limit, Node& node) {
    if (start + 6 > limit) return false;
    WORD length = wordAt(data, start);
    WORD valueLength = wordAt(data, start + 2);
    node.isText = wordAt(data, start + 4) == 1;
    node.end = start + length;
    if (length < 6 || node.end > limit) return false;
    node.key.clear();
    std::size_t at = start + 6;
    for (;;) {
        if (at + 2 > node.end) return false;
        WORD unit = wordAt(data, at);
        at += 2;
        if (unit == 0) break;
        node.key.push_back(unit <= 0xFF ? static_cast<char>(unit) : '?');
    }
    node.valueOffset = aligned(at);
    node.valueBytes = node.isText ? std::size_t{valueLength} * 2 : valueLength;
    if (node.valueOffset + node.valueBytes > node.end) return false;
    node.childrenOffset = aligned(node.valueOffset + node.valueBytes);
    return true;
}

bool findChild(const BYTE* data, const Node& parent, const std::string& key, Node& child) {
    for (std::size_t at = parent.childrenOffset; at + 6 <= parent.end;) {
        if (!readNode(data, at, parent.end, child)) return false;
        if (strcasecmp(child.key.c_str(), key.c_str()) == 0) return true;
        at = aligned(child.end);
    }
    return false;
}

// Texts handed out stay valid for the life of the process; one copy per block and path.
std::string& keptText(LPCVOID block, const std::string& path) {
    static auto* kept = new std::map<std::pair<LPCVOID, std::string>, std::string>;
    return (*kept)[{block, path}];
}

} // namespace

extern "C" BOOL WINAPI VerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID* buffer,
                                      UINT* length) {
    if (!block || !subBlock || !buffer || !length) return FALSE;
    const BYTE* data = static_cast<const BYTE*>(block);
    Node node;
    if (!readNode(data, 0, wordAt(data, 0), node)) return FALSE;
    std::string path = subBlock;
    std::size_t at = 0;
    while (at < path.size()) {
        while (at < path.size() && path[at] == '\\')
            ++at;
        if (at >= path.size()) break;
        std::size_t end = path.find('\\', at);
        if (end == std::string::npos) end = path.size();
        Node child;
        if (!findChild(data, node, path.substr(at, end - at), child)) return FALSE;
        node = child;
        at = end;
    }
    if (!node.isText) {
        *buffer = const_cast<BYTE*>(data + node.valueOffset);
        *length = static_cast<UINT>(node.valueBytes);
        return TRUE;
    }
    std::string& text = keptText(block, path);
    text.clear();
    for (std::size_t offset = 0; offset + 2 <= node.valueBytes; offset += 2) {
        WORD unit = wordAt(data, node.valueOffset + offset);
        if (unit == 0) break;
        text.push_back(unit <= 0xFF ? static_cast<char>(unit) : '?');
    }
    *buffer = text.data();
    *length = static_cast<UINT>(text.size() + 1);
    return TRUE;
}
