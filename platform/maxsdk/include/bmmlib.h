// Bitmap file helpers: naming an image file and finding it on the host's map paths.
#pragma once

#include <string>

#include "maxtypes.h"

class BitmapInfo {
public:
    BitmapInfo() = default;
    explicit BitmapInfo(const TCHAR* n) : name(n ? n : "") {}
    const TCHAR* Name() const { return name.c_str(); }
    const TCHAR* SetName(const TCHAR* n) {
        name = n ? n : "";
        return name.c_str();
    }

private:
    std::string name;
};

// Names are Windows names: '\' separates folders as '/' does, and a file is found whatever the
// letter case of its name.

// TRUE when a file of that name exists (no search).
BOOL BMMIsFile(const TCHAR* filename);
// Finds bi->Name(): as given, then its file name in the scene's folder and its subfolders
// (nearest first), then in the map paths. On success the name becomes the absolute path found
// and the result is TRUE; otherwise the name is unchanged and the result FALSE.
int BMMGetFullFilename(BitmapInfo* bi);
