// The program: its process-wide values and the event handlers over them.
// Handlers are defined in the subsystem that owns them.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "app/platform.h"
#include "settings/settings_store.h"

namespace vexmora {

struct CounterRecord {
    std::int32_t inOctets = 0;
    std::int32_t outOctets = 0;
};
using CounterTable = std::vector<CounterRecord>;

struct ProgramState {
    // Lifecycle and settings
    Text settingsKeyPath;
    Text runValuePath;
    Text exePath;
    std::int32_t monitorNumber = 0;
    std::int32_t opacity = 0;
    std::int32_t recordTotal = 0;
    std::int32_t topmost = 0;
    std::int32_t autostartOn = 0;

    // Meter
    CounterTable counterTable;
    std::int32_t interfaceCount = 0;
    std::int32_t prevInOctets = 0;
    std::int32_t prevOutOctets = 0;
    std::int32_t prevMonitorNumber = 0;     // the row the previous readings came from
    std::size_t prevRowCount = 0;           // CounterTable's size at the previous reading
    double downloadedMb = 0;
    double uploadedMb = 0;
    double grandTotalMb = 0;

    // Pointer
    bool hoverTracking = false;

    // Menu and notices
    Text menuDocument;
    std::int32_t noticeCode = 0;
};

class Program {
public:
    explicit Program(const Platform& platform);

    // Entry-side lifecycle (app/program.cpp)
    void initGlobals();
    void releaseGlobals();  // the one exit clean-up
    bool globalsLive() const { return state_ != nullptr; }
    void orderlyExit(int code);

    // BarWindow's created event (app/start_up.cpp)
    void startUp();

    // Update check (app/update_check.cpp)
    void checkForUpdate();

    // Meter (meter/)
    void refreshCounterTable();
    void onMeterTick();
    void updateRatesAndTotals();
    void storeGrandTotal();
    void loadGrandTotal();

    // Pointer and placement (ui/)
    void placeBarAtStart();
    void onMouseLeave();
    void onHoverMove();
    void onHoverLeftPress();
    void onPanelLeftPress();
    void onBarMoved();

    // Autostart (settings/)
    void syncAutostart();
    std::int32_t toggleAutostart();

    // Menu, balloon, commands, notices (menu/)
    void showBalloon(int mode, const Text& markup);
    void showMenu();
    void runMenuCommand(const Text& name);
    void onBalloonClosed();

    // Events raised by the balloon control
    void linkClicked(const Text& name) { runMenuCommand(name); }
    void balloonClosed() { onBalloonClosed(); }

    ProgramState& state() { return *state_; }
    const Platform& platform() const { return platform_; }
    SettingsStore& store() { return store_; }

    Text settingPath(const char* valueName) const;  // settingsKeyPath + name

private:
    Platform platform_;
    SettingsStore store_;
    std::unique_ptr<ProgramState> state_;
};

}  // namespace vexmora
