// GBK texts of the core <-> UTF-16 of the wide API, through code page 936 on
// a Windows of any language.
#pragma once

#include <string>

#include "app/platform.h"

namespace vexmora::win32 {

std::wstring wideFromGbk(const Text& text);
Text gbkFromWide(const std::wstring& text);

}  // namespace vexmora::win32
