// Names as the text encoding of X files can carry them. A name there is a bare word: strict
// readers take only letters, digits, '_' and '-', and a word that is a keyword of the format
// (matched regardless of letter case: `sword` is SWORD) or that reads as a number is no name at
// all. The binary encodings carry any bytes and keep names as they are.
#pragma once

#include "model/XScene.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

// True when `name` can stand as a name in a text X file as it is: empty (the object is written
// unnamed), or a letter or '_' followed by letters, digits, '_' and '-', and no keyword.
bool isTextEncodingName(std::string_view name);

// The renaming of one scene for the text encoding, the same wherever a name appears: frames,
// bones (skin weights name their frame), animation sets and animation targets. A name that cannot
// stand becomes a text-safe one: each character outside [A-Za-z0-9_-] becomes '_', a name that
// starts with a digit or '-' gets a leading '_', a keyword gets a trailing '_'. Names that can
// stand keep themselves; two names that would end up alike are told apart by a numeric suffix
// ("_1", "_2", ...), given in order of first appearance (frames depth first with their bones,
// then sets in name order with their targets).
class TextEncodingNames {
public:
    explicit TextEncodingNames(const XScene& scene);

    // The name to write for `name`; names the scene does not hold are passed through.
    const std::string& operator()(const std::string& name) const;

    // Every name that changed, as (old, new), in order of first appearance.
    const std::vector<std::pair<std::string, std::string>>& renamed() const { return renamed_; }

private:
    std::unordered_map<std::string, std::string> newNames_;
    std::vector<std::pair<std::string, std::string>> renamed_;
};
