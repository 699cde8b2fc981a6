// The window's transfers in the history: what the window knows of a transfer when it has ended,
// made into a record, and the history file opened on first use.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/config_image.h"
#include "core/config_view.h"
#include "procedures/transfer_seams.h"
#include "storage/history.h"

namespace quorvex {

struct TextSet;

// A transfer of the window as it ended.
struct WindowTransfer {
  const char* action = kHistoryRead;  // kHistoryWrite, kHistoryRead or kHistoryVerify
  TransferOutcome outcome = TransferOutcome::Failed;
  std::string message;  // what the status line or the error report said of a failure
  int comNumber = 0;    // the port as the user chose it
  std::string device;   // its stable device name or device server URL
  std::string tag;      // the tag given for that port
  ConfigImage shown{};  // the bytes of the channels shown: what a write sends, a compare compares
  RegisterRecord card;  // what the card replied, register by register
  std::vector<FieldDifference> differences;  // a compare's
  std::string rememberedFile;                // the window's configuration file
  std::chrono::milliseconds duration{0};
};

// The record of a transfer, or nothing for one that never reached the card (the check refused
// the channels). The file is named, with its digest, when its 41 bytes are the ones the transfer
// sent or compared: a write or compare of channels that came from it unchanged.
std::optional<HistoryRecord> MakeHistoryRecord(const WindowTransfer& transfer, const TextSet& t);

// The history file the window records into and shows, opened when first needed. A file that
// cannot be opened is tried again next time: a full disk or a lock may have gone by then.
class WindowHistory {
 public:
  explicit WindowHistory(std::string path) : path_(std::move(path)) {}

  const std::string& Path() const { return path_; }
  // The open history; throws HistoryError when it cannot be opened. `notice` receives, once per
  // opening, what the opening has to tell (a damaged file moved aside).
  History& Open(std::string& notice);
  // What the user is to be told after an Append; empty texts for nothing.
  struct Told {
    std::string notice;   // of the opening: a damaged file moved aside
    std::string failure;  // why the record is not in the history
  };
  // Appends the record with user, host and program filled in. A failure is returned, not thrown:
  // it never changes how the transfer ended.
  Told Append(HistoryRecord record);

 private:
  std::string path_;
  std::unique_ptr<History> history_;
};

struct SettingsEnvironment;

// Where the window keeps its history: the settings file's "[History] Path=", else the default
// place; "" when "[History] Enabled=0" turns it off or this build has no history.
std::string WindowHistoryPath(const std::string& windowExecutable, const std::string& settingsPath,
                              const SettingsEnvironment& env);

}  // namespace quorvex
