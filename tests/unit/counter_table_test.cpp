#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "fakes/fake_platform.h"
#include "meter/counter_table.h"

namespace vexmora {
namespace {

using fakes::FakeSystem;

void putLe32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

// A MIB_IFTABLE image whose other bytes are all 0xA5, so a read at a wrong
// offset shows.
std::vector<std::uint8_t> tableBytes(std::uint32_t statedRows, const std::vector<std::pair<std::uint32_t, std::uint32_t>>& rows,
                                     std::size_t extraBytes = 0) {
    std::vector<std::uint8_t> bytes(4 + rows.size() * 860 + extraBytes, 0xA5);
    putLe32(bytes, 0, statedRows);
    for (std::size_t k = 0; k < rows.size(); ++k) {
        putLe32(bytes, 4 + k * 860 + 552, rows[k].first);
        putLe32(bytes, 4 + k * 860 + 576, rows[k].second);
    }
    return bytes;
}

TEST(ParseCounterTable, ReadsEveryRowInOrderWithRawBits) {
    const auto bytes = tableBytes(4, {{1, 2}, {0x7FFFFFFF, 0x80000000}, {0xFFFFFFFF, 0x80000100}, {1500, 0}});
    const auto table = parseCounterTable(bytes.data(), bytes.size());
    ASSERT_TRUE(table);
    ASSERT_EQ(table->size(), 4u);
    const std::int32_t expected[4][2] = {{1, 2}, {2147483647, INT32_MIN}, {-1, -2147483392}, {1500, 0}};
    for (std::size_t k = 0; k < 4; ++k) {
        EXPECT_EQ((*table)[k].inOctets, expected[k][0]) << "row " << k + 1;
        EXPECT_EQ((*table)[k].outOctets, expected[k][1]) << "row " << k + 1;
    }
}

TEST(ParseCounterTable, ZeroRowsIsAnEmptyTable) {
    const auto bytes = tableBytes(0, {}, 856);  // Windows pads the empty table with one row's room
    const auto table = parseCounterTable(bytes.data(), bytes.size());
    ASSERT_TRUE(table);
    EXPECT_TRUE(table->empty());
}

TEST(ParseCounterTable, RejectsCountsTheBufferCannotHold) {
    const auto twoRows = tableBytes(2, {{1, 2}, {3, 4}});
    EXPECT_FALSE(parseCounterTable(twoRows.data(), twoRows.size() - 1));  // last row one byte short
    const auto overstated = tableBytes(3, {{1, 2}, {3, 4}}, 859);
    EXPECT_FALSE(parseCounterTable(overstated.data(), overstated.size()));
    const auto negative = tableBytes(0xFFFFFFFF, {{1, 2}});
    EXPECT_FALSE(parseCounterTable(negative.data(), negative.size()));
    const auto huge = tableBytes(0x7FFFFFFF, {{1, 2}});
    EXPECT_FALSE(parseCounterTable(huge.data(), huge.size()));
    EXPECT_FALSE(parseCounterTable(twoRows.data(), 3));  // not even the count
    EXPECT_FALSE(parseCounterTable(nullptr, 100));
}

// GetIfTable answered from a script, for the answers the fake table never gives.
class ScriptedInterfaceTable final : public InterfaceTable {
public:
    std::uint32_t getIfTable(std::uint8_t* buffer, std::uint32_t* size, bool sorted) override {
        ++calls;
        if (!sorted) {
            *size = probeSize;
            return 122;
        }
        bufferSize = *size;
        if (secondCall) return secondCall(buffer, size);
        return 87;
    }
    std::uint32_t probeSize = 0;
    std::function<std::uint32_t(std::uint8_t*, std::uint32_t*)> secondCall;
    int calls = 0;
    std::uint32_t bufferSize = 0;
};

struct ScriptedSystem : FakeSystem {
    ScriptedInterfaceTable scripted;
    Program scriptedProgram{Platform{registry, scripted, windows, balloon, inputBox, network, process}};
    ScriptedSystem() {
        scriptedProgram.initGlobals();
        scriptedProgram.state().counterTable = {{7, 8}, {9, 10}};
    }
    void expectTableKept() {
        const CounterTable& table = scriptedProgram.state().counterTable;
        ASSERT_EQ(table.size(), 2u);
        EXPECT_EQ(table[0].inOctets, 7);
        EXPECT_EQ(table[0].outOctets, 8);
        EXPECT_EQ(table[1].inOctets, 9);
        EXPECT_EQ(table[1].outOctets, 10);
    }
};

TEST(RefreshCounterTable, ProbesThenReadsSorted) {
    FakeSystem system;
    system.interfaceTable.rows = {{100, 10}, {-5, 20}, {300, INT32_MIN}};
    system.program.refreshCounterTable();
    const std::vector<std::string> expected = {"getIfTable probe", "getIfTable sorted"};
    EXPECT_EQ(system.log, expected);
    const CounterTable& table = system.program.state().counterTable;
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table[1].inOctets, -5);
    EXPECT_EQ(table[2].outOctets, INT32_MIN);
}

TEST(RefreshCounterTable, RowsAddedOrRemovedShowAtTheNextRefresh) {
    FakeSystem system;
    system.interfaceTable.rows = {{1, 1}, {2, 2}, {3, 3}};
    system.program.refreshCounterTable();
    system.interfaceTable.rows = {{1, 1}};
    system.program.refreshCounterTable();
    EXPECT_EQ(system.program.state().counterTable.size(), 1u);
    system.interfaceTable.rows = {};
    system.program.refreshCounterTable();
    EXPECT_TRUE(system.program.state().counterTable.empty());  // a read of 0 rows succeeds
    system.interfaceTable.rows = {{4, 4}, {5, 5}};
    system.program.refreshCounterTable();
    ASSERT_EQ(system.program.state().counterTable.size(), 2u);
    EXPECT_EQ(system.program.state().counterTable[1].outOctets, 5);
}

TEST(RefreshCounterTable, FailedReadsKeepTheTable) {
    {
        FakeSystem system;
        system.interfaceTable.rows = {{7, 8}, {9, 10}};
        system.program.refreshCounterTable();
        system.interfaceTable.rows = {{1, 1}, {2, 2}, {3, 3}};
        system.interfaceTable.failSecondCall = true;
        system.program.refreshCounterTable();
        const CounterTable& table = system.program.state().counterTable;
        ASSERT_EQ(table.size(), 2u);
        EXPECT_EQ(table[0].inOctets, 7);
        EXPECT_EQ(table[1].outOctets, 10);
        system.interfaceTable.failAll = true;
        system.program.refreshCounterTable();
        EXPECT_EQ(system.program.state().counterTable.size(), 2u);
        EXPECT_EQ(system.program.state().counterTable[1].inOctets, 9);
    }
    {
        SCOPED_TRACE("probe reports size 0");
        ScriptedSystem system;
        system.scripted.probeSize = 0;
        system.scriptedProgram.refreshCounterTable();
        EXPECT_EQ(system.scripted.calls, 1);  // no second call
        system.expectTableKept();
    }
    {
        SCOPED_TRACE("probe reports a size of 2^31 or more");
        ScriptedSystem system;
        system.scripted.probeSize = 0x80000000u;
        system.scriptedProgram.refreshCounterTable();
        EXPECT_EQ(system.scripted.calls, 1);
        system.expectTableKept();
    }
    {
        SCOPED_TRACE("interface added between the calls");
        ScriptedSystem system;
        system.scripted.probeSize = 4 + 860;
        system.scripted.secondCall = [](std::uint8_t*, std::uint32_t* size) {
            *size = 4 + 2 * 860;
            return 122u;
        };
        system.scriptedProgram.refreshCounterTable();
        EXPECT_EQ(system.scripted.bufferSize, 4u + 860u);
        system.expectTableKept();
    }
    {
        SCOPED_TRACE("success with a row count beyond the buffer");
        ScriptedSystem system;
        system.scripted.probeSize = 4 + 860;
        system.scripted.secondCall = [](std::uint8_t* buffer, std::uint32_t* size) {
            const auto bytes = tableBytes(2, {{1, 2}});
            std::memcpy(buffer, bytes.data(), bytes.size());
            *size = 4 + 2 * 860;  // claims more than was handed over
            return 0u;
        };
        system.scriptedProgram.refreshCounterTable();
        system.expectTableKept();
    }
}

}  // namespace
}  // namespace vexmora
