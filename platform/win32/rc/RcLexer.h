// Tokens of a resource script (.rc), after the preprocessing a resource script needs:
// comments, #include of quoted files (angle-bracket includes name the system headers, whose
// constants the compiler knows already), #define of object-like names, and #ifdef, #ifndef,
// #if with a number, #else, #endif. A failure is reported as text with file and line.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace rc {

enum class TokenKind { name, number, text, symbol };

struct Token {
    TokenKind kind = TokenKind::symbol;
    std::string text; // the name, the symbol, or the string's contents without quotes
    std::int64_t number = 0;
    std::string where; // "file:line", for messages
};

struct Preprocessed {
    std::vector<Token> tokens;
    std::map<std::string, std::vector<Token>> defines;
};

// Reads `path` and what it includes. False with `error` set when a file cannot be read or a
// line cannot be understood.
bool preprocess(const std::string& path, const std::vector<std::string>& includeFolders,
                Preprocessed& result, std::string& error);

} // namespace rc
