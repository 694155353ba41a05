// Templates: the type definitions of X files, and the registry a root object keeps of them.
#pragma once

#include "dxfile.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace dxfile {

enum class ScalarType : std::uint8_t {
    Word, Dword, Float, Double, Char, Uchar, Sword, Sdword, String, Unicode, Cstring
};

// Bytes one value of the type takes in packed data (a STRING is a `char*`).
std::size_t packedSize(ScalarType type);
bool isIntegerType(ScalarType type);
bool isFloatType(ScalarType type);
// The keyword that names the type in text files ("DWORD", "STRING", ...).
const char* keywordOf(ScalarType type);

struct Template;

// One array dimension: a fixed count, or the value of an earlier scalar integer member.
struct Dimension {
    std::uint32_t fixedCount = 0;
    int memberIndex = -1;  // >= 0: index of the member that holds the count
};

struct Member {
    std::string name;  // may be empty (the binary grammar allows unnamed scalar members)
    bool isTemplate = false;
    ScalarType scalar = ScalarType::Dword;
    std::shared_ptr<const Template> nested;  // when isTemplate
    std::vector<Dimension> dims;             // empty for a scalar member
    bool isArray() const { return !dims.empty(); }
};

enum class RestrictionKind : std::uint8_t { Closed, Open, Restricted };

struct RestrictionEntry {
    std::string name;  // "BINARY" admits binary children
    GUID id{};
    bool hasId = false;
};

// How a template reads when flattened: a fixed-size template made only of FLOATs (or only of
// 32-bit integers) is one run of `flatCount` values, so arrays of it are read and written in bulk.
enum class FlatShape : std::uint8_t { Mixed, Floats, Dwords };

// One step of reading an instance of a template: one of its scalar or array members, or of the
// members of a nested structure inlined in its place, so that reading needs no recursion for
// them. Steps point into the templates that declare the members.
struct ReadStep {
    const Template* owner = nullptr; // declares `member`; named in messages
    const Member* member = nullptr;  // a nested structure when too large to inline
    std::vector<Dimension> dims;     // arrays: `memberIndex` names an earlier step
    // DWORD and SDWORD scalars in a row from this step on, this one included: binary lists
    // hand them out together.
    std::uint32_t dwordRun = 0;
};

struct Template {
    Template() = default;
    // Steps point into the template itself: it is never copied.
    Template(const Template&) = delete;
    Template& operator=(const Template&) = delete;

    std::string name;
    GUID id{};
    std::vector<Member> members;
    RestrictionKind restriction = RestrictionKind::Closed;
    std::vector<RestrictionEntry> allowed;

    // Derived by finishTemplate.
    FlatShape shape = FlatShape::Mixed;
    std::uint32_t flatCount = 0;
    bool readsValues = false;  // false when the template holds no values at all
    // `DWORD n; array DWORD v[n];` (MeshFace and its kind): read and written as one run.
    bool isCountedDwords = false;
    // Steps of `countedFloatsLead` DWORDs, the last the count of the FLOAT array that follows
    // (TimedFloatKeys and its kind): animation keys, read in one go. 0 for other templates.
    std::uint32_t countedFloatsLead = 0;
    int nestingDepth = 1;
    // While an instance is read, each step keeps its integer value at its own index.
    std::vector<ReadStep> steps;
};

// The values of a template's integer members by member index, kept while an object's members are
// walked, since an array's count may name an earlier member. Small templates need no allocation.
class MemberValues {
public:
    explicit MemberValues(std::size_t memberCount) {
        if (memberCount > kInlineCount) many_.resize(memberCount);
    }
    std::uint32_t* data() { return many_.empty() ? inline_ : many_.data(); }

private:
    static constexpr std::size_t kInlineCount = 16;
    std::uint32_t inline_[kInlineCount] = {};
    std::vector<std::uint32_t> many_;
};

// Computes the derived fields from the members. Members must already be resolved.
void finishTemplate(Template& t);

// Nested templates deeper than this are refused when registered, which bounds every recursion
// over a template's members.
inline constexpr int kMaxTemplateDepth = 32;

struct CaseInsensitiveHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const;
};
struct CaseInsensitiveEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
};

// Templates by name (without regard to case) and by GUID. Templates are immutable once
// registered and shared with every object made from them.
class TemplateRegistry {
public:
    TemplateRegistry();

    // Null when unknown. Also answers the legacy member type `indexColor` (exact spelling).
    std::shared_ptr<const Template> findByName(std::string_view name) const;
    std::shared_ptr<const Template> findById(const GUID& id) const;
    // Registers `t` unless its name is taken; files routinely re-declare templates, and the
    // first definition stays in force. Returns the template in force.
    std::shared_ptr<const Template> add(std::shared_ptr<const Template> t);

private:
    std::vector<std::shared_ptr<const Template>> templates_;
    std::unordered_map<std::string, std::size_t, CaseInsensitiveHash, CaseInsensitiveEqual> byName_;
    std::shared_ptr<const Template> indexColorAlias_;
};

} // namespace dxfile
