// Locale-free number texts: the parses, the fixed and shortest forms, the checked narrowings.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvex {

// All conversions use "." as decimal separator, whatever the process locale says.

// Optional blanks, optional sign, digits with at most one "." (at least a digit or the point),
// optional exponent, optional blanks. Anything else throws ConversionError quoting the text, and
// so does a number too large for long double; one too small for it gives 0. Correctly rounded.
long double StrictParse(std::string_view text);

// Never fails: a text the strict parse accepts (without a trailing blank) gives the same value,
// the empty text gives 0. Any other text gives the value of its longest leading part that the
// strict parse would accept ("1.2.3" -> 1.2, "2.5 V" -> 2.5), 0 when there is none; a number too
// large for long double gives an infinity of its sign.
long double LenientParse(std::string_view text);

// Shortest decimal form with at most 15 significant digits, no exponent, no trailing zeros or
// point: 2.5, 0.05, 20.4, 0, 63000.
std::string GeneralText(long double value);

// Formats a single-precision value by a pattern "%W.Df": fixed notation with D decimals, padded
// with leading blanks to width W; the last decimal is rounded half away from zero on the
// 18-significant-digit decimal expansion of the value ("%2.1f": 0.25 -> "0.3", 2.55 -> "2.5").
// An empty pattern gives the empty text.
std::string FormatFixed(std::string_view pattern, float value);

// Narrows to single precision; throws FloatOverflowError when the value does not fit (and
// InvalidFloatOperationError for a NaN).
float NarrowToSingle(long double value);

// Rounds to the nearest integer, ties to even; throws InvalidFloatOperationError when the result
// does not fit a signed 64-bit integer.
std::int64_t RoundToInt64(long double value);

}  // namespace quorvex
