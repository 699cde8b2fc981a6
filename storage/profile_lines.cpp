// The INI file's line rules, as the Windows profile functions read a line.
#include "storage/profile_lines.h"

namespace quorvex::ini {

namespace {

bool IsComment(std::string_view line) {
  line = Trim(line);
  return !line.empty() && line.front() == ';';
}

}  // namespace

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

std::optional<KeyLine> ParseKeyLine(std::string_view line) {
  if (Trim(line).empty() || IsComment(line) || SectionName(line)) return std::nullopt;
  const auto equals = line.find('=');
  if (equals == std::string_view::npos) return KeyLine{line, std::nullopt};
  std::size_t valueStart = equals + 1;
  while (valueStart < line.size() && IsBlank(line[valueStart])) ++valueStart;
  return KeyLine{line.substr(0, equals), valueStart};
}

}  // namespace quorvex::ini
