// A minimal XML tree: elements with a name, text attributes and children, and text runs. It
// reads with a tolerant tokenizer (malformed input never fails, it gives whatever tree the
// tokens make) and writes with tab indentation. No entities, comments, namespaces or encodings:
// exactly as much XML as the settings file needs.
#pragma once

#include <list>
#include <map>
#include <string>
#include <string_view>

class XmlNode {
public:
    XmlNode() = default;
    explicit XmlNode(std::string nodeName) : name(std::move(nodeName)) {}
    // Frees the tree without recursion, so any depth is safe.
    ~XmlNode();
    XmlNode(XmlNode&& other) noexcept;
    XmlNode& operator=(XmlNode&& other) noexcept;
    XmlNode(const XmlNode&) = delete;
    XmlNode& operator=(const XmlNode&) = delete;

    // Appends a new child with this name; the reference stays valid while further children are
    // appended. Never looks for an existing child of the same name.
    XmlNode& AddChild(const std::string& childName);
    // The first child for null, else the child after `previous`; null after the last child or
    // when `previous` is not a child of this node.
    const XmlNode* NextChild(const XmlNode* previous) const;
    XmlNode* NextChild(const XmlNode* previous);

    // The element's name, or a text node's text.
    const std::string& Name() const { return name; }
    bool IsText() const { return isText; }
    const std::list<XmlNode>& Children() const { return children; }
    const std::map<std::string, std::string>& Attributes() const { return attributes; }

    // "%d", "%f", and text unchanged; an attribute of the same name is replaced.
    void SetAttribute(const std::string& attributeName, int value);
    void SetAttribute(const std::string& attributeName, float value);
    void SetAttribute(const std::string& attributeName, const std::string& value);
    // The value, or null when there is no such attribute.
    const std::string* GetAttribute(const std::string& attributeName) const;
    // The C library's conversions of the value: text-to-integer, text-to-double narrowed to
    // float, and text-to-integer non-zero. 0, 0 and false when the attribute is missing.
    int GetAttributeInt(const std::string& attributeName) const;
    float GetAttributeFloat(const std::string& attributeName) const;
    bool GetAttributeBool(const std::string& attributeName) const;

    // Reads a whole file into this node; false when it cannot be opened or read or holds more
    // than 64 MiB. Untrusted content: any bytes give a tree, in time and memory proportional
    // to the file.
    bool Load(const std::string& fileName);
    // Reads XML text into this node (what Load does with the file's bytes).
    void Read(std::string_view text);
    // Writes this node as a document: the declaration, then the first child. The file is
    // replaced whole or not at all (a temporary file beside it, then a rename); false when it
    // cannot be written.
    bool Save(const std::string& fileName);
    // The text Save writes. Renames the node "xml" with version "1.0" unless it is named so.
    std::string WriteDocument();

private:
    void Clear();

    std::string name;
    std::list<XmlNode> children;
    std::map<std::string, std::string> attributes;
    bool isText = false;
    // The child NextChild returned last, so walking the children costs one step per child.
    mutable const XmlNode* lastVisited = nullptr;
    mutable std::list<XmlNode>::const_iterator lastVisitedAt;

    friend class XmlReader;
};

// An XmlNode used as a document: its children are the file's top-level nodes, its name and
// attributes those of the XML declaration.
class XmlDocument : public XmlNode {};
