#include "menu/menu_document.h"

#include "menu/text_replace.h"

namespace vexmora {

namespace {

struct MenuEntry {
    const char* linkName;
    const char* label;  // with its spaces
    int spacerSpaces;
};

constexpr MenuEntry entries[] = {
    {"m1", " 监控编号()", 33},
    {"m2", "  透明度()", 33},
    {"m3", " 窗口置顶(√)", 33},
    {"m4", "记录总流量(×)", 33},
    {"m5", "开机自动运行(×)", 36},
    {"m6", "恢复默认设置", 36},
    {"m7", "   关于   ", 33},
};

}  // namespace

Text initialMenuDocument() {
    Text document;
    for (const MenuEntry& entry : entries) {
        document += "<a msg=";
        document += entry.linkName;
        document += "><font size=10pt>";
        document += entry.label;
        document += "</font><br><font size=3pt>";
        document += Text(static_cast<std::size_t>(entry.spacerSpaces), ' ');
        document += "</font></a></br>\r\n";
    }
    document += "<a msg=m8><font size=10pt>   退出   </font></a>";
    return document;
}

Text readSlot(const Text& document, const Text& fragment) {
    const std::size_t at = findText(document, fragment);
    if (at == Text::npos) return {};
    const std::size_t start = at + fragment.size();
    const std::size_t close = document.find(')', start);
    if (close == Text::npos) return {};
    return document.substr(start, close - start);
}

void writeSlot(Text& document, const Text& fragment, std::int32_t value) {
    const Text old = readSlot(document, fragment);
    document = replaceAll(document, fragment + old, fragment + decimalText(value));
}

void fillSlot(Text& document, const Text& fragment, std::int32_t value) {
    document = replaceAll(document, fragment, fragment + decimalText(value));
}

void setMark(Text& document, const Text& fromText, const Text& toText) {
    document = replaceAll(document, fromText, toText);
}

}  // namespace vexmora
