// The update check's HTTP client (WinINet, synchronous) and the shell's open.
// Both libraries serve one moment of the program's life, so they are loaded
// for that moment only and their pages are given back afterwards.
#include "app/http_win32.h"

#include <windows.h>
#include <shellapi.h>
#include <wininet.h>

#include <algorithm>

#include "app/gbk_win32.h"
#include "app/update_check.h"
#include "app/system_library_win32.h"
#include "app/win32_handles.h"

namespace vexmora::win32 {

namespace {

// The fetch runs before the bar is shown, so a silent or slow site must not
// hold the start-up for long: each stage is cut short, and reading stops
// once the budget since the start is spent, keeping what has arrived. The
// longest wait is about the budget plus one receive time-out. Not bounded:
// the name look-up, and a site that trickles its header lines (WinINet's
// synchronous calls cannot be cut short from outside under Wine).
constexpr DWORD connectTimeoutMs = 1500;
constexpr DWORD sendTimeoutMs = 1000;
constexpr DWORD receiveTimeoutMs = 1200;
constexpr ULONGLONG readBudgetMs = 2000;

constexpr const wchar_t* userAgent = L"Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";

// The WinINet functions the fetch uses, valid while the object lives.
struct WinInet {
    UniqueModule module = loadSystemLibrary(L"wininet.dll");
    decltype(InternetOpenW)* open = procedure<decltype(InternetOpenW)>(module.get(), "InternetOpenW");
    decltype(InternetConnectW)* connect = procedure<decltype(InternetConnectW)>(module.get(), "InternetConnectW");
    decltype(HttpOpenRequestW)* openRequest =
        procedure<decltype(HttpOpenRequestW)>(module.get(), "HttpOpenRequestW");
    decltype(HttpSendRequestW)* sendRequest =
        procedure<decltype(HttpSendRequestW)>(module.get(), "HttpSendRequestW");
    decltype(HttpQueryInfoW)* queryInfo = procedure<decltype(HttpQueryInfoW)>(module.get(), "HttpQueryInfoW");
    decltype(InternetQueryDataAvailable)* queryDataAvailable =
        procedure<decltype(InternetQueryDataAvailable)>(module.get(), "InternetQueryDataAvailable");
    decltype(InternetReadFile)* readFile = procedure<decltype(InternetReadFile)>(module.get(), "InternetReadFile");
    decltype(InternetSetOptionW)* setOption =
        procedure<decltype(InternetSetOptionW)>(module.get(), "InternetSetOptionW");
    decltype(InternetCloseHandle)* closeHandle =
        procedure<decltype(InternetCloseHandle)>(module.get(), "InternetCloseHandle");

    bool usable() const {
        return open && connect && openRequest && sendRequest && queryInfo && queryDataAvailable && readFile &&
               setOption && closeHandle;
    }
};

// An HINTERNET closed through the loaded library, which must outlive it.
class InternetHandle {
public:
    InternetHandle(const WinInet& api, HINTERNET handle) : api_(api), handle_(handle) {}
    ~InternetHandle() {
        if (handle_ != nullptr) api_.closeHandle(handle_);
    }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    HINTERNET get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    const WinInet& api_;
    HINTERNET handle_;
};

void setTimeout(const WinInet& api, HINTERNET handle, DWORD option, DWORD milliseconds) {
    // Some WinINet versions take some of these only on some handle kinds; a
    // refusal leaves that stage at its default.
    api.setOption(handle, option, &milliseconds, sizeof(milliseconds));
}

void setTimeouts(const WinInet& api, HINTERNET handle) {
    setTimeout(api, handle, INTERNET_OPTION_CONNECT_TIMEOUT, connectTimeoutMs);
    setTimeout(api, handle, INTERNET_OPTION_SEND_TIMEOUT, sendTimeoutMs);
    setTimeout(api, handle, INTERNET_OPTION_RECEIVE_TIMEOUT, receiveTimeoutMs);
    setTimeout(api, handle, INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, receiveTimeoutMs);
}

}  // namespace

HttpResponse Win32Network::httpGet(const Text& hostText, const Text& path, std::size_t maxBodyBytes) {
    HttpResponse response;
    const ULONGLONG started = GetTickCount64();
    const std::optional<HostPort> site = parseHostPort(hostText);
    if (!site) return response;

    // Declared first, so every handle below is closed before it unloads.
    const WinInet api;
    if (!api.usable()) return response;

    InternetHandle session(api, api.open(userAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    if (!session) return response;
    setTimeouts(api, session.get());

    InternetHandle connection(api, api.connect(session.get(), wideFromGbk(site->host).c_str(),
                                               static_cast<INTERNET_PORT>(site->port), nullptr, nullptr,
                                               INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection) return response;
    setTimeouts(api, connection.get());

    LPCWSTR acceptTypes[] = {L"*/*", nullptr};
    InternetHandle request(
        api, api.openRequest(connection.get(), L"GET", wideFromGbk(path).c_str(), L"HTTP/1.0", nullptr, acceptTypes,
                             INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE, 0));
    if (!request) return response;
    setTimeouts(api, request.get());

    if (!api.sendRequest(request.get(), nullptr, 0, nullptr, 0)) return response;

    DWORD status = 0;
    DWORD statusSize = sizeof(status);
    if (!api.queryInfo(request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &statusSize,
                       nullptr))
        return response;
    response.fetched = true;
    response.status = static_cast<int>(status);

    // To the end, to the bound or to the budget; a failure part-way keeps
    // the bytes read until then. A read asks only for what has arrived: a
    // larger read waits for all of it, each byte under its own time-out.
    response.body.resize(maxBodyBytes);
    std::size_t filled = 0;
    while (filled < maxBodyBytes && GetTickCount64() - started < readBudgetMs) {
        DWORD available = 0;
        if (!api.queryDataAvailable(request.get(), &available, 0, 0) || available == 0) break;
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(maxBodyBytes - filled, available));
        if (!api.readFile(request.get(), response.body.data() + filled, want, &got) || got == 0) break;
        filled += got;
    }
    response.body.resize(filled);
    return response;
}

void Win32Network::openUrl(const Text& url) {
    const UniqueModule shell = loadSystemLibrary(L"shell32.dll");
    auto* const shellExecute = procedure<decltype(ShellExecuteW)>(shell.get(), "ShellExecuteW");
    if (shellExecute == nullptr) return;
    shellExecute(nullptr, L"open", wideFromGbk(url).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace vexmora::win32
