#include "cli/XFileCheck.h"

#include <dxfile.h>
#include <rmxftmpl.h>
#include <xextensions.h>

namespace cli {
namespace {

// The services library as the importer loads it, by its Windows name; one root object with the
// templates registered, released with the check.
class FileServices {
public:
    FileServices() {
        library_ = LoadLibraryA("d3dxof.dll");
        if (!library_) return;
        auto create =
            reinterpret_cast<LPDIRECTXFILECREATE>(GetProcAddress(library_, "DirectXFileCreate"));
        lastError_ = reinterpret_cast<LPDIRECTXFILEGETLASTERROR>(
            GetProcAddress(library_, "DirectXFileGetLastError"));
        if (!create || create(&root_) != DXFILE_OK) root_ = nullptr;
        if (!root_) return;
        root_->RegisterTemplates(const_cast<unsigned char*>(D3DRM_XTEMPLATES),
                                 D3DRM_XTEMPLATE_BYTES);
        root_->RegisterTemplates(const_cast<char*>(XEXTENSIONS_TEMPLATES),
                                 static_cast<DWORD>(sizeof XEXTENSIONS_TEMPLATES - 1));
    }
    ~FileServices() {
        if (root_) root_->Release();
        if (library_) FreeLibrary(library_);
    }
    FileServices(const FileServices&) = delete;
    FileServices& operator=(const FileServices&) = delete;

    IDirectXFile* root() const { return root_; }

    // The services' own line for the last failure, or `fallback` when they give none.
    std::string lastError(const std::string& fallback) const {
        DXFILEDIAGNOSTIC diagnostic{};
        if (lastError_ && lastError_(root_, &diagnostic) == DXFILE_OK && diagnostic.message &&
            *diagnostic.message)
            return diagnostic.message;
        return fallback;
    }

private:
    HMODULE library_ = nullptr;
    IDirectXFile* root_ = nullptr;
    LPDIRECTXFILEGETLASTERROR lastError_ = nullptr;
};

} // namespace

bool checkXFile(const std::string& path, std::string& diagnostic) {
    FileServices services;
    if (!services.root()) {
        diagnostic = "the DirectX file services (d3dxof.dll) cannot be loaded";
        return false;
    }
    IDirectXFileEnumObject* objects = nullptr;
    HRESULT status = services.root()->CreateEnumObject(const_cast<char*>(path.c_str()),
                                                       DXFILELOAD_FROMFILE, &objects);
    if (status != DXFILE_OK || !objects) {
        diagnostic = services.lastError(path + ": the file cannot be opened");
        return false;
    }
    // The services parse the file whole when it is opened; the objects read before an error
    // come out one by one, then the error.
    for (;;) {
        IDirectXFileData* object = nullptr;
        status = objects->GetNextDataObject(&object);
        if (status != DXFILE_OK) break;
        object->Release();
    }
    objects->Release();
    if (status == DXFILEERR_NOMOREOBJECTS) return true;
    diagnostic = services.lastError(path + ": the file cannot be read");
    return false;
}

} // namespace cli
