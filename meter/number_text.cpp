#include "meter/number_text.h"

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace vexmora {

namespace {

double powerOfTen(int exponent) {
    double result = 1;
    for (int k = 0; k < exponent; ++k) result *= 10;
    return result;
}

// x's text when x is a whole number of tenths from 0.1 up to 10^12, which
// every rounded rate and amount is: 13 significant digits keep all of its
// digits, so "%.13g" gives the digits, and a point and the tenth unless it is
// 0. Returns 0 for any other x.
std::size_t printTenths(char (&out)[40], double x) {
    if (x == 0 || !(std::fabs(x) < 1e12)) return 0;
    const long long tenths = std::llround(x * 10);
    if (static_cast<double>(tenths) / 10 != x) return 0;
    unsigned long long magnitude =
        tenths < 0 ? 0ULL - static_cast<unsigned long long>(tenths) : static_cast<unsigned long long>(tenths);
    char digits[24];
    char* const end = digits + sizeof digits;
    char* at = end;
    if (const auto tenth = static_cast<char>(magnitude % 10); tenth != 0) {
        *--at = static_cast<char>('0' + tenth);
        *--at = '.';
    }
    magnitude /= 10;
    do {
        *--at = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (tenths < 0) *--at = '-';
    const auto length = static_cast<std::size_t>(end - at);
    std::memcpy(out, at, length);
    return length;
}

// The "%.13g" text into out; returns its length. Whole tenths, which is
// every rate and amount shown, take the digit path; the rest goes through
// printf, with the locale's decimal point put back to "." (the floating-point
// tables of std::to_chars would cost the exe some 170 KB).
std::size_t printGeneral(char (&out)[40], double x) {
    if (const std::size_t length = printTenths(out, x); length != 0) return length;
    const int written = std::snprintf(out, sizeof out, "%.13g", x);
    if (written <= 0) return 0;
    const auto length = std::min(static_cast<std::size_t>(written), sizeof out - 1);
    const char point = *std::localeconv()->decimal_point;
    if (point != '.')
        for (std::size_t i = 0; i < length; ++i)
            if (out[i] == point) out[i] = '.';
    return length;
}

}  // namespace

double roundToDecimals(double x, int decimals) {
    if (x == 0) return x;
    const double scale = powerOfTen(decimals);
    double whole = 0;
    const double fraction = std::modf(std::fabs(x) * scale + 0.000000000001, &whole);
    const double magnitude = (fraction >= 0.5 ? whole + 1 : whole) / scale;
    return std::copysign(magnitude, x);
}

Text doubleToText(double x) {
    char text[40];
    return Text(text, printGeneral(text, x));
}

Text formatRateText(double kb) {
    char text[40];
    const std::size_t length = printGeneral(text, roundToDecimals(kb, 1));
    Text result(text, length);
    if (result.find('.') == Text::npos) result += ".0";
    return result;
}

Text formatAmountText(std::string_view prefix, double mb) {
    const bool inGb = mb - 1024 > 0.0000001;
    char text[40];
    const std::size_t length = printGeneral(text, roundToDecimals(inGb ? mb / 1024 : mb, 1));
    Text result;
    result.reserve(prefix.size() + length + 2);
    result.append(prefix).append(text, length).append(inGb ? "GB" : "MB");
    return result;
}

}  // namespace vexmora
