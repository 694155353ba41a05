// The DirectX file services, loaded once for the whole life of the plug-in library: the
// library "d3dxof.dll", its root IDirectXFile object, and the standard and extension template
// sets registered on it. The X file writer and reader use the root object; when the services
// could not be set up they fail quietly.
#pragma once

#include <ComRef.h>
#include <dxfile.h>
#include <windows.h>

class XFileServices {
public:
    // Loads `libraryName` by the module search path, creates the root object and registers the
    // standard and the extension template sets. Any failure leaves the services unavailable
    // (rootFile() null); nothing is reported.
    explicit XFileServices(LPCSTR libraryName = "d3dxof.dll");
    // Releases the root object, then frees the library.
    virtual ~XFileServices();

    XFileServices(const XFileServices&) = delete;
    XFileServices& operator=(const XFileServices&) = delete;

    // The root object, or null when the services are unavailable. Owned by the services.
    IDirectXFile* rootFile() const { return root_.get(); }
    bool isAvailable() const { return static_cast<bool>(root_); }
    HMODULE library() const { return library_; }

private:
    HMODULE library_ = nullptr;
    ComRef<IDirectXFile> root_;
};

// The process-wide services, set up during the plug-in library's static initialisation.
XFileServices& xfileServices();
