#include "cli/XFileCheck.h"

#include "xfile/FileServices.h"

#include <dxfile.h>

namespace cli {
namespace {

// The services' own line for the last failure, or `fallback` when they give none.
std::string lastError(const xfile::FileServices& services, const std::string& fallback) {
    const DXFILEDIAGNOSTIC diagnostic = services.lastDiagnostic();
    if (diagnostic.message && *diagnostic.message) return diagnostic.message;
    return fallback;
}

} // namespace

bool checkXFile(const std::string& path, std::string& diagnostic) {
    xfile::FileServices services;
    if (!services.root()) {
        diagnostic = "the DirectX file services (d3dxof.dll) cannot be loaded";
        return false;
    }
    IDirectXFileEnumObject* objects = nullptr;
    HRESULT status = services.root()->CreateEnumObject(const_cast<char*>(path.c_str()),
                                                       DXFILELOAD_FROMFILE, &objects);
    if (status != DXFILE_OK || !objects) {
        diagnostic = lastError(services, path + ": the file cannot be opened");
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
    diagnostic = lastError(services, path + ": the file cannot be read");
    return false;
}

} // namespace cli
