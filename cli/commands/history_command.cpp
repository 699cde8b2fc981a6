// quorvex-cli history: the records of the transfers, listed, shown one by one with what changed,
// checked and exported.
#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/card_history.h"
#include "cli/command_setup.h"
#include "cli/common_options.h"
#include "cli/error_report.h"
#include "cli/printing.h"
#include "core/config_record.h"
#include "core/config_view.h"
#include "core/text_set.h"
#include "storage/atomic_file.h"
#include "storage/history.h"

namespace quorvex::cli {

namespace {

struct HistoryOptions : CommonOptions {
  std::string history;
  std::string tag;
  std::string port;
  std::string since;
  std::string until;
  bool json = false;
  bool csv = false;
  std::int64_t show = 0;
  bool check = false;
  std::string exportFile;
};

// "2026-12-01", "2026-12-01T08:00", "2026-12-01 08:00:30", an optional "Z": UTC as the records
// hold it, or nothing.
std::optional<std::string> UtcDate(std::string text) {
  if (!text.empty() && (text.back() == 'Z' || text.back() == 'z')) text.pop_back();
  if (text.size() > 10 && text[10] == ' ') text[10] = 'T';
  static constexpr const char* kShapes[] = {"dddd-dd-dd", "dddd-dd-ddTdd:dd",
                                            "dddd-dd-ddTdd:dd:dd"};
  for (const std::string shape : kShapes) {
    if (shape.size() != text.size()) continue;
    bool fits = true;
    for (std::size_t i = 0; i < shape.size() && fits; ++i) {
      fits = shape[i] == 'd' ? text[i] >= '0' && text[i] <= '9' : text[i] == shape[i];
    }
    if (fits) return text;
  }
  return std::nullopt;
}

HistoryQuery Query(const HistoryOptions& o) {
  HistoryQuery query;
  query.tag = o.tag;
  query.port = o.port;
  for (const auto& [given, name, into] : {std::tuple{&o.since, "--since", &query.sinceUtc},
                                          std::tuple{&o.until, "--until", &query.beforeUtc}}) {
    if (given->empty()) continue;
    const std::optional<std::string> date = UtcDate(*given);
    if (!date) {
      throw ReportedError(
          std::string(name) + ": '" + *given +
          "' is no date (YYYY-MM-DD, YYYY-MM-DDTHH:MM or YYYY-MM-DDTHH:MM:SS, UTC)");
    }
    *into = *date;
  }
  // Up to and including the day, minute or second given: every time that begins with it sorts
  // before it with "~" added.
  if (!query.beforeUtc.empty()) query.beforeUtc += '~';
  return query;
}

std::string Seconds(std::int64_t milliseconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", static_cast<double>(milliseconds) / 1000.0);
  return text;
}

std::string ReadBack(const HistoryRecord& r) {
  if (!r.readBackEqual) return "";
  return *r.readBackEqual ? "equal" : "differs";
}

std::string Joined(const std::vector<std::string>& lines, const char* separator) {
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) text += (i == 0 ? "" : separator) + lines[i];
  return text;
}

// One record in the order of its fields: the CSV's columns and the JSON's members.
std::vector<std::pair<std::string, std::string>> Fields(const HistoryRecord& r) {
  return {{"id", std::to_string(r.id)},
          {"time", r.timeUtc},
          {"user", r.user},
          {"host", r.host},
          {"program", r.program},
          {"action", r.action},
          {"outcome", r.outcome},
          {"message", r.message},
          {"port", r.port},
          {"device", r.device},
          {"tag", r.currentTag},
          {"tag_recorded", r.tag},
          {"file", r.file},
          {"sha256", r.fileSha256},
          {"image", r.image ? ImageHex(*r.image) : std::string()},
          {"read_back", ReadBack(r)},
          {"differences", Joined(r.differences, "; ")},
          {"seconds", Seconds(r.durationMs)},
          {"refers_to", r.refersTo != 0 ? std::to_string(r.refersTo) : std::string()},
          {"previous_record_sha256", r.previousHash},
          {"record_sha256", r.hash}};
}

std::string CsvOf(const std::vector<HistoryRecord>& records) {
  std::vector<RecordRow> rows;
  if (records.empty()) {
    rows.emplace_back();
    for (const auto& field : Fields(HistoryRecord{})) rows.back().push_back(field.first);
  }
  for (const HistoryRecord& r : records) {
    const auto fields = Fields(r);
    if (rows.empty()) {
      rows.emplace_back();
      for (const auto& field : fields) rows.back().push_back(field.first);
    }
    rows.emplace_back();
    for (const auto& field : fields) rows.back().push_back(field.second);
  }
  return CsvText(rows);
}

nlohmann::ordered_json JsonOf(const HistoryRecord& r) {
  nlohmann::ordered_json record;
  for (const auto& [name, value] : Fields(r)) record[name] = value;
  record["id"] = r.id;
  record["differences"] = r.differences;
  record["seconds"] = static_cast<double>(r.durationMs) / 1000.0;
  if (r.readBackEqual) {
    record["read_back"] = *r.readBackEqual;
  } else {
    record["read_back"] = nullptr;
  }
  if (r.refersTo != 0) {
    record["refers_to"] = r.refersTo;
  } else {
    record["refers_to"] = nullptr;
  }
  return record;
}

void PrintList(std::ostream& out, const std::vector<HistoryRecord>& records) {
  std::vector<std::vector<std::string>> rows{
      {"ID", "Time (UTC)", "Tag", "Port", "Device", "Action", "Outcome", "User", "File"}};
  for (const HistoryRecord& r : records) {
    rows.push_back({std::to_string(r.id), r.timeUtc.substr(0, 19), r.currentTag, r.port, r.device,
                    r.action, r.outcome, r.user, r.file});
  }
  PrintTable(out, rows);
}

// What changed against the card's previous record, in the compare view's words, "before → after"
// for each field.
void PrintChanges(std::ostream& out, const History& history, const HistoryRecord& r,
                  const TextSet& texts) {
  if (!r.image) return;
  const std::optional<HistoryRecord> previous = history.PreviousOfSameCard(r);
  if (!previous) {
    out << "Nothing earlier is known of this card.\n";
    return;
  }
  const std::vector<FieldDifference> changes = CompareImages(*previous->image, *r.image);
  const std::string since =
      "record " + std::to_string(previous->id) + " (" + previous->timeUtc.substr(0, 19) + " UTC)";
  if (changes.empty()) {
    out << "No change since " << since << ".\n";
    return;
  }
  out << "Changes since " << since << ":\n";
  for (const FieldDifference& d : changes) {
    out << "  " << texts.channel << " " << d.channel << ", " << FieldHeader(texts, d.field) << ": "
        << d.first << " \u2192 " << d.second << "\n";
  }
}

int Show(std::ostream& out, const History& history, std::int64_t id) {
  const std::optional<HistoryRecord> found = history.Get(id);
  if (!found) throw ReportedError("The history holds no record " + std::to_string(id));
  const HistoryRecord& r = *found;
  const TextSet texts = EnglishTextSet();
  std::vector<std::vector<std::string>> rows;
  for (const auto& [name, value] : Fields(r)) {
    if (!value.empty() && name != "image") rows.push_back({name, value});
  }
  PrintTable(out, rows);
  if (r.image) {
    out << '\n';
    try {
      PrintConfiguration(out, ViewImage(*r.image), *r.image, texts);
    } catch (const ReportedError& e) {
      // Bytes the window cannot show are still what the card held.
      out << "Image: " << ImageHex(*r.image) << " (" << e.what() << ")\n";
    }
    out << '\n';
    if (r.action != kHistoryTagCorrection) PrintChanges(out, history, r, texts);
  } else {
    out << "\nThe card's bytes are not known from this transfer.\n";
  }
  return kExitOk;
}

int RunHistory(const HistoryOptions& o, Console& c) {
  if (!HistoryBuilt()) throw ReportedError(kNoHistoryBuilt);
  const std::optional<std::string> path = HistoryPath(o.history);
  if (!path) throw ReportedError("The history is turned off in the settings ([History] Enabled=0)");
  // Looking must not leave an empty history where a name was mistyped.
  if (!IsRegularFile(*path)) throw ReportedError(*path + ": no history there");
  History history(*path);
  if (!history.Notice().text.empty()) Report(c.err, history.Notice().text + ".");
  if (o.check) {
    const HistoryCheck check = history.Check();
    if (check.intact) {
      c.out << "history intact (" << check.records << " records)\n";
      return kExitOk;
    }
    c.out << "history broken at record " << check.firstBroken << ": " << check.reason << " ("
          << check.records << " records)\n";
    return kExitDifferent;
  }
  if (o.show != 0) return Show(c.out, history, o.show);
  const std::vector<HistoryRecord> records = history.Find(Query(o));
  if (!o.exportFile.empty()) {
    WriteFileAtomically(o.exportFile, CsvOf(records));
    if (!o.quiet) c.err << records.size() << " records exported to " << o.exportFile << "\n";
  } else if (o.csv) {
    c.out << CsvOf(records);
  } else if (o.json) {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const HistoryRecord& r : records) list.push_back(JsonOf(r));
    c.out << list.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
  } else {
    PrintList(c.out, records);
  }
  return kExitOk;
}

}  // namespace

