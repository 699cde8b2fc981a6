// Tests of the number texts: strict and lenient parse, short and fixed forms, the locale.
#include "core/number_text.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale>
#include <string>

#include "core/errors.h"

namespace quorvex {
namespace {

struct Accepted {
  const char* text;
  long double value;
};

TEST(StrictParse, AcceptsTheNumberForms) {
  const Accepted cases[] = {
      {"2.5", 2.5L},       {"  2.5  ", 2.5L}, {"-1", -1.0L},
      {"+3", 3.0L},        {".", 0.0L},       {"5.", 5.0L},
      {".5", 0.5L},        {"-.5", -0.5L},    {"007", 7.0L},
      {"1e3", 1000.0L},    {"1E+2", 100.0L},  {"2.5e-1", 0.25L},
      {"0.0e0", 0.0L},     {".e5", 0.0L},     {"1e0000000000000000000002", 100.0L},
      {"65000", 65000.0L},
  };
  for (const auto& c : cases) EXPECT_EQ(StrictParse(c.text), c.value) << '"' << c.text << '"';
}

TEST(StrictParse, RoundsCorrectlyInExtendedPrecision) {
  // A parse through double would miss these by far more than the last extended bit.
  EXPECT_EQ(StrictParse("0.1"), 1.0L / 10.0L);
  EXPECT_EQ(StrictParse("20.4"), 204.0L / 10.0L);
  EXPECT_EQ(StrictParse("6500.1"), 65001.0L / 10.0L);
  EXPECT_NE(StrictParse("0.1"), static_cast<long double>(0.1));
  EXPECT_EQ(StrictParse("18446744073709551615"), 18446744073709551615.0L);
}

// Each of these came out differently where a C library parsed through double or cut digits.
TEST(StrictParse, HardCasesRoundToTheNearestExtendedValue) {
  const Accepted cases[] = {
      // 2^64 + 1 lies halfway between 2^64 and the next value, 2^64 + 2: ties go to even.
      {"18446744073709551617", 0x1p64L},
      {"18446744073709551617.000000000000000000000000001", 0x1p64L + 2.0L},
      {"18446744073709551618.999999999999999999999999999", 0x1p64L + 2.0L},
      {"1e999", 1e999L},
      {"-2.5e-999", -2.5e-999L},
      {"1.18973149535723176502e4932", LDBL_MAX},
      {"1e-4931", 1e-4931L},
      {"0.3333333333333333333333333333333333", 1.0L / 3.0L},
  };
  for (const auto& c : cases) EXPECT_EQ(StrictParse(c.text), c.value) << '"' << c.text << '"';
  EXPECT_THROW(StrictParse("1.19e4932"), ConversionError);
}

// Short forms are multiplied out exactly rather than handed to the C library; at and beyond the
// limits of that (18 digits, powers of ten to 27) the value must still be the library's.
TEST(StrictParse, ShortFormsGiveTheLibrarysValue) {
  for (const char* text :
       {"123456789012345678e27", "123456789012345678e-27", "1234567890123456789e27",
        "123456789012345678e28", "0.000000000000000000000000003", "9.99999999999999999", "7e-28",
        "0.1", "12.75", "6553.5"}) {
    EXPECT_EQ(StrictParse(text), std::strtold(text, nullptr)) << text;
  }
}

TEST(StrictParse, RejectsEverythingElseQuotingTheText) {
  for (const char* text : {"", " ", "+", "-", "e5", "1,5", "1.2.3", "inf", "nan", "0x10", "1e",
                           "1e+", "1 2", "\t1", "--1", "1.5V", "2.5\n", "1e999999"}) {
    try {
      StrictParse(text);
      ADD_FAILURE() << "accepted \"" << text << '"';
    } catch (const ConversionError& e) {
      EXPECT_EQ(e.what(), "'" + std::string(text) + "' is not a valid floating point value");
    }
  }
}

TEST(StrictParse, TooSmallForExtendedGivesZero) {
  EXPECT_EQ(StrictParse("1e-99999"), 0.0L);
  EXPECT_TRUE(std::signbit(StrictParse("-1e-99999")));
}

TEST(LenientParse, AgreesWithStrictAndNeverThrows) {
  for (const char* text : {"2.5", "-1", ".", "1e3", "0.1", " 7"}) {
    EXPECT_EQ(LenientParse(text), StrictParse(text)) << text;
  }
  EXPECT_EQ(LenientParse(""), 0.0L);
  EXPECT_EQ(LenientParse("1.2.3"), StrictParse("1.2"));
  EXPECT_EQ(LenientParse("2.5 "), 2.5L);
  EXPECT_EQ(LenientParse("1,5"), 1.0L);
  EXPECT_EQ(LenientParse("1e"), 1.0L);
  EXPECT_EQ(LenientParse("abc"), 0.0L);
  EXPECT_EQ(LenientParse("-"), 0.0L);
  EXPECT_EQ(LenientParse("1e99999"), std::numeric_limits<long double>::infinity());
  EXPECT_EQ(LenientParse("-1e99999"), -std::numeric_limits<long double>::infinity());
}

TEST(GeneralText, ShortestPlainDecimal) {
  EXPECT_EQ(GeneralText(2.5L), "2.5");
  EXPECT_EQ(GeneralText(1.0L / 10.0L / 2.0L), "0.05");
  EXPECT_EQ(GeneralText(204.0L / 10.0L), "20.4");
  EXPECT_EQ(GeneralText(0.0L), "0");
  EXPECT_EQ(GeneralText(-0.0L), "0");
  EXPECT_EQ(GeneralText(63000.0L), "63000");
  EXPECT_EQ(GeneralText(654.0L / 100.0L), "6.54");
  EXPECT_EQ(GeneralText(65535.0L / 100.0L), "655.35");
  EXPECT_EQ(GeneralText(-2.5L), "-2.5");
  EXPECT_EQ(GeneralText(1.0L / 3.0L), "0.333333333333333");
  EXPECT_EQ(GeneralText(2.0L / 3.0L), "0.666666666666667");
}

TEST(GeneralText, NeverUsesAnExponent) {
  EXPECT_EQ(GeneralText(1e20L), "100000000000000000000");
  EXPECT_EQ(GeneralText(1e-20L), "0.00000000000000000001");
  EXPECT_EQ(GeneralText(123456789012345678.0L), "123456789012346000");
}

TEST(FormatFixed, RoundsHalfAwayOnTheSingleValue) {
  struct Case {
    const char* pattern;
    float value;
    const char* text;
  };
  const Case cases[] = {
      {"%2.1f", 0.25f, "0.3"},
      {"%2.1f", 2.55f, "2.5"},
      {"%2.1f", 2.45f, "2.5"},
      {"%2.1f", 0.0f, "0.0"},
      {"%1.1f", 30.0f, "30.0"},
      {"%1.0f", 63000.0f, "63000"},
      {"%1.0f", 21.5f, "22"},
      {"%1.2f", 0.005f, "0.00"},
      {"%1.2f", 0.125f, "0.13"},
      {"%1.1f", 9.96f, "10.0"},
      {"%1.1f", 0.06f, "0.1"},
      {"%1.1f", 0.04f, "0.0"},
      {"%1.1f", 1e-10f, "0.0"},
      {"%2.1f", -2.45f, "-2.5"},
      {"%2.1f", -0.01f, "-0.0"},
      {"%1.1f", -0.04f, "-0.0"},
      {"%1.0f", -0.4f, "-0"},
      {"%1.1f", -0.0f, "0.0"},
      {"%6.2f", 5.0f, "  5.00"},
      {"%4.1f", -1.0f, "-1.0"},
      {"%1.2f", 50.0f, "50.00"},
      {"%1.0f", 0.5f, "1"},
      {"%1.0f", 123456789.0f, "123456792"},
      // Only 18 digits of the exact 100000002004087734272 count.
      {"%1.0f", 1e20f, "100000002004087734000"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatFixed(c.pattern, c.value), c.text) << c.pattern << " " << c.value;
  }
}

TEST(FormatFixed, EmptyPatternGivesEmptyText) {
  EXPECT_EQ(FormatFixed("", 12.5f), "");
}

TEST(NarrowToSingle, OverflowOnlyWhereSingleRoundingOverflows) {
  EXPECT_EQ(NarrowToSingle(2.5L), 2.5f);
  EXPECT_EQ(NarrowToSingle(static_cast<long double>(FLT_MAX)), FLT_MAX);
  // Just below the halfway point the value still rounds down to the largest single value.
  EXPECT_EQ(NarrowToSingle(0x1p128L - 0x1p103L - 0x1p90L), FLT_MAX);
  EXPECT_THROW(NarrowToSingle(0x1p128L - 0x1p103L), FloatOverflowError);
  EXPECT_THROW(NarrowToSingle(-1e39L), FloatOverflowError);
  EXPECT_THROW(NarrowToSingle(std::numeric_limits<long double>::infinity()), FloatOverflowError);
  EXPECT_THROW(NarrowToSingle(std::numeric_limits<long double>::quiet_NaN()),
               InvalidFloatOperationError);
}

TEST(RoundToInt64, TiesToEvenAndRange) {
  EXPECT_EQ(RoundToInt64(2.5L), 2);
  EXPECT_EQ(RoundToInt64(3.5L), 4);
  EXPECT_EQ(RoundToInt64(7.5L), 8);
  EXPECT_EQ(RoundToInt64(-2.5L), -2);
  EXPECT_EQ(RoundToInt64(-3.5L), -4);
  EXPECT_EQ(RoundToInt64(2.5000000001L), 3);
  EXPECT_EQ(RoundToInt64(-0.4L), 0);
  EXPECT_EQ(RoundToInt64(-0x1p63L), INT64_MIN);
  EXPECT_THROW(RoundToInt64(0x1p63L), InvalidFloatOperationError);
  EXPECT_THROW(RoundToInt64(1e30L), InvalidFloatOperationError);
  EXPECT_THROW(RoundToInt64(std::numeric_limits<long double>::quiet_NaN()),
               InvalidFloatOperationError);
}

// Puts the previous C and C++ locales back however the test ends.
class LocaleRestorer {
 public:
  LocaleRestorer() : c_(std::setlocale(LC_ALL, nullptr)) {}
  ~LocaleRestorer() {
    std::locale::global(global_);
    std::setlocale(LC_ALL, c_.c_str());
  }
  LocaleRestorer(const LocaleRestorer&) = delete;
  LocaleRestorer& operator=(const LocaleRestorer&) = delete;

