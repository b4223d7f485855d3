#include "menu/balloon_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace vexmora::win32 {
namespace {

const Text oneLink = "<a msg=go><font size=10pt>   hello   </font></a>";
const BalloonLook noticeLook{3, 3, 9, 5, TailPlacement::topMiddle};

// Takes every queued message until the condition holds or time runs out.
void pump(int milliseconds, const std::function<bool()>& until = {}) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(milliseconds);
    MSG message;
    while (GetTickCount() < end) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (until && until()) return;
        Sleep(10);
    }
}

class BalloonFixture : public ::testing::Test {
protected:
    void SetUp() override {
        other_.reset(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                     GetModuleHandleW(nullptr), nullptr));
        ASSERT_TRUE(other_);
        balloon_.connect(
            [this](const Text& name) {
                log_.push_back("link " + name + (balloon_.visible() ? " (visible)" : " (hidden)"));
                if (onLink_) onLink_();
            },
            [this] { log_.push_back("closed"); });
        balloon_.setLook(noticeLook);
    }

    void show() {
        balloon_.showAt(300, 200, oneLink);
        ASSERT_TRUE(IsWindowVisible(balloon_.window()));
    }

    LPARAM clientPoint(POINT screen) {
        ScreenToClient(balloon_.window(), &screen);
        return MAKELPARAM(screen.x, screen.y);
    }

    int closedCount() const {
        int n = 0;
        for (const std::string& entry : log_) n += entry == "closed";
        return n;
    }

    Win32Balloon balloon_{GetModuleHandleW(nullptr)};
    UniqueWindow other_;  // another window of the program's thread
    std::vector<std::string> log_;
    std::function<void()> onLink_;
};

TEST_F(BalloonFixture, NeverActivatedToolWindowOwnedByNothing) {
    show();
    const LONG_PTR exStyle = GetWindowLongPtrW(balloon_.window(), GWL_EXSTYLE);
    for (LONG_PTR flag : std::initializer_list<LONG_PTR>{WS_EX_TOPMOST, WS_EX_TOOLWINDOW, WS_EX_NOACTIVATE, WS_EX_LAYERED})
        EXPECT_TRUE(exStyle & flag) << flag;
    EXPECT_EQ(GetWindow(balloon_.window(), GW_OWNER), nullptr);
    EXPECT_NE(GetForegroundWindow(), balloon_.window());
    RECT rect{};
    GetWindowRect(balloon_.window(), &rect);
    EXPECT_EQ(rect.top, 200);  // the tail's tip on the point
    EXPECT_LE(std::abs((rect.left + rect.right) / 2 - 300), 1);
}

TEST_F(BalloonFixture, FadesInInSteps) {
    show();
    BYTE alpha = 255;
    ASSERT_TRUE(GetLayeredWindowAttributes(balloon_.window(), nullptr, &alpha, nullptr));
    EXPECT_EQ(alpha, 0);
    std::vector<int> seen;
    pump(1500, [&] {
        GetLayeredWindowAttributes(balloon_.window(), nullptr, &alpha, nullptr);
        if (seen.empty() || seen.back() != alpha) seen.push_back(alpha);
        return alpha == 204;
    });
    EXPECT_EQ(alpha, 204);
    for (int value : seen) EXPECT_EQ(value % 51, 0) << value;
}

TEST_F(BalloonFixture, LeftPressOnALinkRaisesItWhileVisibleThenClosesOnce) {
    show();
    const auto point = balloon_.linkPoint("go");
    ASSERT_TRUE(point);
    PostMessageW(balloon_.window(), WM_LBUTTONDOWN, MK_LBUTTON, clientPoint(*point));
    pump(1000, [&] { return closedCount() > 0; });
    pump(100);
    EXPECT_EQ(log_, (std::vector<std::string>{"link go (visible)", "closed"}));
    EXPECT_FALSE(IsWindowVisible(balloon_.window()));
}

TEST_F(BalloonFixture, PressBesideEveryLinkOnlyCloses) {
    show();
    RECT rect{};
    GetWindowRect(balloon_.window(), &rect);
    PostMessageW(balloon_.window(), WM_LBUTTONDOWN, MK_LBUTTON, clientPoint(POINT{rect.left + 3, rect.bottom - 3}));
    pump(500);
    EXPECT_EQ(log_, (std::vector<std::string>{"closed"}));
}

TEST_F(BalloonFixture, PressesWheelAndKeysPostedToAnyWindowOfTheThreadClose) {
    const UINT closers[] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN, WM_LBUTTONDBLCLK, WM_NCLBUTTONDOWN,
                            WM_NCRBUTTONDOWN, WM_MOUSEWHEEL, WM_KEYDOWN, WM_SYSKEYDOWN};
    for (UINT message : closers) {
        log_.clear();
        show();
        PostMessageW(other_.get(), message, 0, 0);
        pump(500, [&] { return closedCount() > 0; });
        pump(50);
        EXPECT_EQ(log_, (std::vector<std::string>{"closed"})) << message;
        EXPECT_FALSE(IsWindowVisible(balloon_.window())) << message;
    }
    // Moves and key releases do not close it.
    log_.clear();
    show();
    PostMessageW(other_.get(), WM_MOUSEMOVE, 0, 0);
    PostMessageW(other_.get(), WM_KEYUP, 'A', 0);
    pump(200);
    EXPECT_TRUE(IsWindowVisible(balloon_.window()));
    EXPECT_TRUE(log_.empty());
}

TEST_F(BalloonFixture, DeactivationOfTheProgramCloses) {
    show();
    SendMessageW(other_.get(), WM_ACTIVATEAPP, FALSE, 0);
    pump(300);
    EXPECT_EQ(log_, (std::vector<std::string>{"closed"}));
    show();
    SendMessageW(other_.get(), WM_ACTIVATEAPP, TRUE, 0);
    pump(200);
    EXPECT_TRUE(IsWindowVisible(balloon_.window()));
}

TEST_F(BalloonFixture, ShowWhileVisibleClosesFirstAndItsClosedRunsLater) {
    show();
    balloon_.showAt(400, 300, oneLink);
    EXPECT_TRUE(log_.empty());  // queued, not run
    EXPECT_TRUE(IsWindowVisible(balloon_.window()));
    pump(300);
    EXPECT_EQ(log_, (std::vector<std::string>{"closed"}));
    EXPECT_TRUE(IsWindowVisible(balloon_.window()));
}

// A modal prompt opened by the link: its loop sees a key press, which closes
// the balloon; the press on the link then queues no second closed().
TEST_F(BalloonFixture, KeyInANestedLoopOfTheLinkClosesOnceOnly) {
    show();
    onLink_ = [&] {
        PostMessageW(other_.get(), WM_KEYDOWN, 'A', 0);
        pump(300);
    };
    PostMessageW(balloon_.window(), WM_LBUTTONDOWN, MK_LBUTTON, clientPoint(*balloon_.linkPoint("go")));
    pump(600);
    EXPECT_EQ(log_, (std::vector<std::string>{"link go (visible)", "closed"}));
}

}  // namespace
}  // namespace vexmora::win32
