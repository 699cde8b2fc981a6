// The Windows port list from SetupAPI's and the registry's answers: names, stable names, states.
#include "link/windows_ports.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "link/port_names.h"

namespace quorvex {

namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t at = text.find(separator); at != std::string::npos;
       at = text.find(separator, start)) {
    parts.push_back(text.substr(start, at - start));
    start = at + 1;
  }
  parts.push_back(text.substr(start));
  return parts;
}

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) ==
                  std::toupper(static_cast<unsigned char>(y));
         });
}

// A Bluetooth port's last part ends in "<12 hex digits of the remote address>_<channel>"; an
// incoming port has the address 0, which names no device.
bool HasRemoteAddress(const std::string& field) {
  if (field.size() < 13 || field[12] != '_') return false;
  const auto address = field.substr(0, 12);
  return std::all_of(address.begin(), address.end(),
                     [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }) &&
         address != std::string(12, '0');
}

// The trigger Windows' serial driver programs from RxFIFO: 8 without the value, 1 byte for a
// value the UART has no setting for.
int SerialDriverTrigger(std::optional<int> rxFifo) {
  if (!rxFifo) return 8;
  return *rxFifo == 4 || *rxFifo == 8 || *rxFifo == 14 ? *rxFifo : 1;
}

SerialDevice FromSetupApi(const WindowsPortDevice& found, int n) {
  SerialDevice port;
  port.path = "COM" + std::to_string(n);
  port.comNumber = n;
  port.stableName = StableNameOfInstance(found.instanceId);
  port.friendlyName = found.friendlyName;
  port.maker = found.maker;
  port.latencyTimerMs = found.latencyTimerMs;
  if (EqualsIgnoringCase(found.service, "Serial")) {
    port.receiveFifoTrigger = SerialDriverTrigger(found.rxFifo);
  }
  port.access = found.present ? DeviceAccess::kFree : DeviceAccess::kGone;
  return port;
}

void Probe(const WindowsPortSystem& system, SerialDevice& port) {
  const PortOpening opening = system.Open(port.comNumber);
  switch (opening.result) {
    case PortOpening::Result::kOpened:
      port.access = DeviceAccess::kFree;
      break;
    case PortOpening::Result::kAccessDenied:  // Windows' answer while another handle holds it
      port.access = DeviceAccess::kInUse;
      break;
    case PortOpening::Result::kFailed:
      port.access = DeviceAccess::kFailed;
      port.error = opening.error;
      break;
  }
}

}  // namespace

int ComNumberOfPortName(const std::string& portName) {
  if (portName.size() < 4 || portName.size() > 6 ||
      !EqualsIgnoringCase(portName.substr(0, 3), "COM"))
    return 0;
  const std::string digits = portName.substr(3);
  if (digits.front() == '0' ||
      !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return 0;
  }
  const int n = std::stoi(digits);
  return n >= kFirstComPort && n <= kLastComPort ? n : 0;
}

std::string StableNameOfInstance(const std::string& instanceId) {
  const std::vector<std::string> parts = Split(instanceId, '\\');
  if (parts.size() != 3 || parts[0].empty() || parts[1].empty() || parts[2].empty()) return {};
  // Windows writes a made-up instance part as fields joined by '&'; a device's own never has one.
  if (parts[2].find('&') == std::string::npos) return instanceId;
  if (EqualsIgnoringCase(parts[0], "BTHENUM")) {
    const std::string remote = Split(parts[2], '&').back();
    if (HasRemoteAddress(remote)) return parts[0] + "\\" + parts[1] + "\\" + remote;
  }
  return {};
}

std::vector<SerialDevice> ListWindowsPorts(const WindowsPortSystem& system, bool probe) {
  std::vector<SerialDevice> ports;
  std::set<int> present;
  for (const WindowsPortDevice& found : system.PortDevices()) {
    const int n = ComNumberOfPortName(found.portName);
    if (n == 0) continue;  // a printer port of the Ports class, or a number no transfer can use
    ports.push_back(FromSetupApi(found, n));
    if (found.present) present.insert(n);
  }
  // Ports of drivers that SetupAPI does not list: known only by their number.
  for (const SerialCommEntry& entry : system.SerialComm()) {
    const int n = ComNumberOfPortName(entry.portName);
    if (n == 0 || !present.insert(n).second) continue;
    SerialDevice port;
    port.path = "COM" + std::to_string(n);
    port.comNumber = n;
    ports.push_back(port);
  }
  std::stable_sort(ports.begin(), ports.end(), [](const SerialDevice& a, const SerialDevice& b) {
    if (a.comNumber != b.comNumber) return a.comNumber < b.comNumber;
    return a.access != DeviceAccess::kGone && b.access == DeviceAccess::kGone;
  });
  if (probe) {
    for (SerialDevice& port : ports) {
      if (port.access != DeviceAccess::kGone) Probe(system, port);
    }
  }
  return ports;
}

}  // namespace quorvex
