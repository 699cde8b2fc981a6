// A configuration from a .KFG file or a record, and the window's check of typed channels.
#include "cli/configuration_input.h"

#include <algorithm>
#include <cctype>

#include "cli/error_report.h"
#include "cli/named_files.h"
#include "cli/terminal_operator.h"
#include "core/app_context.h"
#include "core/channel_panel.h"
#include "core/errors.h"
#include "core/quantity_catalogue.h"
#include "core/record_csv.h"
#include "procedures/channel_check.h"

namespace quorvex::cli {

bool IsRecordFile(const std::string& path) {
  constexpr std::string_view kExtension = ".csv";
  if (path.size() < kExtension.size()) return false;
  return std::equal(kExtension.begin(), kExtension.end(), path.end() - 4, [](char a, char b) {
    return a == std::tolower(static_cast<unsigned char>(b));
  });
}

std::optional<ConfigImage> CheckedImage(MemoryPanel& panel, std::ostream& err) {
  AppContext ctx{.texts = EnglishTextSet()};
  TerminalOperator op(err, ctx.texts, {}, nullptr, nullptr);
  try {
    if (!ValidateAllChannels(panel, op, ctx)) return std::nullopt;
  } catch (const ReportedError& e) {
    Report(err,
           ctx.texts.channel + " " + std::to_string(ctx.errorChannel) + ": " + Sentence(e.what()));
    return std::nullopt;
  }
  return EncodeConfiguration(panel);
}

std::optional<ConfigImage> RecordImage(const std::string& path, const std::string& text,
                                       std::ostream& err) {
  try {
    if (text.size() > kMaxTextInputBytes) {
      throw RecordInputError("the file is larger than a configuration record can be");
    }
    const TextSet texts = RecordTextSet(ReadCsvTable(text));
    const RecordContent record = ReadRecordCsv(text, texts);
    if (record.image) return CheckedRecordImage(record, texts);
    MemoryPanel panel;
    FillChannelLists(panel);
    EnterRecordChannels(record, panel);
    return CheckedImage(panel, err);
  } catch (const RecordInputError& e) {
    throw RecordInputError(path + ": " + e.what());
  }
}

std::optional<ConfigImage> LoadConfiguration(const std::string& path, std::ostream& err) {
  if (!IsRecordFile(path)) return LoadImage(path);
  return RecordImage(path, LoadTextStart(path, kMaxTextInputBytes + 1), err);
}

}  // namespace quorvex::cli
