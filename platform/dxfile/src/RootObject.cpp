// The root object: template registration, opening files for enumeration, starting saves.
#include "Chunks.h"
#include "FileBytes.h"
#include "FileHeader.h"
#include "Grammar.h"
#include "Objects.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace dxfile {

namespace {

// Checks the header, inflates a compressed body and parses the rest. On failure the returned
// result carries the code and the diagnostic; objects completed before a failure stay in
// `objects`.
ParseResult readFile(ByteSpan file, TemplateRegistry& registry, bool templatesOnly,
                     std::vector<std::shared_ptr<DataNode>>& objects,
                     std::vector<GUID>* declared = nullptr) {
    ParseResult result;
    FileHeader header;
    std::string reason;
    HRESULT status = readHeader(file, header, reason);
    if (status != DXFILE_OK) {
        result.status = status;
        result.failedBeforeObjects = true;
        result.diagnostic.code = status;
        result.diagnostic.reason = reason;
        return result;
    }
    ParseRequest request{file.subspan(kHeaderSize), kHeaderSize,
                         header.isText ? Encoding::Text : Encoding::Binary, header.floatBytes,
                         templatesOnly, declared};
    LargeBytes inflated;
    if (header.isCompressed) {
        std::size_t faultOffset = 0;
        if (!inflateChunks(file.subspan(kHeaderSize), inflated, reason, faultOffset)) {
            result.status = DXFILEERR_PARSEERROR;
            result.failedBeforeObjects = true;
            result.diagnostic.code = DXFILEERR_PARSEERROR;
            result.diagnostic.byteOffset = kHeaderSize + faultOffset;
            result.diagnostic.hasOffset = true;
            result.diagnostic.reason = reason;
            return result;
        }
        // Offsets in the inflated data count as if it stood after the header.
        request.body = ByteSpan(inflated);
    }
    result = parseBody(request, registry, objects);
    result.diagnostic.isInflatedOffset = header.isCompressed;
    if (header.isCompressed) result.diagnostic.line = result.diagnostic.column = 0;
    return result;
}

} // namespace

HRESULT RootObject::listDeclaredTemplates(ByteSpan file, std::vector<GUID>& ids) {
    std::vector<std::shared_ptr<DataNode>> objects;
    ids.clear();
    return readFile(file, *registry_, false, objects, &ids).status;
}

RootObject::RootObject()
    : registry_(std::make_shared<TemplateRegistry>()),
      diagnostics_(std::make_shared<DiagnosticSlot>()) {}

HRESULT RootObject::QueryInterface(REFIID iid, void** object) {
    if (!object) return DXFILEERR_BADVALUE;
    if (IsEqualGUID(iid, kSelfIid)) {
        *object = this;
        return DXFILE_OK;
    }
    if (IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, IID_IDirectXFile)) {
        AddRef();
        *object = static_cast<IDirectXFile*>(this);
        return DXFILE_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT RootObject::RegisterTemplates(LPVOID data, DWORD size) {
    if (!data) {
        diagnostics_->record(DXFILEERR_BADVALUE, "", "RegisterTemplates without data");
        return DXFILEERR_BADVALUE;
    }
    std::vector<std::shared_ptr<DataNode>> objects;
    ParseResult result = readFile(ByteSpan(static_cast<const std::uint8_t*>(data), size),
                                  *registry_, true, objects);
    if (result.status != DXFILE_OK) {
        diagnostics_->record(std::move(result.diagnostic));
        return result.status;
    }
    return DXFILE_OK;
}

HRESULT RootObject::CreateEnumObject(LPVOID source, DXFILELOADOPTIONS options,
                                     LPDIRECTXFILEENUMOBJECT* enumObject) {
    if (!enumObject) return DXFILEERR_BADVALUE;
    *enumObject = nullptr;
    MappedFile mapped;  // read in place; the objects keep copies of what they hold
    ByteSpan file;
    std::string fileName;
    switch (options & 0xF) {  // only the low bits choose the source
    case DXFILELOAD_FROMFILE:
        if (!source) return DXFILEERR_BADVALUE;
        fileName = static_cast<const char*>(source);
        if (std::string reason; !mapped.open(fileName.c_str(), kMaxFileBytes, reason)) {
            diagnostics_->record(DXFILEERR_FILENOTFOUND, fileName, reason);
            return DXFILEERR_FILENOTFOUND;
        }
        file = mapped.bytes();
        break;
    case DXFILELOAD_FROMMEMORY: {
        const auto* memory = static_cast<const DXFILELOADMEMORY*>(source);
        if (!memory || (!memory->lpMemory && memory->dSize > 0)) return DXFILEERR_BADVALUE;
        // Everything is read before this call returns, so the caller's bytes need no copy.
        file = ByteSpan(static_cast<const std::uint8_t*>(memory->lpMemory), memory->dSize);
        break;
    }
    default:
        diagnostics_->record(DXFILEERR_NOTDONEYET, "", "only files and memory can be read");
        return DXFILEERR_NOTDONEYET;
    }
    auto document = std::make_shared<Document>();
    ParseResult result = readFile(file, *registry_, false, document->objects);
    result.diagnostic.fileName = fileName;
    if (result.status != DXFILE_OK && result.failedBeforeObjects && document->objects.empty()) {
        diagnostics_->record(std::move(result.diagnostic));
        return result.status;
    }
    if (result.status != DXFILE_OK) {
        document->endStatus = result.status;
        document->endDiagnostic = std::move(result.diagnostic);
    }
    resolveReferences(document->objects);
    *enumObject = new EnumObject(std::move(document), diagnostics_);
    return DXFILE_OK;
}

HRESULT RootObject::CreateSaveObject(LPCSTR fileName, DXFILEFORMAT format,
                                     LPDIRECTXFILESAVEOBJECT* saveObject) {
    if (!saveObject) return DXFILEERR_BADVALUE;
    *saveObject = nullptr;
    if (!fileName || format > (DXFILEFORMAT_TEXT | DXFILEFORMAT_COMPRESSED)) {
        diagnostics_->record(DXFILEERR_BADVALUE, fileName ? fileName : "", "bad save arguments");
        return DXFILEERR_BADVALUE;
    }
    // The file is written beside the target and renamed over it once the save is complete.
    std::string temporary = std::string(fileName) + ".XXXXXX";
    int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        diagnostics_->record(DXFILEERR_BADFILE, fileName,
                             std::string("cannot create a file beside it: ") + std::strerror(errno));
        return DXFILEERR_BADFILE;
    }
    ::fchmod(fd, 0644);
    *saveObject = new SaveObject(registry_, diagnostics_, fileName, temporary, fd, format);
    return DXFILE_OK;
}

} // namespace dxfile
