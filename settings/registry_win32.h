#pragma once

#include "app/platform.h"

namespace vexmora::win32 {

// HKEY_CURRENT_USER through the wide registry API; names and texts cross
// code page 936, so the Chinese value names are the same on any Windows.
class Win32Registry final : public Registry {
public:
    std::optional<RegValue> queryValue(const Text& keyPath, const Text& valueName) override;
    bool setValue(const Text& keyPath, const Text& valueName, const RegValue& value) override;
    bool deleteValue(const Text& keyPath, const Text& valueName) override;
    bool deleteKey(const Text& keyPath) override;
    Text expandEnvironment(const Text& text) override;
};

}  // namespace vexmora::win32
