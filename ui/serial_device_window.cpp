// The serial device window: the machine's serial devices listed, one given a COM number, with
// the device server ports; on Windows its COM ports named, refreshed as devices come and go.
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

#include "link/latency_timer.h"
#include "link/port_names.h"
#include "link/windows_ports.h"
#include "ui/card_tag_panel.h"
#include "ui/device_server_panel.h"
#include "ui/device_server_ports.h"
#include "ui/error_report.h"
#include "ui/qt_text.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// shellapi.h needs the types windows.h defines.
#include <shellapi.h>

#include <QApplication>
#include <QMainWindow>
#include <QMessageBox>
#endif

namespace quorvex {

namespace {

// What tells a row from the others: the device's path on Linux, the port on Windows.
constexpr int kPathColumn = 0;

QString StateText(const SerialDevice& device, const TextSet& t) {
  switch (device.access) {
    case DeviceAccess::kFree:
      return ToQ(t.stateFree);
    case DeviceAccess::kInUse:
      return ToQ(t.stateInUse);
    case DeviceAccess::kNotPermitted:
      return ToQ(t.stateNotPermitted).arg(ToQ(device.group));
    case DeviceAccess::kFailed:
      return ToQ(t.stateFailed).arg(ToQ(device.error));
    case DeviceAccess::kGone:
      return ToQ(t.stateGone);
  }
  return {};
}

QString TimerText(const SerialDevice& device, const TextSet& t) {
  return ToQ(HoldBackValue(device.latencyTimerMs, device.receiveFifoTrigger, t));
}

QStringList RowTexts(const SerialDevice& device, bool systemNamesPorts, const TextSet& t) {
  if (systemNamesPorts) {
    return {ToQ(device.path),       ToQ(device.friendlyName), ToQ(device.maker),
            ToQ(device.stableName), StateText(device, t),     TimerText(device, t)};
  }
  return {
      ToQ(device.path), ToQ(device.stableName),
      device.comNumber > 0 ? QStringLiteral("COM%1").arg(device.comNumber) : QStringLiteral("-"),
      StateText(device, t), TimerText(device, t)};
}

// What a slow adapter timer or UART trigger costs and what helps, a line per device; "" if none.
QString LatencyHint(const std::vector<SerialDevice>& devices, PortSystem system, const TextSet& t) {
  QStringList lines;
  for (const SerialDevice& device : devices) {
    const std::string advice =
        HoldBackAdvice(device.latencyTimerMs, device.receiveFifoTrigger, system, t);
    if (!advice.empty()) lines.append(ToQ(device.path + ": " + advice));
  }
  return lines.join(QLatin1Char('\n'));
}

// What to do about the devices this user may not open, one paragraph per group; "" when none.
QString PermissionHint(const std::vector<SerialDevice>& devices, const TextSet& t) {
  std::map<std::string, QStringList> pathsByGroup;
  for (const SerialDevice& device : devices) {
    if (device.access == DeviceAccess::kNotPermitted) {
      pathsByGroup[device.group].append(ToQ(device.path));
    }
  }
  QStringList paragraphs;
  for (const auto& [group, paths] : pathsByGroup) {
    paragraphs.append(ToQ(t.groupHint).arg(paths.join(QStringLiteral(", ")), ToQ(group)));
  }
  return paragraphs.join(QLatin1Char('\n'));
}

// The suggested number when it is a COM port; else the lowest free one, an operator's likely pick.
int OfferedComNumber(int suggested, const std::vector<SerialDevice>& devices) {
  if (suggested >= kFirstComPort && suggested <= kLastComPort) return suggested;
  std::set<int> used;
  for (const SerialDevice& device : devices) used.insert(device.comNumber);
  int free = kFirstComPort;
  while (free < kLastComPort && used.count(free) != 0) ++free;
  return free;
}

}  // namespace

#ifdef _WIN32

SerialDeviceAccess SystemSerialDeviceAccess() {
  // Plugged and removed devices come as the window's messages (nativeEvent).
  return SerialDeviceAccess{[] { return ListSerialDevices(); }, {}, {}, true, OpenDeviceManager};
}

void OpenDeviceManager(QWidget* dialog) {
  // The dialog is made without a parent; the owner is the program's main window all the same.
  QWidget* owner = dialog->parentWidget() != nullptr ? dialog->parentWidget()->window() : nullptr;
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (owner == nullptr && qobject_cast<QMainWindow*>(top) != nullptr) {
      owner = top;
    }
  }
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(owner != nullptr ? reinterpret_cast<HWND>(owner->winId()) : nullptr, L"open",
                    L"devmgmt.msc", nullptr, nullptr, SW_SHOWNORMAL));
  // 32 and below is a failure (a system without the device manager, a policy that forbids it);
  // a button that did nothing would leave the operator waiting for a window.
  if (result <= 32) {
    QMessageBox::warning(
        dialog, dialog->windowTitle(),
        QStringLiteral("The Windows device manager could not be opened (error %1).").arg(result));
  }
}

