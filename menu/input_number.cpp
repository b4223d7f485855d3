#include "menu/input_number.h"

namespace vexmora {

std::int64_t inputNumberValue(const Text& text) {
    constexpr std::int64_t cap = std::int64_t{1} << 40;
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > cap) value = cap;
    }
    return negative ? -value : value;
}

}  // namespace vexmora
