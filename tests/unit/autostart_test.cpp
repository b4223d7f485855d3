#include "settings/autostart.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace vexmora {
namespace {

using fakes::FakeSystem;

TEST(ExePath, JoinsDirectoryAndFileWithOneBackslash) {
    const struct {
        Text directory, file, path;
    } cases[] = {
        {"C:", "meter.exe", "C:\\meter.exe"},
        {"C:\\", "meter.exe", "C:\\meter.exe"},
        {"C:\\Program Files\\My Tools", "vexmora.exe", "C:\\Program Files\\My Tools\\vexmora.exe"},
        // The last character of the folder name has the backslash code as its trail byte.
        {"D:\\\x95\x5C", "meter.exe", "D:\\\x95\x5C\\meter.exe"},
        {"D:\\工具\\\x95\x5C\x95\x5C", "m.exe", "D:\\工具\\\x95\x5C\x95\x5C\\m.exe"},
        // A network share keeps its leading pair.
        {"\\\\server\\share", "meter.exe", "\\\\server\\share\\meter.exe"},
        {"\\\\server\\share\\", "meter.exe", "\\\\server\\share\\meter.exe"},
    };
    for (const auto& c : cases) EXPECT_EQ(buildExePath(c.directory, c.file), c.path) << c.directory;
}

class AutostartTest : public ::testing::Test {
protected:
    FakeSystem system;
    const Text exe = "C:\\Tools\\vexmora.exe";
    void SetUp() override {
        system.seedUsableSettings();
        system.registry.putDword(FakeSystem::settingsKey, "提示", 0);
    }
    std::optional<RegValue> runValue() { return system.registry.queryValue(FakeSystem::runKey, "Toskarin"); }
    void putRunText(std::uint32_t type, const Text& text) {
        RegValue value{type, {text.begin(), text.end()}};
        value.data.push_back(0);
        system.registry.put(FakeSystem::runKey, "Toskarin", value);
    }
    Text storedRunText() {
        const auto value = runValue();
        return value ? Text(value->data.begin(), value->data.end() - 1) : Text();
    }
    bool markedOn() { return system.program.state().menuDocument.find("开机自动运行(√)") != Text::npos; }
};

TEST_F(AutostartTest, AbsentRunValueLeavesItOff) {
    ASSERT_TRUE(system.start());
    EXPECT_EQ(system.program.state().autostartOn, 0);
    EXPECT_FALSE(markedOn());
    EXPECT_FALSE(runValue());
}

TEST_F(AutostartTest, StaleRunValueIsRewrittenAtStart) {
    putRunText(1, "E:\\old place\\vexmora.exe");
    ASSERT_TRUE(system.start());
    EXPECT_EQ(system.program.state().autostartOn, 1);
    EXPECT_TRUE(markedOn());
    EXPECT_EQ(storedRunText(), exe);
    EXPECT_EQ(runValue()->type, 1u);
}

TEST_F(AutostartTest, RunValueOfAnotherTypeIsRewrittenAsText) {
    system.registry.putDword(FakeSystem::runKey, "Toskarin", 1);
    ASSERT_TRUE(system.start());
    EXPECT_EQ(runValue()->type, 1u);
    EXPECT_EQ(storedRunText(), exe);
}

TEST_F(AutostartTest, ExpandableRunValueNamingThisProgramIsKept) {
    system.registry.environment["TOOLS"] = "C:\\Tools";
    putRunText(2, "%TOOLS%\\vexmora.exe");
    ASSERT_TRUE(system.start());
    EXPECT_EQ(runValue()->type, 2u);
    EXPECT_EQ(storedRunText(), "%TOOLS%\\vexmora.exe");
    EXPECT_TRUE(markedOn());
}

TEST_F(AutostartTest, TogglingGivesItsNoticesAndTheMarkFollows) {
    ASSERT_TRUE(system.start());
    EXPECT_EQ(system.program.toggleAutostart(), 2);
    EXPECT_EQ(storedRunText(), exe);
    EXPECT_TRUE(markedOn());
    EXPECT_EQ(system.program.toggleAutostart(), 4);
    EXPECT_FALSE(runValue());
    EXPECT_FALSE(markedOn());
    EXPECT_EQ(system.program.toggleAutostart(), 2);
    EXPECT_TRUE(markedOn());
    EXPECT_EQ(system.program.state().autostartOn, 1);
}

TEST_F(AutostartTest, RefusedWriteOrDeleteChangesNothing) {
    ASSERT_TRUE(system.start());
    system.registry.failWrites = true;
    EXPECT_EQ(system.program.toggleAutostart(), 3);
    EXPECT_EQ(system.program.state().autostartOn, 0);
    EXPECT_FALSE(markedOn());
    system.registry.failWrites = false;
    ASSERT_EQ(system.program.toggleAutostart(), 2);
    system.registry.failDeletes = true;
    EXPECT_EQ(system.program.toggleAutostart(), 3);
    EXPECT_EQ(system.program.state().autostartOn, 1);
    EXPECT_TRUE(markedOn());
}

TEST_F(AutostartTest, ValueRemovedByAnotherProgramFailsTheSwitchOff) {
    putRunText(1, exe);
    ASSERT_TRUE(system.start());
    ASSERT_TRUE(system.registry.deleteValue(FakeSystem::runKey, "Toskarin"));
    EXPECT_EQ(system.program.toggleAutostart(), 3);
    EXPECT_EQ(system.program.state().autostartOn, 1);
    EXPECT_TRUE(markedOn());
}

}  // namespace
}  // namespace vexmora
