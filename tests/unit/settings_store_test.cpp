#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace vexmora {
namespace {

struct SplitCase {
    Text path, key, value;
};

TEST(SplitEntryPath, SplitsAtTheLastSingleByteBackslash) {
    const SplitCase cases[] = {
        {"Software\\Toskarin\\x", "Software\\Toskarin", "x"},
        {"Software\\Toskarin\\", "Software\\Toskarin", ""},
        {"Software\\Microsoft\\Windows\\CurrentVersion\\Run\\Toskarin",
         "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Toskarin"},
        {"Software\\Toskarin\\监控编号", "Software\\Toskarin", "监控编号"},
        // 0x95 0x5C is one character whose trail byte is the backslash code.
        {"Software\\\x95\x5C", "Software", "\x95\x5C"},
        {"name", "", "name"},
    };
    for (const SplitCase& c : cases) {
        const EntryPath split = splitEntryPath(c.path);
        EXPECT_EQ(split.keyPath, c.key) << c.path;
        EXPECT_EQ(split.valueName, c.value) << c.path;
    }
}

class SettingsStoreTest : public ::testing::Test {
protected:
    fakes::Log log;
    fakes::FakeRegistry registry{log};
    SettingsStore store{registry};
    const Text key = "Software\\Toskarin";
    Text path(const Text& name) const { return key + "\\" + name; }
};

TEST_F(SettingsStoreTest, AbsentKeyReadsAsDefaults) {
    EXPECT_FALSE(store.valueExists(path("x")));
    EXPECT_EQ(store.readNumber(path("监控编号")), 0);
    EXPECT_EQ(store.readNumber(path("置顶"), 2), 2);
    EXPECT_EQ(store.readText(path("x")), "");
}

TEST_F(SettingsStoreTest, WrongTypesAndSizesReadAsAbsent) {
    registry.put(key, "sz", RegValue{1, {'5', 0}});
    registry.put(key, "short", RegValue{4, {1, 0}});
    registry.put(key, "long", RegValue{4, {1, 0, 0, 0, 0}});
    registry.put(key, "binary", RegValue{3, {1, 0, 0, 0}});
    registry.put(key, "empty", RegValue{4, {}});
    for (const char* name : {"sz", "short", "long", "binary", "empty"}) {
        EXPECT_TRUE(store.valueExists(path(name))) << name;
        EXPECT_EQ(store.readNumber(path(name), 7), 7) << name;
        EXPECT_EQ(store.readNumber(path(name)), 0) << name;
    }
    EXPECT_EQ(store.readText(path("short")), "");
}

TEST_F(SettingsStoreTest, DwordReadsAsSignedLittleEndian) {
    registry.putDword(key, "透明度", 0xFFFFFFFFu);
    registry.putDword(key, "x", 0x80000000u);
    registry.putDword(key, "y", 0x00000102u);
    EXPECT_EQ(store.readNumber(path("透明度")), -1);
    EXPECT_EQ(store.readNumber(path("x")), INT32_MIN);
    EXPECT_EQ(store.readNumber(path("y")), 258);
}

TEST_F(SettingsStoreTest, WritesCreateTheKeyAndStoreDwords) {
    EXPECT_TRUE(store.writeNumber(path("x"), -5));
    EXPECT_EQ(registry.dword(key, "x"), -5);
    registry.failWrites = true;
    EXPECT_FALSE(store.writeNumber(path("y"), 1));
}

TEST(StoredDword, TruncatesTowardZeroAndKeepsTheLow32Bits) {
    const std::pair<double, std::int32_t> cases[] = {
        {1234.99, 1234}, {1500.9, 1500}, {-0.5, 0}, {-1.5, -1},
        {2147483647.0, INT32_MAX}, {4294967296.0 + 7.9, 7}, {2147483648.0, INT32_MIN},
        {1e300, -1}, {-1e300, 0},
    };
    for (const auto& [value, stored] : cases) EXPECT_EQ(storedDword(value), stored) << value;
}

TEST_F(SettingsStoreTest, TextsAreStoredWithTheirNulAndReadUpToTheFirstNul) {
    const Text run = "Software\\Microsoft\\Windows\\CurrentVersion\\Run\\Toskarin";
    EXPECT_TRUE(store.writeText(run, "C:\\My Tools\\vexmora.exe"));
    const auto stored = registry.queryValue("Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Toskarin");
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->type, 1u);
    EXPECT_EQ(stored->data.back(), 0);
    EXPECT_EQ(store.readText(run), "C:\\My Tools\\vexmora.exe");

    registry.put(key, "two", RegValue{1, {'a', 'b', 0, 'c', 0}});
    EXPECT_EQ(store.readText(path("two")), "ab");
    registry.put(key, "unterminated", RegValue{1, {'a', 'b'}});
    EXPECT_EQ(store.readText(path("unterminated")), "ab");
    registry.environment["HOME"] = "C:\\Users\\me";
    registry.put(key, "expand", RegValue{2, {'%', 'H', 'O', 'M', 'E', '%', '\\', 'v', 0}});
    EXPECT_EQ(store.readText(path("expand")), "C:\\Users\\me\\v");
    registry.putDword(key, "number", 5);
    EXPECT_EQ(store.readText(path("number")), "");
}

TEST_F(SettingsStoreTest, DeleteEntryDeletesTheValueElseTheKey) {
    store.writeNumber(path("x"), 1);
    store.writeNumber(path("y"), 2);
    EXPECT_TRUE(store.deleteEntry(path("x")));
    EXPECT_FALSE(store.deleteEntry(path("x")));  // gone, and no subkey of that name
    EXPECT_TRUE(registry.hasKey(key));
    EXPECT_TRUE(store.deleteEntry(key + "\\"));
    EXPECT_FALSE(registry.hasKey(key));
    EXPECT_FALSE(store.deleteEntry(key + "\\"));
    EXPECT_TRUE(store.writeNumber(path("y"), 3));  // recreates the key with that one value
    EXPECT_EQ(registry.valueCount(key), 1u);
}

}  // namespace
}  // namespace vexmora
