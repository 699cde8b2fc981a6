// The INI file's line rules that the profile reads by (profile_lines.cpp).
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace quorvex::ini {

// The DOS end-of-file mark: a blank inside a line, and kept at the file's very end.
inline constexpr char kCtrlZ = '\x1A';

bool IsBlank(char c);
std::string_view Trim(std::string_view text);

// The section name of a header line, nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view line);

// Key name and the start of the value of a key line; nothing for comments, headers and blank
// lines. A line without "=" is a bare key: the whole line is its name, and it has no value.
struct KeyLine {
  std::string_view key;
  std::optional<std::size_t> valueStart;
};
std::optional<KeyLine> ParseKeyLine(std::string_view line);

}  // namespace quorvex::ini
