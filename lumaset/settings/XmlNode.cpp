// The tree, its attributes and its writer. The reader is in XmlReader.cpp.
#include "settings/XmlNode.h"

#include "ui/NumberText.h"

#include <WholeFile.h>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// A settings document is a few kilobytes; a file far beyond that is not one, and reading it
// whole would only exhaust memory.
constexpr std::uint64_t kMaxDocumentBytes = 64u << 20;

} // namespace

XmlNode::~XmlNode() {
    Clear();
}

XmlNode::XmlNode(XmlNode&& other) noexcept
    : name(std::move(other.name)), children(std::move(other.children)),
      attributes(std::move(other.attributes)), isText(other.isText) {
    other.lastVisited = nullptr;
}

XmlNode& XmlNode::operator=(XmlNode&& other) noexcept {
    if (this == &other) return *this;
    Clear();
    name = std::move(other.name);
    children = std::move(other.children);
    attributes = std::move(other.attributes);
    isText = other.isText;
    other.lastVisited = nullptr;
    return *this;
}

void XmlNode::Clear() {
    // Grandchildren move up into one flat list before their parent goes, so freeing a tree of
    // any depth never nests destructor calls more than one level.
    std::list<XmlNode> pending;
    pending.splice(pending.end(), children);
    while (!pending.empty()) {
        pending.splice(pending.end(), pending.front().children);
        pending.pop_front();
    }
    lastVisited = nullptr;
}

XmlNode& XmlNode::AddChild(const std::string& childName) {
    return children.emplace_back(childName);
}

const XmlNode* XmlNode::NextChild(const XmlNode* previous) const {
    if (previous == nullptr) {
        if (children.empty()) return nullptr;
        lastVisited = &children.front();
        lastVisitedAt = children.begin();
        return lastVisited;
    }
    auto at = children.end();
    if (previous == lastVisited) {
        at = lastVisitedAt;
    } else {
        for (auto it = children.begin(); it != children.end(); ++it)
            if (&*it == previous) {
                at = it;
                break;
            }
    }
    if (at == children.end() || ++at == children.end()) return nullptr;
    lastVisited = &*at;
    lastVisitedAt = at;
    return lastVisited;
}

XmlNode* XmlNode::NextChild(const XmlNode* previous) {
    return const_cast<XmlNode*>(static_cast<const XmlNode*>(this)->NextChild(previous));
}

void XmlNode::SetAttribute(const std::string& attributeName, int value) {
    attributes[attributeName] = formatInteger(value);
}

void XmlNode::SetAttribute(const std::string& attributeName, float value) {
    attributes[attributeName] = formatFixed(static_cast<double>(value));
}

void XmlNode::SetAttribute(const std::string& attributeName, const std::string& value) {
    attributes[attributeName] = value;
}

const std::string* XmlNode::GetAttribute(const std::string& attributeName) const {
    auto found = attributes.find(attributeName);
    return found == attributes.end() ? nullptr : &found->second;
}

int XmlNode::GetAttributeInt(const std::string& attributeName) const {
    const std::string* value = GetAttribute(attributeName);
    return value ? parseInteger(value->c_str()) : 0;
}

float XmlNode::GetAttributeFloat(const std::string& attributeName) const {
    const std::string* value = GetAttribute(attributeName);
    return value ? static_cast<float>(parseDouble(value->c_str())) : 0.0f;
}

bool XmlNode::GetAttributeBool(const std::string& attributeName) const {
    return GetAttributeInt(attributeName) != 0;
}

namespace {

// A blank, the name, "=", and the value in double quotes with each quote in it escaped by a
// backslash (nothing else is escaped).
void appendAttributes(std::string& out, const std::map<std::string, std::string>& attributes) {
    for (const auto& [attributeName, value] : attributes) {
        out += ' ';
        out += attributeName;
        out += "=\"";
        for (char character : value) {
            if (character == '"') out += '\\';
            out += character;
        }
        out += '"';
    }
}

} // namespace

std::string XmlNode::WriteDocument() {
    if (name != "xml") {
        name = "xml";
        attributes["version"] = "1.0";
    }
    std::string out = "<?xml";
    appendAttributes(out, attributes);
    out += "?>\n";
    if (children.empty()) return out;

    // Only the first top-level node is written. One flag for the whole write: after text, no
    // line break and indentation go before the next tag.
    struct Frame {
        const XmlNode* node;
        std::list<XmlNode>::const_iterator next;
        std::size_t depth;
    };
    std::vector<Frame> open;
    bool afterText = true;
    auto lineBreak = [&](std::size_t depth) {
        if (!afterText) {
            out += '\n';
            out.append(depth, '\t');
        }
        afterText = false;
    };
    auto start = [&](const XmlNode& node, std::size_t depth) {
        if (node.isText) {
            out += node.name;
            afterText = true;
            return;
        }
        lineBreak(depth);
        out += '<';
        out += node.name;
        appendAttributes(out, node.attributes);
        if (node.children.empty()) {
            out += "/>";
            return;
        }
        out += '>';
        open.push_back(Frame{&node, node.children.begin(), depth});
    };
    start(children.front(), 0);
    while (!open.empty()) {
        Frame& top = open.back();
        if (top.next != top.node->children.end()) {
            const XmlNode& child = *top.next++;
            std::size_t depth = top.depth + 1;
            start(child, depth); // may grow `open`: `top` is not used after this
            continue;
        }
        lineBreak(top.depth);
        out += "</";
        out += top.node->name;
        out += '>';
        open.pop_back();
    }
    return out;
}

bool XmlNode::Save(const std::string& fileName) {
    std::string text = WriteDocument();
    // Written beside the target and renamed over it: readers see the old file or the new one,
    // never a part, whatever happens during the write.
    std::string temporary = fileName + ".XXXXXX";
    int descriptor = mkstemp(temporary.data());
    if (descriptor < 0) return false;
    mode_t mask = umask(0);
    umask(mask);
    fchmod(descriptor, 0666 & ~mask); // what creating the file directly would have given
    bool written = true;
    for (std::size_t done = 0; written && done < text.size();) {
        ssize_t count = write(descriptor, text.data() + done, text.size() - done);
        if (count < 0) {
            written = errno == EINTR;
            continue;
        }
        done += static_cast<std::size_t>(count);
    }
    written = written && fsync(descriptor) == 0;
    written = (close(descriptor) == 0) && written;
    if (!written || rename(temporary.c_str(), fileName.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

bool XmlNode::Load(const std::string& fileName) {
    std::string text;
    if (!fileio::readWholeFile(fileName, kMaxDocumentBytes, text).ok()) return false;
    Read(text);
    return true;
}
