#include "meter/counter_table.h"

#include <algorithm>
#include <vector>

namespace vexmora {

namespace {

std::int32_t readInt32(const std::uint8_t* bytes) {
    const std::uint32_t bits = static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
                               static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
    return static_cast<std::int32_t>(bits);
}

}  // namespace

std::optional<CounterTable> parseCounterTable(const std::uint8_t* buffer, std::size_t size) {
    if (buffer == nullptr || size < 4) return std::nullopt;
    const std::int32_t rows = readInt32(buffer);
    if (rows < 0 || static_cast<std::size_t>(rows) > (size - 4) / ifRowSize) return std::nullopt;
    CounterTable table(static_cast<std::size_t>(rows));
    for (std::size_t k = 0; k < table.size(); ++k) {
        const std::uint8_t* row = buffer + 4 + k * ifRowSize;
        table[k].inOctets = readInt32(row + inOctetsOffset);
        table[k].outOctets = readInt32(row + outOctetsOffset);
    }
    return table;
}

void Program::refreshCounterTable() {
    InterfaceTable& platformTable = platform_.interfaceTable;
    std::uint8_t probe = 0;
    std::uint32_t size = 0;
    platformTable.getIfTable(&probe, &size, false);  // learns the size only
    if (static_cast<std::int32_t>(size) <= 0) return;
    std::vector<std::uint8_t> buffer(size, 0);
    if (platformTable.getIfTable(buffer.data(), &size, true) != 0) return;
    // The size may have been rewritten; never read past what was allocated.
    if (auto table = parseCounterTable(buffer.data(), std::min<std::size_t>(size, buffer.size())))
        state().counterTable = std::move(*table);
}

}  // namespace vexmora
