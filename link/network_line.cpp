// A device server's port as the card's line (TCP with or without RFC 2217), and the ports whose
// assigned COM numbers lead to such ports.
#include "link/network_line.h"

#include <algorithm>
#include <chrono>
#include <deque>
#include <vector>

#include "link/line_faults.h"
#include "link/rfc2217.h"
#include "link/tcp_connection.h"

namespace quorvex {

namespace {

using SteadyTime = std::chrono::steady_clock;

// A server that is down or unreachable must not hold a transfer (or a sweep of the COM port
// dialog) for the system's minutes-long connect time-out.
constexpr std::chrono::milliseconds kConnectTimeout{3000};
constexpr std::chrono::milliseconds kNegotiationTimeout{3000};
// How long a closed line waits for the server to end the session: socat's child keeps its side
// for half a second after the end of our stream.
constexpr std::chrono::milliseconds kCloseWait{1000};
// A busy raw port is accepted and closed at once with a line of text (ser2net: "Port already in
// use"), which arrives about one round trip after the connect is complete; a free one sends
// nothing until the card speaks, so only a wait can tell them apart. The wait follows the round
// trip the connect took, never below what a LAN needs nor above the connect time-out.
constexpr std::chrono::milliseconds kRawRefusalWait{25};
constexpr int kRawRefusalRoundTrips = 4;

std::chrono::milliseconds RawRefusalWait(std::chrono::steady_clock::duration connectTime) {
  const auto scaled =
      std::chrono::ceil<std::chrono::milliseconds>(connectTime * kRawRefusalRoundTrips);
  return std::clamp(scaled, kRawRefusalWait, kConnectTimeout);
}

// The server's words before it closed, as far as they are printable text.
std::string ServerText(const std::deque<std::uint8_t>& received) {
  std::string text;
  for (std::uint8_t b : received) {
    if (b >= 0x20 && b < 0x7F) text += static_cast<char>(b);
    if (text.size() >= 80) break;
  }
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

// The TCP session to the server's port as the card's line; what travels on it besides the
// card's bytes is the protocol's, in the classes below.
class NetworkLine : public SerialLine {
 public:
  NetworkLine(std::unique_ptr<TcpConnection> connection, const NetworkEndpoint& endpoint,
              const LineReport& report)
      : connection_(std::move(connection)),
        port_(NetworkEndpointUrl(endpoint)),
        report_(report),
        faults_(port_, report) {}
  ~NetworkLine() override { LetGo(); }
  NetworkLine(const NetworkLine&) = delete;
  NetworkLine& operator=(const NetworkLine&) = delete;

  // Whether the server serves the port to us; `reason` when it does not.
  virtual bool Ready(std::string& reason) = 0;

  void Configure() override {
    // What came before the transfer is not the card's answer to it.
    while (!closed_ && Pump(SteadyTime::now())) {
    }
    received_.clear();
    Purge();
  }

  bool ReadByte(std::uint8_t& b) override {
    const auto deadline = SteadyTime::now() + kByteTimeout;
    while (received_.empty()) {
      if (closed_ || SteadyTime::now() >= deadline) return false;
      Pump(deadline);
    }
    b = received_.front();
    received_.pop_front();
    return true;
  }

 protected:
  // The server's own queues emptied, where the protocol can ask for it.
  virtual void Purge() {}
  // Received bytes: the card's go to `received_`.
  virtual void Take(const std::uint8_t* bytes, std::size_t count) = 0;

  // Takes what arrives by the deadline; true when something came.
  bool Pump(TcpConnection::Deadline deadline) {
    std::uint8_t buffer[512];
    int error = 0;
    const long n = connection_->Receive(buffer, sizeof buffer, deadline, error);
    if (n < 0) {
      closed_ = true;
      if (error == 0) {
        faults_.Note("the server closed the connection");
      } else {
        faults_.Failed("recv", static_cast<unsigned long>(error));
      }
      return false;
    }
    if (n == 0) return false;
    Take(buffer, static_cast<std::size_t>(n));
    return true;
  }

  // A connection that failed once fails every later byte at once, as a removed port does.
  bool Send(const std::vector<std::uint8_t>& bytes) {
    if (closed_) return false;
    int error = 0;
    if (connection_->Send(bytes.data(), bytes.size(), SteadyTime::now() + kByteTimeout, error)) {
      return true;
    }
    if (error != 0) {
      closed_ = true;
      faults_.Failed("send", static_cast<unsigned long>(error));
    } else {
      faults_.Note("send timed out");
    }
    return false;
  }

  // The session ends as the server sees it end before the line counts as closed: a server that
  // serves one session at a time (ser2net), or has each session's process hold the serial port
  // a while after it (socat with fork), would otherwise find the next transfer's session still
  // in the way ("Port already in use", or a reply read by the old session).
  void LetGo() {
    if (closed_) return;
    connection_->EndSending();
    const auto deadline = SteadyTime::now() + kCloseWait;
    std::uint8_t buffer[512];
    int error = 0;
    while (connection_->Receive(buffer, sizeof buffer, deadline, error) > 0) {
    }
  }

  bool Closed(std::string& reason) const {
    const std::string text = ServerText(received_);
    reason = "the server closed the connection" + (text.empty() ? "" : ": " + text);
    return false;
  }

  void Tell(const std::string& text) const {
    if (report_) report_(port_ + ": " + text);
  }

  std::deque<std::uint8_t> received_;
  bool closed_ = false;

 private:
  std::unique_ptr<TcpConnection> connection_;
  std::string port_;
  LineReport report_;
  LineFaults faults_;
};

// Raw TCP: the card's bytes as they are, and no say over the server's port.
class RawLine final : public NetworkLine {
 public:
  RawLine(std::unique_ptr<TcpConnection> connection, const NetworkEndpoint& endpoint,
          const LineReport& report, std::chrono::steady_clock::duration connectTime)
      : NetworkLine(std::move(connection), endpoint, report),
        refusalWait_(RawRefusalWait(connectTime)) {}

  // A busy port shows itself by closing the connection soon after the connect.
  bool Ready(std::string& reason) override {
    const auto deadline = SteadyTime::now() + refusalWait_;
    while (!closed_ && SteadyTime::now() < deadline) Pump(deadline);
    return closed_ ? Closed(reason) : true;
  }
  void SetRts(bool) override {}
  bool WriteByte(std::uint8_t b) override { return Send({b}); }

 private:
  void Take(const std::uint8_t* bytes, std::size_t count) override {
    received_.insert(received_.end(), bytes, bytes + count);
  }

  std::chrono::milliseconds refusalWait_;
};

// RFC 2217: telnet with the COM port option, which sets the server's port as the card needs it.
class Rfc2217Line final : public NetworkLine {
 public:
  using NetworkLine::NetworkLine;

  // Binary both ways, the COM port option and 1200 8N1, each acknowledged in time; then no flow
  // control and DTR on. A setting answered with another value is waited on until the deadline:
  // some servers report their old setting before the new one.
  bool Ready(std::string& reason) override {
    if (!Send(telnet_.Start())) return Closed(reason);
    const auto deadline = SteadyTime::now() + kNegotiationTimeout;
    while (!telnet_.Ready()) {
      if (!telnet_.Refusal().empty()) {
        reason = telnet_.Refusal();
        return false;
      }
      if (closed_) return Closed(reason);
      if (SteadyTime::now() >= deadline) {
        reason = telnet_.Mismatch();
        if (reason.empty()) {
          reason = "the server did not acknowledge " + telnet_.Awaited() + " within " +
                   std::to_string(kNegotiationTimeout.count() / 1000) + " s";
        }
        return false;
      }
      Pump(deadline);
    }
    if (!Send(Rfc2217Client::LineControls())) return Closed(reason);
    Tell("1200 8N1 acknowledged; asked for no flow control both ways and DTR on");
    return true;
  }

  void SetRts(bool on) override {
    // Not waited for: a server on a line without modem lines (a pty) never answers it.
    Send(Rfc2217Client::Command(telnet::kSetControl, {on ? telnet::kRtsOn : telnet::kRtsOff}));
  }

  bool WriteByte(std::uint8_t b) override {
    std::vector<std::uint8_t> bytes;
    Rfc2217Client::AppendData(b, bytes);
    return Send(bytes);
  }

 private:
  void Purge() override { Send(Rfc2217Client::Command(telnet::kPurgeData, {telnet::kPurgeBoth})); }

  void Take(const std::uint8_t* bytes, std::size_t count) override {
    std::vector<std::uint8_t> reply;
    telnet_.Receive(bytes, count, received_, reply);
    if (!reply.empty()) Send(reply);
  }

  Rfc2217Client telnet_;
};

}  // namespace

std::unique_ptr<SerialLine> OpenNetworkLine(const NetworkEndpoint& endpoint,
                                            const LineReport& report, std::string& reason) {
  const auto started = SteadyTime::now();
  auto connection =
      TcpConnection::Connect(endpoint.host, endpoint.tcpPort, kConnectTimeout, reason);
  if (!connection) return nullptr;
  std::unique_ptr<NetworkLine> line;
  if (endpoint.protocol == NetworkProtocol::Rfc2217) {
    line = std::make_unique<Rfc2217Line>(std::move(connection), endpoint, report);
  } else {
    line = std::make_unique<RawLine>(std::move(connection), endpoint, report,
                                     SteadyTime::now() - started);
  }
  if (!line->Ready(reason)) return nullptr;
  return line;
}

bool ProbeNetworkPort(const NetworkEndpoint& endpoint, std::string& reason) {
  return TcpConnection::Connect(endpoint.host, endpoint.tcpPort, kConnectTimeout, reason) !=
         nullptr;
}

void AssignedSerialPorts::Reassign(NetworkAssignments assignments) {
  ReleaseChecked();
  assignments_ = std::move(assignments);
  problems_.clear();
}

std::unique_ptr<SerialLine> AssignedSerialPorts::Open(int portNumber) {
  if (checked_ && checkedNumber_ == portNumber) return std::move(checked_);
  ReleaseChecked();
  const auto at = assignments_.find(portNumber);
  if (at == assignments_.end()) return local_->Open(portNumber);
  return OpenAssigned(portNumber, at->second);
}

std::unique_ptr<SerialLine> AssignedSerialPorts::OpenAssigned(int portNumber,
                                                              const NetworkEndpoint& endpoint) {
  std::string reason;
  auto line = OpenNetworkLine(endpoint, report_, reason);
  problems_[portNumber] = reason;
  if (!line && report_) report_(NetworkEndpointUrl(endpoint) + ": " + reason);
  return line;
}

bool AssignedSerialPorts::Probe(int portNumber) {
  const auto at = assignments_.find(portNumber);
  if (at == assignments_.end()) return local_->Probe(portNumber);
  std::string reason;
  const bool available = ProbeNetworkPort(at->second, reason);
  problems_[portNumber] = reason;
  return available;
}

bool AssignedSerialPorts::CheckForOpen(int portNumber) {
  ReleaseChecked();
  const auto at = assignments_.find(portNumber);
  if (at == assignments_.end()) return local_->CheckForOpen(portNumber);
  checked_ = OpenAssigned(portNumber, at->second);
  checkedNumber_ = portNumber;
  return checked_ != nullptr;
}

void AssignedSerialPorts::ReleaseChecked() {
  checked_.reset();
  local_->ReleaseChecked();
}

void AssignedSerialPorts::SetLineReport(LineReport report) {
  report_ = report;
  local_->SetLineReport(std::move(report));
}

std::string AssignedSerialPorts::Problem(int portNumber) const {
  const auto at = problems_.find(portNumber);
  return at == problems_.end() ? std::string() : at->second;
}

}  // namespace quorvex
