#include <gtest/gtest.h>

#include <vector>

#include "menu/menu_document.h"
#include "menu/text_replace.h"

namespace vexmora {
namespace {

std::vector<Text> entries(const Text& document) {
    std::vector<Text> parts;
    std::size_t start = 0;
    for (std::size_t at; (at = document.find("\r\n", start)) != Text::npos; start = at + 2)
        parts.push_back(document.substr(start, at - start));
    parts.push_back(document.substr(start));
    return parts;
}

int occurrences(const Text& text, const Text& find) {
    int count = 0;
    for (std::size_t at = 0; (at = text.find(find, at)) != Text::npos; at += find.size()) ++count;
    return count;
}

TEST(MenuDocument, InitialTextIsEightEntriesOf860Bytes) {
    const Text document = initialMenuDocument();
    EXPECT_EQ(document.size(), 860u);
    const std::vector<Text> parts = entries(document);
    ASSERT_EQ(parts.size(), 8u);
    // Entry 1, its Chinese as GBK bytes written out.
    EXPECT_EQ(parts[0], "<a msg=m1><font size=10pt> \xBC\xE0\xBF\xD8\xB1\xE0\xBA\xC5()</font><br><font size=3pt>" +
                            Text(33, ' ') + "</font></a></br>");
    EXPECT_EQ(parts[7], "<a msg=m8><font size=10pt>   \xCD\xCB\xB3\xF6   </font></a>");
    EXPECT_EQ(parts[4], "<a msg=m5><font size=10pt>开机自动运行(\xA1\xC1)</font><br><font size=3pt>" +
                            Text(36, ' ') + "</font></a></br>");
    EXPECT_NE(parts[2].find("(\xA1\xCC)"), Text::npos);  // 窗口置顶(√)
    // Each slot and mark fragment once, a slot followed by ")".
    for (const char* fragment : {"号(", "度(", "顶(", "量(", "行("}) {
        EXPECT_EQ(occurrences(document, fragment), 1) << fragment;
    }
    EXPECT_EQ(readSlot(document, "号("), "");
    EXPECT_EQ(readSlot(document, "度("), "");
}

struct ReplaceCase {
    const char* name;
    Text text, find, replacement, expected;
};

TEST(ReplaceAll, ReplacesLeftToRightWithoutRescanningAndNeverOnATrailByte) {
    const ReplaceCase cases[] = {
        {"several occurrences", "abcabcab", "ab", "X", "XcXcX"},
        {"adjacent occurrences", "aaaa", "aa", "b", "bb"},
        {"an odd overlap, left to right", "aaa", "aa", "b", "ba"},
        {"replacement holding the search text", "xaxa", "a", "aa", "xaaxaa"},
        {"replacement equal to the search text", "abab", "ab", "ab", "abab"},
        {"empty replacement", "a-b-c", "-", "", "abc"},
        {"empty text", "", "a", "b", ""},
        {"empty search text", "abc", "", "X", "abc"},
        {"search longer than text", "ab", "abc", "X", "ab"},
        {"match at the very end", "xxab", "ab", "Y", "xxY"},
        {"trail byte equal to a backslash is not matched", "\x95\x5C" "a\\b", "\\", "/", "\x95\x5C" "a/b"},
        {"search starting with that trail byte", "\x95\x5Cn", "\\n", "N", "\x95\x5Cn"},
        {"a match after the two-byte character", "\x95\x5C\\n", "\\n", "N", "\x95\x5CN"},
        {"across two characters, starting on a trail byte", "\xB0\xA1\xB0\xA1", "\xA1\xB0", "X", "\xB0\xA1\xB0\xA1"},
        {"a two-byte search text", "a\xB0\xA1" "b\xB0\xA1", "\xB0\xA1", "c", "acbc"},
        {"a lead byte at the end", "ab\xB0", "b\xB0", "X", "aX"},
        {"case matters", "Abab", "ab", "X", "AbX"},
    };
    for (const ReplaceCase& c : cases) {
        EXPECT_EQ(replaceAll(c.text, c.find, c.replacement), c.expected) << c.name;
    }
}

TEST(MenuDocument, SlotsAreFilledAndRewrittenInPlace) {
    Text document = initialMenuDocument();
    fillSlot(document, "号(", 14);
    fillSlot(document, "度(", 225);
    EXPECT_NE(document.find("监控编号(14)"), Text::npos);
    EXPECT_NE(document.find("透明度(225)"), Text::npos);
    EXPECT_EQ(readSlot(document, "号("), "14");

    writeSlot(document, "号(", 3);
    EXPECT_NE(document.find("监控编号(3)"), Text::npos);
    EXPECT_EQ(document.find("监控编号(14)"), Text::npos);
    writeSlot(document, "号(", -7);
    EXPECT_EQ(readSlot(document, "号("), "-7");

    // Writing the value already there changes nothing.
    const Text before = document;
    writeSlot(document, "度(", 225);
    EXPECT_EQ(document, before);
    // A fragment that does not occur changes nothing.
    writeSlot(document, "无(", 5);
    EXPECT_EQ(document, before);
    EXPECT_EQ(document.size(), 860u + 2 + 3);
}

TEST(MenuDocument, SlotWithoutClosingBracketReadsEmptyAndWriteInsertsAfterEveryOccurrence) {
    EXPECT_EQ(readSlot("x号(12", "号("), "");
    EXPECT_EQ(readSlot("号()", "号("), "");
    EXPECT_EQ(readSlot("号(1)号(2)", "号("), "1");
    Text document = "号(12 号(";
    writeSlot(document, "号(", 5);
    EXPECT_EQ(document, "号(512 号(5");
}

TEST(MenuDocument, MarksSwitchBothWaysAndStayWhenAlreadySet) {
    Text document = initialMenuDocument();
    setMark(document, "量(×", "量(√");
    EXPECT_NE(document.find("记录总流量(√)"), Text::npos);
    const Text marked = document;
    setMark(document, "量(×", "量(√");
    EXPECT_EQ(document, marked);
    setMark(document, "顶(√", "顶(×");
    EXPECT_NE(document.find("窗口置顶(×)"), Text::npos);
    setMark(document, "顶(×", "顶(√");
    setMark(document, "量(√", "量(×");
    EXPECT_EQ(document, initialMenuDocument());
}

}  // namespace
}  // namespace vexmora
