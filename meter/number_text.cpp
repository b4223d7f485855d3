#include "meter/number_text.h"

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

// The "%.13g" text into out, '.' as decimal point; returns its length.
std::size_t printGeneral(char (&out)[40], double x) {
    const int written = std::snprintf(out, sizeof out, "%.13g", x);
    if (written <= 0) return 0;
    std::size_t length = static_cast<std::size_t>(written) < sizeof out ? static_cast<std::size_t>(written) : sizeof out - 1;
    // A C locale other than "C" may print another (possibly multibyte) point.
    const char* point = std::localeconv()->decimal_point;
    if (point != nullptr && std::strcmp(point, ".") != 0 && point[0] != '\0') {
        const std::size_t pointLength = std::strlen(point);
        if (char* at = std::strstr(out, point)) {
            *at = '.';
            std::memmove(at + 1, at + pointLength, length - static_cast<std::size_t>(at - out) - pointLength + 1);
            length -= pointLength - 1;
        }
    }
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
