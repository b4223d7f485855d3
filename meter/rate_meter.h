// The one-second tick's arithmetic on byte counters.
#pragma once

#include <cstdint>

namespace vexmora {

// Bytes counted since previous, modulo 2^32 and read as signed, so a counter
// passing 2^31 or wrapping past 2^32 still yields the true count. A previous
// reading of 0 means none: the difference is then 0. previous becomes current.
std::int32_t counterDelta(std::int32_t current, std::int32_t& previous);

}  // namespace vexmora
