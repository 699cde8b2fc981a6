// write, read and verify on one port as always, or on many ports at once.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "cli/commands.h"
#include "cli/common_options.h"
#include "core/image_layout.h"

namespace quorvex::cli {

struct CardTransfer;

// What sets one card's run apart from the others'.
struct CardPlace {
  int port = 0;
  bool batch = false;  // one card of many: quiet, its own trace file, the batch's interrupt
  InterruptSource* interrupt = nullptr;
  CardProgress* progress = nullptr;
  // Where a write with --backup leaves its backup's path for the log and the card's line.
  std::optional<std::string>* backup = nullptr;
  // Where the command leaves what it learnt of the card, for the history.
  CardTransfer* transfer = nullptr;
};

// One card's whole command, given its place; the command's own body with the options copied.
using CardCommand = std::function<int(const CardPlace& place, Console& console)>;

// Every register of the image, once per transfer.
inline constexpr int kRegistersPerTransfer = static_cast<int>(kConfigImageSize);

struct CardCommandFacts {
  std::string name;                      // "write", "read", "verify"
  std::function<std::string(int)> file;  // the file the log names for the card on COM n
  int registersPerCard = kRegistersPerTransfer;
  bool json = false;  // one object per card
};

// Puts a card's place into a copy of the command's options; {port} in --trace becomes the port
// as WithPort has it.
void PlaceCard(CardOptions& card, const CardPlace& place);

// A file name for one card of many: {port} becomes the port's number, or a device server port's
// host and TCP port ("10.0.0.5-4001").
std::string WithPort(std::string pattern, int port, const NetworkAssignments& network = {});

// Runs the command on the ports of --port: a single port exactly as before (and its --log line),
// several at once, each card on its own thread. The log is opened before any card is touched.
int RunCardCommand(const CardCommandFacts& facts, CardOptions& o, Console& c,
                   const CardCommand& run);

}  // namespace quorvex::cli
