// The tolerant reader. Tokens are tags ("<" up to the first ">" outside quotes, a backslash
// taking the next character along unexamined) and text runs (up to the next "<"). Tags become
// elements, declarations, empty elements or end tags; end tags close whatever is open, without
// comparing names. Nesting is kept on an explicit stack, so depth costs memory, not stack.
#include "settings/XmlNode.h"

#include <algorithm>
#include <vector>

namespace {

enum class TagKind { start, end, empty, declaration };

bool isBlank(char character) {
    return character == ' ' || character == '\t';
}

bool isWhiteSpace(std::string_view token) {
    for (char character : token)
        if (character != ' ' && character != '\t' && character != '\r' && character != '\n')
            return false;
    return true;
}

} // namespace

class XmlReader {
public:
    explicit XmlReader(std::string_view text) : text_(text) {}

    void read(XmlNode& document) {
        std::vector<XmlNode*> open{&document};
        std::string_view token;
        bool isTag = false;
        while (nextToken(token, isTag)) {
            if (isWhiteSpace(token)) continue;
            XmlNode* current = open.back();
            if (!isTag) {
                XmlNode& text = current->children.emplace_back(std::string(token));
                text.isText = true;
                continue;
            }
            XmlNode tag;
            switch (parseTag(token, tag)) {
            case TagKind::end:
                if (open.size() == 1) return; // an end tag at the top level ends the file
                open.pop_back();
                break;
            case TagKind::declaration:
                // Its name and attributes become those of the node being filled, whose
                // children are replaced by the declaration's (none).
                current->Clear();
                current->name = std::move(tag.name);
                current->attributes = std::move(tag.attributes);
                break;
            case TagKind::empty:
                current->children.push_back(std::move(tag));
                break;
            case TagKind::start:
                open.push_back(&current->children.emplace_back(std::move(tag)));
                break;
            }
        }
    }

private:
    bool nextToken(std::string_view& token, bool& isTag) {
        if (position_ >= text_.size()) return false;
        std::size_t start = position_;
        isTag = text_[start] == '<';
        if (!isTag) {
            std::size_t end = text_.find('<', start);
            position_ = end == std::string_view::npos ? text_.size() : end;
        } else {
            char quote = 0;
            std::size_t at = start + 1;
            while (at < text_.size()) {
                char character = text_[at];
                if (character == '\\') {
                    at += 2; // the escaped character goes along unexamined
                    continue;
                }
                ++at;
                if (quote) {
                    if (character == quote) quote = 0;
                } else if (character == '"' || character == '\'') {
                    quote = character;
                } else if (character == '>') {
                    break;
                }
            }
            position_ = std::min(at, text_.size());
        }
        token = text_.substr(start, position_ - start);
        return true;
    }

    static TagKind parseTag(std::string_view token, XmlNode& tag) {
        std::size_t at = 1;
        auto atEnd = [&] { return at >= token.size(); };
        auto closesTag = [&](std::size_t index) {
            return index + 1 == token.size() && token[index] == '>';
        };
        // The name keeps a leading "/" or "?", and stops before a "/" that directly precedes
        // the closing ">".
        if (!atEnd() && (token[at] == '/' || token[at] == '?')) tag.name += token[at++];
        while (!atEnd()) {
            char character = token[at];
            if (isBlank(character) || character == '>') break;
            if (character == '/' && at + 1 < token.size() && token[at + 1] == '>') break;
            tag.name += character;
            ++at;
        }
        bool isEmpty = false;
        bool isDeclaration = false;
        for (;;) {
            while (!atEnd() && isBlank(token[at]))
                ++at;
            if (atEnd() || token[at] == '>') break;
            std::string attributeName;
            while (!atEnd() && !isBlank(token[at]) && token[at] != '=' && token[at] != '>')
                attributeName += token[at++];
            bool beforeClose = !atEnd() && token[at] == '>';
            if (beforeClose && attributeName == "/") {
                isEmpty = true;
                continue;
            }
            if (beforeClose && attributeName == "?") {
                isDeclaration = true;
                continue;
            }
            std::size_t afterName = at;
            while (!atEnd() && isBlank(token[at]))
                ++at;
            std::string value;
            if (!atEnd() && token[at] == '=') {
                ++at;
                while (!atEnd() && isBlank(token[at]))
                    ++at;
                if (!atEnd() && (token[at] == '"' || token[at] == '\'')) {
                    char quote = token[at++];
                    while (!atEnd() && token[at] != quote) {
                        if (token[at] == '\\' && at + 1 < token.size())
                            ++at; // the next character, literally
                        value += token[at++];
                    }
                    if (!atEnd()) ++at; // the closing quote
                } else {
                    // Unquoted: up to a blank or tab; a ">" or "/>" that closes the tag is not
                    // part of the value.
                    while (!atEnd() && !isBlank(token[at]) && !closesTag(at) &&
                           !(token[at] == '/' && closesTag(at + 1)))
                        value += token[at++];
                }
            } else {
                at = afterName;
            }
            tag.attributes[attributeName] = value;
        }
        if (isEmpty) return TagKind::empty;
        if (isDeclaration) return TagKind::declaration;
        if (!tag.name.empty() && tag.name[0] == '/') return TagKind::end;
        return TagKind::start;
    }

    std::string_view text_;
    std::size_t position_ = 0;
};

void XmlNode::Read(std::string_view text) {
    XmlReader reader(text);
    reader.read(*this);
}
