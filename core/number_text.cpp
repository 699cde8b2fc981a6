// Number texts with "." whatever the locale: strict and lenient parse, fixed and short forms.
#include "core/number_text.h"

#include <algorithm>
#include <cerrno>
#include <cfenv>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <stdexcept>
#include <system_error>

#include "core/errors.h"

namespace quorvex {

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The parts of a number as the operator may type it. Found only when there is at least a digit
// or the point; `end` is one past the last character that belongs to the number.
struct NumberScan {
  bool found = false;
  bool negative = false;
  std::string_view intDigits;
  std::string_view fracDigits;
  bool expNegative = false;
  std::string_view expDigits;  // empty when there is no exponent
  std::size_t end = 0;
};

std::string_view DigitRun(std::string_view text, std::size_t& i) {
  const std::size_t start = i;
  while (i < text.size() && IsDigit(text[i])) ++i;
  return text.substr(start, i - start);
}

NumberScan ScanNumber(std::string_view text) {
  NumberScan scan;
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    scan.negative = text[i] == '-';
    ++i;
  }
  scan.intDigits = DigitRun(text, i);
  bool hasPoint = false;
  if (i < text.size() && text[i] == '.') {
    hasPoint = true;
    ++i;
    scan.fracDigits = DigitRun(text, i);
  }
  scan.found = !scan.intDigits.empty() || hasPoint;
  if (!scan.found) return scan;
  scan.end = i;
  // An exponent counts only with at least one digit; "1e" is a number followed by junk.
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    bool expNegative = false;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
      expNegative = text[j] == '-';
      ++j;
    }
    std::string_view expDigits = DigitRun(text, j);
    if (!expDigits.empty()) {
      scan.expNegative = expNegative;
      scan.expDigits = expDigits;
      scan.end = j;
    }
  }
  return scan;
}

enum class Range { Fits, Overflow };

// Beyond these decimal magnitudes the value is certainly out of the long double range, so the
// exponent handed to the converter stays small however many digits the text holds.
constexpr long long kMaxMagnitude = 4940;
constexpr long long kMinMagnitude = -4970;
constexpr long long kExponentCap = 1'000'000'000'000LL;

// Powers of ten up to this one are exact in long double: 10^k = 2^k x 5^k, and 5^k fits the
// significand (capped where 5^k would leave 64 bits).
constexpr int ExactPowersOfTen() {
  constexpr int bits = std::numeric_limits<long double>::digits;
  int k = 0;
  for (unsigned long long five = 1; k < 27 && (bits >= 64 || five * 5 < (1ULL << bits));
       five *= 5) {
    ++k;
  }
  return k;
}

// The significant digits times 10^scale in one operation, when that is certainly the same
// value strtold gives: the digits and the power of ten are exact, so a single rounded multiply
// or divide is correctly rounded, as strtold is, provided both round to nearest. Answers false
// (and leaves `value` alone) where that cannot be guaranteed; strtold is slow enough to be most
// of a re-display's time.
bool ExactProduct(std::string_view significant, long long scale, long double& value) {
  constexpr auto kMaxDigits = static_cast<std::size_t>(std::min(
      std::numeric_limits<long double>::digits10, std::numeric_limits<std::uint64_t>::digits10));
  constexpr int kMaxPower = ExactPowersOfTen();
  if (significant.size() > kMaxDigits || scale > kMaxPower || scale < -kMaxPower) return false;
  if (std::fegetround() != FE_TONEAREST) return false;
  std::uint64_t integer = 0;
  for (char c : significant) integer = integer * 10 + static_cast<std::uint64_t>(c - '0');
  long double power = 1.0L;
  for (long long k = 0; k < (scale < 0 ? -scale : scale); ++k) power *= 10.0L;
  const auto exact = static_cast<long double>(integer);
  value = scale < 0 ? exact / power : exact * power;
  return true;
}

