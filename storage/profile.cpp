// The INI profile, read and written as the Windows profile functions do, edits in place.
#include "storage/profile.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <limits>
#include <utility>

#include "storage/ascii_case.h"
#include "storage/atomic_file.h"
#include "storage/file_error.h"

namespace quorvex {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";
constexpr char kCtrlZ = '\x1A';

// White space as the Windows profile functions trim it around names and values: blank, tab,
// vertical tab, form feed, and Ctrl-Z (the DOS end-of-file mark). CR and LF end a line and never
// stand inside one.
bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == kCtrlZ;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Only ASCII letters are folded, as the profile functions of the platform's 8-bit code page do
// for the names we use.
bool SameName(std::string_view a, std::string_view b) {
  return EqualIgnoringAsciiCase(Trim(a), Trim(b));
}

// The section name of a header line, nothing for any other line. The name runs to the line's
// last "]", as the platform reads it, so "[Main] ; see [x]" is the section "Main] ; see [x" and
// no "Main". Without a closing bracket a line is no header: a damaged one must neither hide an
// intact section of the same name further down nor cut short the section it stands in.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  const auto close = line.rfind(']');
  if (close == 0 || close == std::string_view::npos) return std::nullopt;
  return line.substr(1, close - 1);
}

bool IsComment(std::string_view line) {
  line = Trim(line);
  return !line.empty() && line.front() == ';';
}

// Key name and the start of the value of a key line; nothing for comments, headers and blank
// lines. A line without "=" is a bare key: the whole line is its name, and it has no value.
struct KeyLine {
  std::string_view key;
  std::optional<std::size_t> valueStart;
};

std::optional<KeyLine> ParseKeyLine(std::string_view line) {
  if (Trim(line).empty() || IsComment(line) || SectionName(line)) return std::nullopt;
  const auto equals = line.find('=');
  if (equals == std::string_view::npos) return KeyLine{line, std::nullopt};
  std::size_t valueStart = equals + 1;
  while (valueStart < line.size() && IsBlank(line[valueStart])) ++valueStart;
  return KeyLine{line.substr(0, equals), valueStart};
}

bool IsQuote(char c) {
  return c == '"' || c == '\'';
}

bool IsUtf8Continuation(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// `wholeCharacters`: the text is UTF-8 (from a UTF-16 file), so the cut at the length limit must
// not split a character.
std::string ValueOf(std::string_view raw, bool wholeCharacters) {
  // A value is a C string to the platform's profile functions: a NUL byte in a damaged file
  // ends it.
  raw = raw.substr(0, raw.find('\0'));
  raw = Trim(raw);
  if (raw.size() >= 2 && IsQuote(raw.front()) && raw.back() == raw.front()) {
    raw = raw.substr(1, raw.size() - 2);
  }
  std::size_t length = std::min(raw.size(), Profile::kMaxTextLength);
  if (wholeCharacters && length < raw.size()) {
    while (length > 0 && IsUtf8Continuation(raw[length])) --length;
  }
  return std::string(raw.substr(0, length));
}

// The text to put after "=" so that reading gives `value` back unchanged. A line break would
// split the line and let a value (a file name may hold one) inject keys, so it becomes a blank.
// Blanks at either end and a pair of outer quotes would be removed on reading; such a value is
// wrapped in one more pair of quotes, which reading takes off again.
std::string StoredForm(std::string_view value) {
  std::string stored(value);
  for (char& c : stored) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  const bool needsQuotes =
      !stored.empty() &&
      (IsBlank(stored.front()) || IsBlank(stored.back()) ||
       (stored.size() >= 2 && IsQuote(stored.front()) && stored.back() == stored.front()));
  return needsQuotes ? "\"" + stored + "\"" : stored;
}

// --- UTF-16 files ---------------------------------------------------------------------------
// Their text is held as UTF-8, the program's own text form. A surrogate without its partner is
// no character, but it is kept as its own three-byte form (as WTF-8 does), so that a file comes
// back unchanged whatever it holds.

void AppendUtf8(std::string& out, char32_t c) {
  const auto byte = [&out](char32_t b) { out += static_cast<char>(b); };
  if (c < 0x80) {
    byte(c);
  } else if (c < 0x800) {
    byte(0xC0 | (c >> 6));
    byte(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    byte(0xE0 | (c >> 12));
    byte(0x80 | ((c >> 6) & 0x3F));
    byte(0x80 | (c & 0x3F));
  } else {
    byte(0xF0 | (c >> 18));
    byte(0x80 | ((c >> 12) & 0x3F));
    byte(0x80 | ((c >> 6) & 0x3F));
    byte(0x80 | (c & 0x3F));
  }
}

bool IsLeadSurrogate(char32_t u) {
  return u >= 0xD800 && u <= 0xDBFF;
}
bool IsTrailSurrogate(char32_t u) {
  return u >= 0xDC00 && u <= 0xDFFF;
}

// `bytes` holds whole code units.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
  const auto unit = [&](std::size_t i) {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    return bigEndian ? char32_t{first} << 8 | second : char32_t{second} << 8 | first;
  };
  std::string text;
  text.reserve(bytes.size());
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const char32_t u = unit(i);
    if (IsLeadSurrogate(u) && i + 3 < bytes.size() && IsTrailSurrogate(unit(i + 2))) {
      AppendUtf8(text, 0x10000 + ((u - 0xD800) << 10) + (unit(i + 2) - 0xDC00));
      i += 2;
    } else {
      AppendUtf8(text, u);
    }
  }
  return text;
}

