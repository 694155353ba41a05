// The number conversions of the dialogs and the settings file, as the C library does them in the
// "C" locale, whatever locale the process runs with.
#pragma once

#include <string>

// printf's "%g": six significant digits, exponent form for large and small magnitudes.
std::string formatGeneral(double value);
// printf's "%f": six decimals.
std::string formatFixed(double value);
// printf's "%d".
std::string formatInteger(long long value);

// strtod: leading white space skipped, the longest valid prefix converted, 0 when there is none.
double parseDouble(const char* text);
// atoi: leading white space skipped, optional sign, the digits that follow; 0 when there are
// none. Out-of-range values are clamped to the int range rather than left undefined.
int parseInteger(const char* text);
