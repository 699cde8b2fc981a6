// The window's device server ports: assignments kept in the settings file, ports that follow them.
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

ReassignableSerialPorts::ReassignableSerialPorts(LocalPorts makeLocal,
                                                 NetworkAssignments assignments)
    : makeLocal_(std::move(makeLocal)) {
  Reassign(std::move(assignments));
}

ReassignableSerialPorts::~ReassignableSerialPorts() = default;

void ReassignableSerialPorts::Reassign(NetworkAssignments assignments) {
  if (current_) earlier_.push_back(std::move(current_));
  current_ = MakeAssignedSerialPorts(makeLocal_(), std::move(assignments));
  current_->SetLineReport(report_);
}

std::unique_ptr<SerialLine> ReassignableSerialPorts::Open(int portNumber) {
  return current_->Open(portNumber);
}

bool ReassignableSerialPorts::Probe(int portNumber) {
  return current_->Probe(portNumber);
}

void ReassignableSerialPorts::SetLineReport(LineReport report) {
  report_ = std::move(report);
  current_->SetLineReport(report_);
}

}  // namespace quorvex