// The next character of UTF-8 text at `i` and its length; a byte that starts no character (or
// an overlong or out-of-range form) gives U+FFFD for that one byte.
std::pair<char32_t, std::size_t> NextCharacter(std::string_view text, std::size_t i) {
  constexpr std::pair<char32_t, std::size_t> kInvalid{0xFFFD, 1};
  const auto lead = static_cast<unsigned char>(text[i]);
  if (lead < 0x80) return {lead, 1};
  // Sequence length, the bits the lead byte carries, and the smallest character of that length.
  struct Form {
    std::size_t length;
    char32_t bits;
    char32_t minimum;
  };
  Form form{};
  if (lead >= 0xC2 && lead <= 0xDF) {
    form = {2, char32_t{lead} & 0x1F, 0x80};
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    form = {3, char32_t{lead} & 0x0F, 0x800};
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    form = {4, char32_t{lead} & 0x07, 0x10000};
  } else {
    return kInvalid;
  }
  const auto [length, bits, minimum] = form;
  char32_t c = bits;
  if (i + length > text.size()) return kInvalid;
  for (std::size_t k = 1; k < length; ++k) {
    if (!IsUtf8Continuation(text[i + k])) return kInvalid;
    c = c << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3F);
  }
  if (c < minimum || c > 0x10FFFF) return kInvalid;
  return {c, length};
}

std::string Utf8ToUtf16(std::string_view text, bool bigEndian) {
  std::string bytes;
  bytes.reserve(text.size() * 2);
  const auto unit = [&](char32_t u) {
    const char high = static_cast<char>(u >> 8);
    const char low = static_cast<char>(u & 0xFF);
    bytes += bigEndian ? high : low;
    bytes += bigEndian ? low : high;
  };
  for (std::size_t i = 0; i < text.size();) {
    const auto [c, length] = NextCharacter(text, i);
    i += length;
    if (c >= 0x10000) {
      unit(0xD800 + ((c - 0x10000) >> 10));
      unit(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      unit(c);
    }
  }
  return bytes;
}

}  // namespace

std::string Profile::DefaultNewLine() {
#ifdef _WIN32
  return "\r\n";
#else
  return "\n";
#endif
}

