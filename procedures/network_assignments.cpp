// The device server ports a settings file assigns, as the ports take them.
#include "procedures/network_assignments.h"

namespace quorvex {

NetworkAssignments NetworkAssignmentsFrom(const DeviceServerPorts& stored) {
  NetworkAssignments assignments;
  for (const auto& [comNumber, url] : stored) {
    if (std::optional<NetworkEndpoint> endpoint = ParseNetworkEndpoint(url)) {
      assignments.emplace(comNumber, *endpoint);
    }
  }
  return assignments;
}

NetworkAssignments StoredNetworkAssignments(const std::string& settingsPath) {
  return NetworkAssignmentsFrom(StoredDeviceServerPorts(settingsPath));
}

}  // namespace quorvex
