// The canonical dump of an X file: everything an enumeration through the DirectX file
// services interfaces returns, one line per object, reference and binary child, so that dumps
// from two implementations compare with diff.
#pragma once

#include <dxfile.h>

#include <string>

// Enumerates `source` (loaded with `options`, as CreateEnumObject takes them) through `file`
// and returns the dump. `status` receives DXFILE_OK when the enumeration ended normally, else
// the failing code (which the dump also shows).
std::string dumpXFile(IDirectXFile* file, void* source, DXFILELOADOPTIONS options, HRESULT& status);

// Registers the standard and the extension template sets, as the dump's definition demands.
void registerDumpTemplates(IDirectXFile* file);
