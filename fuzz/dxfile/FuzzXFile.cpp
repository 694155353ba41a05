// One libFuzzer harness, built three times with a different default header (FUZZ_X_HEADER): the
// input is a whole X file when it starts with "xof ", else the body after that header. A failed
// check stops the run with what went wrong.
#include "XFileCheck.h"
#include "xfile/XFileTemplates.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

IDirectXFile* freshRoot() {
    IDirectXFile* root = nullptr;
    DirectXFileCreate(&root);
    root->RegisterTemplates(const_cast<unsigned char*>(kStandardTemplates), kStandardTemplatesSize);
    root->RegisterTemplates(const_cast<char*>(kExtensionTemplates),
                            static_cast<DWORD>(std::strlen(kExtensionTemplates)));
    return root;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    IDirectXFile* root = freshRoot();
    std::string failure = checkXFile(root, data, size, FUZZ_X_HEADER);
    root->Release();
    if (!failure.empty()) {
        std::fprintf(stderr, "%s\n", failure.c_str());
        std::abort();
    }
    return 0;
}
