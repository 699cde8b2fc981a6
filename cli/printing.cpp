// Tables and JSON on standard output, shared by the commands that show configurations.
#include "cli/printing.h"

#include <algorithm>
#include <string_view>

#include "cli/config_json.h"
#include "cli/console.h"

namespace quorvex::cli {

namespace {

// Terminal columns a UTF-8 text takes: one per character ("°C" is two).
std::size_t Columns(std::string_view text) {
  return static_cast<std::size_t>(
      std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

}  // namespace

void PrintTable(std::ostream& out, const std::vector<std::vector<std::string>>& rows) {
  std::vector<std::size_t> widths;
  for (const auto& row : rows) {
    widths.resize(std::max(widths.size(), row.size()));
    for (std::size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], Columns(row[i]));
  }
  for (const auto& row : rows) {
    std::string line;
    for (std::size_t i = 0; i < row.size(); ++i) {
      line += row[i];
      if (i + 1 < row.size()) line.append(widths[i] - Columns(row[i]) + 2, ' ');
    }
    // An empty last cell leaves only padding behind.
    line.erase(line.find_last_not_of(' ') + 1);
    out << line << '\n';
  }
}

void PrintConfiguration(std::ostream& out, const ConfigurationView& view, const ConfigImage& image,
                        const TextSet& texts) {
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> header{texts.channel};
  for (ChannelField field : kChannelFields) header.push_back(FieldHeader(texts, field));
  rows.push_back(std::move(header));
  for (std::size_t i = 0; i < view.size(); ++i) {
    const ChannelView& c = view[i];
    rows.push_back({std::to_string(i + 1), c.quantity, c.unit, c.offset, c.range,
                    FieldText(c, ChannelField::MeasurementRange)});
  }
  PrintTable(out, rows);
  out << '\n' << "Image: " << ImageHex(image) << '\n';
}

void PrintJson(std::ostream& out, const nlohmann::ordered_json& document) {
  out << document.dump(2) << '\n';
}

nlohmann::ordered_json ShownJson(const ConfigurationView& view, const ConfigImage& image) {
  nlohmann::ordered_json document;
  document["channels"] = ChannelsJson(view);
  document["image"] = ImageHex(image);
  return document;
}

int PrintDifferences(std::ostream& out, const std::vector<FieldDifference>& differences,
                     const std::string& firstName, const std::string& secondName,
                     const TextSet& texts, std::vector<std::vector<std::string>>* rowsShown) {
  if (differences.empty()) {
    out << "Equal: " << firstName << " and " << secondName << " hold the same configuration.\n";
    return kExitOk;
  }
  std::vector<std::vector<std::string>> rows{{texts.channel, "Field", firstName, secondName}};
  for (const FieldDifference& d : differences) {
    rows.push_back({std::to_string(d.channel), FieldHeader(texts, d.field), d.first, d.second});
  }
  PrintTable(out, rows);
  if (rowsShown != nullptr) *rowsShown = std::move(rows);
  return kExitDifferent;
}

// The same comparison as the window's compare box: CompareImages is empty exactly when the
// images are equal.
int PrintComparison(std::ostream& out, const ConfigImage& first, const ConfigImage& second,
                    const std::string& firstName, const std::string& secondName,
                    const TextSet& texts, std::vector<std::vector<std::string>>* rowsShown) {
  return PrintDifferences(out, CompareImages(first, second), firstName, secondName, texts,
                          rowsShown);
}

}  // namespace quorvex::cli
