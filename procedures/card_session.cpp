// The card session: the seams of one card built once, each command run on them.
#include "procedures/card_session.h"

#include "core/channel_panel.h"
#include "link/clock.h"
#include "procedures/load_configuration.h"
#include "procedures/read_from_box.h"
#include "procedures/save_configuration.h"
#include "procedures/write_to_box.h"

namespace quorvex {

CardSession::CardSession(ChannelPanel& panel, Operator& op, SerialPorts& ports, Clock& clock,
                         AppContext& ctx)
    : panel_(panel), op_(op), clock_(clock), ctx_(ctx), port_(ports, clock, op, ctx) {}

TransferSeams CardSession::Seams() {
  // A record left from an earlier transfer would pass its registers off as this one's.
  record_ = {};
  return {panel_, op_, port_, clock_, ctx_, registerAddress_, &record_};
}

// Each transfer holds fine pauses from its start to its end, whichever way it ends, so its 10 ms
// byte pauses last 10 ms on Windows too; between transfers the system's coarse tick saves power.
TransferOutcome CardSession::Write() {
  const FinePauses fine(clock_);
  TransferSeams s = Seams();
  return SendenClick(s);
}

TransferOutcome CardSession::Read() {
  const FinePauses fine(clock_);
  TransferSeams s = Seams();
  return EmpfangenClick(s);
}

TransferOutcome CardSession::ReadAside() {
  const FinePauses fine(clock_);
  TransferSeams s = Seams();
  MemoryPanel card;
  return ReadCardAside(s, card);
}

CardComparison CardSession::Compare() {
  const FinePauses fine(clock_);
  TransferSeams s = Seams();
  return CompareWithBox(s);
}

bool CardSession::Load(std::string& rememberedFileName) {
  return Konfigurationladen1Click(panel_, op_, ctx_, rememberedFileName);
}

void CardSession::LoadFile(std::string& rememberedFileName, const std::string& path) {
  LoadKfgFile(panel_, op_, ctx_, path);
  rememberedFileName = path;
}

bool CardSession::Save(std::string& rememberedFileName) {
  return Konfigurationspeichern1Click(panel_, op_, ctx_, rememberedFileName);
}

}  // namespace quorvex
