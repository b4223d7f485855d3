#include "menu/input_box_win32.h"

namespace vexmora::win32 {

std::optional<Text> Win32InputBox::inputNumber(const Text&, const Text&, const Text& initialText) {
    return initialText;
}

}  // namespace vexmora::win32
