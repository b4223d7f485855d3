#include <gtest/gtest.h>

#include <algorithm>

#include "fakes/fake_platform.h"

namespace vexmora {
namespace {

using fakes::FakeSystem;

// The log entries that start with one of the prefixes, in order.
std::vector<std::string> only(const fakes::Log& log, std::initializer_list<const char*> prefixes) {
    std::vector<std::string> kept;
    for (const std::string& entry : log)
        for (const char* prefix : prefixes)
            if (entry.rfind(prefix, 0) == 0) kept.push_back(entry);
    return kept;
}

TEST(StartUp, RunsItsStepsInOrder) {
    FakeSystem system;
    system.seedUsableSettings();
    ASSERT_TRUE(system.start());
    const std::vector<std::string> expected = {
        "acquireInstanceMutex 516756",
        "installMouseLeaveHook",
        "cutWindowShape bar",
        "loadDetailWindow",
        "getIfTable probe",
        "getIfTable sorted",
        "moveWindow bar 882,0 155x22",
        "set Software\\Toskarin\\x",
        "set Software\\Toskarin\\y",
        "setWindowAlpha bar 200",
        "setWindowAlpha detail 200",
        "set Software\\Toskarin\\置顶",
        "setWindowVisible bar true",
        "setTimerPeriod 1000",
        "set Software\\Toskarin\\提示",
        "showAt 954,22",
        // the position-changed event right after the start-up
        "set Software\\Toskarin\\x",
        "set Software\\Toskarin\\y",
    };
    EXPECT_EQ(only(system.log, {"acquire", "install", "cut", "load", "getIfTable", "move", "set", "show"}),
              expected);
}

TEST(StartUp, FirstStartStoresTheNeverStoredDefaults) {
    FakeSystem system;
    system.seedUsableSettings();
    ASSERT_TRUE(system.start());
    EXPECT_EQ(system.stored("置顶"), 1);
    EXPECT_EQ(system.stored("提示"), 1);
    EXPECT_EQ(system.stored("x"), 882);
    EXPECT_EQ(system.stored("y"), 0);
    EXPECT_EQ(system.program.state().topmost, 1);
    EXPECT_TRUE(system.windows.bar.topmost);
    EXPECT_TRUE(system.windows.bar.visible);
    EXPECT_EQ(system.windows.timerPeriod, 1000);
    ASSERT_EQ(system.balloon.shown.size(), 1u);
    EXPECT_NE(system.balloon.shown[0].markup.find("<a msg=notip>"), Text::npos);
}

TEST(StartUp, SecondCopyEndsBeforeReadingOrWritingAnything) {
    FakeSystem system;
    system.seedUsableSettings();
    system.process.anotherCopyRunning = true;
    EXPECT_FALSE(system.start());
    EXPECT_EQ(system.log.back(), "orderlyExit 0");
    EXPECT_TRUE(only(system.log, {"set", "show", "setWindowVisible", "getIfTable"}).empty());
    EXPECT_FALSE(system.program.globalsLive());  // the clean-up ran
}

struct StoredFlagCase {
    std::optional<std::uint32_t> topmostStored;
    std::optional<std::int32_t> topmostAfter;  // stored value after start-up
    int topmostFlag;
    bool windowsOnTop;
    const char* mark;
};

TEST(StartUp, AlwaysOnTopFollowsTheStoredValue) {
    const StoredFlagCase cases[] = {
        {std::nullopt, 1, 1, true, "顶(√"},
        {1, 1, 1, true, "顶(√"},
        {0, 0, 0, false, "顶(×"},
        {5, 5, 0, true, "顶(√"},  // no change at start, and topmost stays 0
    };
    for (const StoredFlagCase& c : cases) {
        FakeSystem system;
        system.seedUsableSettings();
        if (c.topmostStored) system.registry.putDword(FakeSystem::settingsKey, "置顶", *c.topmostStored);
        ASSERT_TRUE(system.start());
        EXPECT_EQ(system.stored("置顶"), c.topmostAfter);
        EXPECT_EQ(system.program.state().topmost, c.topmostFlag);
        EXPECT_EQ(system.windows.bar.topmost, c.windowsOnTop);
        EXPECT_EQ(system.windows.detail.topmost, c.windowsOnTop);
        EXPECT_NE(system.program.state().menuDocument.find(c.mark), Text::npos);
    }
}

TEST(StartUp, TipFollowsTheStoredValue) {
    const std::pair<std::optional<std::uint32_t>, bool> cases[] = {
        {std::nullopt, true}, {1, true}, {0, false}, {7, false}};
    for (const auto& [stored, tipShown] : cases) {
        FakeSystem system;
        system.seedUsableSettings();
        if (stored) system.registry.putDword(FakeSystem::settingsKey, "提示", *stored);
        ASSERT_TRUE(system.start());
        EXPECT_EQ(system.balloon.shown.size(), tipShown ? 1u : 0u);
        EXPECT_EQ(system.stored("提示"), static_cast<std::int32_t>(stored.value_or(1)));
    }
}

TEST(StartUp, UsableStoredValuesFillTheMenuWithoutAsking) {
    FakeSystem system;
    system.interfaceTable.rows.resize(14);
    system.registry.putDword(FakeSystem::settingsKey, "监控编号", 14);
    system.registry.putDword(FakeSystem::settingsKey, "透明度", 225);
    system.registry.putDword(FakeSystem::settingsKey, "记录", 1);
    ASSERT_TRUE(system.start());
    EXPECT_TRUE(system.inputBox.asked.empty());
    const Text& menu = system.program.state().menuDocument;
    for (const char* label : {"监控编号(14)", "透明度(225)", "窗口置顶(√)", "记录总流量(√)", "开机自动运行(×)"})
        EXPECT_NE(menu.find(label), Text::npos) << label;
    EXPECT_EQ(system.program.state().recordTotal, 1);
}

TEST(StartUp, UnusableStoredValuesAskBeforeTheBarIsShown) {
    FakeSystem system;
    system.interfaceTable.rows.resize(3);
    system.registry.putDword(FakeSystem::settingsKey, "监控编号", 5);
    system.registry.putDword(FakeSystem::settingsKey, "透明度", 256);
    system.inputBox.answers = {Text("3"), Text("50")};
    ASSERT_TRUE(system.start());
    const auto asked = only(system.log, {"inputNumber", "setWindowVisible bar", "setTimerPeriod"});
    const std::vector<std::string> expected = {"inputNumber 请输入监控编号", "inputNumber 请输入透明度",
                                               "setWindowVisible bar true", "setTimerPeriod 1000"};
    EXPECT_EQ(asked, expected);
    EXPECT_EQ(system.stored("监控编号"), 3);
    EXPECT_EQ(system.stored("透明度"), 50);
    EXPECT_EQ(system.windows.bar.alpha, 50);
    EXPECT_EQ(system.windows.detail.alpha, 50);
}

TEST(StartUp, BoundaryOpacitiesAreAcceptedAsStored) {
    for (std::uint32_t opacity : {50u, 255u}) {
        FakeSystem system;
        system.seedUsableSettings();
        system.registry.putDword(FakeSystem::settingsKey, "透明度", opacity);
        ASSERT_TRUE(system.start());
        EXPECT_TRUE(system.inputBox.asked.empty());
        EXPECT_EQ(system.windows.bar.alpha, static_cast<int>(opacity));
    }
}

TEST(StartUp, ExePathIsBuiltFromTheRunDirectoryAndFileName) {
    FakeSystem system;
    system.seedUsableSettings();
    system.process.directory = "C:";
    system.process.fileName = "meter.exe";
    ASSERT_TRUE(system.start());
    EXPECT_EQ(system.program.state().exePath, "C:\\meter.exe");
}

}  // namespace
}  // namespace vexmora
