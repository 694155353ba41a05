// Where the program speaks: results on standard output, one-line diagnostics on standard error,
// each prefixed with the program's name as Unix tools do ("lumaset: scene.gltf: ...").
#pragma once

#include <ostream>
#include <string_view>

namespace cli {

class Console {
public:
    // `errIsTerminal` says whether `err` is an interactive terminal (progress bars go there only).
    Console(std::ostream& out, std::ostream& err, bool errIsTerminal = false)
        : out_(out), err_(err), errIsTerminal_(errIsTerminal) {}

    std::ostream& out() { return out_; }
    std::ostream& err() { return err_; }
    bool errIsTerminal() const { return errIsTerminal_; }

    // "lumaset: <line>"
    void error(std::string_view line);
    // "lumaset: warning: <line>"
    void warning(std::string_view line);

private:
    std::ostream& out_;
    std::ostream& err_;
    bool errIsTerminal_;
};

} // namespace cli
