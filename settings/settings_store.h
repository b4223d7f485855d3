// SettingsStore: the program's only persistence, values below
// HKEY_CURRENT_USER addressed by one entry path ("key\value").
#pragma once

#include <cstdint>
#include <optional>

#include "app/platform.h"

namespace vexmora {

struct EntryPath {
    Text keyPath;
    Text valueName;  // empty when the path ends in a backslash
};

// Splits at the last single-byte backslash; a lead byte of 0x80 or more
// starts a two-byte character that is skipped whole.
EntryPath splitEntryPath(const Text& entryPath);

class SettingsStore {
public:
    explicit SettingsStore(Registry& registry) : registry_(registry) {}

    bool valueExists(const Text& entryPath);
    std::int32_t readNumber(const Text& entryPath, std::optional<std::int32_t> defaultValue = std::nullopt);
    Text readText(const Text& entryPath);
    bool writeNumber(const Text& entryPath, std::int32_t value);
    bool writeNumber(const Text& entryPath, double value);  // truncated toward zero, low 32 bits kept
    bool writeText(const Text& entryPath, const Text& text);
    bool deleteEntry(const Text& entryPath);

private:
    Registry& registry_;
};

// The 32 bits stored for a number: truncated toward zero to 64 bits, low
// half kept. Values beyond the 64-bit range saturate rather than overflow.
std::int32_t storedDword(double value);

}  // namespace vexmora
