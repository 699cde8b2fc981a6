// The window's device server ports: the assignments kept in the settings file.
#include "ui/device_server_ports.h"

#include <QPointer>
#include <QVariant>
#include <QWidget>
#include <utility>

#include "procedures/network_assignments.h"

namespace quorvex {

namespace {

constexpr const char* kServingProperty = "quorvexDeviceServers";

}  // namespace

DeviceServerAssignments::DeviceServerAssignments(std::string settingsPath, QObject* parent)
    : QObject(parent),
      settingsPath_(std::move(settingsPath)),
      stored_(StoredDeviceServerPorts(settingsPath_)) {}

NetworkAssignments DeviceServerAssignments::Assignments() const {
  return NetworkAssignmentsFrom(stored_);
}

void DeviceServerAssignments::Assign(int comNumber, const NetworkEndpoint& endpoint) {
  DeviceServerPorts ports = stored_;
  ports[comNumber] = NetworkEndpointUrl(endpoint);
  Save(std::move(ports));
}

void DeviceServerAssignments::Remove(int comNumber) {
  DeviceServerPorts ports = stored_;
  ports.erase(comNumber);
  Save(std::move(ports));
}

void DeviceServerAssignments::Save(DeviceServerPorts ports) {
  SaveDeviceServerPorts(settingsPath_, ports);
  stored_ = std::move(ports);
  emit Changed();
}

void DeviceServerAssignments::Serve(QWidget& window) {
  // Guarded: a window may outlive what served it (the program's dialogs outlive the main window).
  window.setProperty(kServingProperty, QVariant::fromValue(QPointer<QObject>(this)));
}

DeviceServerAssignments* DeviceServerAssignments::For(const QWidget* window) {
  for (; window != nullptr; window = window->parentWidget()) {
    const QVariant serving = window->property(kServingProperty);
    if (serving.isValid()) {
      return qobject_cast<DeviceServerAssignments*>(serving.value<QPointer<QObject>>().data());
    }
  }
  return nullptr;
}

}  // namespace quorvex
