// A device server's port as the card's line (TCP with or without RFC 2217), and the ports whose
// assigned COM numbers lead to such ports.
#include "link/network_line.h"

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
// A busy raw port is accepted and closed at once with a line of text (ser2net: "Port already in
// use"); this long is waited for that after the connect. Half a millisecond on one machine.
constexpr std::chrono::milliseconds kRawRefusalWait{25};

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

class NetworkLine : public SerialLine {
 public:
  NetworkLine(std::unique_ptr<TcpConnection> connection, const NetworkEndpoint& endpoint,
              const LineReport& report)
      : connection_(std::move(connection)),
        protocol_(endpoint.protocol),
        faults_(NetworkEndpointUrl(endpoint), report) {}

  // RFC 2217: binary both ways, the COM port option and 1200 8N1, each acknowledged in time.
  bool Negotiate(std::string& reason) {
    if (!Send(telnet_.Start())) return Closed(reason);
    const auto deadline = SteadyTime::now() + kNegotiationTimeout;
    while (!telnet_.Ready()) {
      if (!telnet_.Refusal().empty()) {
        reason = telnet_.Refusal();
        return false;
      }
      if (closed_) return Closed(reason);
      if (SteadyTime::now() >= deadline) {
        reason = "the server did not acknowledge " + telnet_.Awaited() + " within " +
                 std::to_string(kNegotiationTimeout.count() / 1000) + " s";
        return false;
      }
      Pump(deadline);
    }
    return true;
  }

  // Raw: a busy port shows itself by closing the connection at once.
  bool NotRefused(std::string& reason) {
    const auto deadline = SteadyTime::now() + kRawRefusalWait;
    while (!closed_ && SteadyTime::now() < deadline) Pump(deadline);
    return closed_ ? Closed(reason) : true;
  }

  void Configure() override {
    // What came before the transfer is not the card's answer to it.
    while (!closed_ && Pump(SteadyTime::now())) {
    }
    received_.clear();
    if (protocol_ == NetworkProtocol::Rfc2217) {
      Send(Rfc2217Client::Command(telnet::kPurgeData, {telnet::kPurgeBoth}));
    }
  }

  void SetRts(bool on) override {
    // Not waited for: a server on a line without modem lines (a pty) never answers it.
    if (protocol_ == NetworkProtocol::Rfc2217) {
      Send(Rfc2217Client::Command(telnet::kSetControl, {on ? telnet::kRtsOn : telnet::kRtsOff}));
    }
  }

  bool WriteByte(std::uint8_t b) override {
    std::vector<std::uint8_t> bytes;
    if (protocol_ == NetworkProtocol::Rfc2217) {
      Rfc2217Client::AppendData(b, bytes);
    } else {
      bytes.push_back(b);
    }
    return Send(bytes);
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

 private:
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
    const auto count = static_cast<std::size_t>(n);
    if (protocol_ == NetworkProtocol::Raw) {
      received_.insert(received_.end(), buffer, buffer + count);
      return true;
    }
    std::vector<std::uint8_t> reply;
    telnet_.Receive(buffer, count, received_, reply);
    if (!reply.empty()) Send(reply);
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

  bool Closed(std::string& reason) const {
    const std::string text = ServerText(received_);
    reason = "the server closed the connection" + (text.empty() ? "" : ": " + text);
    return false;
  }

  std::unique_ptr<TcpConnection> connection_;
  NetworkProtocol protocol_;
  Rfc2217Client telnet_;
  std::deque<std::uint8_t> received_;
  bool closed_ = false;
  LineFaults faults_;
};

}  // namespace

std::unique_ptr<SerialLine> OpenNetworkLine(const NetworkEndpoint& endpoint,
                                            const LineReport& report, std::string& reason) {
  auto connection =
      TcpConnection::Connect(endpoint.host, endpoint.tcpPort, kConnectTimeout, reason);
  if (!connection) return nullptr;
  auto line = std::make_unique<NetworkLine>(std::move(connection), endpoint, report);
  const bool ready = endpoint.protocol == NetworkProtocol::Rfc2217 ? line->Negotiate(reason)
                                                                   : line->NotRefused(reason);
  if (!ready) return nullptr;
  return line;
}

bool ProbeNetworkPort(const NetworkEndpoint& endpoint, std::string& reason) {
  return TcpConnection::Connect(endpoint.host, endpoint.tcpPort, kConnectTimeout, reason) !=
         nullptr;
}

void AssignedSerialPorts::Reassign(NetworkAssignments assignments) {
  assignments_ = std::move(assignments);
  problems_.clear();
}

std::unique_ptr<SerialLine> AssignedSerialPorts::Open(int portNumber) {
  const auto at = assignments_.find(portNumber);
  if (at == assignments_.end()) return local_->Open(portNumber);
  std::string reason;
  auto line = OpenNetworkLine(at->second, report_, reason);
  problems_[portNumber] = reason;
  if (!line && report_) report_(NetworkEndpointUrl(at->second) + ": " + reason);
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

void AssignedSerialPorts::SetLineReport(LineReport report) {
  report_ = report;
  local_->SetLineReport(std::move(report));
}

std::string AssignedSerialPorts::Problem(int portNumber) const {
  const auto at = problems_.find(portNumber);
  return at == problems_.end() ? std::string() : at->second;
}

std::unique_ptr<SerialPorts> MakeAssignedSerialPorts(std::unique_ptr<SerialPorts> local,
                                                     NetworkAssignments assignments) {
  return std::make_unique<AssignedSerialPorts>(std::move(local), std::move(assignments));
}

}  // namespace quorvex
