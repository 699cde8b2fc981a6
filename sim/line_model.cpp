// The line and adapter model: bytes queued at ten bit times each, handed over at timer ticks.
#include "sim/line_model.h"

#include <algorithm>

namespace quorvex::sim {

namespace {

constexpr long long kBitsPerByte = 10;  // start bit, eight data bits, stop bit

Micros TimeOfOneByte(unsigned baud) {
  return baud == 0 ? Micros(0) : Micros(kBitsPerByte * 1'000'000 / baud);
}

// Queues `bytes` behind the ones still on the line; `free` is when the line is free again.
void Queue(std::deque<TimedByte>& queue, Micros& free, std::span<const std::uint8_t> bytes,
           Micros now, Micros byteTime) {
  for (const std::uint8_t b : bytes) {
    free = std::max(free, now) + byteTime;
    queue.push_back({b, free});
  }
}

}  // namespace

LineModel::LineModel(LineSettings settings)
    : byteTime_(TimeOfOneByte(settings.baud)),
      latency_(settings.adapterLatency),
      uartTrigger_(std::max(1u, settings.uartTrigger)) {}

void LineModel::FromProgram(std::span<const std::uint8_t> bytes, Micros now) {
  Queue(toCard_, toCardFree_, bytes, now, byteTime_);
}

Micros LineModel::FromCard(std::span<const std::uint8_t> bytes, Micros now) {
  Queue(toAdapter_, fromCardFree_, bytes, now, byteTime_);
  return std::max(fromCardFree_, now);
}

std::vector<TimedByte> LineModel::TakeArrivedAtCard(Micros now) {
  std::vector<TimedByte> arrived;
  while (!toCard_.empty() && toCard_.front().at <= now) {
    arrived.push_back(toCard_.front());
    toCard_.pop_front();
  }
  return arrived;
}

std::optional<Micros> LineModel::NextHandOver() const {
  if (toAdapter_.empty()) return std::nullopt;
  const Micros first = toAdapter_.front().at;
  if (!HoldsBack()) return first;
  if (latency_.count() == 0) {
    // The UART: when the trigger's byte arrives, or when the character time-out runs out first.
    constexpr int kTimeOutBytes = 4;
    for (std::size_t i = 0;; ++i) {
      if (i + 1 == uartTrigger_) return toAdapter_[i].at;
      const Micros timeOut = toAdapter_[i].at + kTimeOutBytes * byteTime_;
      if (i + 1 == toAdapter_.size() || toAdapter_[i + 1].at >= timeOut) return timeOut;
    }
  }
  // The first tick at or after the oldest waiting byte, unless the buffer fills before it.
  const Micros tick = (first + latency_ - Micros(1)) / latency_ * latency_;
  if (toAdapter_.size() >= kAdapterBuffer && toAdapter_[kAdapterBuffer - 1].at < tick) {
    return toAdapter_[kAdapterBuffer - 1].at;
  }
  return tick;
}

std::vector<TimedByte> LineModel::TakeDeliveredToProgram(Micros now) {
  std::vector<TimedByte> delivered;
  for (std::optional<Micros> handOver = NextHandOver(); handOver && *handOver <= now;
       handOver = NextHandOver()) {
    while (!toAdapter_.empty() && toAdapter_.front().at <= *handOver) {
      delivered.push_back({toAdapter_.front().byte, *handOver});
      toAdapter_.pop_front();
    }
  }
  return delivered;
}

std::optional<Micros> LineModel::NextDue() const {
  std::optional<Micros> next = NextHandOver();
  if (!toCard_.empty() && (!next || toCard_.front().at < *next)) next = toCard_.front().at;
  return next;
}

}  // namespace quorvex::sim
