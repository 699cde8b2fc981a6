// The steps Write to box and Read from box share, with their texts and pauses.
#include "procedures/transfer_steps.h"

#include "core/app_context.h"
#include "core/operator.h"
#include "link/clock.h"
#include "link/com_port.h"

namespace quorvex {

namespace {
constexpr int kTransmissionErrorMs = 1000;
}  // namespace

std::string PortNumberText(const TransferSeams& s) {
  return std::to_string(s.ctx.comPortNumber);
}

void ShowPortNotAvailable(TransferSeams& s) {
  s.op.MessageBox(
      kApplicationTitle,
      s.ctx.texts.portNotAvailableStart + PortNumberText(s) + s.ctx.texts.portNotAvailableEnd,
      BoxIcon::None);
}

void ShowConnectPrompt(TransferSeams& s) {
  s.op.MessageBox(s.ctx.texts.transferCaption, s.ctx.texts.connectPrompt + PortNumberText(s),
                  BoxIcon::None);
}

void ShowReleasePrompt(TransferSeams& s) {
  s.op.MessageBox(s.ctx.texts.transferCaption, s.ctx.texts.releasePrompt, BoxIcon::None);
}

void ShowTransmissionError(TransferSeams& s, bool ok) {
  if (ok) return;
  s.op.ShowStatus(s.ctx.texts.transmissionError);
  s.clock.Sleep(kTransmissionErrorMs);
}

void PulseRts(TransferSeams& s) {
  s.port.ClearRts();
  s.clock.Sleep(kRtsPulseMs);
  s.port.SetRts();
}

bool ExchangeRegister(TransferSeams& s, std::uint16_t address, std::uint8_t data,
                      Direction direction, std::uint8_t& reply) {
  const bool ok = RegisterExchange(s.port, address, data, direction, reply);
  if (s.record != nullptr && address < kConfigImageSize) {
    s.record->good[address] = ok;
    s.record->values[address] = reply;
  }
  return ok;
}

TransferOutcome OutcomeOf(const TransferSeams& s, bool allExchanged) {
  if (!s.port.IsOpen()) return TransferOutcome::PortNotAvailable;
  return allExchanged ? TransferOutcome::Done : TransferOutcome::Failed;
}

}  // namespace quorvex
