// The Windows port list's answers from SetupAPI, the registry and CreateFile; device messages.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// The device types and messages need the types windows.h defines.
#include <dbt.h>
#include <setupapi.h>

#include <set>
#include <string>
#include <vector>

#include "link/port_names.h"
#include "link/win32_text.h"
#include "link/windows_ports.h"

namespace quorvex {

namespace {

// Spelled out here rather than instantiated from the SDK's headers with INITGUID.
constexpr GUID kPortsClass = {
    0x4d36e978, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};
constexpr GUID kComPortInterface = {
    0x86e0d1e0, 0x8089, 0x11d0, {0x9c, 0xe4, 0x08, 0x00, 0x3e, 0x30, 0x1f, 0x73}};

// A string the system wrote into a buffer, up to its first NUL.
std::string Narrow(const std::vector<wchar_t>& buffer) {
  std::size_t length = 0;
  while (length < buffer.size() && buffer[length] != L'\0') ++length;
  return Utf8FromWide(buffer.data(), length);
}

class DeviceSet {
 public:
  DeviceSet(const GUID& guid, DWORD flags)
      : set_(SetupDiGetClassDevsW(&guid, nullptr, nullptr, flags)) {}
  ~DeviceSet() {
    if (set_ != INVALID_HANDLE_VALUE) SetupDiDestroyDeviceInfoList(set_);
  }
  DeviceSet(const DeviceSet&) = delete;
  DeviceSet& operator=(const DeviceSet&) = delete;

  // Calls visit(data) for each device of the set.
  template <typename Visit>
  void ForEach(Visit visit) const {
    if (set_ == INVALID_HANDLE_VALUE) return;
    SP_DEVINFO_DATA data{};
    data.cbSize = sizeof data;
    for (DWORD i = 0; SetupDiEnumDeviceInfo(set_, i, &data); ++i) visit(data);
  }

  std::string InstanceId(SP_DEVINFO_DATA& data) const {
    DWORD needed = 0;
    SetupDiGetDeviceInstanceIdW(set_, &data, nullptr, 0, &needed);
    std::vector<wchar_t> buffer(needed + 1, L'\0');
    if (!SetupDiGetDeviceInstanceIdW(set_, &data, buffer.data(), static_cast<DWORD>(buffer.size()),
                                     nullptr)) {
      return {};
    }
    return Narrow(buffer);
  }

  std::string Property(SP_DEVINFO_DATA& data, DWORD property) const {
    DWORD needed = 0;
    SetupDiGetDeviceRegistryPropertyW(set_, &data, property, nullptr, nullptr, 0, &needed);
    if (needed == 0) return {};
    std::vector<wchar_t> buffer(needed / sizeof(wchar_t) + 1, L'\0');
    if (!SetupDiGetDeviceRegistryPropertyW(
            set_, &data, property, nullptr, reinterpret_cast<BYTE*>(buffer.data()),
            static_cast<DWORD>(buffer.size() * sizeof(wchar_t)), nullptr)) {
      return {};
    }
    return Narrow(buffer);
  }

  // What the port's driver keeps in the device's hardware key (its parameters): the PortName,
  // an FTDI-class driver's LatencyTimer and the serial driver's RxFIFO.
  void ReadDeviceKey(SP_DEVINFO_DATA& data, WindowsPortDevice& device) const {
    HKEY key = SetupDiOpenDevRegKey(set_, &data, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE) return;
    std::vector<wchar_t> buffer(64, L'\0');
    DWORD type = 0;
    DWORD size = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
    LSTATUS status = RegQueryValueExW(key, L"PortName", nullptr, &type,
                                      reinterpret_cast<BYTE*>(buffer.data()), &size);
    if (status == ERROR_SUCCESS && type == REG_SZ) device.portName = Narrow(buffer);
    DWORD timer = 0;
    size = sizeof timer;
    status = RegQueryValueExW(key, L"LatencyTimer", nullptr, &type, reinterpret_cast<BYTE*>(&timer),
                              &size);
    if (status == ERROR_SUCCESS && type == REG_DWORD && timer <= 255) {
      device.latencyTimerMs = static_cast<int>(timer);
    }
    DWORD trigger = 0;
    size = sizeof trigger;
    status =
        RegQueryValueExW(key, L"RxFIFO", nullptr, &type, reinterpret_cast<BYTE*>(&trigger), &size);
    if (status == ERROR_SUCCESS && type == REG_DWORD && trigger <= 255) {
      device.rxFifo = static_cast<int>(trigger);
    }
    RegCloseKey(key);
  }

