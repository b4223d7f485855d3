// Settings reads over arbitrary registry contents: any type, any size.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fakes/fake_platform.h"
#include "settings/settings_store.h"

using namespace vexmora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    fakes::Log log;
    fakes::FakeRegistry registry(log);
    SettingsStore store(registry);
    const std::uint32_t type = data[0] | data[1] << 8 | data[2] << 16 | static_cast<std::uint32_t>(data[3]) << 24;
    registry.put("Software\\Toskarin", "v", RegValue{type, {data + 4, data + size}});
    registry.environment["A"] = Text(reinterpret_cast<const char*>(data + 4), size - 4);

    const Text path = "Software\\Toskarin\\v";
    if (!store.valueExists(path)) std::abort();
    const std::int32_t number = store.readNumber(path, 12345);
    if (!(type == 4 && size == 8) && number != 12345) std::abort();  // only a 4-byte DWORD is a number
    const Text text = store.readText(path);
    if (type != 1 && type != 2 && !text.empty()) std::abort();
    if (text.find('\0') != Text::npos && type == 1) std::abort();

    // Any bytes as an entry path.
    const Text anyPath(reinterpret_cast<const char*>(data), size);
    const EntryPath split = splitEntryPath(anyPath);
    if (split.keyPath.size() + split.valueName.size() > anyPath.size()) std::abort();
    store.readNumber(anyPath);
    store.readText(anyPath);
    store.deleteEntry(anyPath);
    return 0;
}
