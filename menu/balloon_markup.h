// The balloon's small link markup, parsed into lines of runs.
//
// Tags: "<a msg=NAME>" ... "</a>" (nesting links), "<font size=Npt>" ...
// "</font>" (a size stack), "<br>" and "</br>" (line ends). CR and LF are
// ignored; every other byte is text, a byte >= 0x80 together with the byte
// after it. Robustness rules for other input:
// - a "<" with no ">" after it is drawn as text;
// - a complete tag that is none of the above is skipped;
// - "</a>" and "</font>" without an open start tag are skipped;
// - a font tag whose size is not a number still opens a level (at the
//   current size), so that its "</font>" closes the right one; sizes are
//   held to 1..72 points.
#pragma once

#include <vector>

#include "app/platform.h"

namespace vexmora {

inline constexpr int defaultPointSize = 9;
inline constexpr int smallestPointSize = 1;
inline constexpr int largestPointSize = 72;

struct MarkupLink {
    Text name;
    int parent = -1;  // the enclosing link's index, or -1
};

// Text of one size belonging to one (innermost) link, or to none (-1).
struct MarkupRun {
    Text text;
    int pointSize = defaultPointSize;
    int link = -1;
};

struct MarkupLine {
    std::vector<MarkupRun> runs;
    int endPointSize = defaultPointSize;  // gives an empty line its height
};

struct Markup {
    std::vector<MarkupLine> lines;  // a final line without text is dropped
    std::vector<MarkupLink> links;  // every start tag, in order
};

Markup parseMarkup(const Text& markup);

}  // namespace vexmora
