// Command-line parsing for lumaset's commands: long options as "--name value" or "--name=value",
// "-h" as "--help" (and an option's own one-letter name, "-o OUT"), "--" ending the options,
// everything else positional. An option may take several values ("--set NAME START END"); those
// are the words that follow it, taken as they are, even when they begin with a dash.
#pragma once

#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

struct OptionSpec {
    std::string_view name; // without the leading dashes
    bool takesValue = false;
    std::string_view valueName; // shown in help texts ("DIR", "N", "NAME START END")
    std::string_view help;
    int valueCount = 1; // values a value-taking option takes
    char shortName = 0; // "-o" for 'o'; 0 for none
};

// One option as given on the command line, in order.
struct OptionUse {
    std::string name;
    std::vector<std::string> values;
};

struct ParsedArguments {
    std::vector<std::string> positionals;
    std::map<std::string, std::string, std::less<>> options; // flags map to an empty value
    std::vector<OptionUse> uses; // every option given, repeated ones included, in order

    bool has(std::string_view name) const { return options.find(name) != options.end(); }
    // The value given to `name`, or `fallback` when the option is absent.
    std::string valueOr(std::string_view name, std::string_view fallback) const;
};

// Parses `arguments` (the words after the command's name) against `options`. An unknown option,
// a missing value or a value given to a flag fails with a one-line `error` naming the word; the
// last of repeated options wins in `options` (which keeps the first value of a several-value
// option), while `uses` keeps them all.
[[nodiscard]] bool parseArguments(std::span<const std::string> arguments,
                                  std::span<const OptionSpec> options, ParsedArguments& out,
                                  std::string& error);

// Reads a whole decimal number in [minimum, maximum]; false for anything else.
[[nodiscard]] bool parseInteger(std::string_view text, int minimum, int maximum, int& value);

} // namespace cli
