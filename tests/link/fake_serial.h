// The fake serial line and the scripted card behind it, on the fake clock.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/app_context.h"
#include "link/com_port.h"
#include "link/register_exchange.h"
#include "link/serial_line.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_operator.h"

namespace quorvex::testing {

// How the card treats one request frame.
enum class CardAnswer {
  Normal,            // a write is stored; reply r0 r1 value r0|r1|value
  Silent,            // the frame is lost on the way: nothing stored, no reply
  BadCheck,          // nothing stored; a reply whose check byte is wrong
  MissingThirdByte,  // stored like Normal, but the third reply byte never arrives
  ForeignHeader,     // stored like Normal; reply 0x12 0x34 value, check over those
};

// A scripted card: a register memory plus fault answers chosen per request.
class FakeCard {
 public:
  static constexpr std::size_t kRegisterCount = 41;

  // Requests beyond the memory read 0 and their writes are dropped.
  std::array<std::uint8_t, kRegisterCount> registers{};
  bool silent = false;  // answers nothing at all
  // Answers for the next requests naming one register, front first; they win over nextAnswers.
  std::map<std::uint16_t, std::deque<CardAnswer>> registerAnswers;
  // Answers for the next requests whatever they name, front first.
  std::deque<CardAnswer> nextAnswers;

  // Every complete request frame received, repeats included.
  std::vector<RequestFrame> requests;
  // The register address named by each request, in order.
  std::vector<std::uint16_t> RequestedRegisters() const;

  // Takes one byte from the line; returns the reply bytes (nullopt: a byte that never comes).
  std::vector<std::optional<std::uint8_t>> Receive(std::uint8_t b);
  // A partly received frame is dropped (the PC purged the line).
  void DropPartialFrame() { partial_.clear(); }

 private:
  std::vector<std::optional<std::uint8_t>> Answer(const RequestFrame& frame);
  CardAnswer NextAnswer(std::uint16_t address);
  std::vector<std::uint8_t> partial_;
};

// Ports COM n of a test. The card sits on one port; other present ports have nothing attached.
// A read that gets nothing moves the fake clock on by the 250 ms time-out of a real line.
class FakeSerialPorts : public SerialPorts {
 public:
  static constexpr int kReadTimeoutMs = 250;

  explicit FakeSerialPorts(FakeClock& clock, int cardPort = 3);

  std::unique_ptr<SerialLine> Open(int portNumber) override;
  void SetLineReport(LineReport report) override { lineReport = std::move(report); }

  FakeCard card;
  LineReport lineReport;            // as the port's user last set it
  std::set<int> present;            // ports that exist; the card's port by default
  std::set<int> heldByOthers;       // ports another program has open
  std::function<void(int)> onOpen;  // runs at the start of every Open, before the checks
  // When set, port events are appended as "port:open 3", "port:open 3 refused",
  // "port:configure", "port:rts on", "port:rts off", "port:close".
  std::vector<std::string>* trace = nullptr;

  // What the PC will read next, front first; nullopt is a read that gets nothing.
  std::deque<std::optional<std::uint8_t>> incoming;
  // Bytes as they were written to the card's port, in order.
  std::vector<std::uint8_t> written;

  bool IsHeld(int portNumber) const { return held_.count(portNumber) != 0; }
  bool Rts() const { return rts_; }
  int cardPort() const { return cardPort_; }

 private:
  friend class FakeSerialLine;
  void Trace(const std::string& event);

  FakeClock& clock_;
  int cardPort_;
  std::set<int> held_;
  bool rts_ = false;
};

class FakeSerialLine : public SerialLine {
 public:
  FakeSerialLine(FakeSerialPorts& ports, int portNumber);
  ~FakeSerialLine() override;
  void Configure() override;
  void SetRts(bool on) override;
  bool WriteByte(std::uint8_t b) override;
  bool ReadByte(std::uint8_t& b) override;

 private:
  bool HasCard() const { return port_ == ports_.cardPort_; }
  FakeSerialPorts& ports_;
  int port_;
};

// A ComPort for COM3 of fake ports with the card attached, on virtual time from 0.
struct ComPortRig {
  ComPortRig() { ctx.comPortNumber = 3; }
  long long ElapsedMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               clock.Now() - std::chrono::steady_clock::time_point{})
        .count();
  }

  FakeClock clock;
  FakeSerialPorts ports{clock};
  FakeOperator op;
  AppContext ctx;
  ComPort port{ports, clock, op, ctx};
};

}  // namespace quorvex::testing
