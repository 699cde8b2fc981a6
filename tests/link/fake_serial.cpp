// A scripted card behind a fake serial line: requests recorded, replies as each is told.
#include "tests/link/fake_serial.h"

#include <chrono>

namespace quorvex::testing {

std::vector<std::uint16_t> FakeCard::RequestedRegisters() const {
  std::vector<std::uint16_t> out;
  out.reserve(requests.size());
  for (const auto& f : requests) {
    out.push_back(static_cast<std::uint16_t>(((f[0] & 0x7F) << 8) | f[1]));
  }
  return out;
}

std::vector<std::optional<std::uint8_t>> FakeCard::Receive(std::uint8_t b) {
  partial_.push_back(b);
  if (partial_.size() < 4) return {};
  const RequestFrame frame{partial_[0], partial_[1], partial_[2], partial_[3]};
  partial_.clear();
  requests.push_back(frame);
  return Answer(frame);
}

CardAnswer FakeCard::NextAnswer(std::uint16_t address) {
  if (auto it = registerAnswers.find(address); it != registerAnswers.end() && !it->second.empty()) {
    CardAnswer a = it->second.front();
    it->second.pop_front();
    return a;
  }
  if (!nextAnswers.empty()) {
    CardAnswer a = nextAnswers.front();
    nextAnswers.pop_front();
    return a;
  }
  return silent ? CardAnswer::Silent : CardAnswer::Normal;
}

std::vector<std::optional<std::uint8_t>> FakeCard::Answer(const RequestFrame& frame) {
  // A garbled request is ignored, as a real card would have to.
  if (frame[3] != (frame[0] | frame[1] | frame[2])) return {};
  const auto address = static_cast<std::uint16_t>(((frame[0] & 0x7F) << 8) | frame[1]);
  const bool read = (frame[0] & 0x80) != 0;
  const CardAnswer answer = NextAnswer(address);
  if (answer == CardAnswer::Silent) return {};

  std::uint8_t value = 0;
  if (answer != CardAnswer::BadCheck) {
    if (address < kRegisterCount) {
      if (!read) registers[address] = frame[2];
      value = registers[address];
    }
  } else if (address < kRegisterCount) {
    value = registers[address];
  }

  std::uint8_t r0 = frame[0];
  std::uint8_t r1 = frame[1];
  if (answer == CardAnswer::ForeignHeader) {
    r0 = 0x12;
    r1 = 0x34;
  }
  auto check = static_cast<std::uint8_t>(r0 | r1 | value);
  if (answer == CardAnswer::BadCheck) check = static_cast<std::uint8_t>(~check);
  if (answer == CardAnswer::MissingThirdByte) return {r0, r1, std::nullopt, check};
  return {r0, r1, value, check};
}

FakeSerialPorts::FakeSerialPorts(FakeClock& clock, int cardPort)
    : present{cardPort}, clock_(clock), cardPort_(cardPort) {}

void FakeSerialPorts::Trace(const std::string& event) {
  if (trace) trace->push_back("port:" + event);
}

std::unique_ptr<SerialLine> FakeSerialPorts::Open(int portNumber) {
  if (onOpen) onOpen(portNumber);
  const std::string name = "open " + std::to_string(portNumber);
  if (!present.count(portNumber) || heldByOthers.count(portNumber) || held_.count(portNumber)) {
    Trace(name + " refused");
    return nullptr;
  }
  Trace(name);
  return std::make_unique<FakeSerialLine>(*this, portNumber);
}

FakeSerialLine::FakeSerialLine(FakeSerialPorts& ports, int portNumber)
    : ports_(ports), port_(portNumber) {
  ports_.held_.insert(port_);
}

FakeSerialLine::~FakeSerialLine() {
  ports_.held_.erase(port_);
  ports_.Trace("close");
}

void FakeSerialLine::Configure() {
  ports_.Trace("configure");
  if (!HasCard()) return;
  ports_.incoming.clear();
  ports_.card.DropPartialFrame();
}

void FakeSerialLine::SetRts(bool on) {
  ports_.Trace(on ? "rts on" : "rts off");
  if (HasCard()) ports_.rts_ = on;
}

bool FakeSerialLine::WriteByte(std::uint8_t b) {
  if (!HasCard()) return true;
  ports_.written.push_back(b);
  for (const auto& reply : ports_.card.Receive(b)) ports_.incoming.push_back(reply);
  return true;
}

bool FakeSerialLine::ReadByte(std::uint8_t& b) {
  if (HasCard() && !ports_.incoming.empty()) {
    const std::optional<std::uint8_t> next = ports_.incoming.front();
    ports_.incoming.pop_front();
    if (next) {
      b = *next;
      return true;
    }
  }
  ports_.clock_.Advance(std::chrono::milliseconds(FakeSerialPorts::kReadTimeoutMs));
  return false;
}

}  // namespace quorvex::testing
