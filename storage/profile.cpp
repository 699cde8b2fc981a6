#include "storage/profile.h"

#include <climits>
#include <cstdint>
#include <limits>

#include "storage/ascii_case.h"
#include "storage/atomic_file.h"
#include "storage/kfg_file.h"

namespace quorvex {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
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

// The section name of a header line, nothing for any other line. Without its closing bracket a
// line is no header: a damaged one must neither hide an intact section of the same name further
// down nor cut short the section it stands in.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  line.remove_prefix(1);
  const auto close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return line.substr(0, close);
}

bool IsComment(std::string_view line) {
  line = Trim(line);
  return !line.empty() && line.front() == ';';
}

// Key name and the start of the value of a key line; nothing for comments, headers and lines
// without "=".
struct KeyLine {
  std::string_view key;
  std::size_t valueStart;
};

std::optional<KeyLine> ParseKeyLine(std::string_view line) {
  if (IsComment(line) || SectionName(line)) return std::nullopt;
  const auto equals = line.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  std::size_t valueStart = equals + 1;
  while (valueStart < line.size() && IsBlank(line[valueStart])) ++valueStart;
  return KeyLine{line.substr(0, equals), valueStart};
}

bool IsQuote(char c) {
  return c == '"' || c == '\'';
}

std::string ValueOf(std::string_view raw) {
  // A value is a C string to the platform's profile functions: a NUL byte in a damaged file
  // ends it.
  raw = raw.substr(0, raw.find('\0'));
  raw = Trim(raw);
  if (raw.size() >= 2 && IsQuote(raw.front()) && raw.back() == raw.front()) {
    raw = raw.substr(1, raw.size() - 2);
  }
  return std::string(raw.substr(0, Profile::kMaxTextLength));
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
  // it would hide the first section header.
  constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
  if (content.starts_with(kUtf8Bom)) {
    byteOrderMark_ = std::string(kUtf8Bom);
    content.remove_prefix(kUtf8Bom.size());
  }
  bool endingSeen = false;
  while (!content.empty()) {
    const auto lf = content.find('\n');
    Line line;
    if (lf == std::string_view::npos) {
      line.text = std::string(content);
      content = {};
    } else {
      const bool crlf = lf > 0 && content[lf - 1] == '\r';
      line.text = std::string(content.substr(0, crlf ? lf - 1 : lf));
      line.ending = crlf ? "\r\n" : "\n";
      content.remove_prefix(lf + 1);
      // New lines follow the convention of the file's first line.
      if (!endingSeen) newLine_ = line.ending;
      endingSeen = true;
    }
    lines_.push_back(std::move(line));
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

std::optional<std::string> Profile::Find(std::string_view section, std::string_view key) const {
  const auto sectionPlace = FindSection(section);
  if (!sectionPlace) return std::nullopt;
  const auto keyPlace = FindKey(*sectionPlace, key);
  if (!keyPlace) return std::nullopt;
  return ValueOf(std::string_view(lines_[keyPlace->line].text).substr(keyPlace->valueStart));
}

std::string Profile::ReadString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const {
  auto value = Find(section, key);
  return value ? std::move(*value) : std::string(defaultValue);
}

int Profile::ReadInteger(std::string_view section, std::string_view key, int defaultValue) const {
  const auto value = Find(section, key);
  if (!value) return defaultValue;
  return ParseProfileInteger(*value).value_or(defaultValue);
}

void Profile::Append(std::size_t position, std::string text) {
  // A last line without a line ending must get one before anything follows it.
  if (position == lines_.size() && !lines_.empty() && lines_.back().ending.empty()) {
    lines_.back().ending = newLine_;
  }
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(position),
                Line{std::move(text), newLine_});
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
    text.resize(keyPlace->valueStart);
    text += stored;
    return;
  }
  // After the section's last key, so comments and blank lines that lead into the next section
  // stay where they are.
  std::size_t position = sectionPlace->header + 1;
  for (std::size_t i = sectionPlace->header + 1; i < sectionPlace->end; ++i) {
    if (ParseKeyLine(lines_[i].text)) position = i + 1;
  }
  Append(position, std::string(key) + "=" + stored);
}

void Profile::WriteInteger(std::string_view section, std::string_view key, int value) {
  WriteString(section, key, std::to_string(value));
}

std::string Profile::Content() const {
  std::string content = byteOrderMark_;
  for (const Line& line : lines_) {
    content += line.text;
    content += line.ending;
  }
  return content;
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
