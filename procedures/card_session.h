// One card on one port and the operator's commands for it, as every front end builds it.
#pragma once

#include <cstdint>
#include <string>

#include "link/com_port.h"
#include "procedures/compare_with_box.h"
#include "procedures/transfer_seams.h"

namespace quorvex {

class ChannelPanel;
class Clock;
class Operator;
class SerialPorts;
struct AppContext;

// The panel, the operator, the port, the clock and the context of one card, with the register
// address and the record its transfers keep. The panel, operator, ports, clock and context stay
// the front end's, so it plugs in its own: a decorator of the ports that traces the line, a
// clock that a Ctrl+C interrupts. The session keeps nothing anywhere else, so sessions on
// several threads at once share no mutable state as long as each is given its own five.
class CardSession {
 public:
  CardSession(ChannelPanel& panel, Operator& op, SerialPorts& ports, Clock& clock, AppContext& ctx);
  CardSession(const CardSession&) = delete;
  CardSession& operator=(const CardSession&) = delete;

  // Write to box: the check, then the panel's bytes.
  TransferOutcome Write();
  // Read from box: the card's bytes onto the panel.
  TransferOutcome Read();
  // The card's bytes alone (in Record()), read as Read from box reads; the panel stays as it is.
  TransferOutcome ReadAside();
  // Compare with box, its box left to the front end.
  CardComparison Compare();
  // Load configuration... and Save configuration... on the session's panel; true when a file
  // was loaded or written.
  bool Load(std::string& rememberedFileName);
  bool Save(std::string& rememberedFileName);
  // The file at `path` loaded as Load configuration... loads the file chosen in its dialog. It
  // becomes the remembered file once it is loaded: a file named at start that cannot be read
  // leaves everything as it was, so the window goes on as started without it.
  void LoadFile(std::string& rememberedFileName, const std::string& path);

  // What the last transfer exchanged; cleared as each transfer starts.
  const RegisterRecord& Record() const { return record_; }
  std::uint16_t RegisterAddress() const { return registerAddress_; }

 private:
  TransferSeams Seams();

  ChannelPanel& panel_;
  Operator& op_;
  Clock& clock_;
  AppContext& ctx_;
  ComPort port_;
  std::uint16_t registerAddress_ = 0;
  RegisterRecord record_;
};

}  // namespace quorvex
