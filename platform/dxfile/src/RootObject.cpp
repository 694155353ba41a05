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

// Checks the header, inflates a compressed body and parses the rest. Returns the fault that
// ended reading, if any; objects completed before it stay in `objects`. `dataBegan` tells whether
// a data object had begun before the fault.
Diagnostic readFile(ByteSpan file, TemplateRegistry& registry, bool templatesOnly,
                    std::vector<std::shared_ptr<DataNode>>& objects, bool& dataBegan,
                    std::vector<GUID>* declared = nullptr) {
    dataBegan = false;
    FileHeader header;
    if (Diagnostic failure = readHeader(file, header); failure.failed()) return failure;
    ParseRequest request{
        file.subspan(kHeaderSize), kHeaderSize,   header.isText ? Encoding::Text : Encoding::Binary,
        header.floatBytes,         templatesOnly, declared};
    LargeBytes inflated;
    if (header.isCompressed) {
        if (Diagnostic failure = inflateChunks(file.subspan(kHeaderSize), inflated);
            failure.failed()) {
            failure.byteOffset += kHeaderSize;
            return failure;
        }
        // Offsets in the inflated data count as if it stood after the header.
        request.body = ByteSpan(inflated);
    }
    Diagnostic failure = parseBody(request, registry, objects, dataBegan);
    failure.isInflatedOffset = header.isCompressed;
    if (header.isCompressed) failure.line = failure.column = 0;
    return failure;
}

} // namespace

HRESULT RootObject::listDeclaredTemplates(ByteSpan file, std::vector<GUID>& ids) {
    std::vector<std::shared_ptr<DataNode>> objects;
    ids.clear();
    bool dataBegan = false;
    return readFile(file, *registry_, false, objects, dataBegan, &ids).code;
}

RootObject::RootObject()
    : registry_(std::make_shared<TemplateRegistry>()),
      diagnostics_(std::make_shared<DiagnosticSlot>()) {}

HRESULT RootObject::QueryInterface(REFIID iid, void** object) {
    return answerQuery<IDirectXFile, Recognisable::Yes>(this, iid, IID_IDirectXFile, object);
}

HRESULT RootObject::RegisterTemplates(LPVOID data, DWORD size) {
    if (!data) {
        diagnostics_->record(DXFILEERR_BADVALUE, "", "RegisterTemplates without data");
        return DXFILEERR_BADVALUE;
    }
    std::vector<std::shared_ptr<DataNode>> objects;
    bool dataBegan = false;
    Diagnostic failure = readFile(ByteSpan(static_cast<const std::uint8_t*>(data), size),
                                  *registry_, true, objects, dataBegan);
    if (failure.failed()) {
        HRESULT code = failure.code;
        diagnostics_->record(std::move(failure));
        return code;
    }
    return DXFILE_OK;
}

HRESULT RootObject::CreateEnumObject(LPVOID source, DXFILELOADOPTIONS options,
                                     LPDIRECTXFILEENUMOBJECT* enumObject) {
    if (!enumObject) return DXFILEERR_BADVALUE;
    *enumObject = nullptr;
    MappedFile mapped; // read in place; the objects keep copies of what they hold
    ByteSpan file;
    std::string fileName;
    switch (options & 0xF) { // only the low bits choose the source
    case DXFILELOAD_FROMFILE:
        if (!source) return DXFILEERR_BADVALUE;
        fileName = static_cast<const char*>(source);
        if (Diagnostic failure = mapped.open(fileName.c_str(), kMaxFileBytes); failure.failed()) {
            HRESULT code = failure.code;
            failure.fileName = fileName;
            diagnostics_->record(std::move(failure));
            return code;
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
    bool dataBegan = false;
    Diagnostic failure = readFile(file, *registry_, false, document->objects, dataBegan);
    failure.fileName = fileName;
    if (failure.failed() && !dataBegan) {
        HRESULT code = failure.code;
        diagnostics_->record(std::move(failure));
        return code;
    }
    if (failure.failed()) {
        document->endStatus = failure.code;
        document->endDiagnostic = std::move(failure);
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
                             std::string("cannot create a file beside it: ") +
                                 std::strerror(errno));
        return DXFILEERR_BADFILE;
    }
    ::fchmod(fd, 0644);
    *saveObject = new SaveObject(registry_, diagnostics_, fileName, temporary, fd, format);
    return DXFILE_OK;
}

} // namespace dxfile
