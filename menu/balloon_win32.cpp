#include "menu/balloon_win32.h"

namespace vexmora::win32 {

void Win32Balloon::showAt(int, int, const Text&) {}

}  // namespace vexmora::win32
