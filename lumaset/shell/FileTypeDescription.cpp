#include "shell/FileTypeDescription.h"

namespace {
const char* const kAuthorName = "Lumaset developers";
const char* const kRightsMessage = "Copyright (c) 2026 the Lumaset developers";
} // namespace

FileTypeDescription xFileTypeDescription(const char* longDescription) {
    return FileTypeDescription{1,  "x", longDescription, "X-FILE", kAuthorName, kRightsMessage, "",
                               "", 100};
}
