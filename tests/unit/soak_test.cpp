// A simulated day of ticks: interfaces appear and vanish, counters wrap and
// are reset, recording goes on and off. The amounts stay exact and nothing
// the program holds grows with the run.
#include <gtest/gtest.h>

#include <cstdint>

#include "fakes/fake_platform.h"

namespace vexmora {
namespace {

using fakes::FakeSystem;

// A small deterministic generator: the run is the same every time.
struct Random {
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    std::uint32_t next() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return static_cast<std::uint32_t>(state);
    }
};

struct Footprint {
    std::size_t tableCapacity, menuCapacity, labelBytes, storedValues, loggedOperations;
};

TEST(Soak, ADayOfTicksKeepsTheAmountsExact) {
    FakeSystem system;
    system.interfaceTable.rows = {{7, 7}, {1000, 2000}, {5, 5}};
    system.registry.putDword(FakeSystem::settingsKey, "监控编号", 2);
    system.registry.putDword(FakeSystem::settingsKey, "透明度", 200);
    system.registry.putDword(FakeSystem::settingsKey, "提示", 0);
    system.registry.putDword(FakeSystem::settingsKey, "记录", 1);
    system.registry.putDword(FakeSystem::settingsKey, "总流量", 5000);
    ASSERT_TRUE(system.start());
    ProgramState& state = system.program.state();

    Random random;
    auto& rows = system.interfaceTable.rows;
    double expectedDownMb = 0, expectedUpMb = 0, expectedTotalMb = 5000;
    bool seeding = true;  // the first tick only seeds
    Footprint afterAnHour{};

    for (int tick = 1; tick <= 86'400; ++tick) {
        // What happens to the interfaces during this second.
        if (tick % 3'600 == 0) {
            rows.push_back({static_cast<std::int32_t>(random.next() | 1), 1});  // an adapter plugged in
            seeding = true;
        } else if (tick % 3'600 == 1'800 && rows.size() > 3) {
            rows.pop_back();  // and out again
            seeding = true;
        } else if (tick % 7'200 == 0) {
            // The watched adapter is reset: its counters go back.
            auto& watched = rows[1];
            watched.inOctets = static_cast<std::int32_t>(static_cast<std::uint32_t>(watched.inOctets) / 2 + 1);
            watched.outOctets = static_cast<std::int32_t>(static_cast<std::uint32_t>(watched.outOctets) / 2 + 1);
            seeding = true;
        } else {
            // Busy seconds of up to 48 MB: the 32-bit counters wrap every few minutes.
            const std::uint32_t down = random.next() % (48u << 20);
            const std::uint32_t up = random.next() % (4u << 20);
            auto& watched = rows[1];
            const auto in = static_cast<std::uint32_t>(watched.inOctets) + down;
            const auto out = static_cast<std::uint32_t>(watched.outOctets) + up;
            // A counter that lands on exactly 0 reads as "no previous reading".
            if (in == 0 || out == 0 || seeding) {
                watched.inOctets = static_cast<std::int32_t>(in == 0 ? 1 : in);
                watched.outOctets = static_cast<std::int32_t>(out == 0 ? 1 : out);
                seeding = true;
            } else {
                watched.inOctets = static_cast<std::int32_t>(in);
                watched.outOctets = static_cast<std::int32_t>(out);
                expectedDownMb += down / 1048576.0;
                expectedUpMb += up / 1048576.0;
                expectedTotalMb += (down / 1024.0 + up / 1024.0) / 1024;
            }
        }
        if (tick % 10'000 == 0) system.program.runMenuCommand("m4");  // recording off, on, ...

        const bool wasSeeding = seeding;
        system.program.onMeterTick();
        seeding = false;
        if (wasSeeding) {
            EXPECT_EQ(system.windows.labels[LabelId::barReceive], "0.0KB/S") << "tick " << tick;
            EXPECT_EQ(system.windows.labels[LabelId::barSend], "0.0KB/S") << "tick " << tick;
        }
        ASSERT_EQ(state.downloadedMb, expectedDownMb) << "tick " << tick;
        ASSERT_EQ(state.uploadedMb, expectedUpMb) << "tick " << tick;
        ASSERT_EQ(state.grandTotalMb, expectedTotalMb) << "tick " << tick;
        const auto stored = system.stored("总流量");
        ASSERT_TRUE(stored);
        ASSERT_EQ(*stored, state.recordTotal == 1 ? static_cast<std::int32_t>(expectedTotalMb) : 0) << "tick " << tick;

        if (tick == 3'600 + 1 || tick == 86'400) {
            std::size_t labelBytes = 0;
            for (const auto& [label, text] : system.windows.labels) labelBytes += text.size();
            const Footprint now{state.counterTable.capacity(), state.menuDocument.capacity(), labelBytes,
                                system.registry.valueCount(FakeSystem::settingsKey), 0};
            if (tick == 3'600 + 1) {
                afterAnHour = now;
            } else {
                EXPECT_LE(now.tableCapacity, afterAnHour.tableCapacity + 1);
                EXPECT_EQ(now.menuCapacity, afterAnHour.menuCapacity);
                EXPECT_LE(now.labelBytes, afterAnHour.labelBytes + 16);  // digits of larger amounts
                EXPECT_EQ(now.storedValues, afterAnHour.storedValues);
            }
        }
        system.log.clear();  // the fakes' own record of calls
    }
    // About 2 TB downloaded: far beyond what single precision could still count.
    EXPECT_GT(expectedDownMb, 1.5e6);
}

}  // namespace
}  // namespace vexmora
