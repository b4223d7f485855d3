#include "app/gbk_win32.h"

#include <windows.h>

namespace vexmora::win32 {

namespace {
constexpr UINT gbkCodePage = 936;
}

std::wstring wideFromGbk(const Text& text) {
    if (text.empty()) return {};
    const int length = MultiByteToWideChar(gbkCodePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(gbkCodePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

Text gbkFromWide(const std::wstring& text) {
    if (text.empty()) return {};
    const int length = WideCharToMultiByte(gbkCodePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    if (length <= 0) return {};
    Text narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(gbkCodePage, 0, text.data(), static_cast<int>(text.size()), narrow.data(), length, nullptr,
                        nullptr);
    return narrow;
}

}  // namespace vexmora::win32
