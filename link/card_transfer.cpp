// Write to box and Read from box: prompts, RTS, each register in turn, closing steps.
#include "link/card_transfer.h"

#include <exception>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/app_context.h"
#include "core/channel_editing.h"
#include "core/channel_panel.h"
#include "core/config_image.h"
#include "core/encoding.h"
#include "core/operator.h"
#include "link/clock.h"
#include "link/com_port.h"
#include "link/register_exchange.h"

namespace quorvex {

namespace {

constexpr int kRtsPulseMs = 50;
constexpr int kBeforeCloseMs = 150;
constexpr int kTransmissionErrorMs = 1000;

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

std::string PortNumberText(const TransferSeams& s) {
  return std::to_string(s.ctx.comPortNumber);
}

void ShowPortNotAvailable(TransferSeams& s) {
  s.op.MessageBox(kApplicationTitle, "Port COM" + PortNumberText(s) + " not available.",
                  BoxIcon::None);
}

void ShowConnectPrompt(TransferSeams& s) {
  s.op.MessageBox(s.ctx.texts.transferCaption,
                  "Connect analog box to PC via COM" + PortNumberText(s), BoxIcon::None);
}

void ShowReleasePrompt(TransferSeams& s) {
  s.op.MessageBox(s.ctx.texts.transferCaption, s.ctx.texts.releasePrompt, BoxIcon::None);
}

// The card samples RTS after the open; low, then high, tells it a transfer begins.
void PulseRts(TransferSeams& s) {
  s.port.ClearRts();
  s.clock.Sleep(kRtsPulseMs);
  s.port.SetRts();
}

// The exchange of one register, noted in the caller's record when it asked for one.
bool ExchangeRegister(TransferSeams& s, std::uint16_t address, std::uint8_t data,
                      Direction direction, std::uint8_t& reply) {
  const bool ok = RegisterExchange(s.port, address, data, direction, reply);
  if (s.record != nullptr && address < kConfigImageSize) {
    s.record->good[address] = ok;
    s.record->values[address] = reply;
  }
  return ok;
}

// The port could not be opened after the probe found it free (someone took it in between): the
// transfer runs on as it always has, but its caller learns why nothing came back.
TransferOutcome OutcomeOf(const TransferSeams& s, bool allExchanged) {
  if (!s.port.IsOpen()) return TransferOutcome::PortNotAvailable;
  return allExchanged ? TransferOutcome::Done : TransferOutcome::Failed;
}

// One write at the current register; the address moves on whatever the outcome, so every byte
// keeps its own register even after a failure.
bool WriteNextRegister(TransferSeams& s, std::uint8_t value) {
  std::uint8_t reply = 0;
  const bool ok = ExchangeRegister(s, s.registerAddress, value, Direction::Write, reply);
  ++s.registerAddress;
  ShowTransmissionError(s, ok);
  return ok;
}

bool SendChannelNoting(TransferSeams& s, int channel, bool& allWritten) {
  const std::string n = std::to_string(channel);
  s.op.ShowStatus(s.ctx.texts.transmittingChannel + " " + n);
  const ChannelImage bytes = EncodeChannel(s.panel, channel);
  s.op.AddDebugLine("Kanal " + n);
  s.op.AddDebugLine("GasByte:" + std::to_string(bytes[0]) + " OffsetByte:" +
                    std::to_string(bytes[1]) + " BereichsByte:" + std::to_string(bytes[2]) +
                    " MessbereichsWord:" + std::to_string(MessbereichsWordOf(bytes.data())));

  bool lastWritten = false;
  for (std::uint8_t b : bytes) {
    lastWritten = WriteNextRegister(s, b);
    if (!lastWritten) allWritten = false;
  }
  // Only the last byte decides whether the next channel is sent, as the card has always been
  // driven; the others are reported and counted in the final status.
  return lastWritten;
}

}  // namespace

void ShowTransmissionError(TransferSeams& s, bool ok) {
  if (ok) return;
  s.op.ShowStatus(s.ctx.texts.transmissionError);
  s.clock.Sleep(kTransmissionErrorMs);
}

TransferOutcome SendenClick(TransferSeams& s) {
  s.op.ShowStatus(s.ctx.texts.sending + "...");
  if (!ValidateAllChannels(s.panel, s.op, s.ctx)) return TransferOutcome::NotValid;
  return SendConfiguration(s);
}

TransferOutcome SendConfiguration(TransferSeams& s) {
  if (!s.port.ComPortAvailable(s.ctx.comPortNumber)) {
    ShowPortNotAvailable(s);
    return TransferOutcome::PortNotAvailable;
  }
  ClosingSteps closing{[&] { s.clock.Sleep(kBeforeCloseMs); }, [&] { s.port.ClearRts(); },
                       [&] { s.port.CloseComPort(); }, [&] { s.op.SetWaitCursor(false); },
                       [&] { ShowReleasePrompt(s); }};

  ShowConnectPrompt(s);
  s.op.SetWaitCursor(true);
  s.port.OpenComPort();
  const std::uint8_t konfigByte = EncodeKonfigByte(s.panel);
  s.registerAddress = 0;
  PulseRts(s);
  s.clock.Sleep(kRtsPulseMs);
  s.op.AddDebugLine("");
  s.op.AddDebugLine("KonfigByte:" + std::to_string(konfigByte));

  std::uint8_t reply = 0;
  bool allWritten = ExchangeRegister(s, s.registerAddress, konfigByte, Direction::Write, reply);
  if (allWritten) {
    ++s.registerAddress;
    for (int channel = 1; channel <= kChannelCount; ++channel) {
      if (!SendChannelNoting(s, channel, allWritten)) break;
    }
  }
  // "Written" only when the card took every byte; anything less is a write error the operator
  // has to act on.
  s.op.ShowStatus(allWritten ? s.ctx.texts.written
                             : s.ctx.texts.writeError + " " + PortNumberText(s));
  // A channel left out after a failed last byte counts as not written.
  const bool everyRegister = s.registerAddress == kConfigImageSize;
  return OutcomeOf(s, allWritten && everyRegister);
}

bool SendChannel(TransferSeams& s, int channel) {
  bool allWritten = true;
  return SendChannelNoting(s, channel, allWritten);
}

TransferOutcome EmpfangenClick(TransferSeams& s) {
  if (!s.port.ComPortAvailable(s.ctx.comPortNumber)) {
    ShowPortNotAvailable(s);
    return TransferOutcome::PortNotAvailable;
  }
  ClosingSteps closing{[&] { s.port.CloseComPort(); }, [&] { RefreshAllChannels(s.panel); },
                       [&] { s.op.SetWaitCursor(false); }, [&] { ShowReleasePrompt(s); }};

  s.op.ShowStatus(s.ctx.texts.received + "...");
  s.port.OpenComPort();
  ShowConnectPrompt(s);
  s.op.SetWaitCursor(true);
  s.registerAddress = 0;
  PulseRts(s);

  bool ok = false;
  const std::uint8_t konfigByte = ReceiveKonfigByte(s, ok);
  if (!ok) {
    // Without a trustworthy KonfigByte no unit can be set, and offsets and ranges would be
    // decoded in the wrong unit: leave the settings as they are.
    s.op.ShowStatus(s.ctx.texts.readError);
    return OutcomeOf(s, false);
  }
  for (int channel = 1; channel <= kChannelCount; ++channel) {
    s.op.ProcessPendingEvents();
    if (!ReceiveChannel(s, channel, konfigByte)) return OutcomeOf(s, false);
  }
  return OutcomeOf(s, true);
}

std::uint8_t ReceiveKonfigByte(TransferSeams& s, bool& ok) {
  std::uint8_t konfigByte = 0;
  ok = ExchangeRegister(s, 0, 0, Direction::Read, konfigByte);
  ShowTransmissionError(s, ok);
  return konfigByte;
}

bool ReceiveChannel(TransferSeams& s, int channel, std::uint8_t konfigByte) {
  s.op.ShowStatus(s.ctx.texts.receivingChannel + " " + std::to_string(channel));
  ChannelImage bytes{};
  auto address = static_cast<std::uint16_t>(ChannelOffset(channel));
  bool good = true;
  for (std::uint8_t& b : bytes) {
    if (!ExchangeRegister(s, address++, 0, Direction::Read, b)) {
      good = false;
      break;
    }
  }
  ShowTransmissionError(s, good);
  if (!good) {
    s.op.ShowStatus(s.ctx.texts.readError);
    return false;
  }
  // The unit first: offset and range are decoded in the unit selected at that moment.
  DecodeUnitBit(s.panel, channel, konfigByte);
  ApplyChannel(s.panel, channel, bytes.data());
  s.op.ShowStatus(s.ctx.texts.loadedStart + " " + s.ctx.texts.loadedEnd);
  return true;
}

}  // namespace quorvex
