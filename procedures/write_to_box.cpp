// Write to box: prompts, RTS, the KonfigByte and each channel's registers in turn, closing steps.
#include "procedures/write_to_box.h"

#include <string>

#include "core/app_context.h"
#include "core/channel_panel.h"
#include "core/config_image.h"
#include "core/encoding.h"
#include "core/operator.h"
#include "link/clock.h"
#include "link/com_port.h"
#include "procedures/channel_check.h"
#include "procedures/transfer_steps.h"

namespace quorvex {

namespace {

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

}  // namespace quorvex
