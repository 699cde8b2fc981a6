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
// latency timer; and with the 1 ms that Linux's low latency mode gives. Then a PC's own port
// with each receive trigger its UART offers: 1 is what the program asks of Windows' serial
// driver, 8 the driver's own setting.
inline std::vector<LineModelArgs> LineModels() {
  std::vector<LineModelArgs> models{{"instant", {}},
                                    {"1200", {"--baud", "1200"}},
                                    {"1200+16ms", {"--baud", "1200", "--adapter-latency", "16"}},
                                    {"1200+1ms", {"--baud", "1200", "--adapter-latency", "1"}}};
  for (const char* trigger : {"1", "4", "8", "14"}) {
    models.push_back(
        {std::string("1200+uart") + trigger, {"--baud", "1200", "--uart-trigger", trigger}});
  }
  return models;
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
