#pragma once

#include <functional>

#include "app/platform.h"

namespace vexmora::win32 {

class Win32Process final : public Process {
public:
    // The one exit clean-up; orderlyExit and the end of the entry run it once.
    void registerCleanUp(std::function<void()> cleanUp) { cleanUp_ = std::move(cleanUp); }
    void runCleanUpOnce();

    bool acquireInstanceMutex(const Text& name) override;
    Text runDirectory() override;
    Text programFileName() override;
    [[noreturn]] void orderlyExit(int code) override;

private:
    std::function<void()> cleanUp_;
};

}  // namespace vexmora::win32
