// The DirectX file services as the plug-in loads them, by their Windows name, with one root object
// of the program's own that has the standard and extension templates registered, as the
// plug-in's has. Released, and the library freed, with the object.
#pragma once

#include <ComRef.h>
#include <dxfile.h>
#include <windows.h>

namespace xfile {

class FileServices {
public:
    FileServices();
    ~FileServices();
    FileServices(const FileServices&) = delete;
    FileServices& operator=(const FileServices&) = delete;

    // Null when the library or its root object could not be had.
    IDirectXFile* root() const { return root_.get(); }

    // The services' account of the last failure through the root object; its code is DXFILE_OK
    // when they have none.
    DXFILEDIAGNOSTIC lastDiagnostic() const;

private:
    HMODULE library_ = nullptr;
    ComRef<IDirectXFile> root_;
    LPDIRECTXFILEGETLASTERROR getLastError_ = nullptr;
};

} // namespace xfile
