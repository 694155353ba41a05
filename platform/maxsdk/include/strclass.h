// CStr (TSTR): the SDK's string of 8-bit TCHARs. It owns its characters; data() and the
// conversion to a TCHAR pointer stay valid until the string changes or dies.
#pragma once

#include <string>

#include "wintypes.h"

class CStr {
public:
    CStr() = default;
    CStr(const TCHAR* text) : value(text ? text : "") {} // NULL gives the empty string
    CStr(const std::string& text) : value(text) {}

    const TCHAR* data() const { return value.c_str(); }
    TCHAR* data() { return value.data(); }
    operator const TCHAR*() const { return value.c_str(); }
    const std::string& str() const { return value; }

    int Length() const { return int(value.size()); }
    int length() const { return Length(); }
    bool isNull() const { return value.empty(); }
    // Changes the length; new characters are zeros.
    void Resize(int newLength) { value.resize(newLength < 0 ? 0 : size_t(newLength)); }
    CStr Substr(int start, int count) const;
    // Index of the first / last occurrence of c, or -1.
    int first(TCHAR c) const;
    int last(TCHAR c) const;
    CStr& toUpper();
    CStr& toLower();
    // Formats like sprintf; the result grows to fit.
    int printf(const TCHAR* format, ...) __attribute__((format(printf, 2, 3)));

    TCHAR& operator[](int i) { return value[size_t(i)]; }
    TCHAR operator[](int i) const { return value[size_t(i)]; }

    CStr& operator=(const TCHAR* text) {
        value = text ? text : "";
        return *this;
    }
    CStr& operator+=(const CStr& other) {
        value += other.value;
        return *this;
    }
    CStr operator+(const CStr& other) const { return CStr(value + other.value); }
    bool operator==(const CStr& other) const { return value == other.value; }
    bool operator!=(const CStr& other) const { return value != other.value; }
    bool operator<(const CStr& other) const { return value < other.value; }

private:
    std::string value;
};

typedef CStr TSTR;
