// The window's transfers made into history records, and the history opened on first use.
#include "ui/history_recording.h"

#include <limits>

#include "core/config_record.h"
#include "storage/atomic_file.h"
#include "storage/file_error.h"
#include "storage/settings.h"
#include "storage/sha256.h"
#include "ui/history_texts.h"
#include "ui/record_presentation.h"

namespace quorvex {

namespace {

std::string OutcomeWord(const WindowTransfer& t) {
  switch (t.outcome) {
    case TransferOutcome::Done:
      if (t.action == std::string(kHistoryVerify)) {
        return t.differences.empty() ? "equal" : "differs";
      }
      return t.action == std::string(kHistoryRead) ? "read" : "written";
    case TransferOutcome::PortNotAvailable:
      return "not available";
    default:
      return "failed";
  }
}

// The file's digest when it holds exactly `image`; nothing otherwise (changed since, or gone).
std::optional<std::string> DigestIfHolding(const std::string& path, const ConfigImage& image) {
  if (path.empty() || !IsRegularFile(path)) return std::nullopt;
  try {
    const std::string bytes = ReadFileStart(path, kConfigImageSize + 1);
    if (bytes.size() != kConfigImageSize ||
        !std::equal(bytes.begin(), bytes.end(), image.begin(),
                    [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; })) {
      return std::nullopt;
    }
    return Sha256Hex(bytes);
  } catch (const FileError&) {
    return std::nullopt;
  }
}

}  // namespace

std::optional<HistoryRecord> MakeHistoryRecord(const WindowTransfer& transfer, const TextSet& t) {
  if (transfer.outcome == TransferOutcome::NotValid) return std::nullopt;
  const bool done = transfer.outcome == TransferOutcome::Done;
  const std::string action = transfer.action;
  HistoryRecord record;
  record.action = action;
  record.outcome = OutcomeWord(transfer);
  if (!done) record.message = transfer.message;
  record.port = "COM" + std::to_string(transfer.comNumber);
  record.device = transfer.device;
  record.tag = transfer.tag;
  record.durationMs = transfer.duration.count();
  if (action == kHistoryWrite) {
    // The card answers each write with the value it then holds: that is the write's read-back.
    if (done) {
      record.image = transfer.shown;
      record.readBackEqual = transfer.card.Complete() && transfer.card.values == transfer.shown;
    }
  } else if (transfer.card.Complete()) {
    record.image = transfer.card.values;
  }
  if (action != kHistoryRead) {
    if (const auto digest = DigestIfHolding(transfer.rememberedFile, transfer.shown)) {
      record.file = transfer.rememberedFile;
      record.fileSha256 = *digest;
    }
  }
  for (const FieldDifference& d : transfer.differences) {
    record.differences.push_back(CompareBoxLine(d, t));
  }
  return record;
}

std::string WindowHistoryPath(const std::string& windowExecutable, const std::string& settingsPath,
                              const SettingsEnvironment& env) {
  if (!HistoryBuilt()) return {};
  const HistorySettings settings = StoredHistorySettings(settingsPath);
  if (!settings.enabled) return {};
  if (!settings.path.empty()) return settings.path;
  return DefaultHistoryPath(windowExecutable, settingsPath, env);
}

History& WindowHistory::Open(std::string& notice) {
  if (!history_) {
    history_ = std::make_unique<History>(path_);
    notice = history_->Notice().text;
  }
  return *history_;
}

WindowHistory::Told WindowHistory::Append(HistoryRecord record) {
  Told told;
  try {
    History& history = Open(told.notice);
    record.user = OperatingSystemUser();
    record.host = HostName();
    record.program = ProgramNameAndVersion();
    history.Append(std::move(record));
  } catch (const HistoryError& e) {
    told.failure = e.what();
  }
  return told;
}

}  // namespace quorvex
