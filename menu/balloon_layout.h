// Layout of parsed markup in the balloon's body, hit-testing of its links,
// and the placement of the body and its tail on the screen.
#pragma once

#include <optional>
#include <vector>

#include "app/platform.h"
#include "menu/balloon_markup.h"

namespace vexmora {

inline constexpr int balloonMargin = 12;  // on all four sides of the markup

struct TextSize {
    int width = 0;
    int height = 0;
    int ascent = 0;  // baseline distance from the top
};

// Measures a run of GBK text in the balloon's type at a point size. An empty
// run measures 0 wide and one line of that size high.
class TextMeasurer {
public:
    virtual ~TextMeasurer() = default;
    virtual TextSize measure(const Text& run, int pointSize) = 0;
};

// Positions are in body coordinates (0,0 = the body's top-left corner).
struct PlacedRun {
    Text text;
    int pointSize = defaultPointSize;
    int link = -1;
    Rect box;          // the run's width by its line's full height: its clickable area
    int textTop = 0;   // where the text is drawn, on the line's common baseline
};

struct BalloonLayout {
    int width = 0;   // the body, margins included
    int height = 0;
    std::vector<Rect> lines;
    std::vector<PlacedRun> runs;
    std::vector<MarkupLink> links;

    // The innermost link under the point, or -1.
    int linkAt(int x, int y) const;
    std::optional<Text> linkNameAt(int x, int y) const;
};

BalloonLayout layOutMarkup(const Markup& markup, TextMeasurer& measurer);

// Where the balloon goes for a tip point, in screen coordinates.
struct BalloonPlacement {
    Rect window;              // body and tail together
    Rect body;
    bool hasTail = false;
    bool tailOnTop = false;   // the body lies below the point
    int tipX = 0, tipY = 0;
    int tailLeft = 0, tailRight = 0;  // the tail's base on the body's edge, x range
};

// screen is the whole screen area (all monitors together).
BalloonPlacement placeBalloon(int bodyWidth, int bodyHeight, int x, int y, const BalloonLook& look,
                              const Rect& screen);

}  // namespace vexmora
