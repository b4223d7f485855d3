// Pointer handling on the bar's hover label, and where the bar stands.
#include "app/program.h"

namespace vexmora {

namespace {

constexpr int barWidth = 155;
constexpr int barHeight = 22;
constexpr int panelWidth = 155;
constexpr int panelHeight = 157;

// The bar's visible outline: a 153 x 20 rectangle at (1, 1) without its four
// corner pixels, as two overlapping rectangles.
bool outlineOnAnyMonitor(Windows& windows, int left, int top) {
    return windows.touchesAnyMonitor({left + 2, top + 1, barWidth - 4, barHeight - 2}) ||
           windows.touchesAnyMonitor({left + 1, top + 2, barWidth - 2, barHeight - 4});
}

}  // namespace

void Program::placeBarAtStart() {
    Windows& windows = platform_.windows;
    const auto centredLeft = [&] {
        return static_cast<int>((windows.primaryScreenWidth() - barWidth) / 2.0);
    };
    int left = 0;
    int top = 0;
    if (store_.valueExists(settingPath("x"))) {
        left = store_.readNumber(settingPath("x"));
        top = store_.readNumber(settingPath("y"));
        // A place with no pixel on any monitor would leave the program
        // unreachable; start as on a first start instead.
        if (!outlineOnAnyMonitor(windows, left, top)) {
            left = centredLeft();
            top = 0;
        }
    } else {
        left = centredLeft();
    }
    windows.moveWindow(WindowId::bar, {left, top, barWidth, barHeight});
}

void Program::onMouseLeave() {
    state().hoverTracking = false;
    platform_.windows.setWindowVisible(WindowId::detail, false);
}

void Program::onHoverMove() {
    ProgramState& s = state();
    if (s.hoverTracking) return;
    Windows& windows = platform_.windows;
    windows.trackMouseLeave();
    s.hoverTracking = true;
    const Rect bar = windows.windowRect(WindowId::bar);
    const int panelTop = bar.top >= 200 ? bar.top - 135 : bar.top + 23;
    windows.moveWindow(WindowId::detail, {bar.left, panelTop, panelWidth, panelHeight});
    windows.setWindowVisible(WindowId::detail, true);
}

void Program::onHoverLeftPress() {
    platform_.windows.dragBar();
}

void Program::onPanelLeftPress() {
    platform_.windows.setWindowVisible(WindowId::detail, false);
}

void Program::onBarMoved() {
    const Rect bar = platform_.windows.windowRect(WindowId::bar);
    store_.writeNumber(settingPath("x"), bar.left);
    store_.writeNumber(settingPath("y"), bar.top);
}

}  // namespace vexmora
