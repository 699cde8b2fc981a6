// The window's device server ports: the COM numbers assigned to ports of device servers on the
// network, kept in the settings file.
#pragma once

#include <QObject>
#include <string>

#include "link/network_port.h"
#include "storage/settings.h"

class QWidget;

namespace quorvex {

// The assignments of the running program. Each change is written to the settings file at once,
// as a device's COM number is (its link is made at once too), and only then takes effect.
class DeviceServerAssignments : public QObject {
  Q_OBJECT
 public:
  // Reads the assignments the settings file holds.
  explicit DeviceServerAssignments(std::string settingsPath, QObject* parent = nullptr);

  // Those whose URL reads; an entry damaged by hand is left out, and left in the file as it is.
  NetworkAssignments Assignments() const;

  // COM n is served by `endpoint` from now on, instead of whatever served it before. Throws
  // FileError "Unable to write to <path>" and changes nothing when the file cannot be written.
  void Assign(int comNumber, const NetworkEndpoint& endpoint);
  // COM n is a port of this machine again. Throws as Assign.
  void Remove(int comNumber);

  // The serial device window opened from `window` (or from a window inside it) offers these.
  // The program's COM port dialog opens that window; this keeps the dialog as it is.
  void Serve(QWidget& window);
  // The assignments that serve `window`: its own or those of the window it lies in; nullptr
  // when none do.
  static DeviceServerAssignments* For(const QWidget* window);

 signals:
  void Changed();

 private:
  void Save(DeviceServerPorts ports);

  const std::string settingsPath_;
  DeviceServerPorts stored_;
};

}  // namespace quorvex
