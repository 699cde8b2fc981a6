// The serial device window: the machine's serial devices listed, one given a COM number.
#include "ui/serial_device_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSocketNotifier>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <exception>
#include <map>
#include <set>
#include <utility>

#include "link/port_names.h"
#include "ui/error_report.h"
#include "ui/qt_text.h"

namespace quorvex {

namespace {

enum Column { kPathColumn, kStableNameColumn, kComColumn, kStateColumn };

QString StateText(const SerialDevice& device) {
  switch (device.access) {
    case DeviceAccess::kFree:
      return QStringLiteral("free");
    case DeviceAccess::kInUse:
      return QStringLiteral("in use by another program");
    case DeviceAccess::kNotPermitted:
      return QStringLiteral("not permitted (group %1)").arg(ToQ(device.group));
    case DeviceAccess::kFailed:
      return QStringLiteral("cannot be opened: %1").arg(ToQ(device.error));
    case DeviceAccess::kGone:
      return QStringLiteral("gone (not attached)");
  }
  return {};
}

// What to do about the devices this user may not open, one paragraph per group; "" when none.
QString PermissionHint(const std::vector<SerialDevice>& devices) {
  std::map<std::string, QStringList> pathsByGroup;
  for (const SerialDevice& device : devices) {
    if (device.access == DeviceAccess::kNotPermitted) {
      pathsByGroup[device.group].append(ToQ(device.path));
    }
  }
  QStringList paragraphs;
  for (const auto& [group, paths] : pathsByGroup) {
    paragraphs.append(QStringLiteral("%1 may only be opened by members of the group %2. Add your "
                                     "user to that group (sudo usermod -a -G %2 $USER), then log "
                                     "out and log in again.")
                          .arg(paths.join(QStringLiteral(", ")), ToQ(group)));
  }
  return paragraphs.join(QLatin1Char('\n'));
}

// The suggested number when it is a COM port; otherwise the lowest number no device uses yet,
// the one an operator would most likely pick.
int OfferedComNumber(int suggested, const std::vector<SerialDevice>& devices) {
  if (suggested >= kFirstComPort && suggested <= kLastComPort) return suggested;
  std::set<int> used;
  for (const SerialDevice& device : devices) used.insert(device.comNumber);
  int free = kFirstComPort;
  while (free < kLastComPort && used.count(free) != 0) ++free;
  return free;
}

}  // namespace

SerialDeviceAccess SystemSerialDeviceAccess() {
  return SerialDeviceAccess{[] { return ListSerialDevices(); },
                            [](int n, const std::string& target) { AssignComPort(n, target); },
                            [] { return WatchSerialDevices(); }};
}

SerialDeviceWindow::SerialDeviceWindow(int suggestedComNumber, QWidget* parent,
                                       SerialDeviceAccess access)
    : QDialog(parent), access_(std::move(access)) {
  setObjectName(QStringLiteral("SerialDeviceWindow"));
  setWindowTitle(QStringLiteral("Serial devices"));
  LayOut();
  resize(720, 320);

  connect(deviceList_, &QTreeWidget::itemSelectionChanged, this,
          &SerialDeviceWindow::SelectionChanged);
  connect(assignButton_, &QPushButton::clicked, this, &SerialDeviceWindow::AssignClick);
  connect(refreshButton_, &QPushButton::clicked, this, &SerialDeviceWindow::Refresh);
  connect(closeButton_, &QPushButton::clicked, this, &QDialog::accept);

  if (access_.watch) events_ = access_.watch();
  if (events_) {
    eventNotifier_ = new QSocketNotifier(events_->Descriptor(), QSocketNotifier::Read, this);
    connect(eventNotifier_, &QSocketNotifier::activated, this,
            &SerialDeviceWindow::DeviceEventsArrived);
  }

  Refresh();
  comNumber_->setValue(OfferedComNumber(suggestedComNumber, devices_));
}

void SerialDeviceWindow::LayOut() {
  auto* intro = new QLabel(
      QStringLiteral("Serial devices of this computer and the COM port each is reached through:"),
      this);
  intro->setWordWrap(true);

  deviceList_ = new QTreeWidget(this);
  deviceList_->setObjectName(QStringLiteral("DeviceList"));
  deviceList_->setColumnCount(4);
  deviceList_->setHeaderLabels({QStringLiteral("Device"), QStringLiteral("Stable name"),
                                QStringLiteral("COM port"), QStringLiteral("State")});
  deviceList_->setRootIsDecorated(false);
  deviceList_->setSelectionMode(QAbstractItemView::SingleSelection);
  deviceList_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);

