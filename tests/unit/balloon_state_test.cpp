#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "menu/balloon_state.h"

namespace vexmora {
namespace {

// A window that logs what happens to it and a thread queue that holds the
// closed events until the test lets the "message loop" take them.
class FakeView final : public BalloonView {
public:
    void showWindow() override { log.push_back("show"); }
    void hideWindow() override { log.push_back("hide"); }
    void queueClosed() override {
        log.push_back("queue closed");
        queue.push_back([this] { log.push_back("closed"); });
    }
    void raiseLinkClicked(const Text& name) override {
        log.push_back("link " + name);
        if (onLink) onLink(name);
    }
    void runQueue() {
        while (!queue.empty()) {
            auto event = queue.front();
            queue.pop_front();
            event();
        }
    }

    std::vector<std::string> log;
    std::deque<std::function<void()>> queue;
    std::function<void(const Text&)> onLink;
};

using Log = std::vector<std::string>;

TEST(BalloonState, LinkPressRaisesTheLinkThenClosesThenTheClosedEventRunsLater) {
    FakeView view;
    BalloonState state(view);
    state.show();
    bool visibleDuringLink = false;
    view.onLink = [&](const Text&) { visibleDuringLink = state.visible(); };
    state.leftPress(Text("m3"));
    EXPECT_TRUE(visibleDuringLink);
    EXPECT_FALSE(state.visible());
    EXPECT_EQ(view.log, (Log{"show", "link m3", "hide", "queue closed"}));
    view.runQueue();
    EXPECT_EQ(view.log.back(), "closed");
    EXPECT_EQ(view.queue.size(), 0u);
}

TEST(BalloonState, PressOutsideEveryLinkOnlyCloses) {
    FakeView view;
    BalloonState state(view);
    state.show();
    state.leftPress(std::nullopt);
    view.runQueue();
    EXPECT_EQ(view.log, (Log{"show", "hide", "queue closed", "closed"}));
}

TEST(BalloonState, EveryCloseQueuesExactlyOneClosedAndAHiddenBalloonNone) {
    FakeView view;
    BalloonState state(view);
    state.close();
    state.leftPress(Text("m1"));
    EXPECT_TRUE(view.log.empty());
    state.show();
    state.close();
    state.close();
    state.leftPress(Text("m1"));
    view.runQueue();
    EXPECT_EQ(view.log, (Log{"show", "hide", "queue closed", "closed"}));
}

TEST(BalloonState, ShowWhileVisibleClosesFirstAndItsClosedRunsAfterTheNewShow) {
    FakeView view;
    BalloonState state(view);
    state.show();
    state.show();
    EXPECT_TRUE(state.visible());
    view.runQueue();
    EXPECT_EQ(view.log, (Log{"show", "hide", "queue closed", "show", "closed"}));
}

// A modal prompt opened by the link: a key press in it closes the balloon;
// the press that raised the link then queues no second closed().
TEST(BalloonState, ClosedByTheLinksOwnWorkQueuesNoSecondClosed) {
    FakeView view;
    BalloonState state(view);
    state.show();
    view.onLink = [&](const Text&) {
        state.close();     // the key press seen in the prompt's loop
        view.runQueue();   // the prompt's loop takes the queued event
    };
    state.leftPress(Text("m1"));
    view.runQueue();
    EXPECT_EQ(view.log, (Log{"show", "link m1", "hide", "queue closed", "closed"}));
}

// Should the link's work show another balloon, that one stays up.
TEST(BalloonState, ABalloonShownByTheLinksWorkStaysVisible) {
    FakeView view;
    BalloonState state(view);
    state.show();
    view.onLink = [&](const Text&) { state.show(); };
    state.leftPress(Text("x"));
    EXPECT_TRUE(state.visible());
    EXPECT_EQ(view.log, (Log{"show", "link x", "hide", "queue closed", "show"}));
}

}  // namespace
}  // namespace vexmora
