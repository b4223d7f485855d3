#include "menu/balloon_markup.h"

#include <algorithm>

namespace vexmora {

namespace {

char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Case-insensitive ASCII prefix test; the prefix is given in lower case.
bool startsWith(const Text& text, const char* prefix) {
    std::size_t i = 0;
    for (; prefix[i] != '\0'; ++i) {
        if (i >= text.size() || lower(text[i]) != prefix[i]) return false;
    }
    return true;
}

bool equalsIgnoringCase(const Text& text, const char* word) {
    return startsWith(text, word) && text.size() == std::char_traits<char>::length(word);
}

// "N" or "Npt"; nothing else.
bool parsePointSize(const Text& text, int& size) {
    std::size_t digits = 0;
    long value = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') {
        value = std::min<long>(value * 10 + (text[digits] - '0'), 1000000);
        ++digits;
    }
    if (digits == 0) return false;
    const Text unit = text.substr(digits);
    if (!unit.empty() && !equalsIgnoringCase(unit, "pt")) return false;
    size = static_cast<int>(std::clamp<long>(value, smallestPointSize, largestPointSize));
    return true;
}

class Parser {
public:
    Markup run(const Text& markup) {
        std::size_t i = 0;
        while (i < markup.size()) {
            const char c = markup[i];
            if (c == '\r' || c == '\n') {
                ++i;
            } else if (c == '<') {
                const std::size_t close = markup.find('>', i + 1);
                if (close == Text::npos) {
                    appendText(markup.substr(i, 1));
                    ++i;
                } else {
                    tag(markup.substr(i + 1, close - i - 1));
                    i = close + 1;
                }
            } else {
                const bool lead = static_cast<unsigned char>(c) >= 0x80 && i + 1 < markup.size();
                const std::size_t length = lead ? 2 : 1;
                appendText(markup.substr(i, length));
                i += length;
            }
        }
        if (!line_.runs.empty()) endLine();
        return std::move(result_);
    }

private:
    int size() const { return sizes_.empty() ? defaultPointSize : sizes_.back(); }
    int link() const { return links_.empty() ? -1 : links_.back(); }

    void appendText(const Text& bytes) {
        std::vector<MarkupRun>& runs = line_.runs;
        if (runs.empty() || runs.back().pointSize != size() || runs.back().link != link())
            runs.push_back(MarkupRun{{}, size(), link()});
        runs.back().text += bytes;
    }

    void endLine() {
        line_.endPointSize = size();
        result_.lines.push_back(std::move(line_));
        line_ = MarkupLine{};
    }

    void tag(const Text& body) {
        if (equalsIgnoringCase(body, "br") || equalsIgnoringCase(body, "/br")) {
            endLine();
        } else if (equalsIgnoringCase(body, "/a")) {
            if (!links_.empty()) links_.pop_back();
        } else if (equalsIgnoringCase(body, "/font")) {
            if (!sizes_.empty()) sizes_.pop_back();
        } else if (startsWith(body, "a msg=")) {
            result_.links.push_back(MarkupLink{body.substr(6), link()});
            links_.push_back(static_cast<int>(result_.links.size()) - 1);
        } else if (startsWith(body, "font size=")) {
            int newSize = size();
            parsePointSize(body.substr(10), newSize);
            sizes_.push_back(newSize);
        }
        // Any other tag is skipped.
    }

    Markup result_;
    MarkupLine line_;
    std::vector<int> sizes_;
    std::vector<int> links_;
};

}  // namespace

Markup parseMarkup(const Text& markup) {
    return Parser{}.run(markup);
}

}  // namespace vexmora