  emptyLabel_ = new QLabel(QStringLiteral("No serial devices found."), this);
  emptyLabel_->setObjectName(QStringLiteral("EmptyLabel"));
  permissionHint_ = new QLabel(this);
  permissionHint_->setObjectName(QStringLiteral("PermissionHint"));
  permissionHint_->setWordWrap(true);
  permissionHint_->setTextFormat(Qt::PlainText);
  permissionHint_->setTextInteractionFlags(Qt::TextSelectableByMouse);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(intro);
  layout->addWidget(deviceList_);
  layout->addWidget(emptyLabel_);
  layout->addWidget(permissionHint_);
  layout->addLayout(AssignRow());
  layout->addLayout(ButtonRow());
}

QLayout* SerialDeviceWindow::AssignRow() {
  auto* assignLabel = new QLabel(QStringLiteral("Assign the selected device to"), this);
  comNumber_ = new QSpinBox(this);
  comNumber_->setObjectName(QStringLiteral("ComNumber"));
  comNumber_->setRange(kFirstComPort, kLastComPort);
  comNumber_->setPrefix(QStringLiteral("COM"));
  assignLabel->setBuddy(comNumber_);
  assignButton_ = new QPushButton(QStringLiteral("Assign"), this);
  assignButton_->setObjectName(QStringLiteral("AssignButton"));
  // Enter in the spin box should not close the window before anything was assigned.
  assignButton_->setAutoDefault(false);

  auto* row = new QHBoxLayout;
  row->addWidget(assignLabel);
  row->addWidget(comNumber_);
  row->addWidget(assignButton_);
  row->addStretch();
  return row;
}

QLayout* SerialDeviceWindow::ButtonRow() {
  refreshButton_ = new QPushButton(QStringLiteral("Refresh"), this);
  refreshButton_->setObjectName(QStringLiteral("RefreshButton"));
  closeButton_ = new QPushButton(QStringLiteral("Close"), this);
  closeButton_->setObjectName(QStringLiteral("CloseButton"));
  // As the Assign button: Enter in the spin box closes nothing.
  refreshButton_->setAutoDefault(false);
  closeButton_->setAutoDefault(false);

  auto* row = new QHBoxLayout;
  row->addWidget(refreshButton_);
  row->addStretch();
  row->addWidget(closeButton_);
  return row;
}

void SerialDeviceWindow::Refresh() {
  // Keep the operator's device selected across the rebuild; paths stay put while names may move.
  QString selectedPath;
  if (QTreeWidgetItem* current = deviceList_->currentItem(); current != nullptr) {
    selectedPath = current->text(kPathColumn);
  }

  try {
    devices_ = access_.list();
  } catch (const std::exception& e) {
    devices_.clear();
    ShowErrorBox(e.what(), this);
  }

  deviceList_->clear();
  QTreeWidgetItem* reselect = nullptr;
  for (const SerialDevice& device : devices_) {
    auto* item = new QTreeWidgetItem(deviceList_);
    item->setText(kPathColumn, ToQ(device.path));
    item->setText(kStableNameColumn, ToQ(device.stableName));
    item->setText(kComColumn, device.comNumber > 0 ? QStringLiteral("COM%1").arg(device.comNumber)
                                                   : QStringLiteral("-"));
    item->setText(kStateColumn, StateText(device));
    if (!selectedPath.isEmpty() && item->text(kPathColumn) == selectedPath) {
      reselect = item;
    }
  }
  if (reselect == nullptr && deviceList_->topLevelItemCount() == 1) {
    reselect = deviceList_->topLevelItem(0);
  }
  if (reselect != nullptr) {
    deviceList_->setCurrentItem(reselect);
  }
  emptyLabel_->setVisible(devices_.empty());
  const QString hint = PermissionHint(devices_);
  permissionHint_->setText(hint);
  permissionHint_->setVisible(!hint.isEmpty());
  SelectionChanged();
}

void SerialDeviceWindow::DeviceEventsArrived() {
  if (events_->TakeEvents()) Refresh();
}

void SerialDeviceWindow::SelectionChanged() {
  assignButton_->setEnabled(!deviceList_->selectedItems().isEmpty());
}

void SerialDeviceWindow::AssignClick() {
  const QList<QTreeWidgetItem*> selected = deviceList_->selectedItems();
  if (selected.isEmpty()) {
    return;
  }
  const int row = deviceList_->indexOfTopLevelItem(selected.front());
  if (row < 0 || static_cast<std::size_t>(row) >= devices_.size()) {
    return;
  }
  const SerialDevice& device = devices_[static_cast<std::size_t>(row)];
  // The stable name survives re-plugging and reboots, when the kernel may hand out another path.
  const std::string target = device.stableName.empty() ? device.path : device.stableName;
  try {
    access_.assign(comNumber_->value(), target);
  } catch (const std::exception& e) {
    ShowErrorBox(e.what(), this);
    return;
  }
  Refresh();
}

}  // namespace quorvex
