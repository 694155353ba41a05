// What went wrong, where: the one fault type inside the library. Its code is the HRESULT the COM
// surface returns, and the record is what DirectXFileGetLastError shows. A fault whose code is
// DXFILE_OK is success.
#pragma once

#include "dxfile.h"

#include <cstdint>
#include <memory>
#include <string>

namespace dxfile {

struct Diagnostic {
    HRESULT code = DXFILE_OK;
    std::string fileName;
    std::uint32_t line = 0;   // text only, 1-based
    std::uint32_t column = 0; // text only, 1-based
    std::uint64_t byteOffset = 0;
    bool hasOffset = false;
    bool isInflatedOffset = false;
    std::string objectPath;
    std::string reason;
    std::string message; // composed by compose()

    bool failed() const { return code != DXFILE_OK; }
    // Fills `message`: "file:line:column: reason (in path)" and the like.
    void compose();
};

// A failure with its code and reason, without a place.
inline Diagnostic fault(HRESULT code, std::string reason) {
    Diagnostic diagnostic;
    diagnostic.code = code;
    diagnostic.reason = std::move(reason);
    return diagnostic;
}

// A failure at `offset` in the data, as a parse error.
inline Diagnostic parseFault(std::size_t offset, std::string reason) {
    Diagnostic diagnostic = fault(DXFILEERR_PARSEERROR, std::move(reason));
    diagnostic.byteOffset = offset;
    diagnostic.hasOffset = true;
    return diagnostic;
}

// The last error of one root object, shared by everything made from it.
struct DiagnosticSlot {
    Diagnostic last;
    void record(Diagnostic diagnostic) {
        diagnostic.compose();
        last = std::move(diagnostic);
    }
    // For failures that have only a code and a reason (bad arguments, missing files).
    void record(HRESULT code, std::string fileName, std::string reason) {
        Diagnostic diagnostic = fault(code, std::move(reason));
        diagnostic.fileName = std::move(fileName);
        record(std::move(diagnostic));
    }
};

using DiagnosticSink = std::shared_ptr<DiagnosticSlot>;

} // namespace dxfile
