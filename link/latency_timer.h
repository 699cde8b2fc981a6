// A USB serial adapter's latency timer and a PC's own UART's receive trigger: what each costs a
// transfer and what to do about it.
#pragma once

#include <optional>
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

// A PC's own UART (Windows' serial driver) with this receive trigger, 1 to 14 bytes: how much
// longer a whole write takes than with a 1-byte trigger, in percent.
double UartTriggerCostPercent(int trigger);

// "receive FIFO trigger 8".
std::string UartTriggerValue(int trigger, const TextSet& texts = EnglishTextSet());

// For a trigger above 1 its cost, what the program does about it and the remedy for other
// programs; "" for a 1-byte trigger.
std::string UartTriggerAdvice(int trigger, const TextSet& texts = EnglishTextSet());

// What holds the card's reply back on a port, in the latency timer's column: its adapter's timer,
// else its UART's receive trigger; "" when it has neither.
std::string HoldBackValue(std::optional<int> timerMs, std::optional<int> fifoTrigger,
                          const TextSet& texts = EnglishTextSet());

// The advice about either, "" when it costs nothing worth telling.
std::string HoldBackAdvice(std::optional<int> timerMs, std::optional<int> fifoTrigger,
                           PortSystem system, const TextSet& texts = EnglishTextSet());

}  // namespace quorvex
