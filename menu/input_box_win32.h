#pragma once

#include <windows.h>

#include "app/platform.h"

namespace vexmora::win32 {

// The modal integer input box.
class Win32InputBox final : public InputBox {
public:
    explicit Win32InputBox(HINSTANCE instance) : instance_(instance) {}
    std::optional<Text> inputNumber(const Text& prompt, const Text& title, const Text& initialText) override;

private:
    HINSTANCE instance_;
};

}  // namespace vexmora::win32