 private:
  HDEVINFO set_;
};

class Win32PortSystem : public WindowsPortSystem {
 public:
  std::vector<WindowsPortDevice> PortDevices() const override {
    // Without DIGCF_PRESENT the sets hold the absent devices too; the present ones are asked
    // for separately.
    std::set<std::string> present;
    for (const auto& [guid, flags] : Sets()) {
      const DeviceSet set(*guid, flags | DIGCF_PRESENT);
      set.ForEach([&](SP_DEVINFO_DATA& data) { present.insert(set.InstanceId(data)); });
    }
    std::vector<WindowsPortDevice> devices;
    std::set<std::string> seen;
    for (const auto& [guid, flags] : Sets()) {
      const DeviceSet set(*guid, flags);
      set.ForEach([&](SP_DEVINFO_DATA& data) {
        WindowsPortDevice device;
        device.instanceId = set.InstanceId(data);
        // A port of the Ports class with the COM port interface is in both sets.
        if (device.instanceId.empty() || !seen.insert(device.instanceId).second) return;
        device.friendlyName = set.Property(data, SPDRP_FRIENDLYNAME);
        device.maker = set.Property(data, SPDRP_MFG);
        device.service = set.Property(data, SPDRP_SERVICE);
        set.ReadDeviceKey(data, device);
        device.present = present.count(device.instanceId) != 0;
        devices.push_back(device);
      });
    }
    return devices;
  }

  std::vector<SerialCommEntry> SerialComm() const override {
    std::vector<SerialCommEntry> entries;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
      return entries;
    }
    for (DWORD i = 0;; ++i) {
      std::vector<wchar_t> name(256, L'\0');
      std::vector<wchar_t> data(64, L'\0');
      DWORD nameLength = static_cast<DWORD>(name.size() - 1);
      DWORD dataSize = static_cast<DWORD>((data.size() - 1) * sizeof(wchar_t));
      DWORD type = 0;
      const LSTATUS status = RegEnumValueW(key, i, name.data(), &nameLength, nullptr, &type,
                                           reinterpret_cast<BYTE*>(data.data()), &dataSize);
      if (status == ERROR_NO_MORE_ITEMS) break;
      if (status != ERROR_SUCCESS || type != REG_SZ) continue;
      entries.push_back({Narrow(name), Narrow(data)});
    }
    RegCloseKey(key);
    return entries;
  }

  // The transfers' own open, so that "free" means a transfer could have the port.
  PortOpening Open(int comNumber) const override {
    HANDLE handle = CreateFileA(Win32ComDeviceName(comNumber).c_str(), GENERIC_READ | GENERIC_WRITE,
                                0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
      CloseHandle(handle);
      return {};
    }
    const DWORD error = GetLastError();
    if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION) {
      return {PortOpening::Result::kAccessDenied, {}};
    }
    return {PortOpening::Result::kFailed, SystemMessage(error)};
  }

 private:
  // The Ports class, and every device with the COM port interface whatever its class (a modem).
  static std::vector<std::pair<const GUID*, DWORD>> Sets() {
    return {{&kPortsClass, 0}, {&kComPortInterface, DIGCF_DEVICEINTERFACE}};
  }
};

}  // namespace

std::unique_ptr<WindowsPortSystem> MakeWin32PortSystem() {
  return std::make_unique<Win32PortSystem>();
}

std::vector<SerialDevice> ListSerialDevices() {
  return ListWindowsPorts(*MakeWin32PortSystem(), true);
}

// The window hears of devices through its messages (SerialDeviceNotification).
std::unique_ptr<SerialDeviceEvents> WatchSerialDevices() {
  return nullptr;
}

SerialDeviceNotification::SerialDeviceNotification(void* window) {
  DEV_BROADCAST_DEVICEINTERFACE_W filter{};
  filter.dbcc_size = sizeof filter;
  filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
  filter.dbcc_classguid = kComPortInterface;
  handle_ =
      RegisterDeviceNotificationW(static_cast<HWND>(window), &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
}

SerialDeviceNotification::~SerialDeviceNotification() {
  if (handle_ != nullptr) UnregisterDeviceNotification(static_cast<HDEVNOTIFY>(handle_));
}

bool IsSerialDeviceChange(const void* msg) {
  const MSG* message = static_cast<const MSG*>(msg);
  if (message == nullptr || message->message != WM_DEVICECHANGE) return false;
  if (message->wParam != DBT_DEVICEARRIVAL && message->wParam != DBT_DEVICEREMOVECOMPLETE) {
    return false;
  }
  const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(message->lParam);
  if (header == nullptr) return false;
  // The interface registered for, and the port broadcast every top-level window gets.
  return header->dbch_devicetype == DBT_DEVTYP_DEVICEINTERFACE ||
         header->dbch_devicetype == DBT_DEVTYP_PORT;
}

}  // namespace quorvex