#else

SerialDeviceAccess SystemSerialDeviceAccess() {
  return SerialDeviceAccess{[] { return ListSerialDevices(); },
                            [](int n, const std::string& target) { AssignComPort(n, target); },
                            [] { return WatchSerialDevices(); },
                            false,
                            {}};
}

#endif

SerialDeviceWindow::SerialDeviceWindow(int suggestedComNumber, QWidget* parent,
                                       SerialDeviceAccess access, const TextSet& texts)
    : QDialog(parent), access_(std::move(access)), texts_(texts) {
  setObjectName(QStringLiteral("SerialDeviceWindow"));
  setWindowTitle(ToQ(texts_.devicesCaption));
  LayOut();
  resize(720, 320);

  connect(deviceList_, &QTreeWidget::itemSelectionChanged, this,
          &SerialDeviceWindow::SelectionChanged);
  connect(assignButton_, &QPushButton::clicked, this, &SerialDeviceWindow::AssignClick);
  connect(refreshButton_, &QPushButton::clicked, this, &SerialDeviceWindow::Refresh);
  connect(closeButton_, &QPushButton::clicked, this, &QDialog::accept);
  if (deviceManagerButton_ != nullptr) {
    connect(deviceManagerButton_, &QPushButton::clicked, this,
            [this] { access_.deviceManager(this); });
  }

  if (access_.watch) events_ = access_.watch();
  if (events_) {
    eventNotifier_ = new QSocketNotifier(events_->Descriptor(), QSocketNotifier::Read, this);
    connect(eventNotifier_, &QSocketNotifier::activated, this,
            &SerialDeviceWindow::DeviceEventsArrived);
  }

  Refresh();
  comNumber_->setValue(OfferedComNumber(suggestedComNumber, devices_));
}

SerialDeviceWindow::~SerialDeviceWindow() = default;

void SerialDeviceWindow::showEvent(QShowEvent* event) {
#ifdef _WIN32
  if (access_.systemNamesPorts && !notification_) {
    notification_ = std::make_unique<SerialDeviceNotification>(reinterpret_cast<void*>(winId()));
  }
#endif
  QDialog::showEvent(event);
}

void SerialDeviceWindow::hideEvent(QHideEvent* event) {
#ifdef _WIN32
  notification_.reset();
#endif
  QDialog::hideEvent(event);
}

bool SerialDeviceWindow::nativeEvent(const QByteArray& eventType, void* message, qintptr* result) {
#ifdef _WIN32
  if (access_.systemNamesPorts && eventType == "windows_generic_MSG" &&
      IsSerialDeviceChange(message)) {
    RefreshSoon();
  }
#endif
  return QDialog::nativeEvent(eventType, message, result);
}

void SerialDeviceWindow::RefreshSoon() {
  // Windows waits for the answer to its message: the list is read after it, not within it.
  if (refreshPending_) return;
  refreshPending_ = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        refreshPending_ = false;
        Refresh();
      },
      Qt::QueuedConnection);
}

