// A small Win32 tool that the end-to-end tests run in the program's Wine
// prefix: it reads and writes HKCU values and reports the program's windows,
// as UTF-8 JSON on stdout. It sends the program no message, except the close
// request that "close-class" stands in for (Alt+F4, a task list's Close).
#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string out(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), length, nullptr, nullptr);
    return out;
}

std::string jsonString(const std::wstring& text) {
    std::string out = "\"";
    for (char c : utf8(text)) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

void print(const std::string& text) {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

// Values of one key: {"name": {"type": N, "dword": V | "text": "..." | "hex": "..."}}
int dumpKey(const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        print("null\n");
        return 0;
    }
    std::string out = "{";
    for (DWORD index = 0;; ++index) {
        wchar_t name[512];
        DWORD nameLength = 512;
        BYTE data[8192];
        DWORD dataLength = sizeof data;
        DWORD type = 0;
        if (RegEnumValueW(key, index, name, &nameLength, nullptr, &type, data, &dataLength) != ERROR_SUCCESS) break;
        if (index > 0) out += ",";
        out += jsonString(std::wstring(name, nameLength)) + ":{\"type\":" + std::to_string(type);
        if (type == REG_DWORD && dataLength == 4) {
            LONG value;
            memcpy(&value, data, 4);
            out += ",\"dword\":" + std::to_string(value);
        } else if (type == REG_SZ || type == REG_EXPAND_SZ) {
            std::wstring text(reinterpret_cast<wchar_t*>(data), dataLength / sizeof(wchar_t));
            while (!text.empty() && text.back() == L'\0') text.pop_back();  // the terminator
            out += ",\"text\":" + jsonString(text);
        }
        std::string hex;
        for (DWORD i = 0; i < dataLength; ++i) {
            char pair[3];
            std::snprintf(pair, sizeof pair, "%02x", data[i]);
            hex += pair;
        }
        out += ",\"hex\":\"" + hex + "\"}";
    }
    RegCloseKey(key);
    print(out + "}\n");
    return 0;
}

int setValue(const std::wstring& path, const std::wstring& name, DWORD type, const std::vector<BYTE>& data) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return 2;
    const LSTATUS status = RegSetValueExW(key, name.c_str(), 0, type, data.data(), static_cast<DWORD>(data.size()));
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? 0 : 3;
}

std::vector<BYTE> hexBytes(const std::wstring& hex) {
    std::vector<BYTE> bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<BYTE>(std::wcstoul(hex.substr(i, 2).c_str(), nullptr, 16)));
    return bytes;
}

std::string windowJson(HWND window) {
    wchar_t className[256] = {};
    GetClassNameW(window, className, 256);
    wchar_t text[512] = {};
    InternalGetWindowText(window, text, 512);
    RECT rect{};
    GetWindowRect(window, &rect);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    const LONG exStyle = GetWindowLongW(window, GWL_EXSTYLE);
    BYTE alpha = 255;
    DWORD flags = 0;
    COLORREF key = 0;
    const bool layered = (exStyle & WS_EX_LAYERED) && GetLayeredWindowAttributes(window, &key, &alpha, &flags);
    char handle[32];
    std::snprintf(handle, sizeof handle, "%llu", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
    return "{\"hwnd\":" + std::string(handle) + ",\"class\":" + jsonString(className) +
           ",\"text\":" + jsonString(text) + ",\"pid\":" + std::to_string(processId) +
           ",\"left\":" + std::to_string(rect.left) + ",\"top\":" + std::to_string(rect.top) +
           ",\"width\":" + std::to_string(rect.right - rect.left) +
           ",\"height\":" + std::to_string(rect.bottom - rect.top) +
           ",\"visible\":" + (IsWindowVisible(window) ? "true" : "false") +
           ",\"enabled\":" + (IsWindowEnabled(window) ? "true" : "false") +
           ",\"topmost\":" + ((exStyle & WS_EX_TOPMOST) ? "true" : "false") +
           ",\"exstyle\":" + std::to_string(exStyle) + ",\"style\":" + std::to_string(GetWindowLongW(window, GWL_STYLE)) +
           ",\"alpha\":" + (layered && (flags & LWA_ALPHA) ? std::to_string(alpha) : std::string("null")) +
           ",\"owner\":" + std::to_string(reinterpret_cast<UINT_PTR>(GetWindow(window, GW_OWNER)) != 0 ? 1 : 0) + "}";
}

BOOL CALLBACK collectChild(HWND window, LPARAM list) {
    auto* out = reinterpret_cast<std::string*>(list);
    if (out->size() > 1) *out += ",";
    *out += windowJson(window);
    return TRUE;
}

BOOL CALLBACK collectTop(HWND window, LPARAM list) {
    auto* out = reinterpret_cast<std::string*>(list);
    std::string children = "[";
    EnumChildWindows(window, collectChild, reinterpret_cast<LPARAM>(&children));
    children += "]";
    std::string entry = windowJson(window);
    entry.back() = ',';
    entry += "\"children\":" + children + "}";
    if (out->size() > 1) *out += ",";
    *out += entry;
    return TRUE;
}

int listWindows() {
    std::string out = "[";
    EnumWindows(collectTop, reinterpret_cast<LPARAM>(&out));
    print(out + "]\n");
    return 0;
}

DWORD processIdOfImage(const wchar_t* imageName) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    DWORD found = 0;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && found == 0; more = Process32NextW(snapshot, &entry))
        if (_wcsicmp(entry.szExeFile, imageName) == 0) found = entry.th32ProcessID;
    CloseHandle(snapshot);
    return found;
}

