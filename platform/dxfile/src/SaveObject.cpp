// Saving: the body streams into a file beside the target as objects are saved (compressed
// bodies are built in memory and framed when the save object is released); the finished file is
// then renamed over the target. A save in which any call failed leaves the target as it was.
#include "Chunks.h"
#include "FileHeader.h"
#include "Guid.h"
#include "Objects.h"
#include "PackedLayout.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace dxfile {

bool writeAll(int fd, const void* data, std::size_t size) {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t written = ::write(fd, bytes, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

void BodyWriter::flush() {
    if (fd_ < 0 || body_.empty()) return;
    if (!streamFailed_ && !writeAll(fd_, body_.data(), body_.size())) streamFailed_ = true;
    streamed_ += body_.size();
    body_.clear();
}

void BodyWriter::writeThrough(const void* data, std::size_t size) {
    flush();
    if (!streamFailed_ && !writeAll(fd_, data, size)) streamFailed_ = true;
    streamed_ += size;
}

void BodyWriter::patch(std::size_t at, std::uint32_t value) {
    if (at >= streamed_) {
        std::memcpy(body_.data() + (at - streamed_), &value, 4);
        return;
    }
    auto offset = static_cast<off_t>(fileOffset_ + at);
    if (!streamFailed_ && ::pwrite(fd_, &value, 4, offset) != 4) streamFailed_ = true;
}

namespace {

// Copies the strings a caller's packed data points at, and points the copy's slots at them.
// Recursion follows the template's nesting, which registration bounds.
bool adoptStrings(const Template& t, PackedBytes& packed, std::size_t& at,
                  std::vector<std::pair<std::size_t, const char*>>& slots) {
    std::uint32_t values[64] = {};
    std::vector<std::uint32_t> many;
    std::uint32_t* counts = values;
    if (t.members.size() > 64) {
        many.resize(t.members.size());
        counts = many.data();
    }
    for (std::size_t i = 0; i < t.members.size(); ++i) {
        const Member& member = t.members[i];
        std::uint64_t count = 1;
        for (const Dimension& dim : member.dims)
            count *= dim.memberIndex >= 0 ? counts[dim.memberIndex] : dim.fixedCount;
        if (member.isTemplate) {
            const Template& nested = *member.nested;
            if (!nested.readsValues) continue;
            if (nested.shape != FlatShape::Mixed) {
                at += static_cast<std::size_t>(count * nested.flatCount * 4);
                continue;
            }
            for (std::uint64_t e = 0; e < count; ++e)
                if (!adoptStrings(nested, packed, at, slots)) return false;
            continue;
        }
        std::size_t size = packedSize(member.scalar);
        if (!member.isArray() && isIntegerType(member.scalar))
            counts[i] = readCount(member.scalar, ByteSpan(packed).subspan(at));
        if (member.scalar == ScalarType::String || member.scalar == ScalarType::Unicode ||
            member.scalar == ScalarType::Cstring) {
            for (std::uint64_t e = 0; e < count; ++e) {
                const char* text;
                std::memcpy(&text, packed.data() + at, sizeof text);
                slots.emplace_back(at, text);
                at += size;
            }
            continue;
        }
        at += static_cast<std::size_t>(count * size);
    }
    return true;
}

} // namespace

SaveObject::SaveObject(std::shared_ptr<TemplateRegistry> registry, DiagnosticSink diagnostics,
                       std::string target, std::string temporaryPath, int temporaryFd,
                       DXFILEFORMAT format)
    : registry_(std::move(registry)), diagnostics_(std::move(diagnostics)),
      target_(std::move(target)), temporaryPath_(std::move(temporaryPath)),
      temporaryFd_(temporaryFd), format_(format),
      writer_((format & DXFILEFORMAT_TEXT) ? makeTextWriter() : makeBinaryWriter()) {
    // A file streams its body behind the header; compressed ones are framed whole.
    if (!(format & DXFILEFORMAT_COMPRESSED)) {
        std::string header = headerFor(format_);
        if (writeAll(temporaryFd_, header.data(), header.size()))
            streaming_ = writer_->streamTo(temporaryFd_, header.size());
        else
            streamFailed_ = true;
    }
}

SaveObject::~SaveObject() {
    if (!failed_) {
        Diagnostic failure = commit();
        if (!failure.failed()) return;
        fail(std::move(failure));
    }
    if (temporaryFd_ >= 0) ::close(temporaryFd_);
    ::unlink(temporaryPath_.c_str());
}

Diagnostic SaveObject::commit() {
    std::string header = headerFor(format_);
    const std::string& body = writer_->body();
    bool written;
    if (format_ & DXFILEFORMAT_COMPRESSED) {
        std::vector<std::uint8_t> framed;
        Diagnostic failure = deflateChunks(
            ByteSpan(reinterpret_cast<const std::uint8_t*>(body.data()), body.size()), framed);
        if (failure.failed()) return failure;
        written = writeAll(temporaryFd_, header.data(), header.size()) &&
                  writeAll(temporaryFd_, framed.data(), framed.size());
    } else if (streaming_ || streamFailed_) {
        written = !streamFailed_ && writer_->finishStream();
    } else {
        written = writeAll(temporaryFd_, header.data(), header.size()) &&
                  writeAll(temporaryFd_, body.data(), body.size());
    }
    int closed = ::close(temporaryFd_);
    temporaryFd_ = -1;
    if (!written || closed != 0)
        return fault(DXFILEERR_BADFILE,
                     std::string("cannot write the file: ") + std::strerror(errno));
    if (std::rename(temporaryPath_.c_str(), target_.c_str()) != 0)
        return fault(DXFILEERR_BADFILE,
                     std::string("cannot replace the file: ") + std::strerror(errno));
    return {};
}

HRESULT SaveObject::fail(Diagnostic failure) {
    failed_ = true;
    HRESULT code = failure.code;
    failure.fileName = target_;
    diagnostics_->record(std::move(failure));
    return code;
}

HRESULT SaveObject::QueryInterface(REFIID iid, void** object) {
    return answerQuery<IDirectXFileSaveObject, Recognisable::No>(
        this, iid, IID_IDirectXFileSaveObject, object);
}

HRESULT SaveObject::SaveTemplates(DWORD count, const GUID** templateIds) {
    if (count > 0 && !templateIds)
        return fail(fault(DXFILEERR_BADVALUE, "SaveTemplates without identifiers"));
    for (DWORD i = 0; i < count; ++i) {
        if (!templateIds[i])
            return fail(fault(DXFILEERR_BADVALUE, "SaveTemplates with a null identifier"));
        std::shared_ptr<const Template> t = registry_->findById(*templateIds[i]);
        if (!t)
            return fail(fault(DXFILEERR_BADVALUE, "no registered template has the GUID " +
                                                      formatGuid(*templateIds[i], true)));
        bool written = false;
        for (const GUID& done : templatesWritten_)
            written = written || sameGuid(done, t->id);
        if (written) continue;
        writer_->writeTemplate(*t);
        templatesWritten_.push_back(t->id);
    }
    return DXFILE_OK;
}

HRESULT SaveObject::CreateDataObject(REFGUID templateId, LPCSTR name, const GUID* id, DWORD size,
                                     LPVOID data, LPDIRECTXFILEDATA* dataObject) {
    if (!dataObject)
        return fail(fault(DXFILEERR_BADVALUE, "CreateDataObject without an out pointer"));
    *dataObject = nullptr;
    std::shared_ptr<const Template> t = registry_->findById(templateId);
    if (!t)
        return fail(fault(DXFILEERR_BADVALUE,
                          "no registered template has the GUID " + formatGuid(templateId, true)));
    if (size > 0 && !data) return fail(fault(DXFILEERR_BADVALUE, "CreateDataObject without data"));
    auto node = std::make_shared<DataNode>();
    node->type = t;
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    if (size > 0) node->packed.assign(bytes, bytes + size);
    std::size_t measured = 0;
    if (!measureInstance(*t, ByteSpan(node->packed), measured))
        return fail(fault(DXFILEERR_BADARRAYSIZE, "the counts in the data for " + t->name +
                                                      " promise more than its " +
                                                      std::to_string(size) + " bytes"));
    if (measured != size)
        return fail(fault(DXFILEERR_BADVALUE,
                          "data for " + t->name + " is " + std::to_string(size) +
                              " bytes, its members pack to " + std::to_string(measured)));
    // STRING members point at the caller's text: keep copies instead.
    std::vector<std::pair<std::size_t, const char*>> slots;
    std::size_t at = 0;
    adoptStrings(*t, node->packed, at, slots);
    std::size_t total = 0;
    for (const auto& slot : slots)
        total += slot.second ? std::strlen(slot.second) + 1 : 0;
    node->strings.resize(total);
    char* arena = node->strings.data();
    for (const auto& slot : slots) {
        char* copy = nullptr;
        if (slot.second) {
            std::size_t length = std::strlen(slot.second) + 1;
            std::memcpy(arena, slot.second, length);
            copy = arena;
            arena += length;
        }
        std::memcpy(node->packed.data() + slot.first, &copy, sizeof copy);
    }
    if (name) {
        node->name = name;
        node->hasName = true;
    }
    if (id) {
        node->id = *id;
        node->hasId = true;
    }
    *dataObject = new DataObject(std::move(node), true);
    return DXFILE_OK;
}

HRESULT SaveObject::SaveData(LPDIRECTXFILEDATA dataObject) {
    DataObject* own = ownDataObject(dataObject);
    if (!own)
        return fail(fault(DXFILEERR_BADVALUE, "SaveData needs a data object of this library"));
    Diagnostic failure = writer_->writeObject(*own->node());
    if (failure.failed()) return fail(std::move(failure));
    return DXFILE_OK;
}

} // namespace dxfile
