#include "settings/registry_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "settings/settings_store.h"

namespace vexmora::win32 {
namespace {

const Text testKey = "Software\\VexmoraTest\\注册表";

TEST(Win32Registry, ChineseNamesAndTextsRoundTrip) {
    Win32Registry registry;
    SettingsStore store(registry);
    store.deleteEntry(testKey + "\\");
    EXPECT_TRUE(store.writeNumber(testKey + "\\透明度", 200));
    EXPECT_EQ(store.readNumber(testKey + "\\透明度"), 200);
    EXPECT_TRUE(store.writeText(testKey + "\\路径", "C:\\工具\\vexmora.exe"));
    EXPECT_EQ(store.readText(testKey + "\\路径"), "C:\\工具\\vexmora.exe");
    EXPECT_TRUE(store.valueExists(testKey + "\\路径"));
    EXPECT_EQ(store.readNumber(testKey + "\\路径", 9), 9);  // a text is no number
    EXPECT_TRUE(store.deleteEntry(testKey + "\\透明度"));
    EXPECT_FALSE(store.valueExists(testKey + "\\透明度"));
    EXPECT_TRUE(store.deleteEntry(testKey + "\\"));
    EXPECT_FALSE(store.valueExists(testKey + "\\路径"));
    EXPECT_FALSE(store.deleteEntry(testKey + "\\"));
}

TEST(Win32Registry, ExpandableTextIsExpanded) {
    Win32Registry registry;
    SettingsStore store(registry);
    SetEnvironmentVariableW(L"VEXMORA_TEST_DIR", L"D:\\测试");
    const Text wide = "%VEXMORA_TEST_DIR%\\m.exe";
    RegValue value{REG_EXPAND_SZ, {wide.begin(), wide.end()}};
    value.data.push_back(0);
    ASSERT_TRUE(registry.setValue(testKey, "expand", value));
    EXPECT_EQ(store.readText(testKey + "\\expand"), "D:\\测试\\m.exe");
    store.deleteEntry(testKey + "\\");
}

TEST(Win32Registry, ShortDwordReadsAsAbsent) {
    Win32Registry registry;
    SettingsStore store(registry);
    ASSERT_TRUE(registry.setValue(testKey, "short", RegValue{REG_DWORD, {1, 2}}));
    EXPECT_EQ(store.readNumber(testKey + "\\short", 4), 4);
    store.deleteEntry(testKey + "\\");
}

}  // namespace
}  // namespace vexmora::win32
