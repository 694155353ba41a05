#include "xfile/TextNames.h"

#include <unordered_set>

namespace {

// The keywords of the text encoding and the words its documentation reserves.
constexpr std::string_view kReservedWords[] = {
    "ARRAY",    "BINARY", "BINARY_RESOURCE", "BYTE",    "CHAR",   "CSTRING",
    "DOUBLE",   "DWORD",  "FLOAT",           "SDWORD",  "STRING", "SWORD",
    "TEMPLATE", "UCHAR",  "ULONGLONG",       "UNICODE", "VOID",   "WORD"};

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool isReservedWord(std::string_view name) {
    for (std::string_view word : kReservedWords) {
        if (word.size() != name.size()) continue;
        bool same = true;
        for (std::size_t i = 0; same && i < word.size(); ++i)
            same = upper(name[i]) == word[i];
        if (same) return true;
    }
    return false;
}

bool isLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isNameCharacter(char c) {
    return isLetter(c) || isDigit(c) || c == '_' || c == '-';
}

// The text-safe form of a name, before collisions are resolved.
std::string textSafeForm(const std::string& name) {
    std::string safe;
    safe.reserve(name.size() + 2);
    // A leading digit or '-' would read as a number, or start one.
    if (!name.empty() && (isDigit(name[0]) || name[0] == '-')) safe += '_';
    for (char c : name)
        safe += isNameCharacter(c) ? c : '_';
    if (isReservedWord(safe)) safe += '_';
    return safe;
}

// Every name of the scene once, in order of first appearance.
std::vector<const std::string*> namesInOrder(const XScene& scene) {
    std::vector<const std::string*> names;
    std::unordered_set<std::string_view> seen;
    const auto note = [&](const std::string& name) {
        if (seen.insert(name).second) names.push_back(&name);
    };
    std::vector<const XFrame*> pending;
    for (auto it = scene.frames.rbegin(); it != scene.frames.rend(); ++it)
        pending.push_back(&*it);
    while (!pending.empty()) {
        const XFrame* frame = pending.back();
        pending.pop_back();
        note(frame->name);
        for (const XSkinWeights& bone : frame->mesh.skinWeights)
            note(bone.boneName);
        for (auto it = frame->children.rbegin(); it != frame->children.rend(); ++it)
            pending.push_back(&*it);
    }
    for (const auto& [setName, set] : scene.animationSets) {
        note(setName);
        for (const auto& [target, animation] : set)
            note(target);
    }
    return names;
}

} // namespace

bool isTextEncodingName(std::string_view name) {
    if (name.empty()) return true;
    if (!isLetter(name[0]) && name[0] != '_') return false;
    for (char c : name)
        if (!isNameCharacter(c)) return false;
    return !isReservedWord(name);
}

TextEncodingNames::TextEncodingNames(const XScene& scene) {
    const std::vector<const std::string*> names = namesInOrder(scene);
    // Names that can stand keep themselves, so they are taken before any new name is chosen.
    std::unordered_set<std::string> taken;
    for (const std::string* name : names)
        if (isTextEncodingName(*name)) taken.insert(*name);
    for (const std::string* name : names) {
        if (isTextEncodingName(*name)) continue;
        const std::string base = textSafeForm(*name);
        std::string chosen = base;
        for (std::size_t suffix = 1; taken.count(chosen) != 0; ++suffix)
            chosen = base + "_" + std::to_string(suffix);
        taken.insert(chosen);
        newNames_.emplace(*name, chosen);
        renamed_.emplace_back(*name, chosen);
    }
}

const std::string& TextEncodingNames::operator()(const std::string& name) const {
    const auto found = newNames_.find(name);
    return found == newNames_.end() ? name : found->second;
}
