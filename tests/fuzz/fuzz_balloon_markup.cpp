// The balloon's markup parser, its layout, hit-testing and placement over
// arbitrary texts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "menu/balloon_layout.h"
#include "menu/balloon_markup.h"

using namespace vexmora;

namespace {

// Every byte 6 pixels per point-size step, like a fixed-pitch face.
class FixedMeasurer final : public TextMeasurer {
public:
    TextSize measure(const Text& run, int pointSize) override {
        if (pointSize < smallestPointSize || pointSize > largestPointSize) std::abort();
        return {static_cast<int>(run.size()) * pointSize, pointSize * 2, pointSize * 3 / 2};
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Text text(reinterpret_cast<const char*>(data), size);
    const Markup markup = parseMarkup(text);
    std::size_t textBytes = 0;
    for (const MarkupLine& line : markup.lines)
        for (const MarkupRun& run : line.runs) {
            textBytes += run.text.size();
            if (run.link < -1 || run.link >= static_cast<int>(markup.links.size())) std::abort();
        }
    if (textBytes > text.size()) std::abort();
    for (const MarkupLink& link : markup.links)
        if (link.parent < -1 || link.parent >= static_cast<int>(markup.links.size())) std::abort();

    FixedMeasurer measurer;
    const BalloonLayout layout = layOutMarkup(markup, measurer);
    if (layout.width < 0 || layout.height < 0) std::abort();
    for (int y = -2; y < layout.height + 2; y += 3)
        for (int x = -2; x < layout.width + 2; x += 5) {
            const int link = layout.linkAt(x, y);
            if (link < -1 || link >= static_cast<int>(layout.links.size())) std::abort();
        }

    const int x = size > 0 ? static_cast<int>(data[0]) * 10 - 200 : 0;
    const int y = size > 1 ? static_cast<int>(data[1]) * 4 - 100 : 0;
    BalloonLook look;
    if (size > 2 && data[2] & 1) look = {3, 3, 9, 5, (data[2] & 2) ? TailPlacement::bottomMiddle : TailPlacement::topMiddle};
    const BalloonPlacement placed = placeBalloon(layout.width, layout.height, x, y, look, {0, 0, 1280, 800});
    if (placed.body.width != layout.width || placed.body.height != layout.height) std::abort();
    return 0;
}
