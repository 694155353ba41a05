#include "RcLexer.h"

#include "WholeFile.h"

#include <cctype>
#include <filesystem>
#include <sstream>

namespace rc {
namespace {

namespace fs = std::filesystem;

// Resource scripts and the headers they include are small; anything larger is not one.
constexpr std::uint64_t kMaxScriptBytes = 16u << 20;

class Lexer {
public:
    Lexer(const std::vector<std::string>& includeFolders, Preprocessed& result, std::string& error)
        : includeFolders_(includeFolders), result_(result), error_(error) {}

    bool readFile(const fs::path& path, int depth) {
        if (depth > 16) return fail(path.string(), "includes nest too deeply");
        std::string text;
        if (fileio::ReadResult read = fileio::readWholeFile(path.string(), kMaxScriptBytes, text);
            !read.ok())
            return fail(path.string(), read.reason);
        std::vector<bool> active{true};
        std::size_t lineStart = 0;
        int lineNumber = 0;
        bool inComment = false;
        while (lineStart < text.size()) {
            std::size_t lineEnd = text.find('\n', lineStart);
            if (lineEnd == std::string::npos) lineEnd = text.size();
            std::string line = text.substr(lineStart, lineEnd - lineStart);
            lineStart = lineEnd + 1;
            ++lineNumber;
            std::string where = path.filename().string() + ":" + std::to_string(lineNumber);
            std::string code = stripComments(line, inComment);
            std::size_t first = code.find_first_not_of(" \t\r");
            if (first != std::string::npos && code[first] == '#') {
                if (!directive(code.substr(first + 1), path, where, active, depth)) return false;
                continue;
            }
            if (!active.back()) continue;
            std::vector<Token> tokens;
            if (!tokenize(code, where, tokens)) return false;
            result_.tokens.insert(result_.tokens.end(), tokens.begin(), tokens.end());
        }
        if (active.size() != 1) return fail(path.string(), "#if without #endif");
        return true;
    }

private:
    bool fail(const std::string& where, const std::string& what) {
        error_ = where + ": " + what;
        return false;
    }

    static std::string stripComments(const std::string& line, bool& inComment) {
        std::string code;
        bool inText = false;
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (inComment) {
                if (line.compare(i, 2, "*/") == 0) {
                    inComment = false;
                    ++i;
                }
                continue;
            }
            if (line[i] == '"') inText = !inText;
            if (!inText && line.compare(i, 2, "//") == 0) break;
            if (!inText && line.compare(i, 2, "/*") == 0) {
                inComment = true;
                ++i;
                continue;
            }
            code.push_back(line[i]);
        }
        return code;
    }

    bool directive(const std::string& line, const fs::path& path, const std::string& where,
                   std::vector<bool>& active, int depth) {
        std::istringstream words(line);
        std::string keyword;
        words >> keyword;
        std::string argument;
        std::getline(words >> std::ws, argument);
        while (!argument.empty() && std::isspace(static_cast<unsigned char>(argument.back())))
            argument.pop_back();
        bool enclosing = active.back();
        if (keyword == "ifdef" || keyword == "ifndef") {
            bool defined = result_.defines.count(argument) != 0;
            active.push_back(enclosing && (keyword == "ifdef" ? defined : !defined));
        } else if (keyword == "if") {
            active.push_back(enclosing && argument != "0");
        } else if (keyword == "else") {
            if (active.size() < 2) return fail(where, "#else without #if");
            bool taken = active.back();
            active.pop_back();
            active.push_back(active.back() && !taken);
        } else if (keyword == "endif") {
            if (active.size() < 2) return fail(where, "#endif without #if");
            active.pop_back();
        } else if (!enclosing) {
            return true;
        } else if (keyword == "include") {
            if (argument.size() >= 2 && argument.front() == '<') return true; // a system header
            if (argument.size() < 2 || argument.front() != '"' || argument.back() != '"')
                return fail(where, "#include needs a quoted file name");
            return include(argument.substr(1, argument.size() - 2), path, where, depth);
        } else if (keyword == "define") {
            std::istringstream parts(argument);
            std::string name;
            parts >> name;
            if (name.empty() || name.find('(') != std::string::npos)
                return true; // function-like: not ours
            std::string body;
            std::getline(parts >> std::ws, body);
            std::vector<Token> tokens;
            if (!tokenize(body, where, tokens)) return false;
            result_.defines[name] = tokens;
        } else if (keyword == "undef") {
            result_.defines.erase(argument);
        } else if (keyword != "pragma") {
            return fail(where, "unknown directive #" + keyword);
        }
        return true;
    }

    bool include(const std::string& name, const fs::path& from, const std::string& where,
                 int depth) {
        std::vector<fs::path> candidates{from.parent_path() / name};
        for (const std::string& folder : includeFolders_)
            candidates.push_back(fs::path(folder) / name);
        for (const fs::path& candidate : candidates)
            if (fs::is_regular_file(candidate)) return readFile(candidate, depth + 1);
        return fail(where, "cannot find include file " + name);
    }

    bool tokenize(const std::string& code, const std::string& where, std::vector<Token>& tokens) {
        std::size_t i = 0;
        while (i < code.size()) {
            unsigned char c = static_cast<unsigned char>(code[i]);
            if (std::isspace(c)) {
                ++i;
                continue;
            }
            Token token;
            token.where = where;
            if (std::isalpha(c) || c == '_') {
                std::size_t end = i;
                while (end < code.size() &&
                       (std::isalnum(static_cast<unsigned char>(code[end])) || code[end] == '_'))
                    ++end;
                token.kind = TokenKind::name;
                token.text = code.substr(i, end - i);
                i = end;
            } else if (std::isdigit(c)) {
                std::size_t used = 0;
                try {
                    token.number = static_cast<std::int64_t>(std::stoull(code.substr(i), &used, 0));
                } catch (...) {
                    return fail(where, "bad number");
                }
                i += used;
                while (i < code.size() &&
                       (code[i] == 'L' || code[i] == 'l' || code[i] == 'U' || code[i] == 'u'))
                    ++i;
                token.kind = TokenKind::number;
            } else if (c == '"') {
                token.kind = TokenKind::text;
                ++i;
                for (;;) {
                    if (i >= code.size()) return fail(where, "text without its closing quote");
                    if (code[i] == '"') {
                        if (i + 1 < code.size() && code[i + 1] == '"') { // "" stands for one quote
                            token.text.push_back('"');
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    if (code[i] == '\\' && i + 1 < code.size()) {
                        char escaped = code[i + 1];
                        token.text.push_back(escaped == 'n'   ? '\n'
                                             : escaped == 't' ? '\t'
                                                              : escaped);
                        i += 2;
                        continue;
                    }
                    token.text.push_back(code[i++]);
                }
            } else {
                token.kind = TokenKind::symbol;
                token.text = std::string(1, code[i++]);
            }
            tokens.push_back(std::move(token));
        }
        return true;
    }

    const std::vector<std::string>& includeFolders_;
    Preprocessed& result_;
    std::string& error_;
};

} // namespace

bool preprocess(const std::string& path, const std::vector<std::string>& includeFolders,
                Preprocessed& result, std::string& error) {
    Lexer lexer(includeFolders, result, error);
    return lexer.readFile(path, 0);
}

} // namespace rc
