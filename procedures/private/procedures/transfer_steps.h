// The steps Write to box and Read from box share: prompts, RTS pulse, closing steps, exchanges.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "link/register_exchange.h"
#include "procedures/transfer_seams.h"

namespace quorvex {

inline constexpr int kRtsPulseMs = 50;
inline constexpr int kBeforeCloseMs = 150;

// Runs a transfer's closing steps in order when the transfer is left, whichever way. A step that
// throws does not keep the later ones from running. Its error goes on to the caller afterwards,
// unless the transfer is already being left by an error of its own: that one is what the
// operator has to see.
class ClosingSteps {
 public:
  explicit ClosingSteps(std::initializer_list<std::function<void()>> steps) : steps_(steps) {}
  ClosingSteps(const ClosingSteps&) = delete;
  ClosingSteps& operator=(const ClosingSteps&) = delete;

  ~ClosingSteps() noexcept(false) {
    std::exception_ptr firstError;
    for (const auto& step : steps_) {
      try {
        step();
      } catch (...) {
        if (!firstError) firstError = std::current_exception();
      }
    }
    if (firstError && std::uncaught_exceptions() == uncaughtAtStart_) {
      std::rethrow_exception(firstError);
    }
  }

 private:
  std::vector<std::function<void()>> steps_;
  int uncaughtAtStart_ = std::uncaught_exceptions();
};

std::string PortNumberText(const TransferSeams& s);
void ShowPortNotAvailable(TransferSeams& s);
void ShowConnectPrompt(TransferSeams& s);
void ShowReleasePrompt(TransferSeams& s);
// "Transmission error" and a 1000 ms pause when ok is false.
void ShowTransmissionError(TransferSeams& s, bool ok);

// The card samples RTS after the open; low, then high, tells it a transfer begins.
void PulseRts(TransferSeams& s);

// The exchange of one register, noted in the caller's record when it asked for one.
bool ExchangeRegister(TransferSeams& s, std::uint16_t address, std::uint8_t data,
                      Direction direction, std::uint8_t& reply);

// The port could not be opened after the probe found it free (someone took it in between): the
// transfer runs on as it always has, but its caller learns why nothing came back.
TransferOutcome OutcomeOf(const TransferSeams& s, bool allExchanged);

}  // namespace quorvex
