// The card commands' records in the history.
#include "cli/card_history.h"

#include <exception>
#include <utility>

#include "cli/card_batch.h"
#include "cli/card_log.h"
#include "cli/error_report.h"
#include "cli/port_selection.h"
#include "core/version.h"
#include "storage/history.h"
#include "storage/settings.h"
#include "storage/settings_place.h"

namespace quorvex::cli {

namespace {

std::int64_t Milliseconds(double seconds) {
  return static_cast<std::int64_t>(seconds * 1000.0 + 0.5);
}

}  // namespace

std::optional<std::string> HistoryPath(const std::string& named) {
  if (!named.empty()) return named;
  const std::optional<WindowPlace> window = WindowBeside();
  const HistorySettings settings =
      window ? StoredHistorySettings(window->settingsPath) : HistorySettings{};
  if (!settings.enabled) return std::nullopt;
  if (!settings.path.empty()) return settings.path;
  return DefaultHistoryPath(window ? window->executable : std::string(),
                            window ? window->settingsPath : std::string(),
                            SettingsEnvironment::FromProcess());
}

std::unique_ptr<CardHistory> CardHistory::Open(const CardOptions& o, std::ostream& err) {
  if (o.noHistory) return nullptr;
  if (!HistoryBuilt()) {
    if (!o.history.empty()) throw HistoryError("--history: " + std::string(kNoHistoryBuilt));
    return nullptr;
  }
  std::unique_ptr<History> history;
  try {
    const std::optional<std::string> path = HistoryPath(o.history);
    if (!path) return nullptr;
    history = std::make_unique<History>(*path);
  } catch (const std::exception& e) {
    // What the user named must work, or nothing is done; the default place is no one's choice.
    if (!o.history.empty()) throw;
    err << kProgram << ": " << e.what() << "; this command's transfers are not in the history\n";
    return std::make_unique<CardHistory>(nullptr, e.what());
  }
  if (!history->Notice().text.empty()) err << kProgram << ": " << history->Notice().text << "\n";
  return std::make_unique<CardHistory>(std::move(history), std::string());
}

CardHistory::CardHistory(std::unique_ptr<History> history, std::string openFailure)
    : history_(std::move(history)),
      openFailure_(std::move(openFailure)),
      user_(OperatingSystemUser()),
      host_(HostName()) {}

CardHistory::~CardHistory() = default;

HistoryNote CardHistory::Record(const std::string& command, int port, const PortDevice& device,
                                const std::string& portName, const std::string& tag,
                                const std::string& file, const CardResult& result, double seconds,
                                std::ostream& err) {
  if (!history_) return {0, openFailure_};
  // What the log's line says of the card (outcome, file digests, differences) is said once.
  const LogEntry entry = MakeLogEntry(command, port, device, file, result, seconds);
  HistoryRecord record;
  record.user = user_;
  record.host = host_;
  record.program = std::string(kProgram) + " " + kProgramVersion;
  record.port = portName;
  // A device server port's URL is as stable a name as the port has.
  record.device = !device.stableName.empty()                 ? device.stableName
                  : portName != "COM" + std::to_string(port) ? portName
                                                             : std::string();
  record.tag = tag;
  HistoryNote note;
  try {
    const CardTransfer& transfer = result.transfer;
    if (transfer.backupRead) {
      HistoryRecord backup = record;
      backup.action = kHistoryBackupRead;
      backup.outcome = OutcomeWord("read", transfer.backupExitCode);
      if (transfer.backupExitCode != 0) backup.message = result.message;
      backup.file = result.backup ? *result.backup : std::string();
      backup.fileSha256 = entry.backupSha256;
      backup.image = transfer.backupHeld;
      backup.durationMs = Milliseconds(transfer.backupSeconds);
      note.id = history_->Append(std::move(backup));
      // A write the backup stopped never reached the card: the backup's record tells it all.
      if (transfer.backupExitCode != 0) return note;
      seconds -= transfer.backupSeconds;
    }
    record.action = command;
    record.outcome = entry.outcome;
    record.message = result.exitCode == 0 ? std::string() : result.message;
    record.file = file;
    record.fileSha256 = entry.fileSha256;
    record.image = transfer.held;
    record.readBackEqual = transfer.readBackEqual;
    record.differences = entry.differences;
    record.durationMs = Milliseconds(seconds);
    note.id = history_->Append(std::move(record));
  } catch (const HistoryError& e) {
    note.failure = e.what();
    err << kProgram << ": " << note.failure << "; this transfer of " << portName
        << " is not in the history\n";
  }
  return note;
}

}  // namespace quorvex::cli
