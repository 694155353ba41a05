#include "xfile/FileServices.h"

#include <rmxftmpl.h>
#include <xextensions.h>

namespace xfile {

FileServices::FileServices() {
    library_ = LoadLibraryA("d3dxof.dll");
    if (!library_) return;
    auto create =
        reinterpret_cast<LPDIRECTXFILECREATE>(GetProcAddress(library_, "DirectXFileCreate"));
    getLastError_ = reinterpret_cast<LPDIRECTXFILEGETLASTERROR>(
        GetProcAddress(library_, "DirectXFileGetLastError"));
    if (!create || create(root_.receive()) != DXFILE_OK || !root_) {
        root_.reset();
        return;
    }
    // The template sets of the services' own headers, which the plug-in registers as well.
    root_->RegisterTemplates(const_cast<unsigned char*>(D3DRM_XTEMPLATES), D3DRM_XTEMPLATE_BYTES);
    root_->RegisterTemplates(const_cast<char*>(XEXTENSIONS_TEMPLATES),
                             static_cast<DWORD>(sizeof XEXTENSIONS_TEMPLATES - 1));
}

FileServices::~FileServices() {
    root_.reset();
    if (library_) FreeLibrary(library_);
}

DXFILEDIAGNOSTIC FileServices::lastDiagnostic() const {
    DXFILEDIAGNOSTIC diagnostic{};
    if (!root_ || !getLastError_ || getLastError_(root_.get(), &diagnostic) != DXFILE_OK)
        return DXFILEDIAGNOSTIC{};
    return diagnostic;
}

} // namespace xfile
