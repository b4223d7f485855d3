// MenuDocument: the menu markup with its two value slots and three marks,
// patched in place whenever a setting changes.
#pragma once

#include <cstdint>

#include "app/platform.h"

namespace vexmora {

Text initialMenuDocument();

// The text between fragment and the next ")" after it; empty when there is none.
Text readSlot(const Text& document, const Text& fragment);
void writeSlot(Text& document, const Text& fragment, std::int32_t value);
// The start-up form, on a slot that is still empty.
void fillSlot(Text& document, const Text& fragment, std::int32_t value);
void setMark(Text& document, const Text& fromText, const Text& toText);

}  // namespace vexmora
