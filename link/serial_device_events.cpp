// Serial devices plugged in or removed, as udev announces them once their nodes are ready.
#include <libudev.h>

#include <cstring>
#include <memory>

#include "link/serial_devices.h"

namespace quorvex {
namespace {

struct UdevDeleter {
  void operator()(udev* u) const { udev_unref(u); }
  void operator()(udev_monitor* m) const { udev_monitor_unref(m); }
  void operator()(udev_device* d) const { udev_device_unref(d); }
};
template <typename T>
using UdevPtr = std::unique_ptr<T, UdevDeleter>;

// udev's own events, not the kernel's: they come once the node has its permissions and its
// /dev/serial/by-id name, so the list read then is already complete.
class UdevSerialDeviceEvents : public SerialDeviceEvents {
 public:
  UdevSerialDeviceEvents(UdevPtr<udev> context, UdevPtr<udev_monitor> monitor)
      : context_(std::move(context)), monitor_(std::move(monitor)) {}

  int Descriptor() const override { return udev_monitor_get_fd(monitor_.get()); }

  bool TakeEvents() override {
    bool changed = false;
    // The monitor's socket does not block: this ends when nothing more is pending.
    while (UdevPtr<udev_device> device{udev_monitor_receive_device(monitor_.get())}) {
      const char* action = udev_device_get_action(device.get());
      if (action != nullptr &&
          (std::strcmp(action, "add") == 0 || std::strcmp(action, "remove") == 0)) {
        changed = true;
      }
    }
    return changed;
  }

 private:
  UdevPtr<udev> context_;
  UdevPtr<udev_monitor> monitor_;
};

}  // namespace

std::unique_ptr<SerialDeviceEvents> WatchSerialDevices() {
  UdevPtr<udev> context{udev_new()};
  if (!context) return nullptr;
  UdevPtr<udev_monitor> monitor{udev_monitor_new_from_netlink(context.get(), "udev")};
  if (!monitor ||
      udev_monitor_filter_add_match_subsystem_devtype(monitor.get(), "tty", nullptr) < 0 ||
      udev_monitor_enable_receiving(monitor.get()) < 0) {
    return nullptr;
  }
  return std::make_unique<UdevSerialDeviceEvents>(std::move(context), std::move(monitor));
}

}  // namespace quorvex
