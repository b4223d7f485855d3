#include "menu/text_replace.h"

#include <cstring>

namespace vexmora {

namespace {

bool matchesAt(const Text& text, std::size_t position, const Text& find) {
    return text.compare(position, find.size(), find) == 0;
}

std::size_t characterLength(const Text& text, std::size_t position) {
    const bool lead = static_cast<unsigned char>(text[position]) >= 0x80;
    return (lead && position + 1 < text.size()) ? 2 : 1;
}

}  // namespace

Text replaceAll(const Text& text, const Text& find, const Text& replacement) {
    if (text.empty() || find.empty()) return text;
    Text result;
    result.reserve(text.size());
    std::size_t position = 0;
    while (text.size() - position >= find.size()) {
        if (matchesAt(text, position, find)) {
            result += replacement;
            position += find.size();
        } else {
            const std::size_t length = characterLength(text, position);
            result.append(text, position, length);
            position += length;
        }
    }
    result.append(text, position, Text::npos);
    return result;
}

std::size_t findText(const Text& text, const Text& find) {
    if (find.empty()) return Text::npos;
    std::size_t position = 0;
    while (text.size() - position >= find.size()) {
        if (matchesAt(text, position, find)) return position;
        position += characterLength(text, position);
    }
    return Text::npos;
}

Text decimalText(std::int64_t value) {
    return std::to_string(value);
}

}  // namespace vexmora