Profile::Profile(std::string_view content) {
  // Editors on Windows like to start a text file with a byte order mark; left in the first line
  // it would hide the first section header. A UTF-16 one (Notepad's "Unicode") says how the
  // whole file is to be read.
  std::string decoded;
  if (content.starts_with(kUtf16LeBom) || content.starts_with(kUtf16BeBom)) {
    encoding_ = content.starts_with(kUtf16LeBom) ? Encoding::kUtf16Le : Encoding::kUtf16Be;
    byteOrderMark_ = std::string(content.substr(0, 2));
    content.remove_prefix(2);
    if (content.size() % 2 != 0) {
      oddByte_ = std::string(content.substr(content.size() - 1));
      content.remove_suffix(1);
    }
    decoded = Utf16ToUtf8(content, encoding_ == Encoding::kUtf16Be);
    content = decoded;
  } else if (content.starts_with(kUtf8Bom)) {
    byteOrderMark_ = std::string(kUtf8Bom);
    content.remove_prefix(kUtf8Bom.size());
  }
  // The DOS end-of-file mark stays the file's end, whatever is added.
  const auto lastText = content.find_last_not_of(kCtrlZ);
  const std::size_t textEnd = lastText == std::string_view::npos ? 0 : lastText + 1;
  endOfFileMark_ = std::string(content.substr(textEnd));
  content = content.substr(0, textEnd);

  // CR, LF and CR LF each end a line, and so does a run of CRs before an LF (a CR LF file
  // converted once more); CRs that no LF follows end one line each.
  bool endingSeen = false;
  const auto addLine = [&](std::string_view text, std::string_view ending) {
    lines_.push_back(Line{std::string(text), std::string(ending)});
    // New lines follow the convention of the file's first line.
    if (!endingSeen && !ending.empty()) newLine_ = std::string(ending);
    endingSeen = endingSeen || !ending.empty();
  };
  while (!content.empty()) {
    const auto lineEnd = content.find_first_of("\r\n");
    if (lineEnd == std::string_view::npos) {
      addLine(content, "");
      break;
    }
    std::size_t runEnd = lineEnd;
    while (runEnd < content.size() && content[runEnd] == '\r') ++runEnd;
    if (runEnd < content.size() && content[runEnd] == '\n') {
      addLine(content.substr(0, lineEnd), content.substr(lineEnd, runEnd + 1 - lineEnd));
      content.remove_prefix(runEnd + 1);
    } else {
      addLine(content.substr(0, lineEnd), "\r");
      for (std::size_t i = lineEnd + 1; i < runEnd; ++i) addLine("", "\r");
      content.remove_prefix(runEnd);
    }
  }
}

Profile Profile::Load(const std::string& path) {
  try {
    return Profile(ReadFileStart(path, std::numeric_limits<std::size_t>::max()));
  } catch (const FileError&) {
    return Profile();
  }
}

std::optional<Profile::SectionPlace> Profile::FindSection(std::string_view section) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const auto name = SectionName(lines_[i].text);
    if (!name || !SameName(*name, section)) continue;
    std::size_t end = i + 1;
    while (end < lines_.size() && !SectionName(lines_[end].text)) ++end;
    return SectionPlace{i, end};
  }
  return std::nullopt;
}

std::optional<Profile::KeyPlace> Profile::FindKey(const SectionPlace& place,
                                                  std::string_view key) const {
  for (std::size_t i = place.header + 1; i < place.end; ++i) {
    const auto keyLine = ParseKeyLine(lines_[i].text);
    if (keyLine && SameName(keyLine->key, key)) return KeyPlace{i, keyLine->valueStart};
  }
  return std::nullopt;
}

std::optional<Profile::KeyPlace> Profile::FindKey(std::string_view section,
                                                  std::string_view key) const {
  const auto sectionPlace = FindSection(section);
  if (!sectionPlace) return std::nullopt;
  return FindKey(*sectionPlace, key);
}

std::string Profile::ValueAt(const KeyPlace& place) const {
  if (!place.valueStart) return {};
  return ValueOf(std::string_view(lines_[place.line].text).substr(*place.valueStart),
                 encoding_ != Encoding::kBytes);
}

