#include <gtest/gtest.h>

#include <algorithm>

#include "fakes/fake_platform.h"

namespace vexmora {
namespace {

using fakes::FakeSystem;

constexpr const char* key = FakeSystem::settingsKey;

struct Placed {
    std::optional<std::uint32_t> storedX, storedY;
    int screenWidth;
    Rect expected;
};

// Starts a program with usable settings and the given stored position.
void startWith(FakeSystem& system, std::optional<std::uint32_t> x, std::optional<std::uint32_t> y,
               int screenWidth = 1920) {
    system.seedUsableSettings();
    system.registry.putDword(key, "提示", 0);
    if (x) system.registry.putDword(key, "x", *x);
    if (y) system.registry.putDword(key, "y", *y);
    system.windows.screenWidth = screenWidth;
    system.windows.monitors = {{0, 0, screenWidth, 768}};
    ASSERT_TRUE(system.start());
}

std::size_t indexOf(const fakes::Log& log, const std::string& entry) {
    return static_cast<std::size_t>(std::find(log.begin(), log.end(), entry) - log.begin());
}

TEST(PlaceBarAtStart, PlacesAndStoresTheBar) {
    const auto minus = [](int v) { return static_cast<std::uint32_t>(v); };
    const Placed cases[] = {
        {std::nullopt, std::nullopt, 1920, {882, 0, 155, 22}},   // first start: centred, top 0
        {std::nullopt, std::nullopt, 1366, {605, 0, 155, 22}},
        {std::nullopt, 300u, 1920, {882, 0, 155, 22}},           // "y" alone is not a stored place
        {300u, std::nullopt, 1920, {300, 0, 155, 22}},           // "x" without "y": top 0
        {300u, 400u, 1920, {300, 400, 155, 22}},
        {minus(-100), minus(-10), 1920, {-100, -10, 155, 22}},   // partly off the screen: kept
        {1900u, 700u, 1920, {1900, 700, 155, 22}},
        {minus(-153), 100u, 1920, {-153, 100, 155, 22}},         // one outline column still on the screen
        {minus(-154), 100u, 1920, {882, 0, 155, 22}},            // only the cut-away ring would be on it
        {minus(-153), minus(-20), 1920, {882, 0, 155, 22}},      // only the missing corner pixel would be
        {5000u, 5000u, 1920, {882, 0, 155, 22}},                 // wholly off every monitor: as a first start
    };
    for (const Placed& c : cases) {
        FakeSystem system;
        startWith(system, c.storedX, c.storedY, c.screenWidth);
        SCOPED_TRACE(std::to_string(c.expected.left) + "," + std::to_string(c.expected.top));
        EXPECT_EQ(system.windows.bar.rect, c.expected);
        EXPECT_EQ(system.stored("x"), c.expected.left);
        EXPECT_EQ(system.stored("y"), c.expected.top);
    }
}

TEST(PlaceBarAtStart, StoresThePositionBeforeTheBarIsFirstShown) {
    FakeSystem system;
    startWith(system, std::nullopt, std::nullopt);
    const std::size_t stored = indexOf(system.log, "set Software\\Toskarin\\y");
    const std::size_t shown = indexOf(system.log, "setWindowVisible bar true");
    ASSERT_LT(shown, system.log.size());
    EXPECT_LT(stored, shown);
}

TEST(PlaceBarAtStart, AStoredPlaceOnASecondMonitorIsKept) {
    FakeSystem system;
    system.windows.monitors = {{0, 0, 1920, 1080}, {1920, -200, 1280, 1024}};
    system.seedUsableSettings();
    system.registry.putDword(key, "提示", 0);
    system.registry.putDword(key, "x", 2500);
    system.registry.putDword(key, "y", static_cast<std::uint32_t>(-150));
    ASSERT_TRUE(system.start());
    EXPECT_EQ(system.windows.bar.rect, (Rect{2500, -150, 155, 22}));
}

struct PanelCase {
    int barTop;
    int panelTop;
};

TEST(HoverMove, OpensThePanelAboveFromTop200AndBelowUnderIt) {
    const PanelCase cases[] = {{200, 65}, {199, 222}, {500, 365}, {0, 23}, {-5, 18}, {-30, -7}};
    for (const PanelCase& c : cases) {
        SCOPED_TRACE(c.barTop);
        FakeSystem system;
        startWith(system, 400u, 300u);
        system.windows.bar.rect = {400, c.barTop, 155, 22};  // where a drag left it
        system.log.clear();
        system.program.onHoverMove();
        EXPECT_EQ(system.windows.detail.rect, (Rect{400, c.panelTop, 155, 157}));
        EXPECT_TRUE(system.windows.detail.visible);
        EXPECT_TRUE(system.program.state().hoverTracking);
        const std::vector<std::string> expected = {
            "trackMouseLeave",
            "moveWindow detail 400," + std::to_string(c.panelTop) + " 155x157",
            "setWindowVisible detail true",
        };
        EXPECT_EQ(system.log, expected);
    }
}

TEST(HoverMove, FurtherMovesWhileOpenDoNothingEvenAfterADrag) {
    FakeSystem system;
    startWith(system, 400u, 300u);
    system.program.onHoverMove();
    system.windows.dragTo = Rect{600, 100, 0, 0};
    system.program.onHoverLeftPress();
    EXPECT_EQ(system.windows.bar.rect, (Rect{600, 100, 155, 22}));
    system.log.clear();
    for (int i = 0; i < 5; ++i) system.program.onHoverMove();
    EXPECT_TRUE(system.log.empty());
    // The panel stays where it opened, beside the bar's old place.
    EXPECT_EQ(system.windows.detail.rect, (Rect{400, 165, 155, 157}));
    EXPECT_TRUE(system.windows.detail.visible);
}

TEST(HoverMove, LeaveHidesAndTheNextMoveOpensAgainAtTheNewPlace) {
    FakeSystem system;
    startWith(system, 400u, 300u);
    system.program.onHoverMove();
    system.program.onMouseLeave();
    EXPECT_FALSE(system.windows.detail.visible);
    EXPECT_FALSE(system.program.state().hoverTracking);
    system.windows.dragTo = Rect{700, 150, 0, 0};
    system.program.onHoverLeftPress();
    system.program.onHoverMove();
    EXPECT_TRUE(system.windows.detail.visible);
    EXPECT_EQ(system.windows.detail.rect, (Rect{700, 173, 155, 157}));
}

TEST(PanelPress, HidesThePanelWhichStaysAwayUntilTheHoverLabelIsLeft) {
    FakeSystem system;
    startWith(system, 400u, 300u);
    system.program.onHoverMove();
    system.program.onPanelLeftPress();
    EXPECT_FALSE(system.windows.detail.visible);
    EXPECT_TRUE(system.program.state().hoverTracking);
    system.log.clear();
    system.program.onHoverMove();
    system.program.onHoverMove();
    EXPECT_TRUE(system.log.empty());
    EXPECT_FALSE(system.windows.detail.visible);

    system.program.onMouseLeave();  // pressed away -> resting, no visible change
    EXPECT_FALSE(system.windows.detail.visible);
    system.program.onHoverMove();
    EXPECT_TRUE(system.windows.detail.visible);
}

TEST(Drag, StoresTheDropPositionAndLeavesThePanelAlone) {
    FakeSystem system;
    startWith(system, 400u, 300u);
    system.program.onHoverMove();
    system.log.clear();
    system.windows.dragTo = Rect{-40, 620, 0, 0};
    system.program.onHoverLeftPress();
    EXPECT_EQ(system.log.front(), "dragBar");
    EXPECT_EQ(system.stored("x"), -40);
    EXPECT_EQ(system.stored("y"), 620);
    EXPECT_TRUE(system.windows.detail.visible);
    EXPECT_EQ(system.windows.detail.rect, (Rect{400, 165, 155, 157}));
    EXPECT_TRUE(system.program.state().hoverTracking);
}

TEST(Drag, ADropOnTheSamePlaceWritesNothing) {
    FakeSystem system;
    startWith(system, 400u, 300u);
    system.registry.putDword(key, "x", 1);  // would be rewritten by any position event
    system.windows.dragTo = Rect{400, 300, 0, 0};
    system.program.onHoverLeftPress();
    EXPECT_EQ(system.stored("x"), 1);
}

TEST(BarMoved, WritesTheCurrentLeftAndTop) {
    FakeSystem system;
    startWith(system, 400u, 300u);
    system.windows.bar.rect = {12, -7, 155, 22};
    system.program.onBarMoved();
    EXPECT_EQ(system.stored("x"), 12);
    EXPECT_EQ(system.stored("y"), -7);
}

}  // namespace
}  // namespace vexmora
