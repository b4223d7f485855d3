#pragma once

#include <cstdint>

#include "app/platform.h"

namespace vexmora {

// The input box's conversion: leading white space, an optional sign, then
// decimal digits up to the first other character; no digits give 0. Values
// beyond 32 bits saturate far outside every range a prompt accepts, so a long
// number can never wrap into range.
std::int64_t inputNumberValue(const Text& text);

}  // namespace vexmora
