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
#include "storage/profile_lines.h"
#include "storage/profile_utf16.h"

namespace quorvex {

using ini::IsBlank;
using ini::IsUtf8Continuation;
using ini::kCtrlZ;
using ini::ParseKeyLine;
using ini::SectionName;
using ini::Trim;
using ini::Utf16ToUtf8;
using ini::Utf8ToUtf16;

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";

bool IsQuote(char c) {
  return c == '"' || c == '\'';
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
    Classify(lines_.back());
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
  IndexHeaders();
}

Profile Profile::Load(const std::string& path) {
  try {
    return Profile(ReadFileStart(path, std::numeric_limits<std::size_t>::max()));
  } catch (const FileError&) {
    return Profile();
  }
}

void Profile::Classify(Line& line) {
  const std::string_view text = line.text;
  const auto place = [&](Kind kind, std::string_view name) {
    const std::string_view trimmed = Trim(name);
    line.kind = kind;
    line.nameStart = static_cast<std::size_t>(trimmed.data() - text.data());
    line.nameLength = trimmed.size();
  };
  line.valueStart.reset();
  if (const auto name = SectionName(text)) {
    place(Kind::kHeader, *name);
  } else if (const auto keyLine = ParseKeyLine(text)) {
    place(Kind::kKey, keyLine->key);
    line.valueStart = keyLine->valueStart;
  } else {
    line.kind = Kind::kOther;
    line.nameStart = 0;
    line.nameLength = 0;
  }
}

void Profile::IndexHeaders() {
  headers_.clear();
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].kind == Kind::kHeader) headers_.push_back(i);
  }
}

// Names match without surrounding blanks and folding only ASCII letters, as the profile
// functions of the platform's 8-bit code page do for the names we use.
std::optional<Profile::SectionPlace> Profile::FindSection(std::string_view section) const {
  section = Trim(section);
  for (std::size_t h = 0; h < headers_.size(); ++h) {
    if (!EqualIgnoringAsciiCase(lines_[headers_[h]].Name(), section)) continue;
    return SectionPlace{headers_[h], h + 1 < headers_.size() ? headers_[h + 1] : lines_.size()};
  }
  return std::nullopt;
}

std::optional<Profile::KeyPlace> Profile::FindKey(const SectionPlace& place,
                                                  std::string_view key) const {
  key = Trim(key);
  for (std::size_t i = place.header + 1; i < place.end; ++i) {
    const Line& line = lines_[i];
    if (line.kind == Kind::kKey && EqualIgnoringAsciiCase(line.Name(), key)) {
      return KeyPlace{i, line.valueStart};
    }
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
  const auto inserted = lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(position),
                                      Line{Representable(std::move(text)), newLine_});
  Classify(*inserted);
  IndexHeaders();
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
    Line& line = lines_[keyPlace->line];
    std::string& text = line.text;
    if (keyPlace->valueStart) {
      text.resize(*keyPlace->valueStart);
    } else {
      // A bare key gets its "=" and value, as the platform fills it.
      while (!text.empty() && IsBlank(text.back())) text.pop_back();
      text += '=';
    }
    text += Representable(stored);
    // The value can turn the line into a header: "[a=" given "]" reads as the section "a=".
    const Kind before = line.kind;
    Classify(line);
    if (line.kind != before) IndexHeaders();
    return;
  }
  // After the section's last key=value line, so comments, blank lines and stray lines that lead
  // into the next section stay where they are.
  std::size_t position = sectionPlace->header + 1;
  for (std::size_t i = sectionPlace->header + 1; i < sectionPlace->end; ++i) {
    if (lines_[i].kind == Kind::kKey && lines_[i].valueStart) position = i + 1;
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
