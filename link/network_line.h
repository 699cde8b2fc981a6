// A device server's port as a serial line, and the ports whose assigned COM numbers lead to one.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "link/network_port.h"
#include "link/serial_line.h"

namespace quorvex {

// The device server's port opened as the card's line: connected, and for RFC 2217 with binary
// mode, the COM port option and 1200 8N1 acknowledged, no flow control and DTR on asked for.
// nullptr with `reason` set ("connection refused", "the server closed the connection: Port
// already in use") when it cannot serve.
std::unique_ptr<SerialLine> OpenNetworkLine(const NetworkEndpoint& endpoint,
                                            const LineReport& report, std::string& reason);

// Whether the server takes a connection now: a bounded connect and close.
bool ProbeNetworkPort(const NetworkEndpoint& endpoint, std::string& reason);

// The machine's own ports with some COM numbers served by device server ports instead: an
// assignment wins over a local device of the same number; every other number goes to `local`.
// Probe of an assigned number is a bounded connect and close. The check before a transfer opens
// the assigned port's line and keeps it for the transfer's Open, so that a transfer costs the
// server one session: a server that serves one session at a time, or opens its serial port anew
// for each, sees the transfer alone.
class AssignedSerialPorts : public SerialPorts {
 public:
  AssignedSerialPorts(std::unique_ptr<SerialPorts> local, NetworkAssignments assignments)
      : local_(std::move(local)), assignments_(std::move(assignments)) {}

  // From now on the numbers follow these assignments; lines already open stay as they are.
  void Reassign(NetworkAssignments assignments);

  std::unique_ptr<SerialLine> Open(int portNumber) override;
  bool Probe(int portNumber) override;
  bool CheckForOpen(int portNumber) override;
  void ReleaseChecked() override;
  void SetLineReport(LineReport report) override;

  // Why the last open or probe of an assigned number failed; "" when it did not or the number
  // is not assigned.
  std::string Problem(int portNumber) const;

 private:
  std::unique_ptr<SerialLine> OpenAssigned(int portNumber, const NetworkEndpoint& endpoint);

  std::unique_ptr<SerialPorts> local_;
  NetworkAssignments assignments_;
  // The line the last check opened, until the Open of its number takes it.
  std::unique_ptr<SerialLine> checked_;
  int checkedNumber_ = 0;
  LineReport report_;
  std::map<int, std::string> problems_;
};

}  // namespace quorvex
