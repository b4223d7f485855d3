#include "meter/interface_table_win32.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <iphlpapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <vector>

#include "fakes/fake_platform.h"
#include "meter/counter_table.h"

namespace vexmora::win32 {
namespace {

static_assert(sizeof(MIB_IFROW) == ifRowSize);
static_assert(offsetof(MIB_IFROW, dwInOctets) == inOctetsOffset);
static_assert(offsetof(MIB_IFROW, dwOutOctets) == outOctetsOffset);
static_assert(offsetof(MIB_IFTABLE, table) == 4);

// The platform's own sorted table, read without the code under test.
std::vector<MIB_IFROW> systemRows() {
    ULONG size = 0;
    GetIfTable(nullptr, &size, TRUE);
    std::vector<std::uint8_t> buffer(size);
    if (size == 0 || GetIfTable(reinterpret_cast<PMIB_IFTABLE>(buffer.data()), &size, TRUE) != NO_ERROR) return {};
    const auto* table = reinterpret_cast<const MIB_IFTABLE*>(buffer.data());
    return {table->table, table->table + table->dwNumEntries};
}

std::uint32_t grewBy(std::int32_t before, std::int32_t after) {
    return static_cast<std::uint32_t>(after) - static_cast<std::uint32_t>(before);
}

// Sends bytes from one loopback socket to another, reading them as they come.
class LoopbackPair {
public:
    LoopbackPair() {
        WSADATA data;
        started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
        if (!started_) return;
        listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int length = sizeof address;
        if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener_, 1) != 0 ||
            getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            return;
        client_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        if (connect(client_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return;
        server_ = accept(listener_, nullptr, nullptr);
    }
    ~LoopbackPair() {
        for (SOCKET s : {client_, server_, listener_})
            if (s != INVALID_SOCKET) closesocket(s);
        if (started_) WSACleanup();
    }
    LoopbackPair(const LoopbackPair&) = delete;
    LoopbackPair& operator=(const LoopbackPair&) = delete;

    bool connected() const { return server_ != INVALID_SOCKET; }

    // True when every byte arrived at the other end.
    bool transfer(std::size_t bytes) {
        std::vector<char> chunk(16384, 'v');
        while (bytes > 0) {
            const int piece = static_cast<int>(std::min(bytes, chunk.size()));
            if (send(client_, chunk.data(), piece, 0) != piece) return false;
            for (int received = 0; received < piece;) {
                const int got = recv(server_, chunk.data(), piece - received, 0);
                if (got <= 0) return false;
                received += got;
            }
            bytes -= static_cast<std::size_t>(piece);
        }
        return true;
    }

private:
    bool started_ = false;
    SOCKET listener_ = INVALID_SOCKET;
    SOCKET client_ = INVALID_SOCKET;
    SOCKET server_ = INVALID_SOCKET;
};

// A program over the real interface table, the rest in memory.
struct RealTableSystem {
    fakes::FakeSystem fake;
    Win32InterfaceTable table;
    Program program{Platform{fake.registry, table, fake.windows, fake.balloon, fake.inputBox, fake.network, fake.process}};
    RealTableSystem() { program.initGlobals(); }
    ~RealTableSystem() { program.releaseGlobals(); }
};

TEST(Win32InterfaceTable, RefreshHoldsEveryRowOfTheSortedTable) {
    RealTableSystem system;
    system.program.refreshCounterTable();
    const CounterTable& table = system.program.state().counterTable;
    const std::vector<MIB_IFROW> rows = systemRows();
    ASSERT_FALSE(rows.empty());
    ASSERT_EQ(table.size(), rows.size());
    for (std::size_t k = 1; k < rows.size(); ++k) EXPECT_LT(rows[k - 1].dwIndex, rows[k].dwIndex);  // sorted
    // Counters of an idle row read the same twice; busy ones only grow.
    for (std::size_t k = 0; k < rows.size(); ++k) {
        EXPECT_LT(grewBy(static_cast<std::int32_t>(rows[k].dwInOctets), table[k].inOctets), 0x10000000u) << k;
        EXPECT_LT(grewBy(static_cast<std::int32_t>(rows[k].dwOutOctets), table[k].outOctets), 0x10000000u) << k;
    }
}

TEST(Win32InterfaceTable, LoopbackTrafficMovesItsRowAndTheTick) {
    const std::vector<MIB_IFROW> rows = systemRows();
    std::size_t loopback = rows.size();
    for (std::size_t k = 0; k < rows.size(); ++k)
        if (rows[k].dwType == IF_TYPE_SOFTWARE_LOOPBACK) loopback = k;
    ASSERT_LT(loopback, rows.size()) << "no loopback row among " << rows.size();

    RealTableSystem system;
    ProgramState& state = system.program.state();
    state.monitorNumber = static_cast<std::int32_t>(loopback) + 1;
    LoopbackPair pair;
    ASSERT_TRUE(pair.connected()) << WSAGetLastError();
    // Loopback counters start at 0 on a fresh machine; move them off it so the
    // first tick has a real reading to seed from.
    ASSERT_TRUE(pair.transfer(4096));
    system.program.onMeterTick();
    const CounterRecord before = state.counterTable[loopback];
    EXPECT_EQ(system.fake.windows.labels[LabelId::barReceive], "0.0KB/S");

    constexpr std::size_t sent = 2 * 1048576;
    ASSERT_TRUE(pair.transfer(sent));
    system.program.onMeterTick();
    const CounterRecord after = state.counterTable[loopback];
    // Both directions of a loopback transfer pass the same interface.
    EXPECT_GE(grewBy(before.inOctets, after.inOctets), sent);
    EXPECT_GE(grewBy(before.outOctets, after.outOctets), sent);
    EXPECT_GE(state.downloadedMb, 2.0);
    EXPECT_GE(state.uploadedMb, 2.0);
    EXPECT_LT(state.downloadedMb, 64.0);  // the counted bytes, not a stray reading
    const Text rate = system.fake.windows.labels[LabelId::barReceive];
    EXPECT_GE(std::strtod(rate.c_str(), nullptr), 2048.0) << rate;
    EXPECT_EQ(rate.substr(rate.size() - 4), "KB/S");
    EXPECT_EQ(system.fake.windows.labels[LabelId::panelDownSpeed], "下载速度：" + rate);
}

}  // namespace
}  // namespace vexmora::win32
