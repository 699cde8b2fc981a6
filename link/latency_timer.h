// A USB serial adapter's latency timer: what it costs a transfer and what to do about it.
#pragma once

#include <string>

#include "core/text_set.h"

namespace quorvex {

// Where the port is: the remedy differs.
enum class PortSystem { kLinux, kWindows };

// The system this program was built for.
PortSystem ThisPortSystem();

// A timer of this many ms or less costs a transfer nothing worth telling.
inline constexpr int kHarmlessLatencyTimerMs = 4;

// How much longer a whole write takes behind an adapter with this timer than behind one that
// hands every byte over at once, in percent.
double LatencyTimerCostPercent(int timerMs);

// "16 ms". The texts are the language's (the command line speaks English).
std::string LatencyTimerValue(int timerMs, const TextSet& texts = EnglishTextSet());

// For a timer above 4 ms its cost and the remedy ("about 8 % longer transfers at 16 ms. ...");
// "" for a timer that costs nothing worth telling.
std::string LatencyTimerAdvice(int timerMs, PortSystem system,
                               const TextSet& texts = EnglishTextSet());

}  // namespace quorvex
