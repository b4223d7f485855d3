#include "settings/settings_store.h"

#include <cmath>
#include <cstring>

namespace vexmora {

EntryPath splitEntryPath(const Text& entryPath) {
    std::size_t lastBackslash = Text::npos;
    for (std::size_t i = 0; i < entryPath.size(); ++i) {
        const auto byte = static_cast<unsigned char>(entryPath[i]);
        if (byte >= 0x80) {
            ++i;  // trail byte of a two-byte character
        } else if (byte == '\\') {
            lastBackslash = i;
        }
    }
    if (lastBackslash == Text::npos) return {Text(), entryPath};
    return {entryPath.substr(0, lastBackslash), entryPath.substr(lastBackslash + 1)};
}

bool SettingsStore::valueExists(const Text& entryPath) {
    const EntryPath path = splitEntryPath(entryPath);
    return registry_.queryValue(path.keyPath, path.valueName).has_value();
}

std::int32_t SettingsStore::readNumber(const Text& entryPath, std::optional<std::int32_t> defaultValue) {
    const EntryPath path = splitEntryPath(entryPath);
    const auto value = registry_.queryValue(path.keyPath, path.valueName);
    // A DWORD that is not exactly four bytes is as good as absent.
    if (!value || value->type != static_cast<std::uint32_t>(RegType::dword) || value->data.size() != 4)
        return defaultValue.value_or(0);
    std::uint32_t bits = 0;
    for (int i = 3; i >= 0; --i) bits = (bits << 8) | value->data[static_cast<std::size_t>(i)];
    return static_cast<std::int32_t>(bits);
}

Text SettingsStore::readText(const Text& entryPath) {
    const EntryPath path = splitEntryPath(entryPath);
    const auto value = registry_.queryValue(path.keyPath, path.valueName);
    if (!value) return {};
    const bool plain = value->type == static_cast<std::uint32_t>(RegType::sz);
    const bool expandable = value->type == static_cast<std::uint32_t>(RegType::expandSz);
    if (!plain && !expandable) return {};
    Text text(value->data.begin(), value->data.end());
    if (const auto nul = text.find('\0'); nul != Text::npos) text.resize(nul);
    return expandable ? registry_.expandEnvironment(text) : text;
}

bool SettingsStore::writeNumber(const Text& entryPath, std::int32_t value) {
    const EntryPath path = splitEntryPath(entryPath);
    const auto bits = static_cast<std::uint32_t>(value);
    RegValue stored{static_cast<std::uint32_t>(RegType::dword),
                    {static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
                     static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24)}};
    return registry_.setValue(path.keyPath, path.valueName, stored);
}

bool SettingsStore::writeNumber(const Text& entryPath, double value) {
    return writeNumber(entryPath, storedDword(value));
}

bool SettingsStore::writeText(const Text& entryPath, const Text& text) {
    const EntryPath path = splitEntryPath(entryPath);
    RegValue stored{static_cast<std::uint32_t>(RegType::sz), {text.begin(), text.end()}};
    stored.data.push_back(0);
    return registry_.setValue(path.keyPath, path.valueName, stored);
}

bool SettingsStore::deleteEntry(const Text& entryPath) {
    const EntryPath path = splitEntryPath(entryPath);
    if (registry_.deleteValue(path.keyPath, path.valueName)) return true;
    // The whole path names a key: the settings key itself for a path that
    // ends in its backslash, else a subkey named like the value.
    return registry_.deleteKey(path.valueName.empty() ? path.keyPath : entryPath);
}

std::int32_t storedDword(double value) {
    if (std::isnan(value)) return 0;
    constexpr double limit = 9223372036854775807.0;  // 2^63
    std::int64_t whole;
    if (value >= limit) whole = INT64_MAX;
    else if (value <= -limit) whole = INT64_MIN;
    else whole = static_cast<std::int64_t>(value);  // truncates toward zero
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(whole)));
}

}  // namespace vexmora
