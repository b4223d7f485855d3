// BarWindow's created event: the start-up sequence, eighteen steps in a fixed
// order. Later steps rely on earlier ones (interfaceCount before the monitor
// number is tested, MenuDocument before any mark, the timer last).
#include "app/start_up.h"

#include "app/program.h"
#include "menu/menu_document.h"
#include "settings/autostart.h"

namespace vexmora {

void Program::startUp() {
    ProgramState& s = state();
    Windows& windows = platform_.windows;

    checkForUpdate();  // 1

    if (!platform_.process.acquireInstanceMutex(instanceMutexName)) {  // 2
        orderlyExit(0);
        return;
    }

    windows.installMouseLeaveHook();  // 3

    s.settingsKeyPath = settingsKeyPathText;  // 4
    s.runValuePath = runValuePathText;

    s.exePath = buildExePath(platform_.process.runDirectory(), platform_.process.programFileName());  // 5

    s.menuDocument = initialMenuDocument();  // 6

    windows.cutWindowShape(WindowId::bar);  // 7
    windows.loadDetailWindow();             // 8

    refreshCounterTable();  // 9
    s.interfaceCount = static_cast<std::int32_t>(s.counterTable.size());

    placeBarAtStart();  // 10

    s.monitorNumber = store_.readNumber(settingPath("监控编号"));  // 11
    if (s.monitorNumber < 1 || s.monitorNumber > s.interfaceCount) {
        runMenuCommand("m1");
    } else {
        fillSlot(s.menuDocument, "号(", s.monitorNumber);
    }

    s.opacity = store_.readNumber(settingPath("透明度"));  // 12
    if (s.opacity < 50 || s.opacity > 255) {
        runMenuCommand("m2");
    } else {
        fillSlot(s.menuDocument, "度(", s.opacity);
    }
    windows.setWindowAlpha(WindowId::bar, s.opacity);
    windows.setWindowAlpha(WindowId::detail, s.opacity);

    if (store_.readNumber(settingPath("记录")) == 1) {  // 13
        s.recordTotal = 1;
        setMark(s.menuDocument, "量(×", "量(√");
        loadGrandTotal();
    } else {
        s.recordTotal = 0;
        s.grandTotalMb = 0;
    }

    syncAutostart();  // 14

    switch (store_.readNumber(settingPath("置顶"), 2)) {  // 15
        case 2:
            s.topmost = 1;
            store_.writeNumber(settingPath("置顶"), 1);
            break;
        case 1:
            s.topmost = 1;
            break;
        case 0:
            windows.setAlwaysOnTop(WindowId::bar, false);
            windows.setAlwaysOnTop(WindowId::detail, false);
            s.topmost = 0;
            setMark(s.menuDocument, "顶(√", "顶(×");
            break;
        default:
            break;  // both windows keep the always-on-top they were created with
    }

    windows.setWindowVisible(WindowId::bar, true);  // 16

    windows.setTimerPeriod(1000);  // 17

    switch (store_.readNumber(settingPath("提示"), 2)) {  // 18
        case 2:
            store_.writeNumber(settingPath("提示"), 1);
            showBalloon(2, startUpTipMarkup);
            break;
        case 1:
            showBalloon(2, startUpTipMarkup);
            break;
        default:
            break;
    }
}

}  // namespace vexmora
