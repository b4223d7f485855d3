#include <gtest/gtest.h>

#include <cmath>

#include "fakes/fake_platform.h"
#include "meter/rate_meter.h"

namespace vexmora {
namespace {

using fakes::FakeSystem;

constexpr std::int32_t raw(std::uint32_t bits) { return static_cast<std::int32_t>(bits); }

// A started program over three interfaces, watching the second.
struct Meter {
    FakeSystem system;
    explicit Meter(std::optional<std::uint32_t> record = std::nullopt, std::optional<std::uint32_t> stored = std::nullopt) {
        system.seedUsableSettings();
        if (record) system.registry.putDword(FakeSystem::settingsKey, "记录", *record);
        if (stored) system.registry.putDword(FakeSystem::settingsKey, "总流量", *stored);
        EXPECT_TRUE(system.start());
    }
    ProgramState& state() { return system.program.state(); }
    CounterRecord& watched() { return system.interfaceTable.rows[1]; }
    void tick() { system.program.onMeterTick(); }
    // One tick after the watched row's counters moved by these byte counts.
    void tickAfter(std::uint32_t rxBytes, std::uint32_t txBytes) {
        watched().inOctets = raw(static_cast<std::uint32_t>(watched().inOctets) + rxBytes);
        watched().outOctets = raw(static_cast<std::uint32_t>(watched().outOctets) + txBytes);
        tick();
    }
    Text label(LabelId id) { return system.windows.labels[id]; }
    std::size_t storesOfTotal() const {
        return static_cast<std::size_t>(
            std::count(system.log.begin(), system.log.end(), "set Software\\Toskarin\\总流量"));
    }
};

TEST(CounterDelta, DifferencesModulo2To32) {
    const struct {
        std::int32_t previous, current, delta;
    } cases[] = {
        {1000, 1512, 512},
        {2147483392, raw(0x80000100u), 512},  // passes 2^31
        {raw(0xFFFFFED8u), 100, 396},         // wraps past 2^32
        {0, 12345, 0},                        // no previous reading
        {5000, 4000, -1000},
        {7, 7, 0},
    };
    for (const auto& c : cases) {
        std::int32_t previous = c.previous;
        EXPECT_EQ(counterDelta(c.current, previous), c.delta) << c.previous << " -> " << c.current;
        EXPECT_EQ(previous, c.current);
    }
}

TEST(RateMeter, FirstTickSeedsAndWritesAllSevenTexts) {
    Meter meter;
    meter.watched() = {123456, 654321};
    meter.tick();
    EXPECT_EQ(meter.label(LabelId::barReceive), "0.0KB/S");
    EXPECT_EQ(meter.label(LabelId::barSend), "0.0KB/S");
    EXPECT_EQ(meter.label(LabelId::panelDownSpeed), "下载速度：0.0KB/S");
    EXPECT_EQ(meter.label(LabelId::panelUpSpeed), "上传速度：0.0KB/S");
    EXPECT_EQ(meter.label(LabelId::panelTotal), "合计总流量：0MB");
    EXPECT_EQ(meter.label(LabelId::panelDownAmount), "已下载流量：0MB");
    EXPECT_EQ(meter.label(LabelId::panelUpAmount), "已上传流量：0MB");
    EXPECT_EQ(meter.state().downloadedMb, 0);
    EXPECT_EQ(meter.state().uploadedMb, 0);
    EXPECT_EQ(meter.state().grandTotalMb, 0);
}

TEST(RateMeter, DifferencesBecomeRatesAndAmounts) {
    const struct {
        std::int32_t rxBefore, rxAfter, txBefore, txAfter;
        const char *rxText, *txText;
        double rxMb, txMb;
    } cases[] = {
        {100, 12736, 20, 20500, "12.3KB/S", "20.0KB/S", 12636 / 1048576.0, 20480 / 1048576.0},
        {2147483392, raw(0x80000100u), 1, 53, "0.5KB/S", "0.1KB/S", 512 / 1048576.0, 52 / 1048576.0},
        {raw(0xFFFFFED8u), 100, 5, 56, "0.4KB/S", "0.0KB/S", 396 / 1048576.0, 51 / 1048576.0},
        {1, 1048577, raw(0xFFFF0000u), raw(0x00167000u), "1024.0KB/S", "1500.0KB/S", 1.0, 1536000 / 1048576.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rxText);
        Meter meter;
        meter.watched() = {c.rxBefore, c.txBefore};
        meter.tick();
        meter.watched() = {c.rxAfter, c.txAfter};
        meter.tick();
        EXPECT_EQ(meter.label(LabelId::barReceive), c.rxText);
        EXPECT_EQ(meter.label(LabelId::barSend), c.txText);
        EXPECT_EQ(meter.label(LabelId::panelDownSpeed), Text("下载速度：") + c.rxText);
        EXPECT_EQ(meter.label(LabelId::panelUpSpeed), Text("上传速度：") + c.txText);
        EXPECT_DOUBLE_EQ(meter.state().downloadedMb, c.rxMb);
        EXPECT_DOUBLE_EQ(meter.state().uploadedMb, c.txMb);
        EXPECT_DOUBLE_EQ(meter.state().grandTotalMb, c.rxMb + c.txMb);
    }
}

TEST(RateMeter, AmountsAddUpOverTicksAndShowInGb) {
    Meter meter;
    meter.tick();
    for (int k = 0; k < 3; ++k) meter.tickAfter(512u * 1048576u, 100u * 1048576u);
    EXPECT_EQ(meter.label(LabelId::panelDownAmount), "已下载流量：1.5GB");
    EXPECT_EQ(meter.label(LabelId::panelUpAmount), "已上传流量：300MB");
    EXPECT_EQ(meter.label(LabelId::panelTotal), "合计总流量：1.8GB");  // 1836 MB
    EXPECT_EQ(meter.label(LabelId::barReceive), "524288.0KB/S");
}

TEST(RateMeter, PreviousReadingOfZeroSeedsThatDirectionOnly) {
    Meter meter;
    meter.watched() = {0, 1000};
    meter.tick();
    meter.tickAfter(5000, 2048);
    EXPECT_EQ(meter.label(LabelId::barReceive), "0.0KB/S");
    EXPECT_EQ(meter.label(LabelId::barSend), "2.0KB/S");
    EXPECT_EQ(meter.state().downloadedMb, 0);
    EXPECT_DOUBLE_EQ(meter.state().uploadedMb, 2048 / 1048576.0);
    meter.tickAfter(1024, 0);
    EXPECT_EQ(meter.label(LabelId::barReceive), "1.0KB/S");
}

TEST(RateMeter, FailedRefreshShowsZeroThenCountsBothSeconds) {
    Meter meter;
    meter.tick();
    meter.system.interfaceTable.failSecondCall = true;
    meter.tickAfter(10240, 0);
    EXPECT_EQ(meter.label(LabelId::barReceive), "0.0KB/S");
    meter.system.interfaceTable.failSecondCall = false;
    meter.tickAfter(10240, 0);
    EXPECT_EQ(meter.label(LabelId::barReceive), "20.0KB/S");
    EXPECT_DOUBLE_EQ(meter.state().downloadedMb, 20480 / 1048576.0);
}

// The seven writes in order, with the panel's speed lines read back from the
// bar labels rather than computed again.
class RecordingWindows final : public Windows {
public:
    explicit RecordingWindows(fakes::FakeWindows& inner) : inner_(inner) {}
    bool cutWindowShape(WindowId w) override { return inner_.cutWindowShape(w); }
    void loadDetailWindow() override { inner_.loadDetailWindow(); }
    void setWindowAlpha(WindowId w, int alpha) override { inner_.setWindowAlpha(w, alpha); }
    void setAlwaysOnTop(WindowId w, bool on) override { inner_.setAlwaysOnTop(w, on); }
    void setWindowVisible(WindowId w, bool visible) override { inner_.setWindowVisible(w, visible); }
    void moveWindow(WindowId w, const Rect& r) override { inner_.moveWindow(w, r); }
    Rect windowRect(WindowId w) override { return inner_.windowRect(w); }
    void setLabelText(LabelId label, const Text& text) override {
        writes.push_back(label);
        // The control shows what it can: a bar label cut short like a narrow control.
        inner_.setLabelText(label, label == LabelId::barReceive || label == LabelId::barSend ? text.substr(0, 5) : text);
    }
    Text labelText(LabelId label) override { return inner_.labelText(label); }
    Text versionEditText() override { return inner_.versionEditText(); }
    void installMouseLeaveHook() override { inner_.installMouseLeaveHook(); }
    void trackMouseLeave() override { inner_.trackMouseLeave(); }
    void dragBar() override { inner_.dragBar(); }
    void setTimerPeriod(int milliseconds) override { inner_.setTimerPeriod(milliseconds); }
    int primaryScreenWidth() override { return inner_.primaryScreenWidth(); }
    bool touchesAnyMonitor(const Rect& r) override { return inner_.touchesAnyMonitor(r); }
    std::vector<LabelId> writes;

private:
    fakes::FakeWindows& inner_;
};

TEST(RateMeter, WritesTheSevenTextsInOrderMirroringTheBar) {
    FakeSystem system;
    RecordingWindows windows(system.windows);
    Program program(Platform{system.registry, system.interfaceTable, windows, system.balloon, system.inputBox,
                             system.network, system.process});
    program.initGlobals();
    program.state().monitorNumber = 1;
    system.interfaceTable.rows = {{1000, 1000}};
    program.onMeterTick();
    system.interfaceTable.rows = {{1000 + 12636, 1000 + 1536000}};
    windows.writes.clear();
    program.onMeterTick();
    const std::vector<LabelId> expected = {LabelId::barReceive,  LabelId::panelDownSpeed,  LabelId::barSend,
                                           LabelId::panelUpSpeed, LabelId::panelTotal,     LabelId::panelDownAmount,
                                           LabelId::panelUpAmount};
    EXPECT_EQ(windows.writes, expected);
    EXPECT_EQ(system.windows.labels[LabelId::panelDownSpeed], "下载速度：12.3K");
    EXPECT_EQ(system.windows.labels[LabelId::panelUpSpeed], "上传速度：1500.");
    program.releaseGlobals();
}

TEST(RateMeter, JustAbove1024MbTheTotalShowsInGb) {
    Meter meter(1, 1024);
    meter.tick();
    EXPECT_EQ(meter.label(LabelId::panelTotal), "合计总流量：1024MB");
    meter.tickAfter(128, 0);  // 1/8192 MB: the next single-precision value above 1024
    EXPECT_EQ(meter.state().grandTotalMb, static_cast<double>(std::nextafter(1024.0f, 2048.0f)));
    EXPECT_EQ(meter.label(LabelId::panelTotal), "合计总流量：1GB");
}

TEST(RateMeter, RecordingOffGrowsTheShownTotalAndStoresNothing) {
    Meter meter(std::nullopt, 800);
    EXPECT_EQ(meter.state().grandTotalMb, 0);  // a stored total counts only while recording
    meter.tick();
    for (int k = 0; k < 4; ++k) meter.tickAfter(1048576, 1048576);
    EXPECT_EQ(meter.label(LabelId::panelTotal), "合计总流量：8MB");
    EXPECT_EQ(meter.storesOfTotal(), 0u);
    EXPECT_EQ(meter.system.stored("总流量"), 800);
}

TEST(RateMeter, RecordingOnStoresTheWholeMbEveryTick) {
    Meter meter(1, 1500);
    EXPECT_EQ(meter.state().grandTotalMb, 1500);
    meter.tick();
    EXPECT_EQ(meter.storesOfTotal(), 1u);
    meter.state().grandTotalMb = 1500.9;
    meter.tick();  // no traffic, stored anyway
    EXPECT_EQ(meter.storesOfTotal(), 2u);
    EXPECT_EQ(meter.system.stored("总流量"), 1500);
    EXPECT_EQ(meter.label(LabelId::panelTotal), "合计总流量：1.5GB");

    Meter restarted(1, static_cast<std::uint32_t>(*meter.system.stored("总流量")));
    restarted.tick();
    EXPECT_EQ(restarted.state().grandTotalMb, 1500);
    EXPECT_EQ(restarted.label(LabelId::panelTotal), "合计总流量：1.5GB");
}

TEST(RateMeter, StoredTotalLoadsAsSinglePrecision) {
    EXPECT_EQ(Meter(1, 16777217).state().grandTotalMb, 16777216);
    EXPECT_EQ(Meter(1).state().grandTotalMb, 0);  // absent
    EXPECT_EQ(Meter(0, 99).state().grandTotalMb, 0);
    EXPECT_EQ(Meter(1, 0xFFFFFFFFu).state().grandTotalMb, -1);
}

TEST(RateMeter, LargeTotalStillGrowsByOneKbOnAnIdleLink) {
    Meter meter(1, 102400);  // 100 GB
    meter.tick();
    meter.tickAfter(1024, 0);
    EXPECT_EQ(meter.state().grandTotalMb, 102400 + 1.0 / 1024);
    EXPECT_EQ(meter.label(LabelId::barReceive), "1.0KB/S");
    for (int k = 1; k < 1024; ++k) meter.tickAfter(0, 1024);
    EXPECT_EQ(meter.state().grandTotalMb, 102401);
    EXPECT_EQ(meter.system.stored("总流量"), 102401);
}

TEST(RateMeter, WatchedRowMissingShowsZeroAndAddsNothing) {
    Meter meter(1, 700);
    meter.tick();
    meter.tickAfter(2048, 2048);
    const double total = meter.state().grandTotalMb;
    meter.system.interfaceTable.rows.resize(1);  // the watched second row is gone
    meter.system.log.clear();
    meter.tick();
    EXPECT_EQ(meter.label(LabelId::barReceive), "0.0KB/S");
    EXPECT_EQ(meter.label(LabelId::barSend), "0.0KB/S");
    EXPECT_EQ(meter.label(LabelId::panelDownSpeed), "下载速度：0.0KB/S");
    EXPECT_EQ(meter.label(LabelId::panelUpSpeed), "上传速度：0.0KB/S");
    EXPECT_EQ(meter.label(LabelId::panelTotal), "合计总流量：700MB");
    EXPECT_EQ(meter.label(LabelId::panelDownAmount), "已下载流量：0MB");
    EXPECT_EQ(meter.state().grandTotalMb, total);
    EXPECT_EQ(meter.storesOfTotal(), 1u);
    EXPECT_EQ(meter.system.stored("总流量"), 700);

    // It comes back with other counts: seeded afresh, then counted.
    meter.system.interfaceTable.rows = {{100, 10}, {5, 5}, {300, 30}};
    meter.tick();
    EXPECT_EQ(meter.label(LabelId::barReceive), "0.0KB/S");
    EXPECT_EQ(meter.state().grandTotalMb, total);
    meter.tickAfter(1024, 0);
    EXPECT_EQ(meter.label(LabelId::barReceive), "1.0KB/S");

    meter.state().monitorNumber = 0;  // never read before the table
    meter.tickAfter(1024, 1024);
    EXPECT_EQ(meter.label(LabelId::barReceive), "0.0KB/S");
}

TEST(RateMeter, ReadingsOfAnotherCountAreSeededAfresh) {
    const struct {
        const char* what;
        std::function<void(Meter&)> change;
    } cases[] = {
        {"another monitor number",
         [](Meter& m) {
             m.system.interfaceTable.rows[2] = {900000000, 900000000};  // counts higher: no counter went back
             m.state().monitorNumber = 3;
         }},
        {"a row added before the watched one",
         [](Meter& m) {
             auto& rows = m.system.interfaceTable.rows;
             rows.insert(rows.begin(), CounterRecord{50, 50});
             rows[1] = {900000000, 900000000};  // the row now at the watched position counts higher
         }},
        {"a row removed after the watched one",
         [](Meter& m) {
             m.system.interfaceTable.rows.pop_back();
             m.watched().inOctets += 4096;  // counts of the same row, but the table changed
         }},
        {"received counter reset",
         [](Meter& m) {
             m.watched().inOctets = 10;
             m.watched().outOctets += 1048576;
         }},
        {"sent counter reset",
         [](Meter& m) {
             m.watched().inOctets += 1048576;
             m.watched().outOctets = 3;
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Meter meter(1, 10);
        meter.watched() = {200000000, 100000000};
        meter.tick();
        meter.tickAfter(1024, 1024);
        const ProgramState before = meter.state();
        c.change(meter);
        meter.tick();
        EXPECT_EQ(meter.label(LabelId::barReceive), "0.0KB/S");
        EXPECT_EQ(meter.label(LabelId::barSend), "0.0KB/S");
        EXPECT_EQ(meter.state().downloadedMb, before.downloadedMb);
        EXPECT_EQ(meter.state().uploadedMb, before.uploadedMb);
        EXPECT_EQ(meter.state().grandTotalMb, before.grandTotalMb);
        EXPECT_EQ(meter.system.stored("总流量"), 10);
        // The new readings are the base of the next tick.
        const std::size_t row = static_cast<std::size_t>(meter.state().monitorNumber) - 1;
        auto& watched = meter.system.interfaceTable.rows[row];
        watched.inOctets += 2048;
        watched.outOctets += 3072;
        meter.tick();
        EXPECT_EQ(meter.label(LabelId::barReceive), "2.0KB/S");
        EXPECT_EQ(meter.label(LabelId::barSend), "3.0KB/S");
        EXPECT_DOUBLE_EQ(meter.state().downloadedMb, before.downloadedMb + 2048 / 1048576.0);
    }
}

}  // namespace
}  // namespace vexmora