Range ToValue(const NumberScan& scan, long double& value) {
  std::string digits;
  digits.reserve(scan.intDigits.size() + scan.fracDigits.size());
  digits.append(scan.intDigits);
  digits.append(scan.fracDigits);
  const std::size_t first = digits.find_first_not_of('0');
  const long double zero = scan.negative ? -0.0L : 0.0L;
  if (first == std::string::npos) {
    value = zero;
    return Range::Fits;
  }
  long long exponent = 0;
  for (char c : scan.expDigits) {
    exponent = std::min(exponent * 10 + (c - '0'), kExponentCap);
  }
  if (scan.expNegative) exponent = -exponent;
  // Decimal exponent of the first significant digit (d.ddd x 10^magnitude).
  const long long magnitude =
      static_cast<long long>(scan.intDigits.size()) - static_cast<long long>(first) - 1 + exponent;
  if (magnitude > kMaxMagnitude) return Range::Overflow;
  if (magnitude < kMinMagnitude) {
    value = zero;
    return Range::Fits;
  }
  // The significant digits as one integer, scaled by a power of ten: with no decimal point in
  // it, strtold reads the text the same in every locale. strtold, not from_chars: MinGW's
  // from_chars for long double goes through double and would lose the extended bits.
  const std::size_t last = digits.find_last_not_of('0');
  const long long scale = magnitude - static_cast<long long>(last - first);
  if (ExactProduct(std::string_view(digits).substr(first, last - first + 1), scale, value)) {
    if (scan.negative) value = -value;
    return Range::Fits;
  }
  std::string normalized(digits, first, last - first + 1);
  normalized += 'e';
  normalized += std::to_string(scale);

  errno = 0;
  char* parsedEnd = nullptr;
  const long double magnitudeValue = std::strtold(normalized.c_str(), &parsedEnd);
  const bool outOfRange = errno == ERANGE;
  if (parsedEnd != normalized.c_str() + normalized.size()) {
    throw std::logic_error("number scanner and converter disagree");
  }
  if (outOfRange && std::isinf(magnitudeValue)) return Range::Overflow;
  // Below the normal range: the card cannot tell such a value from 0 anyway, and how far into
  // the subnormals a C library reports a result is its own choice.
  if (outOfRange || std::fabs(magnitudeValue) < std::numeric_limits<long double>::min()) {
    value = zero;
    return Range::Fits;
  }
  value = scan.negative ? -magnitudeValue : magnitudeValue;
  return Range::Fits;
}

}  // namespace

long double StrictParse(std::string_view text) {
  const NumberScan scan = ScanNumber(text);
  std::size_t rest = scan.end;
  while (rest < text.size() && text[rest] == ' ') ++rest;
  if (!scan.found || rest != text.size()) throw ConversionError(std::string(text));
  long double value = 0.0L;
  if (ToValue(scan, value) == Range::Overflow) throw ConversionError(std::string(text));
  return value;
}

long double LenientParse(std::string_view text) {
  const NumberScan scan = ScanNumber(text);
  if (!scan.found) return 0.0L;
  long double value = 0.0L;
  if (ToValue(scan, value) == Range::Overflow) {
    const long double infinity = std::numeric_limits<long double>::infinity();
    return scan.negative ? -infinity : infinity;
  }
  return value;
}

namespace {

// A value in scientific notation split into its significant digits and the decimal exponent of
// the first one.
struct Decimal {
  bool negative = false;
  std::string digits;
  int exponent = 0;
};

Decimal SplitScientific(std::string_view text) {
  Decimal d;
  d.digits.reserve(text.size());
  std::size_t i = 0;
  if (i < text.size() && text[i] == '-') {
    d.negative = true;
    ++i;
  }
  while (i < text.size() && text[i] != 'e') {
    if (IsDigit(text[i])) d.digits += text[i];
    ++i;
  }
  if (i < text.size()) {
    ++i;  // 'e'
    if (i < text.size() && text[i] == '+') ++i;
    std::from_chars(text.data() + i, text.data() + text.size(), d.exponent);
  }
  return d;
}

std::string NonFiniteText(bool negative, bool isNan) {
  if (isNan) return "NAN";
  return negative ? "-INF" : "INF";
}

}  // namespace

std::string GeneralText(long double value) {
  if (!std::isfinite(value)) return NonFiniteText(std::signbit(value), std::isnan(value));
  if (value == 0.0L) return "0";
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
  Decimal d =
      SplitScientific(std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)));
  d.digits.erase(d.digits.find_last_not_of('0') + 1);

  std::string text = d.negative ? "-" : "";
  if (d.exponent < 0) {
    text += "0.";
    text.append(static_cast<std::size_t>(-d.exponent - 1), '0');
    text += d.digits;
    return text;
  }
  const auto intCount = static_cast<std::size_t>(d.exponent) + 1;
  if (d.digits.size() <= intCount) {
    text += d.digits;
    text.append(intCount - d.digits.size(), '0');
  } else {
    text.append(d.digits, 0, intCount);
    text += '.';
    text.append(d.digits, intCount);
  }
  return text;
}

