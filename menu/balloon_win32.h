#pragma once

#include <windows.h>

#include "app/platform.h"

namespace vexmora {
class Program;
}

namespace vexmora::win32 {

// The balloon control 气球提示框1.
class Win32Balloon final : public Balloon {
public:
    explicit Win32Balloon(HINSTANCE instance) : instance_(instance) {}
    void connect(Program& program) { program_ = &program; }

    void setLook(const BalloonLook& look) override { look_ = look; }
    void showAt(int x, int y, const Text& markup) override;

private:
    HINSTANCE instance_;
    Program* program_ = nullptr;
    BalloonLook look_;
};

}  // namespace vexmora::win32
