// The latency timer's cost, from a model of the exchanges behind the adapter, and its remedy.
#include "link/latency_timer.h"

#include <algorithm>
#include <cmath>

namespace quorvex {

namespace {

constexpr int kExchanges = 41;
constexpr double kByteMs = 10.0 * 1000.0 / 1200.0;  // ten bit times at 1200 baud
constexpr double kPauseMs = 10.0;                   // after each byte written, before each read
// What an exchange takes beyond its pauses on this side: measured about 1 ms.
constexpr double kHandlingMs = 1.0;
// A write's pauses around the exchanges: the RTS pulse and the end.
constexpr double kAroundExchangesMs = 250.0;

std::string Replace(std::string text, const std::string& mark, const std::string& by) {
  for (std::size_t at = text.find(mark); at != std::string::npos;
       at = text.find(mark, at + by.size())) {
    text.replace(at, mark.size(), by);
  }
  return text;
}

// The time of a whole write's exchanges when the adapter's timer, ticking every `timerMs` from
// time zero, first ticks `phaseMs` after the write starts. The request's bytes go out 10 ms
// apart; the reply's four bytes follow the last one on the 1200-baud line and are handed over at
// the first tick after each arrived; each read waits for its byte, then 10 ms before the next.
double ExchangesMs(double timerMs, double phaseMs) {
  const double step = kHandlingMs / 8;
  auto handedOver = [&](double arrival) {
    return timerMs <= 0 ? arrival : std::ceil((arrival - phaseMs) / timerMs) * timerMs + phaseMs;
  };
  double now = 0;
  for (int e = 0; e < kExchanges; ++e) {
    const double lastWritten = now + 3 * (kPauseMs + step);
    double read = lastWritten + 2 * kPauseMs + step;
    for (int k = 0; k < 4; ++k) {
      const double arrival = lastWritten + kByteMs * (k + 2);
      read = std::max(read, handedOver(arrival)) + kPauseMs + step;
    }
    now = read - kPauseMs;
  }
  return now;
}

}  // namespace

PortSystem ThisPortSystem() {
#ifdef _WIN32
  return PortSystem::kWindows;
#else
  return PortSystem::kLinux;
#endif
}

double LatencyTimerCostPercent(int timerMs) {
  if (timerMs <= 0) return 0;
  // Where the timer stands when a transfer starts is chance: averaged over its whole period.
  constexpr int kPhases = 64;
  double total = 0;
  for (int p = 0; p < kPhases; ++p) total += ExchangesMs(timerMs, timerMs * p / double(kPhases));
  const double instant = ExchangesMs(0, 0);
  return 100 * (total / kPhases - instant) / (instant + kAroundExchangesMs);
}

std::string LatencyTimerValue(int timerMs, const TextSet& texts) {
  return Replace(texts.latencyValue, "%2", std::to_string(timerMs));
}

std::string LatencyTimerAdvice(int timerMs, PortSystem system, const TextSet& texts) {
  if (timerMs <= kHarmlessLatencyTimerMs) return {};
  const long percent = std::lround(LatencyTimerCostPercent(timerMs));
  std::string cost = Replace(percent < 1 ? texts.latencySmallCost : texts.latencyCost, "%1",
                             std::to_string(percent));
  cost = Replace(cost, "%2", std::to_string(timerMs));
  return cost + ". " +
         (system == PortSystem::kWindows ? texts.latencyWindowsRemedy : texts.latencyLinuxRemedy);
}

}  // namespace quorvex
