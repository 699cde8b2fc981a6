// Feeds arbitrary field texts to the strict and the lenient parse and to the re-display.
// Properties: the strict parse accepts exactly its grammar (checked by an independent regular
// expression), agrees with the lenient parse on what it accepts, and the re-display of any
// accepted value reads back through the strict parse.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <regex>
#include <string>

#include "core/errors.h"
#include "core/number_text.h"
#include "fuzz/property.h"

namespace {

using quorvex::fuzz::Fail;

bool MatchesGrammar(const std::string& text) {
  static const std::regex grammar(R"( *[+-]?(\d+\.?\d*|\.\d*)([eE][+-]?\d+)? *)");
  return std::regex_match(text, grammar);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 64) return 0;  // field texts are short; long inputs only slow the regex down
  const std::string text(reinterpret_cast<const char*>(data), size);

  bool accepted = true;
  long double strict = 0;
  try {
    strict = quorvex::StrictParse(text);
  } catch (const quorvex::ConversionError& e) {
    accepted = false;
    // what() is a C string, so the comparison only holds for texts without a NUL byte.
    if (text.find('\0') == std::string::npos &&
        std::string(e.what()) != "'" + text + "' is not a valid floating point value") {
      Fail("conversion message");
    }
  }
  // Numbers beyond the extended range are rejected although they match the grammar.
  if (accepted && !MatchesGrammar(text)) Fail("accepted outside the grammar");

  const long double lenient = quorvex::LenientParse(text);
  if (accepted && !text.empty() && text.back() != ' ' && !(lenient == strict)) {
    Fail("lenient and strict disagree");
  }

  for (const char* pattern : {"%2.1f", "%1.0f", "%1.1f", "%1.2f"}) {
    float single = 0;
    try {
      single = quorvex::NarrowToSingle(lenient);
    } catch (const quorvex::ReportedError&) {
      continue;  // overflow is reported to the operator, not displayed
    }
    const std::string shown = quorvex::FormatFixed(pattern, single);
    try {
      const long double back = quorvex::StrictParse(shown);
      // One unit of the last decimal, with room for the half-way rounding.
      const long double unit = pattern[3] == '0' ? 1.0L : pattern[3] == '1' ? 0.1L : 0.01L;
      if (std::fabs(back - static_cast<long double>(single)) >
          unit * 0.5L + unit * 1e-6L + std::fabs(single) * 1e-6L) {
        Fail("re-display drifted");
      }
    } catch (const quorvex::ConversionError&) {
      Fail("re-display not parseable");
    }
  }
  return 0;
}
