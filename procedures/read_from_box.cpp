// Read from box: prompts, RTS, the KonfigByte and each channel's registers in turn, closing steps.
#include "procedures/read_from_box.h"

#include <string>

#include "core/app_context.h"
#include "core/channel_editing.h"
#include "core/channel_panel.h"
#include "core/config_image.h"
#include "core/encoding.h"
#include "core/operator.h"
#include "link/com_port.h"
#include "procedures/transfer_steps.h"

namespace quorvex {

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
