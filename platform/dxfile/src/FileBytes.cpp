#include "FileBytes.h"

#include "FileDescriptor.h"
#include "WholeFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace dxfile {

namespace {

// Opens `path` and checks it is a regular file of at most `limit` bytes; -1 with the fault.
int openBounded(const char* path, std::uint64_t limit, std::uint64_t& size, Diagnostic& failure) {
    int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        failure = fault(DXFILEERR_FILENOTFOUND,
                        std::string("cannot open the file: ") + std::strerror(errno));
        return -1;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        failure = fault(DXFILEERR_FILENOTFOUND, "not a regular file");
        ::close(fd);
        return -1;
    }
    size = static_cast<std::uint64_t>(info.st_size);
    if (size > limit) {
        failure = fault(DXFILEERR_FILENOTFOUND, "the file holds " + std::to_string(size) +
                                                    " bytes, more than the " +
                                                    std::to_string(limit) + " that can be read");
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

MappedFile::MappedFile(MappedFile&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)),
      mapped_(std::exchange(other.mapped_, false)) {}

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept {
    if (this != &other) {
        close();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        mapped_ = std::exchange(other.mapped_, false);
    }
    return *this;
}

MappedFile::~MappedFile() {
    close();
}

void MappedFile::close() noexcept {
    if (mapped_) ::munmap(const_cast<std::uint8_t*>(data_), size_);
    data_ = nullptr;
    size_ = 0;
    mapped_ = false;
}

Diagnostic MappedFile::open(const char* path, std::uint64_t limit) {
    close();
    std::uint64_t size = 0;
    Diagnostic failure;
    fileio::FileDescriptor fd(openBounded(path, limit, size, failure));
    if (fd.get() < 0) return failure;
    if (size == 0) return {}; // nothing to map; an empty span
    // All pages at once: the file is read from end to end right away, and one call is far
    // cheaper than a fault per stretch of pages.
    void* data = ::mmap(nullptr, static_cast<std::size_t>(size), PROT_READ,
                        MAP_PRIVATE | MAP_POPULATE, fd.get(), 0);
    if (data == MAP_FAILED)
        return fault(DXFILEERR_FILENOTFOUND,
                     std::string("cannot map the file: ") + std::strerror(errno));
    data_ = static_cast<const std::uint8_t*>(data);
    size_ = static_cast<std::size_t>(size);
    mapped_ = true;
    return {};
}

Diagnostic readWholeFile(const std::string& path, std::uint64_t limit,
                         std::vector<std::uint8_t>& bytes) {
    const fileio::ReadResult result = fileio::readWholeFile(path, limit, bytes);
    switch (result.status) {
    case fileio::ReadStatus::ok:
        return {};
    case fileio::ReadStatus::notAFile:
        return fault(DXFILEERR_FILENOTFOUND, "not a regular file");
    case fileio::ReadStatus::cannotRead:
        return fault(DXFILEERR_BADFILE, result.reason);
    case fileio::ReadStatus::cannotOpen:
    case fileio::ReadStatus::tooLarge:
        break;
    }
    return fault(DXFILEERR_FILENOTFOUND, result.reason);
}

} // namespace dxfile
