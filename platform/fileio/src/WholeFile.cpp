#include "WholeFile.h"
#include "FileDescriptor.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace fileio {

namespace {

ReadResult failed(ReadStatus status, std::string reason) {
    return ReadResult{status, std::move(reason)};
}

template <typename Bytes> ReadResult readFailure(Bytes& bytes) {
    const int reason = errno;
    bytes.clear();
    return failed(ReadStatus::cannotRead,
                  std::string("cannot read the file: ") + std::strerror(reason));
}

// Pipes and devices say nothing of their size: they grow the buffer a step at a time.
constexpr std::size_t kReadStep = 64 * 1024;

template <typename Bytes>
ReadResult readBounded(const std::string& path, std::uint64_t limit, Bytes& bytes) {
    bytes.clear();
    // Without O_NONBLOCK, opening a named pipe waits for a writer; once open, reads wait as
    // usual and a pipe without a writer reads as empty.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0)
        return failed(ReadStatus::cannotOpen,
                      std::string("cannot open the file: ") + std::strerror(errno));
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0)
        return failed(ReadStatus::cannotOpen,
                      std::string("cannot open the file: ") + std::strerror(errno));
    if (S_ISDIR(info.st_mode)) return failed(ReadStatus::notAFile, "the file is a folder");
    const int flags = ::fcntl(fd.get(), F_GETFL);
    if (flags < 0 || ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0)
        return failed(ReadStatus::cannotRead,
                      std::string("cannot read the file: ") + std::strerror(errno));

    const bool isRegular = S_ISREG(info.st_mode);
    const auto knownSize = static_cast<std::uint64_t>(info.st_size);
    if (isRegular && knownSize > limit)
        return failed(ReadStatus::tooLarge, "the file holds " + std::to_string(knownSize) +
                                                " bytes, more than the " + std::to_string(limit) +
                                                " that can be read");
    // A regular file is read at its size in one buffer; pipes, devices and a file that grew
    // meanwhile are read in steps, one byte past the bound telling a file at the bound from one
    // that is larger.
    std::size_t done = 0;
    bytes.resize(isRegular ? static_cast<std::size_t>(knownSize) : 0);
    while (done < bytes.size()) {
        const ssize_t got = ::read(fd.get(), bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return readFailure(bytes);
        if (got == 0) break; // the file shrank while being read: keep what is there
        done += static_cast<std::size_t>(got);
    }
    if (done < bytes.size()) {
        bytes.resize(done);
        return {};
    }
    unsigned char step[kReadStep];
    while (bytes.size() <= limit) {
        const auto room = static_cast<std::size_t>(
            std::min<std::uint64_t>(limit - bytes.size(), kReadStep - 1) + 1);
        const ssize_t got = ::read(fd.get(), step, room);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return readFailure(bytes);
        if (got == 0) return {};
        bytes.insert(bytes.end(), step, step + got);
    }
    bytes.clear();
    return failed(ReadStatus::tooLarge, "the file holds more than the " + std::to_string(limit) +
                                            " bytes that can be read");
}

} // namespace

ReadResult readWholeFile(const std::string& path, std::uint64_t limit, std::string& bytes) {
    return readBounded(path, limit, bytes);
}

ReadResult readWholeFile(const std::string& path, std::uint64_t limit,
                         std::vector<std::uint8_t>& bytes) {
    return readBounded(path, limit, bytes);
}

std::string describe(const std::string& path, const ReadResult& result) {
    return path + ": " + result.reason;
}

} // namespace fileio
