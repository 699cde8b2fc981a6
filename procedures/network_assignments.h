// The device server ports a settings file assigns, as the ports take them.
#pragma once

#include <string>

#include "link/network_port.h"
#include "storage/settings.h"

namespace quorvex {

// An entry whose URL does not read is left out: a settings file edited by hand must not keep the
// window from starting nor the command line from reaching its other ports.
NetworkAssignments NetworkAssignmentsFrom(const DeviceServerPorts& stored);

// The assignments of the settings file at `settingsPath`; none when it does not exist. For the
// window at start and for the command line's --port N alike.
NetworkAssignments StoredNetworkAssignments(const std::string& settingsPath);

}  // namespace quorvex
