// An INI profile held in memory, with the Windows profile functions' reading rules.
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
//
// As the Windows functions read a file: CR, LF, CR LF and CR...CR LF all end a line; blanks are
// space, tab, vertical tab, form feed and Ctrl-Z; a header's name runs to its last "]"; a line
// without "=" in a section is a key with an empty value ("bare key"); a file starting with a
// UTF-16 byte order mark (either order) is UTF-16. Texts are handed in and out as UTF-8 for a
// UTF-16 file and as the file's own bytes otherwise.
class Profile {
 public:
  // Texts are read back up to this many characters.
  static constexpr std::size_t kMaxTextLength = 2047;

  Profile() = default;
  explicit Profile(std::string_view content);

  // The file's content; a missing or unreadable file gives an empty profile.
  static Profile Load(const std::string& path);

  // The value of the key, nothing when the section or the key is missing, and nothing for a bare
  // key: that is present but holds no value, so ReadString gives it as an empty text,
  // ReadInteger as the default, and writing the key fills its line.
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
  // What a line is to the searches, worked out whenever its text is set: every read searches
  // the lines, and a check of a file reads it hundreds of times.
  enum class Kind { kOther, kHeader, kKey };
  struct Line {
    std::string text;    // without its line ending; never holds CR or LF
    std::string ending;  // "\n", "\r", "\r\n", "\r\r\n"..., or "" for a last line without one
    Kind kind = Kind::kOther;
    // A header's section name or a key line's key, without surrounding blanks, within `text`.
    std::size_t nameStart = 0;
    std::size_t nameLength = 0;
    std::optional<std::size_t> valueStart = std::nullopt;  // of a key line; none for a bare key
    std::string_view Name() const { return std::string_view(text).substr(nameStart, nameLength); }
  };
  // Where a key was found: its line and where its value starts in that line (nothing for a bare
  // key).
  struct KeyPlace {
    std::size_t line;
    std::optional<std::size_t> valueStart;
  };
  struct SectionPlace {
    std::size_t header;
    std::size_t end;  // one past the last line belonging to the section
  };

  static void Classify(Line& line);
  // After any change to the lines: where the headers are.
  void IndexHeaders();
  std::optional<SectionPlace> FindSection(std::string_view section) const;
  std::optional<KeyPlace> FindKey(const SectionPlace& place, std::string_view key) const;
  std::optional<KeyPlace> FindKey(std::string_view section, std::string_view key) const;
  std::string ValueAt(const KeyPlace& place) const;
  void Append(std::size_t position, std::string text);
  // Text as it will read back from the file: unchanged for an 8-bit file; for a UTF-16 file
  // what UTF-16 can hold of it (bytes that are no UTF-8 become U+FFFD).
  std::string Representable(std::string text) const;

  enum class Encoding { kBytes, kUtf16Le, kUtf16Be };

  // The lines hold the file's text: its bytes, or for a UTF-16 file its characters as UTF-8.
  std::vector<Line> lines_;
  // The positions of the header lines, in file order.
  std::vector<std::size_t> headers_;
  std::string newLine_ = DefaultNewLine();
  Encoding encoding_ = Encoding::kBytes;
  // A byte order mark before the first line (UTF-8 or UTF-16); kept, but not part of it.
  std::string byteOrderMark_;
  // Ctrl-Z at the very end (the DOS end-of-file mark); kept there, after anything added.
  std::string endOfFileMark_;
  // The last byte of a UTF-16 file of odd length, which is no character; kept as it was.
  std::string oddByte_;

  static std::string DefaultNewLine();
};

// Parses a profile integer: "[+|-]digits" or "0x"/"0X" followed by hex digits, within int range.
std::optional<int> ParseProfileInteger(std::string_view text);

}  // namespace quorvex
