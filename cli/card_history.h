// The history as the card commands keep it: opened before any card is touched, and one record
// for each transfer, made where the card's outcome is known (beside its --log line).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "cli/card_batch.h"
#include "cli/common_options.h"
#include "cli/port_list.h"

namespace quorvex {
class History;
}

namespace quorvex::cli {

inline constexpr const char* kNoHistoryBuilt =
    "this build of quorvex-cli keeps no history (it was built without SQLite)";

// The history file: the one `named` (--history), else the one the window's settings name
// ([History] Path=), else the default place; nothing when the settings turn it off
// ([History] Enabled=0). Throws std::exception when no place is known.
std::optional<std::string> HistoryPath(const std::string& named);

class CardHistory {
 public:
  // The history the options, the window's settings ([History]) and the default place name.
  // Nothing when it is turned off or this build keeps none. A file that --history names and that
  // cannot be opened throws HistoryError (exit code 2), before any card is touched; any other
  // that cannot be opened is told once on `err`, and every record then fails with that reason.
  static std::unique_ptr<CardHistory> Open(const CardOptions& o, std::ostream& err);
  CardHistory(std::unique_ptr<History> history, std::string openFailure);
  ~CardHistory();
  CardHistory(const CardHistory&) = delete;
  CardHistory& operator=(const CardHistory&) = delete;

  // The card's records (a write's backup read first), with the tag given for the card. A failure
  // is told on `err`, once for the transfer, and returned.
  HistoryNote Record(const std::string& command, int port, const PortDevice& device,
                     const std::string& portName, const std::string& tag, const std::string& file,
                     const CardResult& result, double seconds, std::ostream& err);

 private:
  std::unique_ptr<History> history_;
  std::string openFailure_;
  std::string user_;
  std::string host_;
};

}  // namespace quorvex::cli
