#include "app/process_win32.h"

#include <windows.h>

#include <utility>

#include "app/gbk_win32.h"

namespace vexmora::win32 {

namespace {

std::wstring modulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);  // truncated: a long path
    }
}

}  // namespace

void Win32Process::runCleanUpOnce() {
    if (auto cleanUp = std::exchange(cleanUp_, nullptr)) cleanUp();
}

bool Win32Process::acquireInstanceMutex(const Text& name) {
    const std::wstring wideName = wideFromGbk(name);
    if (HANDLE existing = OpenMutexW(MUTEX_ALL_ACCESS, TRUE, wideName.c_str())) {
        (void)existing;  // left open, like the running copy's own
        return false;
    }
    SECURITY_ATTRIBUTES attributes{};
    attributes.nLength = sizeof(attributes);  // no descriptor, not inheritable
    HANDLE mutex = CreateMutexW(&attributes, TRUE, wideName.c_str());
    // A copy that created the mutex an instant earlier also counts as running.
    if (mutex == nullptr || GetLastError() == ERROR_ALREADY_EXISTS) return false;
    return true;  // owned until the process ends
}

Text Win32Process::runDirectory() {
    const std::wstring path = modulePath();
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? Text() : gbkFromWide(path.substr(0, slash));
}

Text Win32Process::programFileName() {
    const std::wstring path = modulePath();
    const std::size_t slash = path.find_last_of(L"\\/");
    return gbkFromWide(slash == std::wstring::npos ? path : path.substr(slash + 1));
}

void Win32Process::orderlyExit(int code) {
    runCleanUpOnce();
    ExitProcess(static_cast<UINT>(code));
}

}  // namespace vexmora::win32
