#pragma once

#include "app/platform.h"

namespace vexmora {

// Replaces every occurrence of find, left to right, never rescanning inserted
// text; a match never starts on the trail byte of a two-byte character.
Text replaceAll(const Text& text, const Text& find, const Text& replacement);

// Byte position of the first occurrence of find that starts on a character
// boundary, or npos.
std::size_t findText(const Text& text, const Text& find);

// Decimal digits with a leading "-" when negative.
Text decimalText(std::int64_t value);

}  // namespace vexmora
