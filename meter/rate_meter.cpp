// The one-second tick: rates, amounts and their display texts.
#include "meter/rate_meter.h"

#include "app/program.h"
#include "meter/number_text.h"

namespace vexmora {

std::int32_t counterDelta(std::int32_t current, std::int32_t& previous) {
    if (previous == 0) previous = current;
    const auto difference =
        static_cast<std::int32_t>(static_cast<std::uint32_t>(current) - static_cast<std::uint32_t>(previous));
    previous = current;
    return difference;
}

void Program::onMeterTick() {
    refreshCounterTable();
    updateRatesAndTotals();
    storeGrandTotal();
}

void Program::updateRatesAndTotals() {
    ProgramState& s = state();
    Windows& windows = platform_.windows;

    // Both differences (1 and 4) come before any text, so that one counter
    // going backwards can void the other direction too.
    std::int32_t rxDelta = 0;
    std::int32_t txDelta = 0;
    const std::size_t rows = s.counterTable.size();
    if (s.monitorNumber >= 1 && static_cast<std::size_t>(s.monitorNumber) <= rows) {
        const CounterRecord& record = s.counterTable[static_cast<std::size_t>(s.monitorNumber) - 1];
        // Another position, or rows added or removed: the previous readings
        // may be another interface's, so this reading starts afresh.
        if (s.prevMonitorNumber != s.monitorNumber || s.prevRowCount != rows) {
            s.prevInOctets = 0;
            s.prevOutOctets = 0;
        }
        rxDelta = counterDelta(record.inOctets, s.prevInOctets);
        txDelta = counterDelta(record.outOctets, s.prevOutOctets);
        // A counter that went backwards was reset or belongs to another
        // interface; neither direction is traffic then. Both stay seeded.
        if (rxDelta < 0 || txDelta < 0) {
            rxDelta = 0;
            txDelta = 0;
        }
        s.prevMonitorNumber = s.monitorNumber;
        s.prevRowCount = rows;
    } else {
        // No such row: no traffic, and the next reading is a first one.
        s.prevInOctets = 0;
        s.prevOutOctets = 0;
    }
    const double rxKb = rxDelta / 1024.0;
    const double txKb = txDelta / 1024.0;

    windows.setLabelText(LabelId::barReceive, formatRateText(rxKb) + "KB/S");                    // 2
    windows.setLabelText(LabelId::panelDownSpeed, "下载速度：" + windows.labelText(LabelId::barReceive));  // 3
    windows.setLabelText(LabelId::barSend, formatRateText(txKb) + "KB/S");                       // 5
    windows.setLabelText(LabelId::panelUpSpeed, "上传速度：" + windows.labelText(LabelId::barSend));     // 6

    s.downloadedMb += rxDelta / 1048576.0;     // 7
    s.uploadedMb += txDelta / 1048576.0;       // 8
    s.grandTotalMb += (rxKb + txKb) / 1024;    // 9, recording on or off

    windows.setLabelText(LabelId::panelTotal, formatAmountText("合计总流量：", s.grandTotalMb));          // 10
    windows.setLabelText(LabelId::panelDownAmount, formatAmountText("已下载流量：", s.downloadedMb));     // 11
    windows.setLabelText(LabelId::panelUpAmount, formatAmountText("已上传流量：", s.uploadedMb));         // 12
}

void Program::storeGrandTotal() {
    // Every tick, changed or not; only whole MB are kept.
    if (state().recordTotal == 1) store_.writeNumber(settingPath("总流量"), state().grandTotalMb);
}

void Program::loadGrandTotal() {
    ProgramState& s = state();
    if (store_.readNumber(settingPath("记录")) == 1) {
        s.grandTotalMb = static_cast<float>(store_.readNumber(settingPath("总流量")));
    } else {
        s.grandTotalMb = 0;
    }
}

}  // namespace vexmora
