// One libFuzzer harness, built three times with a different default header: the input is a
// whole X file when it starts with "xof ", else the body after FUZZ_X_HEADER. Every object is
// walked the way callers walk them, and what reads must also save in binary and read back.
#include "BinaryLexer.h"
#include "DataTree.h"
#include "Objects.h"
#include "Writer.h"
#include "xfile/XFileTemplates.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void walk(IDirectXFileData* data, int depth) {
    const GUID* type = nullptr;
    DWORD size = 0;
    void* bytes = nullptr;
    data->GetType(&type);
    data->GetData(nullptr, &size, &bytes);
    volatile std::uint8_t sink = 0;
    for (DWORD i = 0; i < size; i += 64) sink = sink + static_cast<std::uint8_t*>(bytes)[i];
    DWORD length = 0;
    data->GetName(nullptr, &length);
    for (;;) {
        IDirectXFileObject* child = nullptr;
        if (data->GetNextObject(&child) != DXFILE_OK) break;
        void* probe = nullptr;
        if (child->QueryInterface(IID_IDirectXFileData, &probe) == DXFILE_OK) {
            walk(static_cast<IDirectXFileData*>(probe), depth + 1);
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

// Our own output must read back; when it does not, say why before stopping the run.
[[noreturn]] void failReread(IDirectXFile* root, const std::string& saved) {
    DXFILEDIAGNOSTIC diagnostic{};
    if (DirectXFileGetLastError(root, &diagnostic) == DXFILE_OK && diagnostic.message)
        std::fprintf(stderr, "saved binary does not read back: %s\n", diagnostic.message);
    std::fprintf(stderr, "saved binary is %zu bytes\n", saved.size());
    std::abort();
}

IDirectXFile* freshRoot() {
    IDirectXFile* root = nullptr;
    DirectXFileCreate(&root);
    root->RegisterTemplates(const_cast<unsigned char*>(kStandardTemplates), kStandardTemplatesSize);
    root->RegisterTemplates(const_cast<char*>(kExtensionTemplates), static_cast<DWORD>(std::strlen(kExtensionTemplates)));
    return root;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string file;
    if (size >= 4 && std::memcmp(data, "xof ", 4) == 0) file.assign(reinterpret_cast<const char*>(data), size);
    else file = std::string(FUZZ_X_HEADER) + std::string(reinterpret_cast<const char*>(data), size);

    IDirectXFile* root = freshRoot();
    DXFILELOADMEMORY memory{file.data(), static_cast<DWORD>(file.size())};
    IDirectXFileEnumObject* enumObject = nullptr;
    std::vector<std::shared_ptr<dxfile::DataNode>> objects;
    if (root->CreateEnumObject(&memory, DXFILELOAD_FROMMEMORY, &enumObject) == DXFILE_OK) {
        for (;;) {
            IDirectXFileData* object = nullptr;
            if (enumObject->GetNextDataObject(&object) != DXFILE_OK) break;
            walk(object, 0);
            objects.push_back(dxfile::ownDataObject(object)->node());
            object->Release();
        }
        enumObject->Release();
    }
    // What was read saves in binary (references without a name excepted) and reads back.
    std::unique_ptr<dxfile::BodyWriter> writer = dxfile::makeBinaryWriter();
    std::string reason;
    std::size_t saved = 0;
    for (const auto& object : objects)
        if (writer->writeObject(*object, reason)) ++saved;
    if (saved > 0) {
        std::string again = "xof 0303bin 0032" + writer->body();
        // The same root: it holds the templates the input declared.
        IDirectXFile* reader = root;
        DXFILELOADMEMORY savedMemory{again.data(), static_cast<DWORD>(again.size())};
        IDirectXFileEnumObject* reread = nullptr;
        if (reader->CreateEnumObject(&savedMemory, DXFILELOAD_FROMMEMORY, &reread) != DXFILE_OK)
            failReread(reader, again);
        std::size_t count = 0;
        for (;;) {
            IDirectXFileData* object = nullptr;
            HRESULT status = reread->GetNextDataObject(&object);
            if (status == DXFILEERR_NOMOREOBJECTS) break;
            if (status != DXFILE_OK) failReread(reader, again);
            ++count;
            object->Release();
        }
        if (count != saved) {
            std::fprintf(stderr, "saved %zu objects, read back %zu\n", saved, count);
            std::abort();
        }
        reread->Release();
    }
    root->Release();
    return 0;
}
