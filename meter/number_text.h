// Number texts of the meter: one-decimal rates and MB/GB amounts.
#pragma once

#include <string_view>

#include "app/platform.h"

namespace vexmora {

// Half up on the magnitude, sign kept; the 1e-12 allowance lifts values a
// hair below a half (inexact decimal fractions) up to it.
double roundToDecimals(double x, int decimals);

// The text of "%.13g" in the C locale, whatever the process locale.
Text doubleToText(double x);

// One decimal always: 0 -> "0.0", 12.33984375 -> "12.3".
Text formatRateText(double kb);

// prefix + the amount in MB, or in GB once above 1024 MB; no zeros added.
Text formatAmountText(std::string_view prefix, double mb);

}  // namespace vexmora
