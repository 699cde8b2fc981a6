// Several cards in one command: the port lists of --port and the one exit code for them all.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "link/network_port.h"

namespace quorvex::cli {

// The numbers that stand for device server ports named by URL; no COM port has such a number.
inline constexpr int kFirstNetworkPortNumber = 1000;

// COM numbers from the values of one or more --port options: "3", "3,4,5", "3-10", mixed and
// repeated. The order given is kept, a number named twice counts once. Throws
// std::invalid_argument with the reason for a value that names no port list.
std::vector<int> ParsePortList(const std::vector<std::string>& values);

// As above, with device server ports too: "rfc2217://HOST:PORT", "tcp://HOST:PORT" and a range
// of TCP ports on one host ("rfc2217://10.0.0.5:4001-4008"), in lists with COM numbers. Each
// gets a number from kFirstNetworkPortNumber on, assigned to it in `network`.
std::vector<int> ParsePortList(const std::vector<std::string>& values, NetworkAssignments& network);

// How messages, card lines, the log and --json name a port: "COM3", or the URL of a device
// server port.
std::string PortName(int port, const NetworkAssignments& network);

// The port in a file name ({port}): "3", or a device server port's host and TCP port made
// safe for any file system, "10.0.0.5-4001".
std::string PortFileName(int port, const NetworkAssignments& network);

// The reason a single --port value is not a port list, or "" when it is one.
std::string PortListError(const std::string& value);

// One exit code for many cards: 0 when every card is done and equal, otherwise the highest of
// the cards' codes, so a port that is not available (4) outweighs a failed transfer (3), which
// outweighs a difference (1), and an interrupt (130) outweighs them all.
int CombineExitCodes(const std::vector<int>& codes);

// The COM numbers the window's serial device window gives to device server ports: read from the
// settings file of the window beside this program, where the window itself keeps it. None when
// there is no such file.
NetworkAssignments WindowAssignedPorts();

// The window program beside this one, and where its settings file lies; nothing when this
// program's own path is not known.
struct WindowPlace {
  std::string executable;
  std::string settingsPath;
};
std::optional<WindowPlace> WindowBeside();

}  // namespace quorvex::cli
