#include "cli/Arguments.h"

#include <algorithm>
#include <charconv>

namespace cli {

std::string ParsedArguments::valueOr(std::string_view name, std::string_view fallback) const {
    auto found = options.find(name);
    return found != options.end() ? found->second : std::string(fallback);
}

bool parseArguments(std::span<const std::string> arguments, std::span<const OptionSpec> options,
                    ParsedArguments& out, std::string& error) {
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& word = arguments[i];
        if (optionsEnded || word == "-" || word.empty() || word[0] != '-') {
            out.positionals.push_back(word);
            continue;
        }
        if (word == "--") {
            optionsEnded = true;
            continue;
        }
        std::string_view name = word;
        if (name == "-h") {
            name = "help";
        } else if (name.starts_with("--")) {
            name.remove_prefix(2);
        } else {
            auto shortOption =
                std::find_if(options.begin(), options.end(), [&](const OptionSpec& o) {
                    return o.shortName != 0 && name.size() == 2 && name[1] == o.shortName;
                });
            if (shortOption == options.end()) {
                error = "unknown option '" + word + "'";
                return false;
            }
            name = shortOption->name;
        }
        std::string_view inlineValue;
        bool hasInlineValue = false;
        if (std::size_t equals = name.find('='); equals != std::string_view::npos) {
            inlineValue = name.substr(equals + 1);
            name = name.substr(0, equals);
            hasInlineValue = true;
        }
        auto declared = std::find_if(options.begin(), options.end(),
                                     [&](const OptionSpec& o) { return o.name == name; });
        if (declared == options.end()) {
            error = "unknown option '--" + std::string(name) + "'";
            return false;
        }
        OptionUse use{std::string(name), {}};
        if (!declared->takesValue) {
            if (hasInlineValue) {
                error = "option '--" + std::string(name) + "' takes no value";
                return false;
            }
            out.options[use.name] = "";
            out.uses.push_back(std::move(use));
            continue;
        }
        const std::size_t valueCount = std::size_t(std::max(declared->valueCount, 1));
        if (hasInlineValue && valueCount == 1) {
            use.values.emplace_back(inlineValue);
        } else if (!hasInlineValue && arguments.size() - (i + 1) >= valueCount) {
            use.values.assign(arguments.begin() + std::ptrdiff_t(i + 1),
                              arguments.begin() + std::ptrdiff_t(i + 1 + valueCount));
            i += valueCount;
        } else {
            error = "option '--" + std::string(name) + "' needs " +
                    (valueCount == 1 ? std::string("a value")
                                     : std::to_string(valueCount) + " values (" +
                                           std::string(declared->valueName) + ")");
            return false;
        }
        out.options[use.name] = use.values.front();
        out.uses.push_back(std::move(use));
    }
    return true;
}

bool parseInteger(std::string_view text, int minimum, int maximum, int& value) {
    int parsed = 0;
    auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (status != std::errc() || end != text.data() + text.size() || text.empty()) return false;
    if (parsed < minimum || parsed > maximum) return false;
    value = parsed;
    return true;
}

} // namespace cli
