// quorvex-cardsim's options: port, folder, image, log, faults, delay and frame gap.
#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "sim/card_model.h"
#include "sim/line_model.h"

namespace quorvex::sim {

struct CardOptions {
  int port = 1;
  std::string comDir;     // where the COM<n> link goes
  std::string imagePath;  // empty: the registers start at zero and are not kept
  std::string logPath;    // empty: the frame log goes to stderr
  CardFaults faults;
  std::chrono::milliseconds delay{0};
  std::chrono::milliseconds frameGap = kDefaultFrameGap;
  LineSettings line;  // off: the card sees and answers every byte at once
  bool help = false;
};

struct ParsedOptions {
  CardOptions options;
  std::string error;  // empty when the command line was understood
};

// `args` without the program name. `envComDir` is QUORVEX_COM_DIR ("" when unset); --com-dir
// takes precedence over it.
ParsedOptions ParseCardOptions(const std::vector<std::string>& args, std::string_view envComDir);

std::string CardHelpText();

}  // namespace quorvex::sim
