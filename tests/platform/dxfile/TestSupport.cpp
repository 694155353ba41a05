#include "TestSupport.h"

#include "DumpPrinter.h"

#include <random>

ComRef<IDirectXFile> makeRoot() {
    ComRef<IDirectXFile> root;
    EXPECT_EQ(DirectXFileCreate(root.receive()), DXFILE_OK);
    registerDumpTemplates(root.get());
    return root;
}

HRESULT openMemory(IDirectXFile* root, std::string_view bytes, ComRef<IDirectXFileEnumObject>& out) {
    DXFILELOADMEMORY memory{const_cast<char*>(bytes.data()), static_cast<DWORD>(bytes.size())};
    return root->CreateEnumObject(&memory, DXFILELOAD_FROMMEMORY, out.receive());
}

HRESULT enumerateAll(IDirectXFile* root, std::string_view bytes, int* objectCount) {
    ComRef<IDirectXFileEnumObject> enumObject;
    HRESULT status = openMemory(root, bytes, enumObject);
    if (status != DXFILE_OK) return status;
    int count = 0;
    for (;;) {
        ComRef<IDirectXFileData> data;
        status = enumObject->GetNextDataObject(data.receive());
        if (status != DXFILE_OK) break;
        ++count;
    }
    if (objectCount) *objectCount = count;
    return status == DXFILEERR_NOMOREOBJECTS ? DXFILE_OK : status;
}

HRESULT firstObject(IDirectXFile* root, const std::string& body, ComRef<IDirectXFileData>& out) {
    std::string file = "xof 0303txt 0032\n" + body;
    ComRef<IDirectXFileEnumObject> enumObject;
    HRESULT status = openMemory(root, file, enumObject);
    if (status != DXFILE_OK) return status;
    return enumObject->GetNextDataObject(out.receive());
}

ScratchFolder::ScratchFolder() {
    std::random_device random;
    folder_ = std::filesystem::temp_directory_path() /
              ("dxfile-test-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(folder_);
}

ScratchFolder::~ScratchFolder() {
    std::error_code error;
    std::filesystem::remove_all(folder_, error);
}