std::optional<std::string> Profile::Find(std::string_view section, std::string_view key) const {
  const auto keyPlace = FindKey(section, key);
  if (!keyPlace || !keyPlace->valueStart) return std::nullopt;
  return ValueAt(*keyPlace);
}

std::string Profile::ReadString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const {
  const auto keyPlace = FindKey(section, key);
  return keyPlace ? ValueAt(*keyPlace) : std::string(defaultValue);
}

int Profile::ReadInteger(std::string_view section, std::string_view key, int defaultValue) const {
  const auto value = Find(section, key);
  if (!value) return defaultValue;
  return ParseProfileInteger(*value).value_or(defaultValue);
}

std::string Profile::Representable(std::string text) const {
  if (encoding_ == Encoding::kBytes) return text;
  return Utf16ToUtf8(Utf8ToUtf16(text, false), false);
}

void Profile::Append(std::size_t position, std::string text) {
  // A last line without a line ending must get one before anything follows it.
  if (position == lines_.size() && !lines_.empty() && lines_.back().ending.empty()) {
    lines_.back().ending = newLine_;
  }
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(position),
                Line{Representable(std::move(text)), newLine_});
}

void Profile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  const std::string stored = StoredForm(value);
  const auto sectionPlace = FindSection(section);
  if (!sectionPlace) {
    Append(lines_.size(), "[" + std::string(section) + "]");
    Append(lines_.size(), std::string(key) + "=" + stored);
    return;
  }
  if (const auto keyPlace = FindKey(*sectionPlace, key)) {
    std::string& text = lines_[keyPlace->line].text;
    if (keyPlace->valueStart) {
      text.resize(*keyPlace->valueStart);
    } else {
      // A bare key gets its "=" and value, as the platform fills it.
      while (!text.empty() && IsBlank(text.back())) text.pop_back();
      text += '=';
    }
    text += Representable(stored);
    return;
  }
  // After the section's last key=value line, so comments, blank lines and stray lines that lead
  // into the next section stay where they are.
  std::size_t position = sectionPlace->header + 1;
  for (std::size_t i = sectionPlace->header + 1; i < sectionPlace->end; ++i) {
    const auto keyLine = ParseKeyLine(lines_[i].text);
    if (keyLine && keyLine->valueStart) position = i + 1;
  }
  Append(position, std::string(key) + "=" + stored);
}

void Profile::WriteInteger(std::string_view section, std::string_view key, int value) {
  WriteString(section, key, std::to_string(value));
}

std::string Profile::Content() const {
  std::string text;
  for (const Line& line : lines_) {
    text += line.text;
    text += line.ending;
  }
  text += endOfFileMark_;
  if (encoding_ == Encoding::kBytes) return byteOrderMark_ + text;
  return byteOrderMark_ + Utf8ToUtf16(text, encoding_ == Encoding::kUtf16Be) + oddByte_;
}

std::optional<int> ParseProfileInteger(std::string_view text) {
  bool negative = false;
  unsigned base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  } else if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  const std::int64_t limit = negative ? -static_cast<std::int64_t>(INT_MIN) : INT_MAX;
  std::int64_t magnitude = 0;
  for (char c : text) {
    unsigned digit = 0;
    if (c >= '0' && c <= '9') {
      digit = static_cast<unsigned>(c - '0');
    } else if (base == 16 && c >= 'a' && c <= 'f') {
      digit = static_cast<unsigned>(c - 'a' + 10);
    } else if (base == 16 && c >= 'A' && c <= 'F') {
      digit = static_cast<unsigned>(c - 'A' + 10);
    } else {
      return std::nullopt;
    }
    magnitude = magnitude * base + digit;
    if (magnitude > limit) return std::nullopt;
  }
  return static_cast<int>(negative ? -magnitude : magnitude);
}

}  // namespace quorvex
