#include <gtest/gtest.h>

#include <random>

#include "menu/balloon_layout.h"
#include "menu/balloon_markup.h"
#include "menu/menu_document.h"
#include "menu/notices.h"

namespace vexmora {
namespace {

// Every byte is pointSize pixels wide; a line is pointSize + 4 high.
class StubMeasurer final : public TextMeasurer {
public:
    TextSize measure(const Text& run, int pointSize) override {
        ++calls;
        return TextSize{static_cast<int>(run.size()) * pointSize, pointSize + 4, pointSize + 1};
    }
    int calls = 0;
};

struct Laid {
    Markup markup;
    BalloonLayout layout;
};

Laid layOut(const Text& text) {
    StubMeasurer measurer;
    Laid laid{parseMarkup(text), {}};
    laid.layout = layOutMarkup(laid.markup, measurer);
    return laid;
}

std::optional<Text> hitAtCentre(const BalloonLayout& layout, const PlacedRun& run) {
    return layout.linkNameAt(run.box.left + run.box.width / 2, run.box.top + run.box.height / 2);
}

// ---- parsing ----------------------------------------------------------------

struct RunView {
    Text text;
    int size;
    Text link;  // "" for none
    friend bool operator==(const RunView&, const RunView&) = default;
};

std::vector<std::vector<RunView>> view(const Markup& markup) {
    std::vector<std::vector<RunView>> lines;
    for (const MarkupLine& line : markup.lines) {
        std::vector<RunView> runs;
        for (const MarkupRun& run : line.runs)
            runs.push_back({run.text, run.pointSize,
                            run.link < 0 ? Text{} : markup.links[static_cast<std::size_t>(run.link)].name});
        lines.push_back(runs);
    }
    return lines;
}

void PrintTo(const RunView& run, std::ostream* os) {
    *os << "{\"" << run.text << "\", " << run.size << ", " << run.link << "}";
}

struct ParseCase {
    const char* name;
    Text markup;
    std::vector<std::vector<RunView>> expected;
};

TEST(BalloonMarkup, ParsesEachConstruct) {
    const ParseCase cases[] = {
        {"plain text in the default size", "ab", {{{"ab", 9, ""}}}},
        {"CR and LF neither drawn nor breaking", "a\r\nb\rc\nd", {{{"abcd", 9, ""}}}},
        {"both line-end forms", "a<br>b</br>c", {{{"a", 9, ""}}, {{"b", 9, ""}}, {{"c", 9, ""}}}},
        {"a final line end adds no empty line", "a<br>", {{{"a", 9, ""}}}},
        {"an inner empty line is kept", "a<br><br>b", {{{"a", 9, ""}}, {}, {{"b", 9, ""}}}},
        {"spaces kept, never collapsed", "  a   b ", {{{"  a   b ", 9, ""}}}},
        {"font sizes nest as a stack",
         "<font size=20pt>a<font size=5pt>b</font>c</font>d",
         {{{"a", 20, ""}, {"b", 5, ""}, {"c", 20, ""}, {"d", 9, ""}}}},
        {"an unmatched end of font is harmless", "</font></font>a<font size=12pt>b</font></font>c",
         {{{"a", 9, ""}, {"b", 12, ""}, {"c", 9, ""}}}},
        {"a size without a number keeps the stack balanced",
         "<font size=20pt><font size=big>a</font>b</font>c", {{{"ab", 20, ""}, {"c", 9, ""}}}},
        {"sizes held to 1..72", "<font size=99999999999pt>a</font><font size=0pt>b</font>",
         {{{"a", 72, ""}, {"b", 1, ""}}}},
        {"text belongs to the innermost open link", "<a msg=o>1<a msg=i>2</a>3</a>4",
         {{{"1", 9, "o"}, {"2", 9, "i"}, {"3", 9, "o"}, {"4", 9, ""}}}},
        {"a link goes on over line ends", "<a msg=x>a<br>b</a>", {{{"a", 9, "x"}}, {{"b", 9, "x"}}}},
        {"an unmatched end of link is harmless", "</a>a<a msg=x>b</a></a>c",
         {{{"a", 9, ""}, {"b", 9, "x"}, {"c", 9, ""}}}},
        {"an unknown tag is skipped", "<b>a</b><a href=x>b", {{{"ab", 9, ""}}}},
        {"tag names in any case", "<A MSG=Up>a</A><BR><FONT SIZE=4PT>b</FONT>",
         {{{"a", 9, "Up"}}, {{"b", 4, ""}}}},
        {"a lone < without > is text", "a<b", {{{"a<b", 9, ""}}}},
        {"a truncated tag is text", "ab<font size=1", {{{"ab<font size=1", 9, ""}}}},
        {"a lead byte keeps its trail byte, even a <", "\xB0<br>", {{{"\xB0<br>", 9, ""}}}},
        {"a lead byte at the very end", "a\xB0", {{{"a\xB0", 9, ""}}}},
        {"a two-byte character whose trail is a backslash", "\x95\x5C<br>a",
         {{{"\x95\x5C", 9, ""}}, {{"a", 9, ""}}}},
        {"empty input", "", {}},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(view(parseMarkup(c.markup)), c.expected);
    }
}

TEST(BalloonMarkup, LinkNamesRunToTheClosingBracketAndRecordTheirParent) {
    const Markup markup = parseMarkup("<a msg=outer><a msg=>x</a><a msg=a b=c>y</a></a>");
    ASSERT_EQ(markup.links.size(), 3u);
    EXPECT_EQ(markup.links[0].name, "outer");
    EXPECT_EQ(markup.links[0].parent, -1);
    EXPECT_EQ(markup.links[1].name, "");
    EXPECT_EQ(markup.links[1].parent, 0);
    EXPECT_EQ(markup.links[2].name, "a b=c");
    EXPECT_EQ(markup.links[2].parent, 0);
}

// ---- layout and hits ----------------------------------------------------------

TEST(BalloonLayout, MenuDocumentIsEightEntriesWithSpacerRowsThatBelongToThem) {
    const Laid laid = layOut(initialMenuDocument());
    const BalloonLayout& layout = laid.layout;
    ASSERT_EQ(laid.markup.lines.size(), 15u);  // 8 labels, 7 spacer rows
    ASSERT_EQ(layout.lines.size(), 15u);
    for (std::size_t l = 0; l < laid.markup.lines.size(); ++l) {
        const MarkupLine& line = laid.markup.lines[l];
        ASSERT_EQ(line.runs.size(), 1u) << l;
        EXPECT_EQ(line.runs[0].pointSize, l % 2 == 0 ? 10 : 3) << l;
    }
    // Each label and the spacer row under it hit the entry's link.
    for (std::size_t l = 0; l < layout.runs.size(); ++l) {
        const Text expected = "m" + std::to_string(l / 2 + 1);
        EXPECT_EQ(hitAtCentre(layout, layout.runs[l]), expected) << l;
    }
    // The spacer row is hit over its whole height, right under the label.
    const PlacedRun& spacer = layout.runs[1];
    EXPECT_EQ(spacer.box.top, layout.runs[0].box.top + layout.runs[0].box.height);
    EXPECT_EQ(layout.linkNameAt(spacer.box.left, spacer.box.top), "m1");
    EXPECT_EQ(layout.linkNameAt(spacer.box.left, spacer.box.top + spacer.box.height - 1), "m1");
    EXPECT_EQ(layout.linkNameAt(spacer.box.left, spacer.box.top + spacer.box.height), "m2");

    // 12-pixel margins around the widest line ("开机自动运行(×)", 16 bytes at 10 px)
    // and the fifteen line heights.
    EXPECT_EQ(layout.width, 160 + 24);
    EXPECT_EQ(layout.height, 8 * 14 + 7 * 7 + 24);
    EXPECT_EQ(layout.linkAt(5, 5), -1);
    EXPECT_EQ(layout.linkAt(layout.width - 1, layout.height - 1), -1);
    // Every line centred.
    for (const Rect& line : layout.lines) {
        EXPECT_LE(std::abs(2 * line.left + line.width - layout.width), 1);
    }
}

TEST(BalloonLayout, ResetConfirmationHitsTheInnermostLinkOfEachPiece) {
    const Laid laid = layOut(noticeMarkup("msg8", resetConfirmationText()));
    const BalloonLayout& layout = laid.layout;
    ASSERT_EQ(layout.lines.size(), 3u);
    ASSERT_EQ(layout.runs.size(), 6u);
    struct Expected {
        const char* text;
        const char* link;
        int size;
    };
    const Expected expected[] = {
        {"   ", "msg8", 10},  {"   真的要恢复默认设置？   ", "no", 15}, {Text(33, ' ').c_str(), "no", 3},
        {"     确定   ", "yes", 10}, {"   取消     ", "no", 10},             {"   ", "msg8", 10},
    };
    const Text spacer(33, ' ');
    for (std::size_t r = 0; r < 6; ++r) {
        SCOPED_TRACE(r);
        EXPECT_EQ(layout.runs[r].text, r == 2 ? spacer : Text(expected[r].text));
        EXPECT_EQ(layout.runs[r].pointSize, expected[r].size);
        EXPECT_EQ(hitAtCentre(layout, layout.runs[r]), expected[r].link);
    }
    // The question and 取消 are two links of the same name: highlighted apart.
    EXPECT_NE(layout.runs[1].link, layout.runs[4].link);
    EXPECT_EQ(layout.runs[1].link, layout.runs[2].link);
    EXPECT_EQ(layout.links[static_cast<std::size_t>(layout.runs[1].link)].parent, layout.runs[0].link);
}

TEST(BalloonLayout, RunsOfOneLineShareABaselineAndTheLineTakesTheTallest) {
    const Laid laid = layOut("<font size=5pt>a</font><font size=20pt>b</font>");
    const BalloonLayout& layout = laid.layout;
    ASSERT_EQ(layout.runs.size(), 2u);
    const PlacedRun& small = layout.runs[0];
    const PlacedRun& large = layout.runs[1];
    EXPECT_EQ(small.box.height, 24);
    EXPECT_EQ(large.box.height, 24);
    EXPECT_EQ(small.textTop + 6, large.textTop + 21);  // ascents 6 and 21
    EXPECT_EQ(large.box.left, small.box.left + 5);
    EXPECT_EQ(small.box.left, balloonMargin);
}

TEST(BalloonLayout, AnEmptyLineHasTheHeightOfItsSize) {
    const Laid laid = layOut("<font size=20pt>a<br><br>b</font>");
    ASSERT_EQ(laid.layout.lines.size(), 3u);
    EXPECT_EQ(laid.layout.lines[1].height, 24);
    EXPECT_EQ(laid.layout.lines[1].width, 0);
}

TEST(BalloonLayout, EmptyMarkupIsJustTheMargins) {
    const Laid laid = layOut("");
    EXPECT_EQ(laid.layout.width, 24);
    EXPECT_EQ(laid.layout.height, 24);
    EXPECT_EQ(laid.layout.linkAt(12, 12), -1);
}

// Arbitrary bytes, tag pieces among them: parsing, layout and hits stay in bounds.
TEST(BalloonLayout, ArbitraryInputNeverCrashes) {
    const char* pieces[] = {"<a msg=", "<a msg=x>", "</a>", "<font size=", "pt>", "<font size=7pt>",
                            "</font>", "<br>", "</br>", "<", ">", "\r\n", " ", "\xB0", "\xB0\xA1", "x",
                            "\x95\x5C", "<a", "<font size=-3pt>", "</"};
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        Text markup;
        const int count = static_cast<int>(random() % 40);
        for (int i = 0; i < count; ++i) {
            if (random() % 5 == 0) markup += static_cast<char>(random() % 256);
            else markup += pieces[random() % std::size(pieces)];
        }
        const Laid laid = layOut(markup);
        for (int y = -1; y <= laid.layout.height; y += 3)
            for (int x = -1; x <= laid.layout.width; x += 3) (void)laid.layout.linkNameAt(x, y);
        for (const PlacedRun& run : laid.layout.runs) {
            ASSERT_LT(run.link, static_cast<int>(laid.layout.links.size()));
            ASSERT_GE(run.pointSize, smallestPointSize);
            ASSERT_LE(run.pointSize, largestPointSize);
        }
    }
}

// ---- placement ------------------------------------------------------------------

const Rect screen{0, 0, 1280, 800};

BalloonLook noticeLook(TailPlacement placement) {
    return BalloonLook{3, 3, 9, 5, placement};
}

BalloonLook menuLook(TailPlacement placement) {
    return BalloonLook{0, 0, 0, 0, placement};
}

TEST(BalloonPlacement, TailOnTopHangsTheBodyBelowThePoint) {
    const BalloonPlacement p = placeBalloon(100, 50, 500, 300, noticeLook(TailPlacement::topMiddle), screen);
    EXPECT_TRUE(p.hasTail);
    EXPECT_TRUE(p.tailOnTop);
    EXPECT_EQ(p.body, (Rect{450, 305, 100, 50}));
    EXPECT_EQ(p.window, (Rect{450, 300, 100, 55}));
    EXPECT_EQ(p.tailLeft, 496);
    EXPECT_EQ(p.tailRight, 505);
}

TEST(BalloonPlacement, TailOnBottomStandsTheBodyAboveThePoint) {
    const BalloonPlacement p = placeBalloon(100, 50, 500, 300, noticeLook(TailPlacement::bottomMiddle), screen);
    EXPECT_FALSE(p.tailOnTop);
    EXPECT_EQ(p.body, (Rect{450, 245, 100, 50}));
    EXPECT_EQ(p.window, (Rect{450, 245, 100, 55}));
}

TEST(BalloonPlacement, WithoutATailTheEdgeMiddleLiesOnThePoint) {
    const BalloonPlacement below = placeBalloon(100, 50, 500, 300, menuLook(TailPlacement::topMiddle), screen);
    EXPECT_FALSE(below.hasTail);
    EXPECT_EQ(below.body, (Rect{450, 300, 100, 50}));
    EXPECT_EQ(below.window, below.body);
    const BalloonPlacement above = placeBalloon(100, 50, 500, 300, menuLook(TailPlacement::bottomMiddle), screen);
    EXPECT_EQ(above.body, (Rect{450, 250, 100, 50}));
    // A tail of zero length is no tail, whatever its width.
    const BalloonPlacement flat = placeBalloon(100, 50, 500, 300, BalloonLook{0, 0, 9, 0, TailPlacement::topMiddle}, screen);
    EXPECT_FALSE(flat.hasTail);
    EXPECT_EQ(flat.body.top, 300);
}

TEST(BalloonPlacement, FlipsToTheOtherSideAtTheBottomAndTopOfTheScreenArea) {
    const BalloonPlacement atBottom = placeBalloon(100, 50, 500, 760, noticeLook(TailPlacement::topMiddle), screen);
    EXPECT_FALSE(atBottom.tailOnTop);
    EXPECT_EQ(atBottom.body.top, 705);
    EXPECT_EQ(atBottom.window.top + atBottom.window.height, 760);
    const BalloonPlacement fitsExactly = placeBalloon(100, 50, 500, 745, noticeLook(TailPlacement::topMiddle), screen);
    EXPECT_TRUE(fitsExactly.tailOnTop);
    const BalloonPlacement atTop = placeBalloon(100, 50, 500, 40, noticeLook(TailPlacement::bottomMiddle), screen);
    EXPECT_TRUE(atTop.tailOnTop);
    EXPECT_EQ(atTop.body.top, 45);
    const BalloonPlacement menuAtTop = placeBalloon(100, 50, 500, 40, menuLook(TailPlacement::bottomMiddle), screen);
    EXPECT_EQ(menuAtTop.body.top, 40);
    // The screen area is all monitors: a second monitor below gives room.
    const BalloonPlacement tall = placeBalloon(100, 50, 500, 760, noticeLook(TailPlacement::topMiddle),
                                               Rect{0, 0, 1280, 1600});
    EXPECT_TRUE(tall.tailOnTop);
}

TEST(BalloonPlacement, SlidesRightAtTheLeftEdgeWithTheTipStayingOnThePoint) {
    const BalloonPlacement p = placeBalloon(100, 50, 10, 300, noticeLook(TailPlacement::topMiddle), screen);
    EXPECT_EQ(p.body.left, 0);
    EXPECT_EQ(p.tipX, 10);
    EXPECT_EQ(p.tipY, 300);
    EXPECT_EQ(p.tailLeft, 6);
    // Beyond the corner cut the base stays on the body; the tip still on the point.
    const BalloonPlacement edge = placeBalloon(100, 50, 0, 300, noticeLook(TailPlacement::topMiddle), screen);
    EXPECT_EQ(edge.tailLeft, 1);
    EXPECT_EQ(edge.tipX, 0);
    EXPECT_EQ(edge.window.left, 0);
    // A virtual screen that starts left of zero.
    const BalloonPlacement left = placeBalloon(100, 50, -1270, 300, noticeLook(TailPlacement::topMiddle),
                                               Rect{-1280, 0, 2560, 800});
    EXPECT_EQ(left.body.left, -1280);
}

TEST(BalloonPlacement, SlidesLeftAtTheRightEdge) {
    const BalloonPlacement p = placeBalloon(100, 50, 1275, 300, noticeLook(TailPlacement::topMiddle), screen);
    EXPECT_EQ(p.body.left, 1180);
    EXPECT_EQ(p.tailLeft, 1180 + 100 - 1 - 9);
    EXPECT_EQ(p.window.left + p.window.width, 1280);
}

}  // namespace
}  // namespace vexmora
