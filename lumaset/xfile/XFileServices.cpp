#include "xfile/XFileServices.h"

#include "xfile/XFileTemplates.h"

#include <cstring>

XFileServices::XFileServices(LPCSTR libraryName) {
    library_ = LoadLibraryA(libraryName);
    if (!library_) return;
    // The library stays loaded until termination even when it turns out unusable.
    auto create =
        reinterpret_cast<LPDIRECTXFILECREATE>(GetProcAddress(library_, "DirectXFileCreate"));
    if (!create) return;
    if (create(root_.receive()) != DXFILE_OK || !root_) {
        root_.reset();
        return;
    }
    // Results are not checked: a file that needs a missing template fails when it is read.
    root_->RegisterTemplates(const_cast<unsigned char*>(kStandardTemplates),
                             kStandardTemplatesSize);
    root_->RegisterTemplates(const_cast<char*>(kExtensionTemplates),
                             static_cast<DWORD>(std::strlen(kExtensionTemplates)));
}

XFileServices::~XFileServices() {
    root_.reset();
    if (library_) FreeLibrary(library_);
    library_ = nullptr;
}

namespace {
// Constructed with the plug-in library's other statics; its destructor runs at the library's
// static termination.
XFileServices theServices;
} // namespace

XFileServices& xfileServices() {
    return theServices;
}
