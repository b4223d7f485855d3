#include "settings/registry_win32.h"

#include "app/gbk_win32.h"
#include "app/win32_handles.h"

namespace vexmora::win32 {

namespace {

bool isText(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

UniqueKey openKey(const Text& keyPath, REGSAM access) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, wideFromGbk(keyPath).c_str(), 0, access, &key) != ERROR_SUCCESS)
        return UniqueKey();
    return UniqueKey(key);
}

// UTF-16 registry text to the GBK bytes of the core, NULs kept in place.
std::vector<std::uint8_t> gbkData(const std::vector<BYTE>& wideBytes) {
    std::wstring wide(wideBytes.size() / sizeof(wchar_t), L'\0');
    if (!wide.empty()) memcpy(wide.data(), wideBytes.data(), wide.size() * sizeof(wchar_t));
    const Text narrow = gbkFromWide(wide);
    return {narrow.begin(), narrow.end()};
}

}  // namespace

std::optional<RegValue> Win32Registry::queryValue(const Text& keyPath, const Text& valueName) {
    const UniqueKey key = openKey(keyPath, KEY_READ);
    if (!key) return std::nullopt;
    const std::wstring name = wideFromGbk(valueName);
    DWORD type = 0;
    DWORD size = 0;
    LSTATUS status = RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &size);
    if (status != ERROR_SUCCESS) return std::nullopt;
    std::vector<BYTE> data(size);
    // The value may grow between the two calls; ask until it fits.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD got = static_cast<DWORD>(data.size());
        status = RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, data.empty() ? nullptr : data.data(), &got);
        if (status == ERROR_MORE_DATA) {
            data.resize(got);
            continue;
        }
        if (status != ERROR_SUCCESS) return std::nullopt;
        data.resize(got);
        break;
    }
    if (status != ERROR_SUCCESS) return std::nullopt;
    RegValue value;
    value.type = type;
    if (isText(type)) value.data = gbkData(data);
    else value.data.assign(data.begin(), data.end());
    return value;
}

bool Win32Registry::setValue(const Text& keyPath, const Text& valueName, const RegValue& value) {
    UniqueKey key = openKey(keyPath, KEY_WRITE);
    if (!key) {
        HKEY created = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, wideFromGbk(keyPath).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                            &created, nullptr) != ERROR_SUCCESS)
            return false;
        key.reset(created);
    }
    std::vector<BYTE> data;
    if (isText(value.type)) {
        const std::wstring wide = wideFromGbk(Text(value.data.begin(), value.data.end()));
        data.resize(wide.size() * sizeof(wchar_t));
        if (!data.empty()) memcpy(data.data(), wide.data(), data.size());
    } else {
        data.assign(value.data.begin(), value.data.end());
    }
    return RegSetValueExW(key.get(), wideFromGbk(valueName).c_str(), 0, value.type,
                          data.empty() ? nullptr : data.data(), static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

bool Win32Registry::deleteValue(const Text& keyPath, const Text& valueName) {
    const UniqueKey key = openKey(keyPath, KEY_WRITE);
    if (!key) return false;
    return RegDeleteValueW(key.get(), wideFromGbk(valueName).c_str()) == ERROR_SUCCESS;
}

bool Win32Registry::deleteKey(const Text& keyPath) {
    return RegDeleteKeyW(HKEY_CURRENT_USER, wideFromGbk(keyPath).c_str()) == ERROR_SUCCESS;
}

Text Win32Registry::expandEnvironment(const Text& text) {
    const std::wstring wide = wideFromGbk(text);
    const DWORD needed = ExpandEnvironmentStringsW(wide.c_str(), nullptr, 0);
    if (needed == 0) return text;
    std::wstring expanded(needed, L'\0');
    const DWORD written = ExpandEnvironmentStringsW(wide.c_str(), expanded.data(), needed);
    if (written == 0 || written > needed) return text;
    expanded.resize(written - 1);  // without the terminating NUL
    return gbkFromWide(expanded);
}

}  // namespace vexmora::win32
