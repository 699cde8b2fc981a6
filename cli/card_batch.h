// Many cards at once: one session per port, each on its own thread, all started together.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/port_list.h"
#include "core/config_image.h"

namespace quorvex::cli {

class CardLog;
struct LogEntry;

// What a card command learnt of the card beyond its exit code, for the history.
struct CardTransfer {
  std::optional<ConfigImage> held;    // the card's bytes after the command, when known
  std::optional<bool> readBackEqual;  // a write read back
  // write --backup: the read before the write, with its exit code and the bytes it got.
  bool backupRead = false;
  int backupExitCode = 0;
  std::optional<ConfigImage> backupHeld;
  double backupSeconds = 0;
};

// How one card's command ended, in the single-port command's own terms.
struct CardResult {
  int exitCode = 0;
  // The comparison's rows (header first) when the card differs; empty otherwise.
  std::vector<std::vector<std::string>> comparison;
  std::string message;  // the reason the single-port command gave for a failure
  // A write with --backup: the backup's path, "" when none was saved; unset without --backup.
  std::optional<std::string> backup;
  CardTransfer transfer;
};

// How recording a card's transfers in the history went: the record's id, or why it is not there.
struct HistoryNote {
  std::int64_t id = 0;
  std::string failure;
};

// What a card's thread lets the display see while it works: written by that thread only.
struct CardProgress {
  std::atomic<int> registers{0};
};

// One card's whole command on COM n. Runs on a thread of its own: it must build everything it
// changes itself and share nothing mutable with the others.
using CardJob = std::function<CardResult(int port, CardProgress& progress)>;

struct BatchPlan {
  std::string command;                   // "write", "read", "verify"
  std::vector<int> ports;                // in the order given
  std::vector<PortDevice> devices;       // behind each port, in the same order
  std::function<std::string(int)> file;  // the file of the card on COM n, for the log
  int registersPerCard = 41;             // exchanges a card makes, for the progress lines
  bool json = false;                     // one JSON object per card instead of a line
  bool progressLines = false;            // stderr is a terminal: one progress line per port
  CardLog* log = nullptr;
  // Records the card's transfers in the history; unset: the history is off.
  std::function<HistoryNote(int port, const PortDevice& device, const CardResult& result,
                            double seconds)>
      history;
  // How the lines, --json and the log name a port; empty: "COM" and its number.
  std::function<std::string(int)> portName;
};

// Starts the job on every port at once and reports each card as it ends (or, with progress
// lines, all in port order at the end), then a summary line. Returns the combined exit code.
// One card's failure, even an exception, never stops the others.
int RunBatch(const BatchPlan& plan, const CardJob& job, std::ostream& out, std::ostream& err);

// The word for a card's exit code in the batch's lines and the log: "written", "differs", ...
std::string OutcomeWord(const std::string& command, int exitCode);

// The log's entry for a card: the file's SHA-256 where the file is the one the card was given
// or holds (a read that failed wrote none), and the backup's where a write saved one.
LogEntry MakeLogEntry(const std::string& command, int port, const PortDevice& device,
                      const std::string& file, const CardResult& result, double seconds);

// A comparison row in one phrase: "Channel 1, Offset: File 1.5, Card 1.55".
std::string DifferenceText(const std::vector<std::string>& header,
                           const std::vector<std::string>& row);

}  // namespace quorvex::cli
