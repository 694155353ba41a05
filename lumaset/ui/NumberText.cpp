#include "ui/NumberText.h"

#include <cctype>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <locale.h>

namespace {

std::string toChars(double value, std::chars_format format) {
    char buffer[512]; // "%f" of the largest double needs 309 digits before the point
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, format, 6);
    if (error != std::errc()) return "0";
    return std::string(buffer, end);
}

const char* skipSpace(const char* text) {
    while (*text && std::isspace(static_cast<unsigned char>(*text)))
        ++text;
    return text;
}

} // namespace

std::string formatGeneral(double value) {
    return toChars(value, std::chars_format::general);
}

std::string formatFixed(double value) {
    return toChars(value, std::chars_format::fixed);
}

std::string formatInteger(long long value) {
    return std::to_string(value);
}

double parseDouble(const char* text) {
    if (text == nullptr) return 0.0;
    // strtod itself, bound to the "C" locale so a host's decimal comma changes nothing.
    static locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
    return strtod_l(text, nullptr, cLocale);
}

int parseInteger(const char* text) {
    if (text == nullptr) return 0;
    text = skipSpace(text);
    bool negative = false;
    if (*text == '+' || *text == '-') {
        negative = *text == '-';
        ++text;
    }
    long long value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}
