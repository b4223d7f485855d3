#include "app/http_win32.h"

#include <windows.h>
#include <shellapi.h>

#include "app/gbk_win32.h"

namespace vexmora::win32 {

HttpResponse Win32Network::httpGet(const Text&, const Text&, std::size_t) {
    return {};
}

void Win32Network::openUrl(const Text& url) {
    ShellExecuteW(nullptr, L"open", wideFromGbk(url).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace vexmora::win32
