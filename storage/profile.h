#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvex {

// An INI profile held in memory, read and written with the rules of the Windows profile
// functions: section and key names match regardless of letter case and surrounding blanks, only
// the first section of a name and the first key in it count, a value is the text after the first
// "=" without surrounding blanks and one pair of outer quotes. Writing changes only the line of
// the key concerned (or adds one), so comments, unknown keys, blank lines and line endings of a
// hand-edited file survive byte for byte.
class Profile {
 public:
  // Texts are read back up to this many characters.
  static constexpr std::size_t kMaxTextLength = 2047;

  Profile() = default;
  explicit Profile(std::string_view content);

  // The file's content; a missing or unreadable file gives an empty profile.
  static Profile Load(const std::string& path);

  // The value of the key, nothing when the section or the key is missing.
  std::optional<std::string> Find(std::string_view section, std::string_view key) const;
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue) const;
  // Decimal with an optional sign, or hexadecimal after "0x"; anything else gives the default.
  int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;

  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int value);

  // The whole file as it is to be written.
  std::string Content() const;

 private:
  struct Line {
    std::string text;    // without its line ending
    std::string ending;  // "\n", "\r\n", or "" for a last line without one
  };
  // Where a key was found: its line and where its value starts in that line.
  struct KeyPlace {
    std::size_t line;
    std::size_t valueStart;
  };
  struct SectionPlace {
    std::size_t header;
    std::size_t end;  // one past the last line belonging to the section
  };

  std::optional<SectionPlace> FindSection(std::string_view section) const;
  std::optional<KeyPlace> FindKey(const SectionPlace& place, std::string_view key) const;
  void Append(std::size_t position, std::string text);

  std::vector<Line> lines_;
  std::string newLine_ = DefaultNewLine();
  // A UTF-8 byte order mark that an editor put before the first line; kept, but not part of it.
  std::string byteOrderMark_;

  static std::string DefaultNewLine();
};

// Parses a profile integer: "[+|-]digits" or "0x"/"0X" followed by hex digits, within int range.
std::optional<int> ParseProfileInteger(std::string_view text);

}  // namespace quorvex
