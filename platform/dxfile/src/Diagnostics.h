// What went wrong, where: the record behind DirectXFileGetLastError.
#pragma once

#include "dxfile.h"

#include <cstdint>
#include <memory>
#include <string>

namespace dxfile {

struct Diagnostic {
    HRESULT code = DXFILE_OK;
    std::string fileName;
    std::uint32_t line = 0;    // text only, 1-based
    std::uint32_t column = 0;  // text only, 1-based
    std::uint64_t byteOffset = 0;
    bool hasOffset = false;
    bool isInflatedOffset = false;
    std::string objectPath;
    std::string reason;
    std::string message;  // composed by compose()

    // Fills `message`: "file:line:column: reason (in path)" and the like.
    void compose();
};

// The last error of one root object, shared by everything made from it.
struct DiagnosticSlot {
    Diagnostic last;
    void record(Diagnostic diagnostic) {
        diagnostic.compose();
        last = std::move(diagnostic);
    }
    // For failures that have only a code and a reason (bad arguments, missing files).
    void record(HRESULT code, std::string fileName, std::string reason) {
        Diagnostic diagnostic;
        diagnostic.code = code;
        diagnostic.fileName = std::move(fileName);
        diagnostic.reason = std::move(reason);
        record(std::move(diagnostic));
    }
};

using DiagnosticSink = std::shared_ptr<DiagnosticSlot>;

} // namespace dxfile
