#include "FileHeader.h"

#include <cstring>
#include <string_view>

namespace dxfile {

Diagnostic readHeader(ByteSpan file, FileHeader& header) {
    if (file.size() < kHeaderSize)
        return fault(DXFILEERR_BADFILETYPE, "file shorter than the 16-byte header");
    std::string_view text(reinterpret_cast<const char*>(file.data()), kHeaderSize);
    if (text.substr(0, 4) != "xof ")
        return fault(DXFILEERR_BADFILETYPE, "not an X file: no 'xof ' at the start");
    std::string_view version = text.substr(4, 4);
    if (version != "0302" && version != "0303")
        return fault(DXFILEERR_BADFILEVERSION,
                     "unsupported version '" + std::string(version) + "'");
    std::string_view format = text.substr(8, 4);
    if (format == "txt ")
        header = FileHeader{true, false, 4};
    else if (format == "bin ")
        header = FileHeader{false, false, 4};
    else if (format == "tzip")
        header = FileHeader{true, true, 4};
    else if (format == "bzip")
        header = FileHeader{false, true, 4};
    else
        return fault(DXFILEERR_BADFILETYPE, "unknown format '" + std::string(format) + "'");
    std::string_view floatSize = text.substr(12, 4);
    if (floatSize == "0032")
        header.floatBytes = 4;
    else if (floatSize == "0064")
        header.floatBytes = 8;
    else
        return fault(DXFILEERR_BADFILEFLOATSIZE,
                     "unsupported float size '" + std::string(floatSize) + "'");
    return {};
}

std::string headerFor(DXFILEFORMAT format) {
    bool compressed = (format & DXFILEFORMAT_COMPRESSED) != 0;
    bool text = (format & DXFILEFORMAT_TEXT) != 0;
    const char* kind = compressed ? (text ? "tzip" : "bzip") : (text ? "txt " : "bin ");
    return std::string("xof 0303") + kind + "0032";
}

} // namespace dxfile
