// The one-second tick: rates, amounts and their display texts.
#include "app/program.h"

namespace vexmora {

void Program::onMeterTick() {
    refreshCounterTable();
    updateRatesAndTotals();
    storeGrandTotal();
}

void Program::updateRatesAndTotals() {}

void Program::storeGrandTotal() {}

void Program::loadGrandTotal() {}

}  // namespace vexmora
