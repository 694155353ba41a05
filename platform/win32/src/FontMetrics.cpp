// Text measurement in the dialog font. There are no glyphs here, so the advance widths are a
// table: those of an 8 point sans-serif dialog font at 96 dots per inch, in whole pixels.
#include "WindowSystem.h"

namespace win32 {
namespace {

// Advance widths for the printable ASCII characters 0x20 to 0x7E.
constexpr unsigned char kAdvance[95] = {
    3,  3, 4, 7, 6, 10, 7, 2,  4, 4, 6, 7, 3, 4, 3, 4, // space ! " # $ % & ' ( ) * + , - . /
    6,  6, 6, 6, 6, 6,  6, 6,  6, 6, 4, 4, 7, 7, 7, 5, // 0-9 : ; < = > ?
    10, 6, 6, 6, 7, 6,  5, 7,  7, 4, 4, 6, 5, 8, 7, 7, // @ A-O
    6,  7, 7, 6, 6, 7,  6, 10, 6, 6, 6, 4, 4, 4, 7, 6, // P-Z [ \ ] ^ _
    4,  5, 6, 5, 6, 5,  3, 6,  6, 2, 3, 5, 2, 8, 6, 6, // ` a-o
    6,  6, 4, 5, 4, 6,  5, 8,  5, 5, 5, 5, 4, 5, 7,    // p-z { | } ~
};
constexpr int kOtherAdvance = 6; // characters outside ASCII

struct Font {
    const char* face;
    int pointSize;
};
const Font kDialogFont{"MS Shell Dlg", 8};

} // namespace

int textWidthPixels(const std::string& text) {
    int width = 0;
    for (char character : text) {
        auto byte = static_cast<unsigned char>(character);
        width += (byte >= 0x20 && byte <= 0x7E) ? kAdvance[byte - 0x20] : kOtherAdvance;
    }
    return width;
}

HFONT dialogFont() {
    return reinterpret_cast<HFONT>(const_cast<Font*>(&kDialogFont));
}

} // namespace win32
