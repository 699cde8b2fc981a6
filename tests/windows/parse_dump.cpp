// Prints what the number conversions make of a set of texts, one line per text, so the output of
// the Linux build and of the Windows build (under Wine) can be compared byte for byte. The texts
// are the files named on the command line (the parse fuzz corpus) and a fixed pseudo-random set
// that reaches the corners the corpus does not: many digits, halfway cases, both ends of the
// extended range.
//
//   parse_dump [--generated N] FILE...
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "core/errors.h"
#include "core/number_text.h"

namespace {

using namespace quorvex;

// The 80 value bits of the extended number; the padding bytes after them are undefined.
std::string Bits(long double value) {
  unsigned char bytes[sizeof(long double)] = {};
  std::memcpy(bytes, &value, sizeof value);
  std::string hex;
  char digits[3];
  for (int i = 9; i >= 0; --i) {
    std::snprintf(digits, sizeof digits, "%02x", bytes[i]);
    hex += digits;
  }
  return hex;
}

// Only printable characters, so the lines stay lines whatever the corpus holds.
std::string Escaped(const std::string& text) {
  std::string out;
  char code[5];
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);  // a byte, printed by its value
    if (c >= 0x20 && c < 0x7f && c != '\\') {
      out += static_cast<char>(c);
    } else {
      std::snprintf(code, sizeof code, "\\x%02x", c);
      out += code;
    }
  }
  return out;
}

std::string Describe(const std::string& text) {
  std::string line = "[" + Escaped(text) + "] strict ";
  try {
    line += Bits(StrictParse(text));
  } catch (const ReportedError& e) {
    line += std::string("error '") + Escaped(e.what()) + "'";
  }
  const long double lenient = LenientParse(text);
  line += " lenient " + Bits(lenient) + " shown " + GeneralText(lenient);
  try {
    line += " fixed " + FormatFixed("%2.1f", NarrowToSingle(lenient));
  } catch (const ReportedError& e) {
    line += std::string(" fixed error '") + e.what() + "'";
  }
  return line;
}

// std::mt19937 is the same sequence everywhere; the distributions of the library are not, so
// the numbers are cut from its raw output.
class Texts {
 public:
  std::string Next() {
    std::string text;
    if (Below(8) == 0) text += Below(2) == 0 ? "-" : "+";
    const unsigned intDigits = Below(4) == 0 ? Below(40) : Below(6);
    for (unsigned i = 0; i < intDigits; ++i) text += Digit();
    if (Below(3) != 0) {
      text += '.';
      const unsigned fracDigits = Below(5) == 0 ? Below(60) : Below(8);
      for (unsigned i = 0; i < fracDigits; ++i) text += Digit();
    }
    if (Below(3) == 0) {
      text += Below(2) == 0 ? 'e' : 'E';
      if (Below(2) == 0) text += '-';
      // Mostly small; now and then right at the edges of the extended range.
      const unsigned exponent = Below(4) == 0 ? 4900 + Below(80) : Below(400);
      text += std::to_string(exponent);
    }
    return text;
  }

 private:
  unsigned Below(unsigned n) { return static_cast<unsigned>(random_() % n); }
  char Digit() { return static_cast<char>('0' + Below(10)); }

  std::mt19937 random_{20240605u};
};

std::string FileText(const char* path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "parse_dump: cannot read %s\n", path);
    std::exit(2);
  }
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

int main(int argc, char** argv) {
  long generated = 20000;
  std::vector<const char*> files;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--generated") == 0 && i + 1 < argc) {
      generated = std::strtol(argv[++i], nullptr, 10);
    } else {
      files.push_back(argv[i]);
    }
  }
  for (const char* file : files) std::printf("%s\n", Describe(FileText(file)).c_str());
  Texts texts;
  for (long i = 0; i < generated; ++i) std::printf("%s\n", Describe(texts.Next()).c_str());
  return 0;
}
