#include "settings/Options.h"

int xFileFormatOf(std::int32_t formatIndex) {
    switch (formatIndex) {
    case 1:
        return 0; // binary
    case 2:
        return 2; // compressed
    default:
        return 1; // text
    }
}
