#pragma once
// One line of a recipe's ingredient list (a row of T_REZ_ZUTAT), and the process-wide routines that
// turn quantity text into a number and back, used by the recipe editor, the importers and MengeTxt.
// Nothing here touches the database yet.

#include "core/Decimal4.h"

#include <string>
#include <string_view>

namespace pf {

// Bit of the EditFlags setting that switches quantity entry and display from fractions to decimals.
inline constexpr long kEditFlagDecimalMode = 4;

// Reads "1 1/2", "3/4", "2", "2.5" (and "2,5" in decimal mode) into a quantity. A failing division
// (divisor 0) keeps the dividend; text without a leading number counts as 0.
Decimal4 ParseQuantity(std::string_view text, long editFlags);

// The quantity as the editor shows it: in fraction mode a whole number and the first fraction n/d
// (d up to 8) within 0.01 of the remainder, else the remainder as a decimal; 0 gives "".
// decimalSeparator is the user's locale separator for the decimal parts.
std::string FormatQuantity(Decimal4 q, long editFlags, char decimalSeparator = ',');

} // namespace pf
