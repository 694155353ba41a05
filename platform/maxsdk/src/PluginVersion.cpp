#include "plugapi.h"

ULONG Get3DSMAXVersion() {
    return MAX_VERSION_WORD(MAX_RELEASE_R7, MAX_API_NUM_R70, MAX_SDK_REV);
}

bool IsPluginVersionCompatible(ULONG libraryVersion) {
    ULONG apiNumber = GET_MAX_API_NUM(libraryVersion);
    return apiNumber >= MAX_API_NUM_R60 && apiNumber <= MAX_API_NUM_R70;
}
