#include "menu/balloon_layout.h"

#include <algorithm>

namespace vexmora {

namespace {

bool contains(const Rect& rect, int x, int y) {
    return x >= rect.left && x < rect.left + rect.width && y >= rect.top && y < rect.top + rect.height;
}

}  // namespace

int BalloonLayout::linkAt(int x, int y) const {
    for (const PlacedRun& run : runs) {
        if (contains(run.box, x, y)) return run.link;
    }
    return -1;
}

std::optional<Text> BalloonLayout::linkNameAt(int x, int y) const {
    const int link = linkAt(x, y);
    if (link < 0 || static_cast<std::size_t>(link) >= links.size()) return std::nullopt;
    return links[static_cast<std::size_t>(link)].name;
}

BalloonLayout layOutMarkup(const Markup& markup, TextMeasurer& measurer) {
    BalloonLayout layout;
    layout.links = markup.links;

    struct MeasuredLine {
        std::vector<TextSize> sizes;
        int width = 0, ascent = 0, descent = 0;
    };
    std::vector<MeasuredLine> measured;
    int contentWidth = 0;
    for (const MarkupLine& line : markup.lines) {
        MeasuredLine m;
        if (line.runs.empty()) {
            const TextSize empty = measurer.measure(Text{}, line.endPointSize);
            m.ascent = empty.ascent;
            m.descent = empty.height - empty.ascent;
        }
        for (const MarkupRun& run : line.runs) {
            const TextSize size = measurer.measure(run.text, run.pointSize);
            m.sizes.push_back(size);
            m.width += size.width;
            m.ascent = std::max(m.ascent, size.ascent);
            m.descent = std::max(m.descent, size.height - size.ascent);
        }
        contentWidth = std::max(contentWidth, m.width);
        measured.push_back(std::move(m));
    }

    int top = balloonMargin;
    for (std::size_t l = 0; l < markup.lines.size(); ++l) {
        const MeasuredLine& m = measured[l];
        const int height = m.ascent + m.descent;
        int x = balloonMargin + (contentWidth - m.width) / 2;  // centred
        layout.lines.push_back(Rect{x, top, m.width, height});
        const std::vector<MarkupRun>& runs = markup.lines[l].runs;
        for (std::size_t r = 0; r < runs.size(); ++r) {
            const TextSize& size = m.sizes[r];
            layout.runs.push_back(PlacedRun{runs[r].text, runs[r].pointSize, runs[r].link,
                                            Rect{x, top, size.width, height}, top + m.ascent - size.ascent});
            x += size.width;
        }
        top += height;
    }
    layout.width = contentWidth + 2 * balloonMargin;
    layout.height = top + balloonMargin;
    return layout;
}

BalloonPlacement placeBalloon(int bodyWidth, int bodyHeight, int x, int y, const BalloonLook& look,
                              const Rect& screen) {
    BalloonPlacement p;
    p.hasTail = look.tailWidth > 0 && look.tailHeight > 0;
    const int gap = p.hasTail ? look.tailHeight : 0;
    const int belowTop = y + gap;
    const int aboveTop = y - gap - bodyHeight;
    const int screenBottom = screen.top + screen.height;
    bool below = look.tailPlacement == TailPlacement::topMiddle;
    if (below && belowTop + bodyHeight > screenBottom && aboveTop >= screen.top) below = false;
    else if (!below && aboveTop < screen.top && belowTop + bodyHeight <= screenBottom) below = true;

    int left = x - bodyWidth / 2;
    const int screenRight = screen.left + screen.width;
    if (left + bodyWidth > screenRight) left = screenRight - bodyWidth;  // slide left at the right edge
    if (left < screen.left) left = screen.left;                          // the left edge wins
    p.body = Rect{left, below ? belowTop : aboveTop, bodyWidth, bodyHeight};
    p.tailOnTop = below;
    p.tipX = x;
    p.tipY = y;

    if (!p.hasTail) {
        p.window = p.body;
        return p;
    }
    // The base keeps clear of the cut corners; the tip stays on the point even
    // when the body had to slide.
    const int inset = std::max(look.cornerWidth / 2, 0);
    const int lowest = left + inset;
    const int highest = left + bodyWidth - inset - look.tailWidth;
    int baseLeft = x - look.tailWidth / 2;
    if (highest >= lowest) baseLeft = std::clamp(baseLeft, lowest, highest);
    p.tailLeft = baseLeft;
    p.tailRight = baseLeft + look.tailWidth;

    const int windowLeft = std::min(left, x);
    const int windowRight = std::max(left + bodyWidth, x + 1);
    const int windowTop = below ? y : aboveTop;
    const int windowBottom = below ? belowTop + bodyHeight : y;
    p.window = Rect{windowLeft, windowTop, windowRight - windowLeft, windowBottom - windowTop};
    return p;
}

}  // namespace vexmora
