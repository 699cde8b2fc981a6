// The latency timer's and the UART receive trigger's cost, from a model of the exchanges behind
// them, and their remedies.
#include "link/latency_timer.h"

#include <algorithm>
#include <array>
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
// A 16550's character time-out: this many byte times with no new byte.
constexpr double kUartTimeOutBytes = 4;

std::string Replace(std::string text, const std::string& mark, const std::string& by) {
  for (std::size_t at = text.find(mark); at != std::string::npos;
       at = text.find(mark, at + by.size())) {
    text.replace(at, mark.size(), by);
  }
  return text;
}

using ReplyArrivals = std::array<double, 4>;

// The time of a whole write's exchanges when the reply's byte k reaches the program at
// handedOver(arrivals, k). The request's bytes go out 10 ms apart; the reply's four bytes follow
// the last one on the 1200-baud line; each read waits for its byte, then 10 ms before the next.
template <typename HandOver>
double ExchangesMs(HandOver handedOver) {
  const double step = kHandlingMs / 8;
  double now = 0;
  for (int e = 0; e < kExchanges; ++e) {
    const double lastWritten = now + 3 * (kPauseMs + step);
    ReplyArrivals arrivals{};
    for (std::size_t k = 0; k < arrivals.size(); ++k) {
      arrivals[k] = lastWritten + kByteMs * double(k + 2);
    }
    double read = lastWritten + 2 * kPauseMs + step;
    for (std::size_t k = 0; k < arrivals.size(); ++k) {
      read = std::max(read, handedOver(arrivals, k)) + kPauseMs + step;
    }
    now = read - kPauseMs;
  }
  return now;
}

// Each byte at once.
double InstantExchangesMs() {
  return ExchangesMs([](const ReplyArrivals& arrivals, std::size_t k) { return arrivals[k]; });
}

// How much longer a whole write takes than with every byte handed over at once, in percent.
double CostPercent(double exchangesMs) {
  const double instant = InstantExchangesMs();
  return 100 * (exchangesMs - instant) / (instant + kAroundExchangesMs);
}

// "about 8 % longer ... at 16 ms" from the cost text of the size of `percent`.
std::string CostText(double percent, int value, const TextSet& texts) {
  const long rounded = std::lround(percent);
  std::string cost = Replace(rounded < 1 ? texts.latencySmallCost : texts.latencyCost, "%1",
                             std::to_string(rounded));
  return Replace(cost, "%2", std::to_string(value));
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
  for (int p = 0; p < kPhases; ++p) {
    // The timer ticks every `timerMs` from time zero and first `phase` after the write starts.
    const double phase = timerMs * p / double(kPhases);
    total += ExchangesMs([&](const ReplyArrivals& arrivals, std::size_t k) {
      return std::ceil((arrivals[k] - phase) / timerMs) * timerMs + phase;
    });
  }
  return CostPercent(total / kPhases);
}

double UartTriggerCostPercent(int trigger) {
  if (trigger <= 1) return 0;
  return CostPercent(ExchangesMs([&](const ReplyArrivals& arrivals, std::size_t k) {
    // Bytes go over in groups of `trigger` as each group's last byte arrives; a group the reply
    // does not fill waits for the character time-out after the reply's last byte.
    const auto group = static_cast<std::size_t>(trigger);
    const std::size_t groupEnd = (k / group + 1) * group - 1;
    return groupEnd < arrivals.size() ? arrivals[groupEnd]
                                      : arrivals.back() + kUartTimeOutBytes * kByteMs;
  }));
}

std::string LatencyTimerValue(int timerMs, const TextSet& texts) {
  return Replace(texts.latencyValue, "%2", std::to_string(timerMs));
}

std::string LatencyTimerAdvice(int timerMs, PortSystem system, const TextSet& texts) {
  if (timerMs <= kHarmlessLatencyTimerMs) return {};
  return CostText(LatencyTimerCostPercent(timerMs), timerMs, texts) + ". " +
         (system == PortSystem::kWindows ? texts.latencyWindowsRemedy : texts.latencyLinuxRemedy);
}

std::string UartTriggerValue(int trigger, const TextSet& texts) {
  return Replace(texts.fifoValue, "%2", std::to_string(trigger));
}

std::string UartTriggerAdvice(int trigger, const TextSet& texts) {
  if (trigger <= 1) return {};
  const std::string cost =
      Replace(texts.fifoCost, "%1", std::to_string(std::lround(UartTriggerCostPercent(trigger))));
  return Replace(cost, "%2", std::to_string(trigger)) + ". " + texts.fifoRemedy;
}

std::string HoldBackValue(std::optional<int> timerMs, std::optional<int> fifoTrigger,
                          const TextSet& texts) {
  if (timerMs) return LatencyTimerValue(*timerMs, texts);
  return fifoTrigger ? UartTriggerValue(*fifoTrigger, texts) : std::string();
}

std::string HoldBackAdvice(std::optional<int> timerMs, std::optional<int> fifoTrigger,
                           PortSystem system, const TextSet& texts) {
  if (timerMs) return LatencyTimerAdvice(*timerMs, system, texts);
  return fifoTrigger ? UartTriggerAdvice(*fifoTrigger, texts) : std::string();
}

}  // namespace quorvex
