#include "Templates.h"

#include "Guid.h"

#include <algorithm>

namespace dxfile {

std::size_t packedSize(ScalarType type) {
    switch (type) {
    case ScalarType::Word:
    case ScalarType::Sword: return 2;
    case ScalarType::Dword:
    case ScalarType::Sdword:
    case ScalarType::Float: return 4;
    case ScalarType::Double: return 8;
    case ScalarType::Char:
    case ScalarType::Uchar: return 1;
    case ScalarType::String:
    case ScalarType::Unicode:
    case ScalarType::Cstring: return sizeof(char*);
    }
    return 0;
}

bool isIntegerType(ScalarType type) {
    switch (type) {
    case ScalarType::Word:
    case ScalarType::Dword:
    case ScalarType::Char:
    case ScalarType::Uchar:
    case ScalarType::Sword:
    case ScalarType::Sdword: return true;
    default: return false;
    }
}

bool isFloatType(ScalarType type) { return type == ScalarType::Float || type == ScalarType::Double; }

const char* keywordOf(ScalarType type) {
    switch (type) {
    case ScalarType::Word: return "WORD";
    case ScalarType::Dword: return "DWORD";
    case ScalarType::Float: return "FLOAT";
    case ScalarType::Double: return "DOUBLE";
    case ScalarType::Char: return "CHAR";
    case ScalarType::Uchar: return "UCHAR";
    case ScalarType::Sword: return "SWORD";
    case ScalarType::Sdword: return "SDWORD";
    case ScalarType::String: return "STRING";
    case ScalarType::Unicode: return "UNICODE";
    case ScalarType::Cstring: return "CSTRING";
    }
    return "?";
}

namespace {

// Nested structures are inlined while the steps stay few; templates that nest wide and deep
// would otherwise multiply out.
constexpr std::size_t kMaxInlinedSteps = 64;

void buildReadSteps(Template& t) {
    t.steps.clear();
    std::vector<std::size_t> stepOfMember(t.members.size(), 0);
    for (std::size_t i = 0; i < t.members.size(); ++i) {
        const Member& member = t.members[i];
        if (member.isTemplate && !member.isArray() &&
            t.steps.size() + member.nested->steps.size() <= kMaxInlinedSteps) {
            const auto base = static_cast<int>(t.steps.size());
            for (const ReadStep& inner : member.nested->steps) {
                ReadStep step = inner;
                for (Dimension& dim : step.dims)
                    if (dim.memberIndex >= 0) dim.memberIndex += base;
                t.steps.push_back(std::move(step));
            }
            continue;
        }
        ReadStep step;
        step.owner = &t;
        step.member = &member;
        step.dims = member.dims;
        for (Dimension& dim : step.dims)
            if (dim.memberIndex >= 0)
                dim.memberIndex = static_cast<int>(stepOfMember[dim.memberIndex]);
        stepOfMember[i] = t.steps.size();
        t.steps.push_back(std::move(step));
    }
    for (std::size_t i = t.steps.size(); i-- > 0;) {
        const Member& member = *t.steps[i].member;
        bool dword = !member.isTemplate && !member.isArray() &&
                     (member.scalar == ScalarType::Dword || member.scalar == ScalarType::Sdword);
        std::uint32_t after = i + 1 < t.steps.size() ? t.steps[i + 1].dwordRun : 0;
        t.steps[i].dwordRun = dword ? after + 1 : 0;
    }
}

} // namespace

void finishTemplate(Template& t) {
    buildReadSteps(t);
    FlatShape shape = FlatShape::Mixed;
    bool first = true;
    bool fixed = true;
    std::uint64_t count = 0;
    bool readsValues = false;
    int depth = 1;
    auto merge = [&](FlatShape part) {
        if (first) {
            shape = part;
            first = false;
        } else if (shape != part) {
            fixed = false;
        }
    };
    for (const Member& member : t.members) {
        std::uint64_t elements = 1;
        bool sized = false;  // an array sized by a member may hold nothing
        for (const Dimension& dim : member.dims) {
            if (dim.memberIndex >= 0) {
                fixed = false;
                sized = true;
            }
            elements *= dim.memberIndex >= 0 ? 1 : dim.fixedCount;
            if (elements > 0xFFFFFFFFu) {
                fixed = false;
                elements = 0xFFFFFFFFu;
            }
        }
        // A template reads values when every instance reads at least one; one that never does
        // (no members, or arrays of fixed size 0 only) packs to nothing.
        if (member.isTemplate) {
            const Template& nested = *member.nested;
            depth = std::max(depth, nested.nestingDepth + 1);
            if (nested.readsValues && elements > 0 && !sized) readsValues = true;
            if (!nested.readsValues) continue;
            if (nested.shape == FlatShape::Mixed) fixed = false;
            else {
                merge(nested.shape);
                count += elements * nested.flatCount;
            }
        } else {
            if (elements > 0 && !sized) readsValues = true;
            if (member.scalar == ScalarType::Float) merge(FlatShape::Floats);
            else if (member.scalar == ScalarType::Dword || member.scalar == ScalarType::Sdword)
                merge(FlatShape::Dwords);
            else fixed = false;
            count += elements;
        }
    }
    t.readsValues = readsValues;
    t.isCountedDwords = t.members.size() == 2 && !t.members[0].isTemplate && !t.members[0].isArray() &&
                        t.members[0].scalar == ScalarType::Dword && !t.members[1].isTemplate &&
                        t.members[1].scalar == ScalarType::Dword && t.members[1].dims.size() == 1 &&
                        t.members[1].dims[0].memberIndex == 0;
    t.countedFloatsLead = 0;
    if (t.steps.size() >= 2 && t.steps.size() - 1 == t.steps[0].dwordRun) {
        const ReadStep& last = t.steps.back();
        if (!last.member->isTemplate && last.member->scalar == ScalarType::Float &&
            last.dims.size() == 1 &&
            last.dims[0].memberIndex == static_cast<int>(t.steps.size()) - 2)
            t.countedFloatsLead = t.steps[0].dwordRun;
    }
    t.nestingDepth = depth;
    if (fixed && !first && count > 0 && count <= 0xFFFFFFFFu) {
        t.shape = shape;
        t.flatCount = static_cast<std::uint32_t>(count);
    } else {
        t.shape = FlatShape::Mixed;
        t.flatCount = 0;
    }
}

namespace {
char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
} // namespace

std::size_t CaseInsensitiveHash::operator()(std::string_view text) const {
    std::size_t hash = 1469598103934665603ull;
    for (char c : text) hash = (hash ^ static_cast<unsigned char>(lower(c))) * 1099511628211ull;
    return hash;
}

bool CaseInsensitiveEqual::operator()(std::string_view a, std::string_view b) const {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

TemplateRegistry::TemplateRegistry() {
    // Old files spell a member type `indexColor`, meaning the layout of IndexedColor.
    auto alias = std::make_shared<Template>();
    alias->name = "indexColor";
    Member index;
    index.name = "index";
    index.scalar = ScalarType::Dword;
    Member color;
    color.name = "indexColor";
    color.scalar = ScalarType::Float;
    color.dims.push_back(Dimension{4, -1});
    alias->members = {index, color};
    finishTemplate(*alias);
    indexColorAlias_ = std::move(alias);
}

std::shared_ptr<const Template> TemplateRegistry::findByName(std::string_view name) const {
    auto found = byName_.find(name);
    if (found != byName_.end()) return templates_[found->second];
    if (name == "indexColor") return indexColorAlias_;
    return nullptr;
}

std::shared_ptr<const Template> TemplateRegistry::findById(const GUID& id) const {
    for (const auto& t : templates_)
        if (sameGuid(t->id, id)) return t;
    return nullptr;
}

std::shared_ptr<const Template> TemplateRegistry::add(std::shared_ptr<const Template> t) {
    auto found = byName_.find(std::string_view(t->name));
    if (found != byName_.end()) return templates_[found->second];
    byName_.emplace(t->name, templates_.size());
    templates_.push_back(std::move(t));
    return templates_.back();
}

} // namespace dxfile