int guiResources(DWORD processId) {
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId);
    if (process == nullptr) return 2;
    const DWORD gdi = GetGuiResources(process, GR_GDIOBJECTS);
    const DWORD user = GetGuiResources(process, GR_USEROBJECTS);
    CloseHandle(process);
    print("{\"gdi\":" + std::to_string(gdi) + ",\"user\":" + std::to_string(user) + "}\n");
    return 0;
}

struct VisibleSearch {
    const wchar_t* className;
    bool found;
};

BOOL CALLBACK findVisible(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<VisibleSearch*>(param);
    wchar_t className[256] = {};
    GetClassNameW(window, className, 256);
    if (IsWindowVisible(window) && wcscmp(className, search->className) == 0) {
        search->found = true;
        return FALSE;
    }
    return TRUE;
}

// Milliseconds from now until a visible top-level window of the class exists.
int waitVisible(const wchar_t* className, DWORD timeoutMs) {
    const ULONGLONG start = GetTickCount64();
    while (GetTickCount64() - start < timeoutMs) {
        VisibleSearch search{className, false};
        EnumWindows(findVisible, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            print(std::to_string(GetTickCount64() - start) + "\n");
            return 0;
        }
        Sleep(5);
    }
    return 5;
}

// Ends every process that owns a top-level window of the class, the way
// Windows ends a task, so the Wine server sees the end at once.
int endClass(const wchar_t* className) {
    int ended = 0;
    for (HWND window = FindWindowW(className, nullptr); window != nullptr; window = FindWindowW(className, nullptr)) {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId);
        if (process == nullptr) return 6;
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 10000);
        CloseHandle(process);
        if (++ended > 32) return 7;
    }
    return 0;
}

// Ends every process whose image has the name (case-insensitive).
int endImage(const wchar_t* imageName) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 6;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (_wcsicmp(entry.szExeFile, imageName) != 0 || entry.th32ProcessID == GetCurrentProcessId()) continue;
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID);
        if (process == nullptr) continue;
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 10000);
        CloseHandle(process);
    }
    CloseHandle(snapshot);
    return 0;
}

// Shows a window for a moment: the first window of a fresh Wine server
// brings up its desktop, which stalls other processes for a while.
int flashWindow() {
    HWND window = CreateWindowExW(0, L"STATIC", L"probe", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    for (int i = 0; i < 20; ++i) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        Sleep(10);
    }
    DestroyWindow(window);
    return 0;
}

LRESULT CALLBACK holdProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Keeps a hidden window until it is closed. Wine's desktop goes away about a
// second after the last process using it has ended, and a program started
// then waits some 10 s for a new one; while this runs, it stays.
int holdDesktop() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = holdProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"VexmoraProbeHold";
    RegisterClassExW(&windowClass);
    if (!CreateWindowExW(0, windowClass.lpszClassName, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                         windowClass.hInstance, nullptr))
        return 9;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 1;
    const std::wstring command = argv[1];
    if (command == L"dump" && argc == 3) return dumpKey(argv[2]);
    if (command == L"set-dword" && argc == 5) {
        const auto value = static_cast<DWORD>(std::wcstoll(argv[4], nullptr, 10));
        std::vector<BYTE> data(4);
        memcpy(data.data(), &value, 4);
        return setValue(argv[2], argv[3], REG_DWORD, data);
    }
    if (command == L"set-sz" && argc == 5) {
        const std::wstring text = argv[4];
        std::vector<BYTE> data((text.size() + 1) * sizeof(wchar_t));
        memcpy(data.data(), text.c_str(), data.size());
        return setValue(argv[2], argv[3], REG_SZ, data);
    }
    if (command == L"set-raw" && argc == 6)  // key name type hexdata
        return setValue(argv[2], argv[3], static_cast<DWORD>(std::wcstoul(argv[4], nullptr, 10)), hexBytes(argv[5]));
    if (command == L"delete-key" && argc == 3) return RegDeleteKeyW(HKEY_CURRENT_USER, argv[2]) == ERROR_SUCCESS ? 0 : 4;
    if (command == L"delete-value" && argc == 4) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, argv[2], 0, KEY_WRITE, &key) != ERROR_SUCCESS) return 4;
        const LSTATUS status = RegDeleteValueW(key, argv[3]);
        RegCloseKey(key);
        return status == ERROR_SUCCESS ? 0 : 4;
    }
    if (command == L"windows") return listWindows();
    if (command == L"end-class" && argc == 3) return endClass(argv[2]);
    if (command == L"flash") return flashWindow();
    if (command == L"hold") return holdDesktop();
    if (command == L"close-class" && argc == 3) {
        HWND window = FindWindowW(argv[2], nullptr);
        return window != nullptr && PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 8;
    }
    if (command == L"end-image" && argc == 3) return endImage(argv[2]);
    if (command == L"wait-visible" && argc == 4) return waitVisible(argv[2], std::wcstoul(argv[3], nullptr, 10));
    if (command == L"gui-resources" && argc == 3) {
        const DWORD byNumber = std::wcstoul(argv[2], nullptr, 10);
        return guiResources(byNumber != 0 ? byNumber : processIdOfImage(argv[2]));
    }
    return 1;
}
