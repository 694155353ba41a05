// The library's exported functions.
#include "Objects.h"

#include <new>

using namespace dxfile;

extern "C" __attribute__((visibility("default"))) HRESULT WINAPI
DirectXFileCreate(LPDIRECTXFILE* directXFile) {
    if (!directXFile) return DXFILEERR_BADVALUE;
    *directXFile = new (std::nothrow) RootObject();
    return *directXFile ? DXFILE_OK : DXFILEERR_BADALLOC;
}

extern "C" __attribute__((visibility("default"))) HRESULT WINAPI
DirectXFileGetLastError(LPDIRECTXFILE directXFile, DXFILEDIAGNOSTIC* diagnostic) {
    if (!directXFile || !diagnostic) return DXFILEERR_BADVALUE;
    void* self = nullptr;
    if (directXFile->QueryInterface(kSelfIid, &self) != DXFILE_OK) return DXFILEERR_BADVALUE;
    const Diagnostic& last = static_cast<RootObject*>(self)->lastError();
    diagnostic->code = last.code;
    diagnostic->fileName = last.fileName.c_str();
    diagnostic->line = last.line;
    diagnostic->column = last.column;
    diagnostic->byteOffset = last.byteOffset;
    diagnostic->isInflatedOffset = last.isInflatedOffset ? TRUE : FALSE;
    diagnostic->objectPath = last.objectPath.c_str();
    diagnostic->reason = last.reason.c_str();
    diagnostic->message = last.message.c_str();
    return DXFILE_OK;
}
