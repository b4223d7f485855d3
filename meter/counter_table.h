#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "app/program.h"

namespace vexmora {

inline constexpr std::size_t ifRowSize = 860;
inline constexpr std::size_t inOctetsOffset = 552;
inline constexpr std::size_t outOctetsOffset = 576;

// The counters of every row of a MIB_IFTABLE buffer; nothing when the stated
// row count does not fit the buffer.
std::optional<CounterTable> parseCounterTable(const std::uint8_t* buffer, std::size_t size);

}  // namespace vexmora
