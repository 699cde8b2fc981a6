// The lines the transfer benchmarks run behind: the simulator's switches for each.
#pragma once

#include <string>
#include <vector>

namespace quorvex::bench {

struct LineModelArgs {
  std::string name;
  std::vector<std::string> args;  // for quorvex-cardsim
};

// An instant card; the card's 1200-baud line; behind a USB adapter with the factory's 16 ms
// latency timer; and with the 1 ms that Linux's low latency mode gives.
inline std::vector<LineModelArgs> LineModels() {
  return {{"instant", {}},
          {"1200", {"--baud", "1200"}},
          {"1200+16ms", {"--baud", "1200", "--adapter-latency", "16"}},
          {"1200+1ms", {"--baud", "1200", "--adapter-latency", "1"}}};
}

// The model named `only`, or all of them for "".
inline std::vector<LineModelArgs> ChosenLineModels(const std::string& only) {
  std::vector<LineModelArgs> chosen;
  for (const LineModelArgs& model : LineModels()) {
    if (only.empty() || model.name == only) chosen.push_back(model);
  }
  return chosen;
}

}  // namespace quorvex::bench
