#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "menu/menu_document.h"

namespace vexmora {
namespace {

using fakes::ExitRequested;
using fakes::FakeSystem;

const Text monitorPrompt = "一般win7填入14 XP填入2,不行请尝试从1开始递增填入,输入范围1-";
const Text opacityPrompt = "窗口透明度,50透明度最高,255不透明,输入范围50-255";

bool contains(const Text& text, const Text& part) {
    return text.find(part) != Text::npos;
}

std::size_t countStarting(const fakes::Log& log, const std::string& prefix) {
    std::size_t n = 0;
    for (const std::string& entry : log) n += entry.rfind(prefix, 0) == 0;
    return n;
}

// A program that has started with usable values (monitor 2 of 3, opacity
// 200, always on top, recording off, no autostart) and is now running.
class RunningProgram : public ::testing::Test {
protected:
    void SetUp() override {
        system.seedUsableSettings();
        ASSERT_TRUE(system.start());
        system.log.clear();
    }
    ProgramState& state() { return system.program.state(); }
    const Text& menu() { return system.program.state().menuDocument; }
    void run(const Text& name) { system.program.runMenuCommand(name); }

    FakeSystem system;
};

// ---- m1 -------------------------------------------------------------------

TEST(MonitorPrompt, AtStartAsksWithTwoUntilANumberInRange) {
    FakeSystem system;
    system.interfaceTable.rows.resize(3);
    system.registry.putDword(FakeSystem::settingsKey, "监控编号", 5);  // an adapter gone since
    system.registry.putDword(FakeSystem::settingsKey, "透明度", 200);
    system.inputBox.answers = {Text("4"), Text("3")};
    ASSERT_TRUE(system.start());

    ASSERT_EQ(system.inputBox.asked.size(), 2u);
    for (const auto& asked : system.inputBox.asked) {
        EXPECT_EQ(asked.title, "请输入监控编号");
        EXPECT_EQ(asked.prompt, monitorPrompt + "3");
        EXPECT_EQ(asked.initialText, "2");
    }
    EXPECT_EQ(system.program.state().monitorNumber, 3);
    EXPECT_EQ(system.stored("监控编号"), 3);
    EXPECT_EQ(readSlot(system.program.state().menuDocument, "号("), "3");
    EXPECT_TRUE(contains(system.program.state().menuDocument, "监控编号(3)"));
}

TEST(MonitorPrompt, FromTheMenuTicksKeepReadingTheOldRowUntilAccepted) {
    FakeSystem system;
    system.interfaceTable.rows.assign(20, CounterRecord{5000, 5000});
    system.registry.putDword(FakeSystem::settingsKey, "监控编号", 14);
    system.registry.putDword(FakeSystem::settingsKey, "透明度", 200);
    ASSERT_TRUE(system.start());
    ProgramState& s = system.program.state();
    system.program.onMeterTick();  // the first reading of row 14

    // While the box is open a second passes on each showing; only row 14 moves.
    std::vector<std::int32_t> numberDuringPrompt;
    std::vector<Text> rateDuringPrompt;
    system.inputBox.duringPrompt = [&] {
        numberDuringPrompt.push_back(s.monitorNumber);
        system.interfaceTable.rows[13].inOctets += 10240;
        system.interfaceTable.rows[6].inOctets += 2048;
        system.program.onMeterTick();
        rateDuringPrompt.push_back(system.windows.labelText(LabelId::barReceive));
    };
    system.inputBox.answers = {Text("99"), Text("7")};
    system.program.runMenuCommand("m1");

    ASSERT_EQ(system.inputBox.asked.size(), 2u);
    EXPECT_EQ(system.inputBox.asked[0].initialText, "14");
    EXPECT_EQ(system.inputBox.asked[1].initialText, "14");  // not the rejected 99
    EXPECT_EQ(system.inputBox.asked[1].prompt, monitorPrompt + "20");
    EXPECT_EQ(numberDuringPrompt, (std::vector<std::int32_t>{14, 14}));
    EXPECT_EQ(rateDuringPrompt, (std::vector<Text>{"10.0KB/S", "10.0KB/S"}));
    EXPECT_EQ(s.monitorNumber, 7);
    EXPECT_EQ(system.stored("监控编号"), 7);
    EXPECT_TRUE(contains(s.menuDocument, "监控编号(7)"));
    EXPECT_EQ(readSlot(s.menuDocument, "号("), "7");
}

TEST_F(RunningProgram, MonitorPromptRejectsEveryAnswerOutOfRange) {
    // Three interfaces. Each of these must bring the box back unchanged.
    const std::vector<std::optional<Text>> rejected = {
        std::nullopt,     // cancel, Esc or the close button
        Text("-"),        // 0
        Text(""),         // 0
        Text("0"),
        Text("4"),
        Text("-1"),
        Text("abc"),
        Text("4294967299"),   // 3 if cut to 32 bits
        Text("-4294967293"),  // 3 if cut to 32 bits
        Text(300, '9'),
    };
    for (const auto& answer : rejected) system.inputBox.answers.push_back(answer);
    system.inputBox.answers.push_back(Text(" +3x"));
    run("m1");

    ASSERT_EQ(system.inputBox.asked.size(), rejected.size() + 1);
    for (const auto& asked : system.inputBox.asked) EXPECT_EQ(asked.initialText, "2");
    EXPECT_EQ(countStarting(system.log, "set Software\\Toskarin\\监控编号"), 1u);  // the accepted one only
    EXPECT_EQ(state().monitorNumber, 3);
    EXPECT_EQ(system.stored("监控编号"), 3);
    EXPECT_EQ(state().noticeCode, 0);
}

TEST(MonitorPrompt, WithNoInterfaceLooksAtTheTableAgainEachTime) {
    FakeSystem system;
    system.registry.putDword(FakeSystem::settingsKey, "透明度", 200);
    int showing = 0;
    system.inputBox.duringPrompt = [&] {
        if (++showing == 1) system.interfaceTable.rows.resize(2);  // an adapter comes up
    };
    system.inputBox.answers = {Text("1"), Text("2")};
    ASSERT_TRUE(system.start());

    ASSERT_EQ(system.inputBox.asked.size(), 2u);
    EXPECT_EQ(system.inputBox.asked[0].prompt, monitorPrompt + "0");
    EXPECT_EQ(system.inputBox.asked[1].prompt, monitorPrompt + "2");
    EXPECT_EQ(system.program.state().interfaceCount, 2);
    EXPECT_EQ(system.program.state().monitorNumber, 2);
    EXPECT_EQ(system.stored("监控编号"), 2);
    EXPECT_TRUE(system.windows.bar.visible);
}

TEST(MonitorPrompt, WithNoInterfaceACancelEndsTheProgramBeforeAnyTick) {
    FakeSystem system;
    system.inputBox.answers = {Text("1"), std::nullopt};
    EXPECT_FALSE(system.start());
    EXPECT_EQ(system.log.back(), "orderlyExit 0");
    EXPECT_EQ(system.inputBox.asked.size(), 2u);
    EXPECT_FALSE(system.program.globalsLive());  // the clean-up ran
    EXPECT_EQ(system.windows.timerPeriod, 0);
    EXPECT_FALSE(system.windows.bar.visible);
    EXPECT_FALSE(system.stored("监控编号").has_value());
}

// ---- m2 -------------------------------------------------------------------

TEST(OpacityPrompt, StoredOutOfRangeOpensWith225) {
    for (std::uint32_t stored : {30u, 49u, 256u, 0xFFFFFFFFu}) {
        FakeSystem system;
        system.seedUsableSettings();
        system.registry.putDword(FakeSystem::settingsKey, "透明度", stored);
        system.inputBox.answers = {std::nullopt, Text("120")};
        ASSERT_TRUE(system.start());
        ASSERT_EQ(system.inputBox.asked.size(), 2u) << stored;
        for (const auto& asked : system.inputBox.asked) {
            EXPECT_EQ(asked.title, "请输入透明度");
            EXPECT_EQ(asked.prompt, opacityPrompt);
            EXPECT_EQ(asked.initialText, "225");
        }
        EXPECT_EQ(system.stored("透明度"), 120);
        EXPECT_EQ(system.windows.bar.alpha, 120);
        EXPECT_EQ(system.windows.detail.alpha, 120);
        EXPECT_TRUE(contains(system.program.state().menuDocument, "透明度(120)"));
    }
}

TEST_F(RunningProgram, OpacityPromptAcceptsFiftyTo255Only) {
    const std::pair<const char*, bool> cases[] = {
        {"49", false}, {"50", true}, {"255", true}, {"256", false},
        {"-", false},  {"4294967346", false},  // 50 if cut to 32 bits
    };
    for (const auto& [typed, accepted] : cases) {
        system.inputBox.asked.clear();
        system.inputBox.answers = {Text(typed), Text("100")};
        run("m2");
        const int expected = accepted ? std::stoi(typed) : 100;
        EXPECT_EQ(system.inputBox.asked.size(), accepted ? 1u : 2u) << typed;
        EXPECT_EQ(state().opacity, expected) << typed;
        EXPECT_EQ(system.stored("透明度"), expected) << typed;
        EXPECT_EQ(system.windows.bar.alpha, expected) << typed;
        EXPECT_EQ(system.windows.detail.alpha, expected) << typed;
        EXPECT_EQ(readSlot(menu(), "度("), std::to_string(expected)) << typed;
        system.inputBox.answers.clear();
    }
}

TEST_F(RunningProgram, OpacityPromptOpensWithTheCurrentOpacityAndChangesNothingUntilAccepted) {
    std::vector<int> alphaDuringPrompt;
    system.inputBox.duringPrompt = [&] { alphaDuringPrompt.push_back(system.windows.bar.alpha); };
    system.inputBox.answers = {std::nullopt, Text("300"), Text("60")};
    run("m2");
    ASSERT_EQ(system.inputBox.asked.size(), 3u);
    for (const auto& asked : system.inputBox.asked) EXPECT_EQ(asked.initialText, "200");
    EXPECT_EQ(alphaDuringPrompt, (std::vector<int>{200, 200, 200}));
    EXPECT_EQ(countStarting(system.log, "set Software\\Toskarin\\透明度"), 1u);
    const std::vector<std::string> applied = {"setWindowAlpha bar 60", "setWindowAlpha detail 60"};
    std::vector<std::string> alphaLog;
    for (const std::string& entry : system.log)
        if (entry.rfind("setWindowAlpha", 0) == 0) alphaLog.push_back(entry);
    EXPECT_EQ(alphaLog, applied);
    EXPECT_TRUE(contains(menu(), "透明度(60)"));
    EXPECT_FALSE(contains(menu(), "透明度(200)"));
}

// ---- the switches and the rest of the table --------------------------------

TEST_F(RunningProgram, AlwaysOnTopSwitchesBackAndForth) {
    run("m3");
    EXPECT_EQ(state().noticeCode, 7);
    EXPECT_EQ(state().topmost, 0);
    EXPECT_EQ(system.stored("置顶"), 0);
    EXPECT_FALSE(system.windows.bar.topmost);
    EXPECT_FALSE(system.windows.detail.topmost);
    EXPECT_TRUE(contains(menu(), "窗口置顶(×)"));

    state().noticeCode = 0;  // as the sequencer leaves it
    run("m3");
    EXPECT_EQ(state().noticeCode, 8);
    EXPECT_EQ(state().topmost, 1);
    EXPECT_EQ(system.stored("置顶"), 1);
    EXPECT_TRUE(system.windows.bar.topmost);
    EXPECT_TRUE(system.windows.detail.topmost);
    EXPECT_TRUE(contains(menu(), "窗口置顶(√)"));
}

TEST_F(RunningProgram, RecordingOnWritesOnlyTheSwitchAndOffClearsTheTotal) {
    state().grandTotalMb = 42;
    run("m4");
    EXPECT_EQ(state().noticeCode, 5);
    EXPECT_EQ(state().recordTotal, 1);
    EXPECT_EQ(system.stored("记录"), 1);
    EXPECT_EQ(countStarting(system.log, "set"), 1u);  // no total written
    EXPECT_TRUE(contains(menu(), "记录总流量(√)"));

    run("m4");
    EXPECT_EQ(state().noticeCode, 6);
    EXPECT_EQ(state().recordTotal, 0);
    EXPECT_EQ(system.stored("记录"), 0);
    EXPECT_EQ(system.stored("总流量"), 0);
    EXPECT_TRUE(contains(menu(), "记录总流量(×)"));
    EXPECT_EQ(state().grandTotalMb, 42);  // memory keeps running
}

TEST_F(RunningProgram, AutostartSwitchesThroughTheRunValue) {
    run("m5");
    EXPECT_EQ(state().noticeCode, 2);
    EXPECT_EQ(state().autostartOn, 1);
    EXPECT_TRUE(contains(menu(), "开机自动运行(√)"));
    const auto runValue = system.registry.queryValue(FakeSystem::runKey, "Toskarin");
    ASSERT_TRUE(runValue.has_value());
    EXPECT_EQ(Text(runValue->data.begin(), runValue->data.end()).c_str(), state().exePath);
    run("m5");
    EXPECT_EQ(state().noticeCode, 4);
    EXPECT_EQ(state().autostartOn, 0);
    EXPECT_TRUE(contains(menu(), "开机自动运行(×)"));
    EXPECT_EQ(system.registry.valueCount(FakeSystem::runKey), 0u);
}

TEST_F(RunningProgram, ConfirmationAboutAndTipLinks) {
    run("m6");
    EXPECT_EQ(state().noticeCode, 9);
    run("m7");
    EXPECT_EQ(state().noticeCode, 1);
    EXPECT_TRUE(system.log.empty());  // neither touches anything else

    run("notip");
    EXPECT_EQ(state().noticeCode, 12);
    EXPECT_EQ(system.stored("提示"), 0);
}

TEST_F(RunningProgram, ExitEndsAtOnceThroughTheOrderlyExit) {
    try {
        run("m8");
        ADD_FAILURE() << "m8 returned";
    } catch (const ExitRequested& exit) {
        EXPECT_EQ(exit.code, 0);
    }
    EXPECT_EQ(system.log, (fakes::Log{"orderlyExit 0"}));
    EXPECT_FALSE(system.program.globalsLive());
}

TEST_F(RunningProgram, ResetStopsTheTicksAndDeletesEverythingStored) {
    run("m5");  // a Run value to delete
    run("m4");
    run("m3");
    const Text menuBefore = menu();
    system.log.clear();
    run("yes");
    EXPECT_EQ(system.windows.timerPeriod, 0);
    EXPECT_EQ(system.log.front(), "setTimerPeriod 0");  // before anything is deleted
    EXPECT_EQ(state().recordTotal, 0);
    EXPECT_FALSE(system.registry.hasKey(FakeSystem::settingsKey));
    EXPECT_EQ(system.registry.valueCount(FakeSystem::runKey), 0u);
    EXPECT_EQ(state().noticeCode, 10);
    // Nothing else is reset in memory; the program ends after the notice.
    EXPECT_EQ(menu(), menuBefore);
    EXPECT_EQ(state().opacity, 200);
    EXPECT_EQ(state().topmost, 0);
    EXPECT_EQ(state().autostartOn, 1);
}

TEST_F(RunningProgram, OtherNamesDoNothingAtAll) {
    state().noticeCode = 0;
    const ProgramState before = state();
    std::vector<Text> names = {"M1", "M2", "M8", "Yes", "NOTIP", "help", "about", "no", "", "m", "m0", "m9",
                               "m10", "m1 ", " m1"};
    names.push_back(Text("m8\0", 3));  // the bytes must match as a whole
    for (int k = 1; k <= 10; ++k) names.push_back("msg" + std::to_string(k));
    for (const Text& name : names) {
        run(name);  // a prompt would throw: the fake has no answers
        EXPECT_EQ(state().noticeCode, before.noticeCode) << name;
        EXPECT_EQ(state().menuDocument, before.menuDocument) << name;
        EXPECT_EQ(state().monitorNumber, before.monitorNumber) << name;
        EXPECT_EQ(state().opacity, before.opacity) << name;
        EXPECT_EQ(state().topmost, before.topmost) << name;
        EXPECT_EQ(state().recordTotal, before.recordTotal) << name;
        EXPECT_EQ(state().autostartOn, before.autostartOn) << name;
    }
    EXPECT_TRUE(system.log.empty());
    EXPECT_TRUE(system.inputBox.asked.empty());
    EXPECT_TRUE(system.windows.bar.topmost);
    EXPECT_EQ(system.windows.timerPeriod, 1000);
}

}  // namespace
}  // namespace vexmora
