// Whole files read into memory, bounded by a size the caller names. Regular files, pipes and
// devices read alike: a pipe is read to its end without waiting for a writer that never comes,
// and nothing is ever held beyond the bound.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fileio {

enum class ReadStatus {
    ok,
    cannotOpen, // the system refused to open it (missing, no permission, ...)
    notAFile,   // a folder
    tooLarge,   // more than the caller's bound
    cannotRead, // the system reported an error while reading
};

struct ReadResult {
    ReadStatus status = ReadStatus::ok;
    // One line without the file's name, the system's reason included; empty when ok.
    std::string reason;

    bool ok() const { return status == ReadStatus::ok; }
};

// Reads all of `path` into `bytes`, replacing what it held. Untrusted input: at most `limit`
// bytes are ever held, and a file that holds more fails as tooLarge. A file that shrinks while
// being read gives what was there. On failure `bytes` is left empty.
[[nodiscard]] ReadResult readWholeFile(const std::string& path, std::uint64_t limit,
                                       std::string& bytes);
[[nodiscard]] ReadResult readWholeFile(const std::string& path, std::uint64_t limit,
                                       std::vector<std::uint8_t>& bytes);

// "path: reason", the one line a program shows for a failed read.
std::string describe(const std::string& path, const ReadResult& result);

} // namespace fileio
