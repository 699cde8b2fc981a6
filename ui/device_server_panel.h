// The serial device window's part for device servers: the COM numbers served by ports of device
// servers on the network, one added (host, TCP port, protocol) or removed.
#pragma once

#include <QGroupBox>
#include <vector>

#include "core/text_set.h"
#include "link/serial_devices.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTreeWidget;

namespace quorvex {

class DeviceServerAssignments;

class DeviceServerPanel : public QGroupBox {
  Q_OBJECT
 public:
  DeviceServerPanel(DeviceServerAssignments& servers, const TextSet& texts, QWidget* parent);

  // The machine's own devices, as the window lists them: an assigned number that one of them
  // also has is shown as served by the device server, since the assignment wins.
  void ShowLocalDevices(const std::vector<SerialDevice>& devices);

 private:
  void LayOut();
  void Refresh();
  void AddClick();
  void RemoveClick();

  DeviceServerAssignments& servers_;
  const TextSet texts_;
  std::vector<SerialDevice> localDevices_;
  bool numberOffered_ = false;
  QTreeWidget* serverList_ = nullptr;
  QLineEdit* host_ = nullptr;
  QSpinBox* tcpPort_ = nullptr;
  QComboBox* protocol_ = nullptr;
  QSpinBox* comNumber_ = nullptr;
  QPushButton* addButton_ = nullptr;
  QPushButton* removeButton_ = nullptr;
};

}  // namespace quorvex