void SetupHistoryCommand(CLI::App& app, CommandHost& host) {
  auto o = std::make_shared<HistoryOptions>();
  CLI::App* command = AddCommand(app, host, "history",
                                 "the history of the transfers: list, show one with its changes, "
                                 "check the chain, export",
                                 *o, [o](Console& c) { return RunHistory(*o, c); });
  AddHistoryFileOptions(command, o->history, nullptr);
  command->add_option("--tag", o->tag, "only the records of this tag");
  command->add_option("--port", o->port,
                      "only the records of this port as named (COM3, a device server's URL) or "
                      "of this stable device name");
  command->add_option("--since", o->since,
                      "only records at or after this UTC date (YYYY-MM-DD[THH:MM[:SS]])");
  command->add_option("--until", o->until, "only records up to and including this UTC date");
  auto* json = command->add_flag("--json", o->json, "print the records as JSON");
  command->add_flag("--csv", o->csv, "print the records as CSV, as the record's CSV is written")
      ->excludes(json);
  auto* show =
      command->add_option("--show", o->show,
                          "print record ID with the card's configuration and its changes against "
                          "the same card's previous record");
  auto* check = command->add_flag("--check", o->check,
                                  "check the chain of the records (exit code 1 when it breaks)");
  command->add_option("--export", o->exportFile, "write the records to this CSV file")
      ->excludes(show)
      ->excludes(check);
  show->excludes(check);
}

}  // namespace quorvex::cli
