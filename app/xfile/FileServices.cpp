#include "xfile/FileServices.h"

#include "xfile/XFileTemplates.h"

#include <cstring>

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
    root_->RegisterTemplates(const_cast<unsigned char*>(kStandardTemplates),
                             kStandardTemplatesSize);
    root_->RegisterTemplates(const_cast<char*>(kExtensionTemplates),
                             static_cast<DWORD>(std::strlen(kExtensionTemplates)));
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
