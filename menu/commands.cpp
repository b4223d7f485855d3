// runMenuCommand: the one handler behind every link of the balloon.
#include "app/program.h"
#include "menu/input_number.h"
#include "menu/menu_document.h"
#include "menu/text_replace.h"

namespace vexmora {

namespace {

bool inRange(std::int64_t n, std::int64_t low, std::int64_t high) {
    return n >= low && n <= high;
}

}  // namespace

void Program::runMenuCommand(const Text& name) {
    ProgramState& s = state();
    Windows& windows = platform_.windows;
    InputBox& inputBox = platform_.inputBox;

    if (name == "m1") {
        for (;;) {
            // With no interface at all the prompt could never be left: look
            // at the table again each time it is shown.
            if (s.interfaceCount < 1) {
                refreshCounterTable();
                s.interfaceCount = static_cast<std::int32_t>(s.counterTable.size());
            }
            const std::int32_t initial = inRange(s.monitorNumber, 1, s.interfaceCount) ? s.monitorNumber : 2;
            const auto answer = inputBox.inputNumber(
                "一般win7填入14 XP填入2,不行请尝试从1开始递增填入,输入范围1-" + decimalText(s.interfaceCount),
                "请输入监控编号", decimalText(initial));
            if (!answer) {
                if (s.interfaceCount < 1) {
                    orderlyExit(0);  // nothing to watch and the user gave up
                    return;
                }
                continue;
            }
            const std::int64_t n = inputNumberValue(*answer);
            if (!inRange(n, 1, s.interfaceCount)) continue;
            // Only an accepted number reaches the ticks.
            s.monitorNumber = static_cast<std::int32_t>(n);
            store_.writeNumber(settingPath("监控编号"), s.monitorNumber);
            writeSlot(s.menuDocument, "号(", s.monitorNumber);
            return;
        }
    }
    if (name == "m2") {
        const std::int32_t initial = inRange(s.opacity, 50, 255) ? s.opacity : 225;
        for (;;) {
            const auto answer = inputBox.inputNumber("窗口透明度,50透明度最高,255不透明,输入范围50-255",
                                                     "请输入透明度", decimalText(initial));
            if (!answer) continue;
            const std::int64_t n = inputNumberValue(*answer);
            if (!inRange(n, 50, 255)) continue;
            s.opacity = static_cast<std::int32_t>(n);
            store_.writeNumber(settingPath("透明度"), s.opacity);
            windows.setWindowAlpha(WindowId::bar, s.opacity);
            windows.setWindowAlpha(WindowId::detail, s.opacity);
            writeSlot(s.menuDocument, "度(", s.opacity);
            return;
        }
    }
    if (name == "m3") {
        const bool switchOff = s.topmost == 1;
        s.noticeCode = switchOff ? 7 : 8;
        store_.writeNumber(settingPath("置顶"), switchOff ? 0 : 1);
        windows.setAlwaysOnTop(WindowId::bar, !switchOff);
        windows.setAlwaysOnTop(WindowId::detail, !switchOff);
        s.topmost = switchOff ? 0 : 1;
        if (switchOff) setMark(s.menuDocument, "顶(√", "顶(×");
        else setMark(s.menuDocument, "顶(×", "顶(√");
        return;
    }
    if (name == "m4") {
        if (s.recordTotal == 0) {
            s.noticeCode = 5;
            s.recordTotal = 1;
            setMark(s.menuDocument, "量(×", "量(√");
            store_.writeNumber(settingPath("记录"), 1);
        } else {
            s.noticeCode = 6;
            s.recordTotal = 0;
            setMark(s.menuDocument, "量(√", "量(×");
            store_.writeNumber(settingPath("记录"), 0);
            store_.writeNumber(settingPath("总流量"), 0);
        }
        return;
    }
    if (name == "m5") {
        toggleAutostart();
        return;
    }
    if (name == "m6") {
        s.noticeCode = 9;
        return;
    }
    if (name == "m7") {
        s.noticeCode = 1;
        return;
    }
    if (name == "m8") {
        orderlyExit(0);
        return;
    }
    if (name == "yes") {
        windows.setTimerPeriod(0);  // no tick may store anything after this
        s.recordTotal = 0;
        store_.deleteEntry(s.settingsKeyPath);
        store_.deleteEntry(s.runValuePath);
        s.noticeCode = 10;
        return;
    }
    if (name == "notip") {
        store_.writeNumber(settingPath("提示"), 0);
        s.noticeCode = 12;
        return;
    }
}

}  // namespace vexmora