namespace {

struct FixedPattern {
  std::size_t width = 0;
  std::size_t decimals = 0;
};

// Only "%W.Df" and its shorter forms "%Wf", "%.Df" occur; anything else is a programming error.
FixedPattern ParsePattern(std::string_view pattern) {
  FixedPattern p;
  std::size_t i = 1;
  auto number = [&](std::size_t& out) {
    const std::size_t start = i;
    while (i < pattern.size() && IsDigit(pattern[i]) && i - start < 3) {
      out = out * 10 + static_cast<std::size_t>(pattern[i] - '0');
      ++i;
    }
  };
  bool ok = pattern.size() >= 2 && pattern[0] == '%';
  if (ok) {
    number(p.width);
    if (i < pattern.size() && pattern[i] == '.') {
      ++i;
      number(p.decimals);
    }
    ok = i + 1 == pattern.size() && pattern[i] == 'f';
  }
  if (!ok) throw std::invalid_argument("unsupported number format '" + std::string(pattern) + "'");
  return p;
}

// Adds one unit in the last place of a string of decimal digits.
void IncrementDigits(std::string& digits) {
  for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
    if (*it != '9') {
      ++*it;
      return;
    }
    *it = '0';
  }
  digits.insert(digits.begin(), '1');
}

constexpr std::size_t kSignificantDigits = 18;

}  // namespace

std::string FormatFixed(std::string_view pattern, float value) {
  if (pattern.empty()) return {};
  const FixedPattern p = ParsePattern(pattern);
  std::string text;
  if (!std::isfinite(value)) {
    text = NonFiniteText(std::signbit(value), std::isnan(value));
  } else {
    // The widening is exact, so these are the first 18 digits of the single value itself.
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value),
                      std::chars_format::scientific, static_cast<int>(kSignificantDigits) - 1);
    const Decimal d =
        SplitScientific(std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)));

    // The digits of |value| x 10^decimals up to the units place, rounded half away from zero.
    const long long keep =
        static_cast<long long>(d.exponent) + 1 + static_cast<long long>(p.decimals);
    std::string scaled;
    if (value == 0.0f || keep < 0) {
      scaled = "0";
    } else if (keep == 0) {
      scaled = d.digits[0] >= '5' ? "1" : "0";
    } else if (static_cast<std::size_t>(keep) >= d.digits.size()) {
      scaled = d.digits;
      scaled.append(static_cast<std::size_t>(keep) - d.digits.size(), '0');
    } else {
      scaled = d.digits.substr(0, static_cast<std::size_t>(keep));
      if (d.digits[static_cast<std::size_t>(keep)] >= '5') IncrementDigits(scaled);
    }
    const std::size_t nonZero = scaled.find_first_not_of('0');
    const bool isZero = nonZero == std::string::npos;
    scaled.erase(0, isZero ? scaled.size() : nonZero);
    if (scaled.size() <= p.decimals) scaled.insert(0, p.decimals + 1 - scaled.size(), '0');

    // A negative value keeps its sign even when its digits round to zero ("-0.0"), so the text
    // reads back on the same side of zero; only a zero itself (also -0) has none.
    if (d.negative && value != 0.0f) text = "-";
    const std::size_t intCount = scaled.size() - p.decimals;
    text.append(scaled, 0, intCount);
    if (p.decimals > 0) {
      text += '.';
      text.append(scaled, intCount);
    }
  }
  if (text.size() < p.width) text.insert(0, p.width - text.size(), ' ');
  return text;
}

float NarrowToSingle(long double value) {
  if (std::isnan(value)) throw InvalidFloatOperationError();
  // Halfway between the largest single value and 2^128; from there on the value rounds to
  // infinity (the tie goes to the even neighbour 2^128).
  constexpr long double kOverflowFrom = 0x1p128L - 0x1p103L;
  if (std::fabs(value) >= kOverflowFrom) throw FloatOverflowError();
  return static_cast<float>(value);
}

std::int64_t RoundToInt64(long double value) {
  if (std::isnan(value)) throw InvalidFloatOperationError();
  // Done by hand so the result does not depend on the floating-point rounding mode.
  long double whole = std::trunc(value);
  const long double fraction = std::fabs(value - whole);  // exact
  const long double step = value < 0 ? -1.0L : 1.0L;
  if (fraction > 0.5L || (fraction == 0.5L && std::fmod(whole, 2.0L) != 0.0L)) whole += step;
  if (whole < -0x1p63L || whole >= 0x1p63L) throw InvalidFloatOperationError();
  return static_cast<std::int64_t>(whole);
}

}  // namespace quorvex
