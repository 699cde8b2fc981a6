// Feeds arbitrary settings files to the profile reader. Properties: an untouched profile gives
// the file back byte for byte; values written back are read again unchanged, and writing one key
// changes no other key's value.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "fuzz/property.h"
#include "storage/profile.h"

namespace {

using quorvex::fuzz::Fail;

constexpr const char* kSections[] = {"Main", "ComboBox", "Offset", "main", " Mess "};
constexpr const char* kKeys[] = {"COM", "1", "8", "Width", "Filename", "Sprache"};

using Snapshot = std::vector<std::optional<std::string>>;

Snapshot Values(const quorvex::Profile& p) {
  Snapshot out;
  for (const char* s : kSections) {
    for (const char* k : kKeys) out.push_back(p.Find(s, k));
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string content(reinterpret_cast<const char*>(data), size);
  quorvex::Profile profile(content);
  if (profile.Content() != content) Fail("untouched profile changed the file");

  const Snapshot before = Values(profile);
  // Write every value back as it was read; integers go through their own reader too. A lone
  // carriage return inside a line cannot survive a line-based file: the writer turns it into a
  // blank on purpose, so such values are compared with that substitution.
  Snapshot expected = before;
  std::size_t i = 0;
  for (const char* s : kSections) {
    for (const char* k : kKeys) {
      if (before[i]) {
        profile.WriteString(s, k, *before[i]);
        for (char& c : *expected[i]) {
          if (c == '\r' || c == '\n') c = ' ';
        }
      }
      ++i;
    }
  }
  const quorvex::Profile reread(profile.Content());
  const Snapshot rereadValues = Values(reread);
  i = 0;
  for (const char* s : kSections) {
    for (const char* k : kKeys) {
      (void)s;
      (void)k;
      // A substituted value may now end in blanks, which the reader trims like any other.
      const auto trimmed = [](std::optional<std::string> v) {
        if (v) {
          while (!v->empty() && (v->back() == ' ' || v->back() == '\t')) v->pop_back();
        }
        return v;
      };
      if (trimmed(rereadValues[i]) != trimmed(expected[i]))
        Fail("written-back values read differently");
      ++i;
    }
  }
  for (const char* s : kSections) {
    for (const char* k : kKeys) {
      if (reread.ReadInteger(s, k, -7) != quorvex::Profile(content).ReadInteger(s, k, -7)) {
        Fail("written-back integer read differently");
      }
    }
  }

  // A new key and a changed key leave every other value alone.
  quorvex::Profile changed(profile.Content());
  changed.WriteString("Fuzz", "Key", "  spaced \"value\"  ");
  changed.WriteInteger("Main", "COM", -12);
  const quorvex::Profile after(changed.Content());
  if (after.Find("Fuzz", "Key") != std::optional<std::string>("  spaced \"value\"  ")) {
    Fail("new text key not read back");
  }
  if (after.ReadInteger("Main", "COM", 0) != -12) Fail("integer key not read back");
  const Snapshot afterValues = Values(after);
  const Snapshot baseline = Values(quorvex::Profile(profile.Content()));
  i = 0;
  for (const char* s : kSections) {
    for (const char* k : kKeys) {
      const bool comKey =
          std::string(k) == "COM" && (std::string(s) == "Main" || std::string(s) == "main");
      if (!comKey && afterValues[i] != baseline[i]) Fail("writing one key changed another");
      ++i;
    }
  }
  return 0;
}
