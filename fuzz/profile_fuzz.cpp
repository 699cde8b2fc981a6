// Feeds arbitrary settings files to the profile reader. Properties: an untouched profile gives
// the file back byte for byte; values written back are read again unchanged, and writing one key
// changes no other key's value; every LF turned into CR reads the same (CR, LF and CR LF all end
// a line); a file of ASCII bytes reads the same as UTF-16 of either byte order, and the same
// writes give the same file in that encoding.
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

// What the program reads: texts (bare keys included) and integers.
std::vector<std::string> Reads(const quorvex::Profile& p) {
  std::vector<std::string> out;
  for (const char* s : kSections) {
    for (const char* k : kKeys) {
      out.push_back(p.ReadString(s, k, "\x01missing"));
      out.push_back(std::to_string(p.ReadInteger(s, k, -7)));
    }
  }
  return out;
}

// Writes that change a key, add one to a section and add a section.
void WriteSome(quorvex::Profile& p) {
  p.WriteString("Fuzz", "Key", "  spaced \"value\"  ");
  p.WriteInteger("Main", "COM", -12);
  p.WriteString("Offset", "8", "x\ry");
}

// ASCII bytes as UTF-16 with its byte order mark.
std::string Utf16(const std::string& ascii, bool bigEndian) {
  std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char c : ascii) {
    out += bigEndian ? '\0' : c;
    out += bigEndian ? c : '\0';
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string content(reinterpret_cast<const char*>(data), size);
  quorvex::Profile profile(content);
  if (profile.Content() != content) Fail("untouched profile changed the file");

  const Snapshot before = Values(profile);
  // Write every value back as it was read; integers go through their own reader too. No value
  // read can hold a line break, so nothing is substituted on the way.
  std::size_t i = 0;
  for (const char* s : kSections) {
    for (const char* k : kKeys) {
      if (before[i]) profile.WriteString(s, k, *before[i]);
      ++i;
    }
  }
  const quorvex::Profile reread(profile.Content());
  if (Values(reread) != before) Fail("written-back values read differently");
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

  // CR alone ends a line as LF does.
  const bool utf16 = content.starts_with("\xFF\xFE") || content.starts_with("\xFE\xFF");
  if (!utf16) {
    std::string crOnly = content;
    for (char& c : crOnly) {
      if (c == '\n') c = '\r';
    }
    if (Reads(quorvex::Profile(crOnly)) != Reads(quorvex::Profile(content))) {
      Fail("CR endings read differently from LF endings");
    }
  }

  // UTF-16 holds the same text: same reads, and the same writes give the same file.
  bool ascii = true;
  for (char c : content) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (ascii) {
    quorvex::Profile narrow(content);
    const auto narrowReads = Reads(narrow);
    WriteSome(narrow);
    for (bool bigEndian : {false, true}) {
      quorvex::Profile wide(Utf16(content, bigEndian));
      if (Reads(wide) != narrowReads) Fail("UTF-16 file read differently");
      WriteSome(wide);
      if (wide.Content() != Utf16(narrow.Content(), bigEndian))
        Fail("UTF-16 file written differently");
      if (Reads(quorvex::Profile(wide.Content())) != Reads(narrow)) {
        Fail("written UTF-16 file read differently");
      }
    }
  }
  return 0;
}
