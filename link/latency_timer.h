// A USB serial adapter's latency timer: what it costs a transfer and what to do about it.
#pragma once

#include <string>

namespace quorvex {

// Where the port is: the remedy differs.
enum class PortSystem { kLinux, kWindows };

// The system this program was built for.
PortSystem ThisPortSystem();

// Every text of the port list's latency timer, in one place, so that another language can be
// given in their stead. "%1" is the cost in percent, "%2" the timer in ms.
struct LatencyTimerTexts {
  std::string column = "Latency timer";
  std::string value = "%2 ms";
  std::string cost = "about %1 % longer transfers at %2 ms";
  std::string smallCost = "under 1 % longer transfers at %2 ms";
  std::string linuxRemedy =
      "Nothing to change: during a transfer the program asks the driver for low latency, and "
      "the driver then uses 1 ms.";
  std::string windowsRemedy =
      "To save it: Device Manager \u2192 the port \u2192 Port Settings \u2192 Advanced \u2192 "
      "Latency Timer 1 ms.";
};

// A timer of this many ms or less costs a transfer nothing worth telling.
inline constexpr int kHarmlessLatencyTimerMs = 4;

// How much longer a whole write takes behind an adapter with this timer than behind one that
// hands every byte over at once, in percent.
double LatencyTimerCostPercent(int timerMs);

// "16 ms".
std::string LatencyTimerValue(int timerMs, const LatencyTimerTexts& texts = {});

// For a timer above 4 ms its cost and the remedy ("about 8 % longer transfers at 16 ms. ...");
// "" for a timer that costs nothing worth telling.
std::string LatencyTimerAdvice(int timerMs, PortSystem system, const LatencyTimerTexts& texts = {});

}  // namespace quorvex
