#include "strclass.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <utility>

CStr CStr::Substr(int start, int count) const {
    if (start < 0) start = 0;
    if (count <= 0 || size_t(start) >= value.size()) return CStr();
    return CStr(value.substr(size_t(start), size_t(count)));
}

int CStr::first(TCHAR c) const {
    size_t at = value.find(c);
    return at == std::string::npos ? -1 : int(at);
}

int CStr::last(TCHAR c) const {
    size_t at = value.rfind(c);
    return at == std::string::npos ? -1 : int(at);
}

CStr& CStr::toUpper() {
    for (char& c : value)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return *this;
}

CStr& CStr::toLower() {
    for (char& c : value)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return *this;
}

int CStr::printf(const TCHAR* format, ...) {
    va_list args;
    va_start(args, format);
    va_list measuring;
    va_copy(measuring, args);
    int length = std::vsnprintf(nullptr, 0, format, measuring);
    va_end(measuring);
    if (length < 0) {
        va_end(args);
        value.clear();
        return length;
    }
    std::string formatted(size_t(length) + 1, '\0');
    std::vsnprintf(formatted.data(), formatted.size(), format, args);
    va_end(args);
    formatted.resize(size_t(length));
    value = std::move(formatted);
    return length;
}
