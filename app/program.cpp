#include "app/program.h"

namespace vexmora {

Program::Program(const Platform& platform) : platform_(platform), store_(platform.registry) {}

void Program::initGlobals() {
    // Every value starts zero, false or empty; CounterTable starts with no rows.
    state_ = std::make_unique<ProgramState>();
}

void Program::releaseGlobals() {
    // Tolerates a run that ended before start-up set anything up.
    state_.reset();
}

void Program::orderlyExit(int code) {
    platform_.process.orderlyExit(code);
}

Text Program::settingPath(const char* valueName) const {
    return state_->settingsKeyPath + valueName;
}

}  // namespace vexmora
