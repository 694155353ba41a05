#include "Grammar.h"

#include "BinaryLexer.h"
#include "TextLexer.h"

#include <cassert>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>

namespace dxfile {

namespace {

// The one grammar of X files, over the token stream of either encoding.
template <class Lexer> class Grammar {
public:
    Grammar(Lexer& lexer, TemplateRegistry& registry, std::vector<GUID>* declared)
        : lex_(lexer), registry_(registry), declared_(declared) {}

    // Reads to the end or the first fault; `dataBegan` as parseBody.
    Diagnostic run(bool templatesOnly, std::vector<std::shared_ptr<DataNode>>& objects,
                   bool& dataBegan) {
        dataBegan = false;
        for (;;) {
            Token token = lex_.next();
            switch (token.kind) {
            case TokenKind::End:
                return std::move(fault_);
            case TokenKind::Template:
                if (!parseTemplate()) return std::move(fault_);
                break;
            case TokenKind::Name:
                if (templatesOnly) {
                    error(token.offset, "expected a template, found data object '" +
                                            std::string(token.text) + "'");
                    return std::move(fault_);
                }
                {
                    dataBegan = true;
                    std::shared_ptr<DataNode> object = parseObject(token, 1);
                    if (!object) return std::move(fault_);
                    objects.push_back(std::move(object));
                }
                break;
            case TokenKind::Semicolon:
            case TokenKind::Comma:
                if (templatesOnly) {
                    error(token.offset, "expected a template, found " + describe(token));
                    return std::move(fault_);
                }
                break; // stray separators between objects carry nothing
            default:
                error(token.offset,
                      "expected a template or a data object, found " + lexicalDescription(token));
                return std::move(fault_);
            }
        }
    }

private:
    // ---- Errors --------------------------------------------------------------------------

    std::string lexicalDescription(const Token& token) {
        return token.kind == TokenKind::Error ? std::string(token.text) : describe(token);
    }

    bool error(std::size_t offset, std::string reason) {
        if (fault_.failed()) return false; // the first error is the one that counts
        Diagnostic& d = fault_;
        d.code = DXFILEERR_PARSEERROR;
        d.byteOffset = offset;
        d.hasOffset = true;
        if constexpr (std::is_same_v<Lexer, TextLexer>)
            lex_.lineAndColumn(offset, d.line, d.column);
        d.reason = std::move(reason);
        for (const DataNode* node : path_) {
            if (!d.objectPath.empty()) d.objectPath += '/';
            d.objectPath += describeObject(*node);
        }
        return false;
    }

    bool unexpected(const Token& token, std::string_view expected) {
        return error(token.offset,
                     "expected " + std::string(expected) + ", found " + lexicalDescription(token));
    }

    std::string memberContext() const {
        std::string text = "member";
        if (member_ && !member_->name.empty()) text += " '" + member_->name + "'";
        if (template_) text += " of " + template_->name;
        return text;
    }

    bool valueFault() {
        const LexFault& fault = lex_.fault();
        switch (fault.fault) {
        case ValueFault::MissingSeparator:
            return error(fault.offset,
                         "expected ';' or ',' after " + memberContext() + ", found " + fault.found);
        case ValueFault::WrongKind:
            return error(fault.offset, "expected " + std::string(expectedKind()) + " for " +
                                           memberContext() + ", found " + fault.found);
        case ValueFault::BadNumber:
            return error(fault.offset,
                         "number out of range for " + memberContext() + ": " + fault.found);
        case ValueFault::Lexical:
            return error(fault.offset, fault.found + " in " + memberContext());
        case ValueFault::ExtraValues:
            return error(fault.offset, "more values than the members of " +
                                           (template_ ? template_->name : std::string("object")) +
                                           " (" + fault.found + ")");
        case ValueFault::Unsupported:
        case ValueFault::None:
            break;
        }
        return error(fault.offset, "bad value for " + memberContext());
    }

    const char* expectedKind() const {
        if (!member_ || member_->isTemplate) return "a value";
        if (isIntegerType(member_->scalar)) return "an integer";
        if (isFloatType(member_->scalar)) return "a number";
        return "a string";
    }

    // ---- Templates -----------------------------------------------------------------------

    bool expect(TokenKind kind, std::string_view what, Token* out = nullptr) {
        Token token = lex_.next();
        if (token.kind != kind) return unexpected(token, what);
        if (out) *out = token;
        return true;
    }

    bool parseTemplate() {
        Token name;
        if (!expect(TokenKind::Name, "a template name", &name)) return false;
        auto t = std::make_shared<Template>();
        t->name = std::string(name.text);
        Token id;
        if (!expect(TokenKind::OBrace, "'{' after template " + t->name)) return false;
        if (!expect(TokenKind::Guid, "the GUID of template " + t->name, &id)) return false;
        t->id = id.guid;
        for (;;) {
            Token token = lex_.next();
            switch (token.kind) {
            case TokenKind::CBrace:
                return registerTemplate(std::move(t), name.offset);
            case TokenKind::Type:
            case TokenKind::Name: {
                Member member;
                if (!memberType(token, *t, member)) return false;
                if (lex_.peek().kind == TokenKind::Name)
                    member.name = std::string(lex_.next().text);
                if (!expect(TokenKind::Semicolon, "';' after a member of template " + t->name))
                    return false;
                t->members.push_back(std::move(member));
                break;
            }
            case TokenKind::Array:
                if (!parseArrayMember(*t)) return false;
                break;
            case TokenKind::OBracket:
                if (!parseRestriction(*t)) return false;
                if (!expect(TokenKind::CBrace, "'}' after the restriction of template " + t->name))
                    return false;
                return registerTemplate(std::move(t), name.offset);
            default:
                return unexpected(token, "a member of template " + t->name);
            }
        }
    }

    bool memberType(const Token& token, const Template& owner, Member& member) {
        if (token.kind == TokenKind::Type) {
            member.scalar = token.scalar;
            return true;
        }
        if (token.kind != TokenKind::Name)
            return unexpected(token, "a member type in template " + owner.name);
        member.nested = registry_.findByName(token.text);
        if (!member.nested)
            return error(token.offset, "unknown template '" + std::string(token.text) +
                                           "' used in template " + owner.name);
        member.isTemplate = true;
        return true;
    }

    bool parseArrayMember(Template& t) {
        Member member;
        if (!memberType(lex_.next(), t, member)) return false;
        Token name;
        if (!expect(TokenKind::Name, "an array name in template " + t.name, &name)) return false;
        member.name = std::string(name.text);
        while (lex_.peek().kind == TokenKind::OBracket) {
            lex_.next();
            Token size = lex_.next();
            Dimension dim;
            if (size.kind == TokenKind::Integer) {
                dim.fixedCount = size.integer;
            } else if (size.kind == TokenKind::Name) {
                for (std::size_t i = 0; i < t.members.size(); ++i)
                    if (t.members[i].name == size.text && !t.members[i].isArray() &&
                        !t.members[i].isTemplate && isIntegerType(t.members[i].scalar))
                        dim.memberIndex = static_cast<int>(i);
                if (dim.memberIndex < 0)
                    return error(size.offset,
                                 "array size '" + std::string(size.text) +
                                     "' is not an earlier integer member of template " + t.name);
            } else {
                return unexpected(size, "an array size in template " + t.name);
            }
            member.dims.push_back(dim);
            if (!expect(TokenKind::CBracket, "']' in template " + t.name)) return false;
        }
        if (member.dims.empty()) return unexpected(lex_.peek(), "'[' after array " + member.name);
        if (!expect(TokenKind::Semicolon, "';' after array " + member.name)) return false;
        t.members.push_back(std::move(member));
        return true;
    }

    bool parseRestriction(Template& t) {
        if (lex_.peek().kind == TokenKind::Dot) {
            for (int i = 0; i < 3; ++i)
                if (!expect(TokenKind::Dot, "'...' in template " + t.name)) return false;
            t.restriction = RestrictionKind::Open;
            return expect(TokenKind::CBracket, "']' after '...' in template " + t.name);
        }
        t.restriction = RestrictionKind::Restricted;
        for (;;) {
            Token token = lex_.next();
            if (token.kind == TokenKind::CBracket && !t.allowed.empty()) return true;
            if (token.kind == TokenKind::Comma && !t.allowed.empty()) continue;
            if (token.kind != TokenKind::Name)
                return unexpected(token, "a template name in the restriction of " + t.name);
            RestrictionEntry entry;
            entry.name = std::string(token.text);
            if (lex_.peek().kind == TokenKind::Guid) {
                entry.id = lex_.next().guid;
                entry.hasId = true;
            }
            t.allowed.push_back(std::move(entry));
        }
    }

    bool registerTemplate(std::shared_ptr<Template> t, std::size_t offset) {
        finishTemplate(*t);
        if (t->nestingDepth > kMaxTemplateDepth)
            return error(offset, "template " + t->name + " nests templates too deeply");
        // A re-declaration keeps the definition in force, whose GUID is what saves look up.
        std::shared_ptr<const Template> inForce = registry_.add(std::move(t));
        if (declared_) declared_->push_back(inForce->id);
        return true;
    }

    // ---- Data objects --------------------------------------------------------------------

    std::shared_ptr<DataNode> parseObject(const Token& typeName, int depth) {
        if (depth > kMaxObjectDepth) {
            error(typeName.offset,
                  "data objects nested more than " + std::to_string(kMaxObjectDepth) + " deep");
            return nullptr;
        }
        auto node = std::make_shared<DataNode>();
        node->type = registry_.findByName(typeName.text);
        if (!node->type) {
            error(typeName.offset, "unknown template '" + std::string(typeName.text) + "'");
            return nullptr;
        }
        if (lex_.peek().kind == TokenKind::Name) {
            node->name = std::string(lex_.next().text);
            node->hasName = true;
        }
        path_.push_back(node.get());
        // The message is built only when it is needed: this runs once per object.
        if (lex_.peek().kind != TokenKind::OBrace) {
            unexpected(lex_.next(), "'{' to open " + describeObject(*node));
            return nullptr;
        }
        lex_.next();
        if (lex_.peek().kind == TokenKind::Guid) {
            node->id = lex_.next().guid;
            node->hasId = true;
        }
        if (!readMembers(*node)) return nullptr;
        if (!readChildren(*node, depth)) return nullptr;
        path_.pop_back();
        return node;
    }

    bool readChildren(DataNode& node, int depth) {
        for (;;) {
            Token token = lex_.next();
            switch (token.kind) {
            case TokenKind::CBrace:
                return true;
            case TokenKind::Name: {
                std::shared_ptr<DataNode> child = parseObject(token, depth + 1);
                if (!child) return false;
                node.children.push_back(ChildEntry{std::move(child), nullptr, nullptr});
                break;
            }
            case TokenKind::OBrace:
                if (!readReference(node)) return false;
                break;
            case TokenKind::Semicolon:
            case TokenKind::Comma:
                break; // stray separators after children carry nothing
            case TokenKind::End:
                return error(token.offset,
                             "data ends inside " + describeObject(node) + ": expected '}'");
            default:
                return unexpected(token,
                                  "a child object, a reference or '}' after the members of " +
                                      node.type->name);
            }
        }
    }

    // `{ Name }`, `{ <GUID> }` or `{ Name <GUID> }`; the opening brace is read.
    bool readReference(DataNode& node) {
        auto reference = std::make_shared<ReferenceNode>();
        Token token = lex_.next();
        if (token.kind == TokenKind::Name) {
            reference->name = std::string(token.text);
            reference->hasName = true;
            token = lex_.next();
        }
        if (token.kind == TokenKind::Guid) {
            reference->id = token.guid;
            reference->hasId = true;
            token = lex_.next();
        }
        if (!reference->hasName && !reference->hasId)
            return unexpected(token, "a name or GUID in a reference");
        if (token.kind != TokenKind::CBrace) return unexpected(token, "'}' to close a reference");
        node.children.push_back(ChildEntry{nullptr, std::move(reference), nullptr});
        return true;
    }

    // ---- Member values -------------------------------------------------------------------

    struct StringSlot {
        std::size_t offset; // of the pointer in the packed data
        std::string_view text;
    };

    bool readMembers(DataNode& node) {
        strings_.clear();
        PackedBytes& out = node.packed;
        template_ = nullptr;
        member_ = nullptr;
        if (!readStruct(*node.type, out)) return false;
        template_ = node.type.get();
        if (!lex_.finishMembers()) return valueFault();
        template_ = nullptr;
        member_ = nullptr;
        if (!strings_.empty()) {
            std::size_t total = 0;
            for (const StringSlot& slot : strings_)
                total += slot.text.size() + 1;
            node.strings.resize(total);
            char* arena = node.strings.data();
            for (const StringSlot& slot : strings_) {
                std::memcpy(arena, slot.text.data(), slot.text.size());
                arena[slot.text.size()] = '\0';
                std::memcpy(out.data() + slot.offset, &arena, sizeof(char*));
                arena += slot.text.size() + 1;
            }
        }
        return true;
    }

    static std::uint8_t* grow(PackedBytes& out, std::size_t bytes) {
        std::size_t at = out.size();
        out.resize(at + bytes);
        return out.data() + at;
    }

    bool readScalar(ScalarType type, PackedBytes& out, std::uint32_t& integer) {
        switch (type) {
        case ScalarType::Word:
        case ScalarType::Sword: {
            if (!lex_.readInteger(integer)) return valueFault();
            auto narrow = static_cast<std::uint16_t>(integer);
            std::memcpy(grow(out, 2), &narrow, 2);
            return true;
        }
        case ScalarType::Dword:
        case ScalarType::Sdword:
            if (!lex_.readInteger(integer)) return valueFault();
            std::memcpy(grow(out, 4), &integer, 4);
            return true;
        case ScalarType::Char:
        case ScalarType::Uchar: {
            if (!lex_.readInteger(integer)) return valueFault();
            auto narrow = static_cast<std::uint8_t>(integer);
            *grow(out, 1) = narrow;
            return true;
        }
        case ScalarType::Float: {
            float value;
            if (!lex_.readFloat(value)) return valueFault();
            std::memcpy(grow(out, 4), &value, 4);
            return true;
        }
        case ScalarType::Double: {
            double value;
            if (!lex_.readDouble(value)) return valueFault();
            std::memcpy(grow(out, 8), &value, 8);
            return true;
        }
        case ScalarType::String: {
            std::string_view text;
            if (!lex_.readString(text)) return valueFault();
            strings_.push_back(StringSlot{out.size(), text});
            grow(out, sizeof(char*));
            return true;
        }
        case ScalarType::Unicode:
        case ScalarType::Cstring:
            break;
        }
        return error(lex_.peek().offset, std::string(keywordOf(type)) + " data is not supported (" +
                                             memberContext() + ")");
    }

    // Values of one instance of `t`, appended to `out`, step by step. Recursion follows the
    // nesting the steps did not inline, which registration bounds.
    bool readStruct(const Template& t, PackedBytes& out) {
        const Template* outerTemplate = template_;
        const Member* outerMember = member_;
        // Integer members' values, for arrays sized by an earlier member.
        MemberValues memberValues(t.steps.size());
        std::uint32_t* values = memberValues.data();
        for (std::size_t i = 0; i < t.steps.size(); ++i) {
            const ReadStep& step = t.steps[i];
            if (step.dwordRun > 1) {
                // Integers in a row, taken together when they lie in one list.
                if (ByteSpan run; lex_.takeDwords(step.dwordRun, run)) {
                    std::memcpy(grow(out, run.size()), run.data(), run.size());
                    std::memcpy(values + i, run.data(), run.size());
                    i += step.dwordRun - 1;
                    continue;
                }
            }
            const Member& member = *step.member;
            template_ = step.owner;
            member_ = &member;
            values[i] = 0;
            if (!member.isArray()) {
                bool ok = member.isTemplate ? readStruct(*member.nested, out)
                                            : readScalar(member.scalar, out, values[i]);
                if (!ok) return false;
                continue;
            }
            std::uint64_t count = 1;
            for (const Dimension& dim : step.dims) {
                count *= dim.memberIndex >= 0 ? values[dim.memberIndex] : dim.fixedCount;
                if (count > 0xFFFFFFFFull) break;
            }
            if (!readArray(member, count, out)) return false;
        }
        template_ = outerTemplate;
        member_ = outerMember;
        return true;
    }

    bool readArray(const Member& member, std::uint64_t count, PackedBytes& out) {
        if (count == 0) return true;
        const Template* nested = member.isTemplate ? member.nested.get() : nullptr;
        if (nested && !nested->readsValues) return true; // elements without values pack to nothing
        std::uint64_t valueCount =
            count * (nested && nested->shape != FlatShape::Mixed ? nested->flatCount : 1);
        // Every value takes at least one byte of input: a count may never promise more.
        if (count > lex_.remaining() || valueCount > lex_.remaining())
            return error(lex_.peek().offset,
                         "array " + member.name + " of " + std::to_string(count) +
                             " elements is longer than the data left (" + memberContext() + ")");
        FlatShape shape =
            nested                               ? nested->shape
            : member.scalar == ScalarType::Float ? FlatShape::Floats
            : member.scalar == ScalarType::Dword || member.scalar == ScalarType::Sdword
                ? FlatShape::Dwords
                : FlatShape::Mixed;
        if (shape == FlatShape::Floats) {
            auto* target = grow(out, valueCount * 4);
            std::size_t at = target - out.data();
            // Values are read straight into the packed block; float alignment is not assumed.
            if (reinterpret_cast<std::uintptr_t>(target) % alignof(float) == 0) {
                if (!lex_.readFloats(reinterpret_cast<float*>(out.data() + at), valueCount))
                    return valueFault();
            } else {
                for (std::uint64_t i = 0; i < valueCount; ++i) {
                    float value;
                    if (!lex_.readFloat(value)) return valueFault();
                    std::memcpy(out.data() + at + i * 4, &value, 4);
                }
            }
            return true;
        }
        if (shape == FlatShape::Dwords) {
            auto* target = grow(out, valueCount * 4);
            std::size_t at = target - out.data();
            if (reinterpret_cast<std::uintptr_t>(target) % alignof(std::uint32_t) == 0) {
                if (!lex_.readDwords(reinterpret_cast<std::uint32_t*>(out.data() + at), valueCount))
                    return valueFault();
            } else {
                for (std::uint64_t i = 0; i < valueCount; ++i) {
                    std::uint32_t value;
                    if (!lex_.readInteger(value)) return valueFault();
                    std::memcpy(out.data() + at + i * 4, &value, 4);
                }
            }
            return true;
        }
        std::uint64_t i = 0;
        while (i < count) {
            std::size_t before = out.size();
            std::uint64_t taken = 0;
            if (nested && nested->isCountedDwords)
                taken = lex_.takeCountedRuns(out, count - i);
            else if (nested && nested->countedFloatsLead > 0)
                taken = lex_.takeCountedFloats(out, count - i, nested->countedFloatsLead);
            if (taken == 0) {
                std::uint32_t ignored = 0;
                bool ok =
                    nested ? readStruct(*nested, out) : readScalar(member.scalar, out, ignored);
                if (!ok) return false;
                taken = 1;
            }
            if (i == 0) reserveLike(out, before, taken, count);
            i += taken;
        }
        return true;
    }

    // Elements are usually alike: room for the rest like the first ones read, within what the
    // input could possibly fill (eight packed bytes per input byte at most).
    void reserveLike(PackedBytes& out, std::size_t firstStart, std::uint64_t firstCount,
                     std::uint64_t count) {
        assert(firstCount > 0 && "the first elements were read");
        if (count <= firstCount) return;
        std::uint64_t room = (out.size() - firstStart) / firstCount * (count - firstCount);
        if (room <= static_cast<std::uint64_t>(lex_.remaining()) * 8)
            out.reserve(out.size() + room);
    }

    Lexer& lex_;
    TemplateRegistry& registry_;
    std::vector<GUID>* declared_;
    Diagnostic fault_; // the first error met
    std::vector<const DataNode*> path_;
    std::vector<StringSlot> strings_;
    const Template* template_ = nullptr; // innermost template being filled, for messages
    const Member* member_ = nullptr;     // member being filled, for messages
};

} // namespace

Diagnostic parseBody(const ParseRequest& request, TemplateRegistry& registry,
                     std::vector<std::shared_ptr<DataNode>>& objects, bool& dataBegan) {
    assert((request.floatBytes == 4 || request.floatBytes == 8) && "floats are 32 or 64 bits");
    if (request.encoding == Encoding::Text) {
        TextLexer lexer(request.body, request.baseOffset);
        return Grammar<TextLexer>(lexer, registry, request.declaredTemplates)
            .run(request.templatesOnly, objects, dataBegan);
    }
    BinaryLexer lexer(request.body, request.baseOffset, request.floatBytes);
    return Grammar<BinaryLexer>(lexer, registry, request.declaredTemplates)
        .run(request.templatesOnly, objects, dataBegan);
}

} // namespace dxfile
