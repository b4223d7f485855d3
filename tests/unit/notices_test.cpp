#include "menu/notices.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace vexmora {
namespace {

using fakes::FakeSystem;

class NoticesTest : public ::testing::Test {
protected:
    FakeSystem system;
    void SetUp() override {
        system.seedUsableSettings();
        system.registry.putDword(FakeSystem::settingsKey, "提示", 0);
        ASSERT_TRUE(system.start());
        system.balloon.shown.clear();
    }
    ProgramState& state() { return system.program.state(); }
    const fakes::FakeBalloon::Shown& lastShown() { return system.balloon.shown.back(); }
};


TEST_F(NoticesTest, EachOneLinkCodeShowsItsNoticeAndClears) {
    const struct {
        std::int32_t code;
        const char* link;
        const char* text;
    } cases[] = {
        {2, "msg1", "操作成功,程序将开机自启动"},   {3, "msg2", "操作失败,可能被安全软件阻止"},
        {4, "msg3", "操作成功,程序不会开机自启动"}, {5, "msg4", "下次运行时总流量会累加计算"},
        {6, "msg5", "功能已关闭"},                 {7, "msg6", "窗口不会置顶"},
        {8, "msg7", "窗口将总在最前端显示"},       {12, "msg10", "下次运行将不再弹出提示信息"},
    };
    for (const auto& c : cases) {
        state().noticeCode = c.code;
        system.program.onBalloonClosed();
        ASSERT_FALSE(system.balloon.shown.empty()) << c.code;
        EXPECT_EQ(lastShown().markup, Text("<a msg=") + c.link + "><font size=10pt>   " + c.text + "   </font></a>");
        EXPECT_EQ(lastShown().look.tailWidth, 9);  // notice look
        EXPECT_EQ(state().noticeCode, 0);
    }
}

TEST_F(NoticesTest, NothingFollowsCodeZeroOrAnUnknownCode) {
    for (std::int32_t code : {0, 13, -1, 1000}) {
        state().noticeCode = code;
        system.program.onBalloonClosed();
        EXPECT_TRUE(system.balloon.shown.empty()) << code;
        EXPECT_EQ(state().noticeCode, 0);
    }
}

TEST_F(NoticesTest, AboutShowsTwoRowsBothLinkedToAbout) {
    state().noticeCode = 1;
    system.program.onBalloonClosed();
    const Text spacer(33, ' ');
    const Text row1 = "<a msg=about><font size=10pt>   Vexmora 网络流量监视器   </font><br><font size=3pt>" + spacer +
                      "</font></a></br>";
    const Text row2 = "<a msg=about><font size=10pt>   版本 2   </font><br><font size=3pt>" + spacer + "</font></a></br>";
    EXPECT_EQ(lastShown().markup, row1 + "\r\n" + row2);
    EXPECT_EQ(state().noticeCode, 0);
}

TEST_F(NoticesTest, ResetConfirmationIsNestedInsideMsg8) {
    state().noticeCode = 9;
    system.program.onBalloonClosed();
    const Text expected =
        "<a msg=msg8><font size=10pt>   "
        "<a msg=no><font size=15pt>   真的要恢复默认设置？   </font><br><font size=3pt>" + Text(33, ' ') +
        "</font></a></br><a msg=yes><font size=10pt>     确定   </font></a>"
        "<a msg=no><font size=10pt>   取消     </font></a>"
        "   </font></a>";
    EXPECT_EQ(lastShown().markup, expected);
    EXPECT_EQ(lastShown().markup.find("\r\n"), Text::npos);
}

TEST_F(NoticesTest, ConfirmedResetEndsTheProgramAtTheCloseAfterItsNotice) {
    system.program.runMenuCommand("m6");
    EXPECT_EQ(state().noticeCode, 9);
    system.program.onBalloonClosed();  // the menu closed: the confirmation
    system.program.runMenuCommand("yes");
    EXPECT_EQ(system.windows.timerPeriod, 0);
    EXPECT_FALSE(system.registry.hasKey(FakeSystem::settingsKey));
    system.program.onBalloonClosed();  // the confirmation closed: the success notice
    EXPECT_EQ(lastShown().markup,
              "<a msg=msg9><font size=10pt>   恢复默认设置成功,程序将退出   </font></a>");
    EXPECT_EQ(state().noticeCode, 11);
    try {
        system.program.onBalloonClosed();  // any close of the success notice
        FAIL() << "the program went on";
    } catch (const fakes::ExitRequested& exit) {
        EXPECT_EQ(exit.code, 0);
    }
    EXPECT_FALSE(system.program.globalsLive());  // the clean-up ran
}

TEST_F(NoticesTest, AbandonedResetChangesNothing) {
    system.program.runMenuCommand("m6");
    system.program.onBalloonClosed();
    system.program.runMenuCommand("no");
    system.program.onBalloonClosed();
    EXPECT_EQ(system.balloon.shown.size(), 1u);
    EXPECT_EQ(state().noticeCode, 0);
    EXPECT_TRUE(system.registry.hasKey(FakeSystem::settingsKey));
    EXPECT_EQ(system.windows.timerPeriod, 1000);
}

}  // namespace
}  // namespace vexmora
