#include "XFileCheck.h"

#include "DataTree.h"
#include "Objects.h"
#include "Writer.h"

#include <cstring>
#include <memory>
#include <vector>

namespace {

void walk(IDirectXFileData* data) {
    const GUID* type = nullptr;
    DWORD size = 0;
    void* bytes = nullptr;
    data->GetType(&type);
    data->GetData(nullptr, &size, &bytes);
    volatile std::uint8_t sink = 0;
    for (DWORD i = 0; i < size; i += 64)
        sink = sink + static_cast<std::uint8_t*>(bytes)[i];
    DWORD length = 0;
    data->GetName(nullptr, &length);
    for (;;) {
        IDirectXFileObject* child = nullptr;
        if (data->GetNextObject(&child) != DXFILE_OK) break;
        void* probe = nullptr;
        if (child->QueryInterface(IID_IDirectXFileData, &probe) == DXFILE_OK) {
            walk(static_cast<IDirectXFileData*>(probe));
            static_cast<IDirectXFileData*>(probe)->Release();
        } else if (child->QueryInterface(IID_IDirectXFileDataReference, &probe) == DXFILE_OK) {
            auto* reference = static_cast<IDirectXFileDataReference*>(probe);
            IDirectXFileData* target = nullptr;
            if (reference->Resolve(&target) == DXFILE_OK) {
                target->GetData(nullptr, &size, &bytes);
                target->Release();
            }
            reference->Release();
        }
        child->Release();
    }
}

std::string rereadFailure(IDirectXFile* root, std::size_t savedBytes) {
    std::string text =
        "saved binary of " + std::to_string(savedBytes) + " bytes does not read back";
    DXFILEDIAGNOSTIC diagnostic{};
    if (DirectXFileGetLastError(root, &diagnostic) == DXFILE_OK && diagnostic.message)
        text += std::string(": ") + diagnostic.message;
    return text;
}

// Reads `bytes` from memory: a buffer of exactly their length, so a read past the end is seen.
HRESULT openExact(IDirectXFile* root, const std::uint8_t* bytes, std::size_t size,
                  IDirectXFileEnumObject** enumObject) {
    DXFILELOADMEMORY memory{const_cast<std::uint8_t*>(bytes), static_cast<DWORD>(size)};
    return root->CreateEnumObject(&memory, DXFILELOAD_FROMMEMORY, enumObject);
}

} // namespace

std::string checkXFile(IDirectXFile* root, const std::uint8_t* data, std::size_t size,
                       const char* defaultHeader) {
    std::unique_ptr<std::uint8_t[]> framed;
    if (size < 4 || std::memcmp(data, "xof ", 4) != 0) {
        std::size_t headerSize = std::strlen(defaultHeader);
        framed = std::make_unique<std::uint8_t[]>(headerSize + size);
        std::memcpy(framed.get(), defaultHeader, headerSize);
        if (size > 0) std::memcpy(framed.get() + headerSize, data, size);
        data = framed.get();
        size += headerSize;
    }
    IDirectXFileEnumObject* enumObject = nullptr;
    std::vector<std::shared_ptr<dxfile::DataNode>> objects;
    if (openExact(root, data, size, &enumObject) == DXFILE_OK) {
        for (;;) {
            IDirectXFileData* object = nullptr;
            if (enumObject->GetNextDataObject(&object) != DXFILE_OK) break;
            walk(object);
            objects.push_back(dxfile::ownDataObject(object)->node());
            object->Release();
        }
        enumObject->Release();
    }
    // What was read saves in binary (references without a name excepted) and reads back, on
    // the same root: it holds the templates the input declared.
    std::unique_ptr<dxfile::BodyWriter> writer = dxfile::makeBinaryWriter();
    std::size_t saved = 0;
    for (const auto& object : objects)
        if (!writer->writeObject(*object).failed()) ++saved;
    if (saved == 0) return "";
    std::string body = writer->body();
    std::size_t againSize = 16 + body.size();
    auto again = std::make_unique<std::uint8_t[]>(againSize);
    std::memcpy(again.get(), "xof 0303bin 0032", 16);
    std::memcpy(again.get() + 16, body.data(), body.size());
    IDirectXFileEnumObject* reread = nullptr;
    if (openExact(root, again.get(), againSize, &reread) != DXFILE_OK)
        return rereadFailure(root, againSize);
    std::size_t count = 0;
    std::string failure;
    for (;;) {
        IDirectXFileData* object = nullptr;
        HRESULT status = reread->GetNextDataObject(&object);
        if (status == DXFILEERR_NOMOREOBJECTS) break;
        if (status != DXFILE_OK) {
            failure = rereadFailure(root, againSize);
            break;
        }
        ++count;
        object->Release();
    }
    reread->Release();
    if (failure.empty() && count != saved)
        failure = "saved " + std::to_string(saved) + " objects, read back " + std::to_string(count);
    return failure;
}
