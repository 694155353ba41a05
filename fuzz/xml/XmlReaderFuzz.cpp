// Feeds arbitrary bytes to the XML reader, writes what it built and reads that back. Any crash,
// sanitizer report, hang or runaway allocation is a fault; the trees themselves may be anything.
#include "settings/XmlNode.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    XmlDocument document;
    document.Read(std::string_view(reinterpret_cast<const char*>(data), size));
    std::string written = document.WriteDocument();
    XmlDocument again;
    again.Read(written);
    for (const XmlNode* child = again.NextChild(nullptr); child; child = again.NextChild(child)) {
        (void)child->GetAttributeInt("value");
        (void)child->GetAttributeFloat("value");
    }
    return 0;
}