 private:
  std::string c_;
  std::locale global_;
};

// A locale that writes "," as decimal separator, by the name the C library knows it under.
// MinGW's C++ library has only the "C" locale, so there the C library's locale alone is changed.
#ifdef _WIN32
constexpr const char* kDecimalCommaLocale = "German_Germany.1252";
constexpr bool kCxxLocalesByName = false;
#else
constexpr const char* kDecimalCommaLocale = "de_DE.UTF-8";
constexpr bool kCxxLocalesByName = true;
#endif

// A process whose locale writes "," as decimal separator must not change any number text.
TEST(NumberText, IgnoresTheProcessLocale) {
  constexpr const char* kLocale = kDecimalCommaLocale;
  LocaleRestorer restorer;
  ASSERT_NE(std::setlocale(LC_ALL, kLocale), nullptr)
      << "the locale " << kLocale << " is not installed (generate it with locale-gen)";
  try {
    if (kCxxLocalesByName) std::locale::global(std::locale(kLocale));
  } catch (const std::exception& e) {
    FAIL() << "the locale " << kLocale << " cannot be used by the C++ library: " << e.what();
  }
  ASSERT_EQ(std::string(std::localeconv()->decimal_point), ",");

  EXPECT_EQ(StrictParse("2.5"), 2.5L);
  EXPECT_EQ(StrictParse("0.1"), 1.0L / 10.0L);
  EXPECT_THROW(StrictParse("2,5"), ConversionError);
  EXPECT_EQ(LenientParse("20.4"), 204.0L / 10.0L);
  EXPECT_EQ(GeneralText(2.5L), "2.5");
  EXPECT_EQ(GeneralText(65535.0L / 100.0L), "655.35");
  EXPECT_EQ(FormatFixed("%2.1f", 2.55f), "2.5");
  EXPECT_EQ(FormatFixed("%1.2f", 50.0f), "50.00");
}

}  // namespace
}  // namespace quorvex
