#pragma once

#include <string>
#include <string_view>

namespace quorvex {

// All conversions use "." as decimal separator, whatever the process locale says.

// Optional blanks, optional sign, digits with at most one "." (at least a digit or the point),
// optional exponent, optional blanks. Anything else throws ConversionError quoting the text.
long double StrictParse(std::string_view text);

// Never fails: a text the strict parse accepts (without a trailing blank) gives the same value,
// the empty text gives 0, anything else some number.
long double LenientParse(std::string_view text);

// Shortest decimal form with at most 15 significant digits, no exponent, no trailing zeros or
// point: 2.5, 0.05, 20.4, 0, 63000.
std::string GeneralText(long double value);

// Formats a single-precision value by a pattern "%W.Df": fixed notation with D decimals, padded
// with leading blanks to width W; the last decimal is rounded half away from zero on the
// 18-significant-digit decimal expansion of the value ("%2.1f": 0.25 -> "0.3", 2.55 -> "2.5").
// An empty pattern gives the empty text.
std::string FormatFixed(std::string_view pattern, float value);

// Narrows to single precision; throws FloatOverflowError when the value does not fit.
float NarrowToSingle(long double value);

}  // namespace quorvex
