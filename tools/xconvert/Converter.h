// Re-encodes an X file: every top-level object with its whole subtree (data, names, GUIDs,
// references), and the templates the file declares, saved through a save object.
#pragma once

#include <dxfile.h>

#include <string>

// Reads `inPath` through `root` (which holds the templates the input may use) and saves it to
// `outPath` in `format`. The output is replaced only when everything succeeded. On failure
// returns the DXFILEERR_* code and says why in `reason`.
HRESULT convertXFile(IDirectXFile* root, const std::string& inPath, const std::string& outPath,
                     DXFILEFORMAT format, std::string& reason);