void SerialDeviceWindow::LayOut() {
  const bool windows = access_.systemNamesPorts;
  auto* intro = new QLabel(ToQ(windows ? texts_.portsIntro : texts_.devicesIntro), this);
  intro->setWordWrap(true);

  deviceList_ = new QTreeWidget(this);
  deviceList_->setObjectName(QStringLiteral("DeviceList"));
  deviceList_->setAccessibleName(ToQ(texts_.devicesCaption));
  deviceList_->setAccessibleDescription(intro->text());
  const TextSet& t = texts_;
  const QStringList headers =
      windows ? QStringList{ToQ(t.portColumn),       ToQ(t.nameColumn),  ToQ(t.makerColumn),
                            ToQ(t.stableNameColumn), ToQ(t.stateColumn), ToQ(t.latencyColumn)}
              : QStringList{ToQ(t.deviceColumn), ToQ(t.stableNameColumn), ToQ(t.portColumn),
                            ToQ(t.stateColumn), ToQ(t.latencyColumn)};
  deviceList_->setColumnCount(static_cast<int>(headers.size()));
  deviceList_->setHeaderLabels(headers);
  deviceList_->setRootIsDecorated(false);
  deviceList_->setSelectionMode(QAbstractItemView::SingleSelection);
  deviceList_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);

  emptyLabel_ = new QLabel(ToQ(t.noDevices), this);
  emptyLabel_->setObjectName(QStringLiteral("EmptyLabel"));
  permissionHint_ = new QLabel(this);
  permissionHint_->setObjectName(QStringLiteral("PermissionHint"));
  permissionHint_->setWordWrap(true);
  permissionHint_->setTextFormat(Qt::PlainText);
  permissionHint_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  latencyHint_ = new QLabel(this);
  latencyHint_->setObjectName(QStringLiteral("LatencyHint"));
  latencyHint_->setWordWrap(true);
  latencyHint_->setTextFormat(Qt::PlainText);
  latencyHint_->setTextInteractionFlags(Qt::TextSelectableByMouse);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(intro);
  layout->addWidget(deviceList_);
  layout->addWidget(emptyLabel_);
  layout->addWidget(permissionHint_);
  layout->addWidget(latencyHint_);
  QWidget* assignRow = AssignRow();
  layout->addWidget(assignRow);
  if (windows) {
    // The COM number belongs to the device there; changing it is the device manager's job.
    assignRow->hide();
    auto* renumber = new QLabel(ToQ(t.renumberHint), this);
    renumber->setObjectName(QStringLiteral("RenumberHint"));
    renumber->setWordWrap(true);
    layout->addWidget(renumber);
  }
  if (DeviceServerAssignments* servers = DeviceServerAssignments::For(this)) {
    serverPanel_ = new DeviceServerPanel(*servers, texts_, this);
    layout->addWidget(serverPanel_);
  }
  if (CardTagStore* tags = CardTagStore::For(this)) {
    layout->addWidget(new CardTagPanel(*tags, texts_, *comNumber_, this));
  }
  layout->addLayout(ButtonRow());
}

QWidget* SerialDeviceWindow::AssignRow() {
  auto* container = new QWidget(this);
  container->setObjectName(QStringLiteral("AssignRow"));
  auto* assignLabel = new QLabel(ToQ(texts_.assignLabel), container);
  comNumber_ = new QSpinBox(container);
  comNumber_->setObjectName(QStringLiteral("ComNumber"));
  comNumber_->setRange(kFirstComPort, kLastComPort);
  comNumber_->setPrefix(QStringLiteral("COM"));
  assignLabel->setBuddy(comNumber_);
  assignButton_ = new QPushButton(ToQ(texts_.assignButton), container);
  assignButton_->setObjectName(QStringLiteral("AssignButton"));
  // Enter in the spin box should not close the window before anything was assigned.
  assignButton_->setAutoDefault(false);

  auto* row = new QHBoxLayout(container);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(assignLabel);
  row->addWidget(comNumber_);
  row->addWidget(assignButton_);
  row->addStretch();
  return container;
}

QLayout* SerialDeviceWindow::ButtonRow() {
  refreshButton_ = new QPushButton(ToQ(texts_.refreshButton), this);
  refreshButton_->setObjectName(QStringLiteral("RefreshButton"));
  closeButton_ = new QPushButton(ToQ(texts_.closeButton), this);
  closeButton_->setObjectName(QStringLiteral("CloseButton"));
  // As the Assign button: Enter in the spin box closes nothing.
  refreshButton_->setAutoDefault(false);
  closeButton_->setAutoDefault(false);

  auto* row = new QHBoxLayout;
  row->addWidget(refreshButton_);
  if (access_.deviceManager) {
    deviceManagerButton_ = new QPushButton(ToQ(texts_.deviceManagerItem), this);
    deviceManagerButton_->setObjectName(QStringLiteral("DeviceManagerButton"));
    deviceManagerButton_->setAutoDefault(false);
    row->addWidget(deviceManagerButton_);
  }
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
    auto* item =
        new QTreeWidgetItem(deviceList_, RowTexts(device, access_.systemNamesPorts, texts_));
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
  const QString hint = PermissionHint(devices_, texts_);
  permissionHint_->setText(hint);
  permissionHint_->setVisible(!hint.isEmpty());
  const QString latency = LatencyHint(
      devices_, access_.systemNamesPorts ? PortSystem::kWindows : PortSystem::kLinux, texts_);
  latencyHint_->setText(latency);
  latencyHint_->setVisible(!latency.isEmpty());
  if (serverPanel_ != nullptr) serverPanel_->ShowLocalDevices(devices_);
  SelectionChanged();
}

void SerialDeviceWindow::DeviceEventsArrived() {
  if (events_->TakeEvents()) Refresh();
}

void SerialDeviceWindow::SelectionChanged() {
  assignButton_->setEnabled(access_.assign && !deviceList_->selectedItems().isEmpty());
}

void SerialDeviceWindow::AssignClick() {
  const QList<QTreeWidgetItem*> selected = deviceList_->selectedItems();
  if (selected.isEmpty() || !access_.assign) {
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
