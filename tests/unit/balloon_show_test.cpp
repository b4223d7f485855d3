#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace vexmora {
namespace {

using fakes::FakeSystem;

struct ShowCase {
    int mode;
    int barTop;
    int x, y;  // the tip, for the bar's left at 400
    BalloonLook look;
};

// Menu look: square, no tail; any other mode: corners 3 x 3, a 9 x 5 tail.
// The bar's top decides the side: up to 300 below it, from 301 above.
TEST(ShowBalloon, LookAndSideFollowModeAndTheBarsTop) {
    const ShowCase cases[] = {
        {1, 300, 472, 322, {0, 0, 0, 0, TailPlacement::topMiddle}},
        {1, 301, 460, 301, {0, 0, 0, 0, TailPlacement::bottomMiddle}},
        {2, 300, 472, 322, {3, 3, 9, 5, TailPlacement::topMiddle}},
        {2, 301, 460, 301, {3, 3, 9, 5, TailPlacement::bottomMiddle}},
        {7, 0, 472, 22, {3, 3, 9, 5, TailPlacement::topMiddle}},
        {0, -50, 472, -28, {3, 3, 9, 5, TailPlacement::topMiddle}},
        {2, 1000, 460, 1000, {3, 3, 9, 5, TailPlacement::bottomMiddle}},
    };
    for (const ShowCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " top " << c.barTop);
        FakeSystem system;
        system.windows.bar.rect = Rect{400, c.barTop, 155, 22};
        system.program.showBalloon(c.mode, "<a msg=x>t</a>");
        ASSERT_EQ(system.balloon.shown.size(), 1u);
        const auto& shown = system.balloon.shown[0];
        EXPECT_EQ(shown.x, c.x);
        EXPECT_EQ(shown.y, c.y);
        EXPECT_EQ(shown.markup, "<a msg=x>t</a>");
        EXPECT_EQ(shown.look.cornerWidth, c.look.cornerWidth);
        EXPECT_EQ(shown.look.cornerHeight, c.look.cornerHeight);
        EXPECT_EQ(shown.look.tailWidth, c.look.tailWidth);
        EXPECT_EQ(shown.look.tailHeight, c.look.tailHeight);
        EXPECT_EQ(shown.look.tailPlacement, c.look.tailPlacement);
    }
}

TEST(ShowBalloon, MenuShowsTheCurrentMenuDocument) {
    FakeSystem system;
    system.seedUsableSettings();
    ASSERT_TRUE(system.start());
    system.balloon.shown.clear();
    system.program.state().menuDocument = "patched";
    system.program.showMenu();
    ASSERT_EQ(system.balloon.shown.size(), 1u);
    EXPECT_EQ(system.balloon.shown[0].markup, "patched");
    EXPECT_EQ(system.balloon.shown[0].look.tailWidth, 0);
}

}  // namespace
}  // namespace vexmora
