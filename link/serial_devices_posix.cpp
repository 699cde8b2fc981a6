// The serial devices on Linux: real UARTs, USB and ACM, stable names, COM n links written.
#include <fcntl.h>
#include <grp.h>
#include <linux/serial.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "core/user_config_folder.h"
#include "link/serial_devices.h"

namespace quorvex {
namespace {

namespace fs = std::filesystem;

constexpr std::array<const char*, 3> kFamilies = {"ttyS", "ttyUSB", "ttyACM"};

struct DeviceName {
  std::string family;
  long number = 0;
  std::string name;
};

// "ttyUSB12" -> {"ttyUSB", 12}; nothing for names outside the three families.
std::optional<DeviceName> ParseDeviceName(const std::string& name) {
  for (const char* family : kFamilies) {
    const std::size_t length = std::strlen(family);
    if (name.size() <= length || name.compare(0, length, family) != 0) continue;
    const std::string digits = name.substr(length);
    if (digits.size() > 6 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
      continue;
    }
    return DeviceName{family, std::stol(digits), name};
  }
  return std::nullopt;
}

std::string CanonicalOrEmpty(const std::string& path) {
  std::error_code ec;
  fs::path canonical = fs::canonical(path, ec);
  return ec ? std::string() : canonical.string();
}

// Most ttyS* nodes exist whether or not a UART sits behind them. The kernel tells the port
// type in sysfs without the device being opened; opening a UART raises its modem lines, which
// some attached devices take as a reset, so the ioctl is only the fallback.
bool IsRealUart(const SerialDeviceRoots& roots, const std::string& name) {
  std::ifstream typeFile(roots.sysClassTty + "/" + name + "/type");
  int type = 0;
  if (typeFile >> type) return type != PORT_UNKNOWN;

  const std::string path = roots.dev + "/" + name;
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno == EBUSY;  // someone holds it exclusively: it is in use, so real
  serial_struct info{};
  const bool real = ::ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type != PORT_UNKNOWN;
  ::close(fd);
  return real;
}

std::vector<DeviceName> FindDevices(const SerialDeviceRoots& roots) {
  std::vector<DeviceName> found;
  std::error_code ec;
  for (fs::directory_iterator it(roots.dev, ec), end; !ec && it != end; it.increment(ec)) {
    std::optional<DeviceName> device = ParseDeviceName(it->path().filename().string());
    if (!device) continue;
    if (device->family == "ttyS" && !IsRealUart(roots, device->name)) continue;
    found.push_back(*device);
  }
  std::sort(found.begin(), found.end(), [](const DeviceName& a, const DeviceName& b) {
    return a.family != b.family ? a.family < b.family : a.number < b.number;
  });
  return found;
}

// Device (canonical path) -> its by-id name. Several names may lead to one device; the first
// in name order is taken, so the choice stays the same from one listing to the next.
std::map<std::string, std::string> StableNames(const SerialDeviceRoots& roots) {
  std::vector<std::string> links;
  std::error_code ec;
  for (fs::directory_iterator it(roots.byId, ec), end; !ec && it != end; it.increment(ec)) {
    links.push_back(it->path().string());
  }
  std::sort(links.begin(), links.end());
  std::map<std::string, std::string> names;
  for (const std::string& link : links) {
    const std::string device = CanonicalOrEmpty(link);
    if (!device.empty()) names.emplace(device, link);
  }
  return names;
}

// Device (canonical path) -> the lowest COM n that reaches it now.
std::map<std::string, int> ComNumbers(const PortNameEnvironment& env) {
  std::map<std::string, int> numbers;
  for (int n = kFirstComPort; n <= kLastComPort; ++n) {
    const std::optional<std::string> path = ResolveComPortPath(n, env);
    if (!path) continue;
    const std::string device = CanonicalOrEmpty(*path);
    if (!device.empty()) numbers.emplace(device, n);
  }
  return numbers;
}

// The timer a USB serial driver offers in sysfs; nothing for other devices.
std::optional<int> LatencyTimer(const SerialDeviceRoots& roots, const std::string& name) {
  std::ifstream file(roots.usbSerial + "/" + name + "/latency_timer");
  int ms = 0;
  if (file >> ms && ms >= 0) return ms;
  return std::nullopt;
}

// The group's name, or its number when the system has no name for it.
std::string GroupName(gid_t gid) {
  std::vector<char> buffer(16384);
  group entry{};
  group* found = nullptr;
  if (::getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr) {
    return found->gr_name;
  }
  return std::to_string(gid);
}

[[noreturn]] void Fail(int n, const std::string& why) {
  throw std::runtime_error("COM" + std::to_string(n) + " cannot be assigned: " + why);
}

}  // namespace

void ProbeDeviceAccess(SerialDevice& device) {
  struct stat node {};
  if (::stat(device.path.c_str(), &node) == 0) device.group = GroupName(node.st_gid);

  // The same open and lock as a transfer's, so "free" means a transfer could have the port.
  const int fd = ::open(device.path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    const int error = errno;
    if (error == EACCES || error == EPERM) {
      device.access = DeviceAccess::kNotPermitted;
    } else if (error == EBUSY) {  // held with TIOCEXCL
      device.access = DeviceAccess::kInUse;
    } else {
      device.access = DeviceAccess::kFailed;
      device.error = std::strerror(error);
    }
    return;
  }
  const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
  ::close(fd);
  device.access = locked ? DeviceAccess::kFree : DeviceAccess::kInUse;
}

std::vector<SerialDevice> ListSerialDevices(const SerialDeviceRoots& roots,
                                            const PortNameEnvironment& env) {
  const std::map<std::string, std::string> stableNames = StableNames(roots);
  const std::map<std::string, int> comNumbers = ComNumbers(env);
  std::vector<SerialDevice> devices;
  for (const DeviceName& found : FindDevices(roots)) {
    SerialDevice device;
    device.path = roots.dev + "/" + found.name;
    const std::string canonical = CanonicalOrEmpty(device.path);
    if (auto it = stableNames.find(canonical); it != stableNames.end()) {
      device.stableName = it->second;
    }
    if (auto it = comNumbers.find(canonical); it != comNumbers.end()) {
      device.comNumber = it->second;
    }
    device.latencyTimerMs = LatencyTimer(roots, found.name);
    ProbeDeviceAccess(device);
    devices.push_back(device);
  }
  return devices;
}

std::vector<SerialDevice> ListSerialDevices() {
  return ListSerialDevices(SerialDeviceRoots{}, PortNameEnvironment::FromProcess());
}

void AssignComPort(int n, const std::string& target, const std::string& portsFolder) {
  if (n < kFirstComPort || n > kLastComPort) {
    Fail(n, "port numbers go from " + std::to_string(kFirstComPort) + " to " +
                std::to_string(kLastComPort) + ".");
  }
  // A relative target would be taken relative to the links' folder, not to where it was typed.
  if (target.empty() || target.front() != '/') {
    Fail(n, "the device \"" + target + "\" is not a full path.");
  }
  if (portsFolder.empty()) Fail(n, "neither XDG_CONFIG_HOME nor HOME names a folder.");

  try {
    CreatePrivateFolders(portsFolder);
  } catch (const std::system_error& e) {
    Fail(n, "the folder " + portsFolder + " cannot be created (" + e.code().message() + ").");
  }

  // The link is made under a unique name and renamed over the old one, so COM n always leads
  // either to the old device or to the new one, never to nothing.
  const std::string link = portsFolder + "/COM" + std::to_string(n);
  const std::string temporary =
      link + ".new-" + std::to_string(::getpid()) + "-" +
      std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
  if (::symlink(target.c_str(), temporary.c_str()) != 0) {
    Fail(n, "the link " + temporary + " cannot be created (" + std::strerror(errno) + ").");
  }
  if (::rename(temporary.c_str(), link.c_str()) != 0) {
    const std::string why = std::strerror(errno);
    ::unlink(temporary.c_str());
    Fail(n, "the link " + link + " cannot be replaced (" + why + ").");
  }
}

void AssignComPort(int n, const std::string& target) {
  AssignComPort(n, target, UserPortsFolder(PortNameEnvironment::FromProcess()));
}

}  // namespace quorvex
