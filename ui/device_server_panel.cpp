// The serial device window's part for device servers: assignments shown, added and removed.
#include "ui/device_server_panel.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <exception>
#include <optional>
#include <set>
#include <string>

#include "link/network_port.h"
#include "link/port_names.h"
#include "ui/device_server_ports.h"
#include "ui/error_report.h"
#include "ui/qt_text.h"

namespace quorvex {

namespace {

constexpr int kHighestTcpPort = 65535;
// The list's first column holds the COM number, also as the row's data; the last the note.
constexpr int kComColumn = 0;
constexpr int kNoteColumn = 4;

// The endpoint the operator typed, when it makes a URL that reads back as itself: what is kept
// in the settings file must serve the command line's --port N as well. A host typed in the URL's
// own brackets ("[fe80::1]") is taken without them.
std::optional<NetworkEndpoint> TypedEndpoint(std::string host, int tcpPort,
                                             NetworkProtocol protocol) {
  if (host.size() > 2 && host.front() == '[' && host.back() == ']') {
    host = host.substr(1, host.size() - 2);
  }
  const NetworkEndpoint endpoint{protocol, host, tcpPort};
  const std::optional<NetworkEndpoint> read = ParseNetworkEndpoint(NetworkEndpointUrl(endpoint));
  if (!read || *read != endpoint) return std::nullopt;
  return endpoint;
}

}  // namespace

DeviceServerPanel::DeviceServerPanel(DeviceServerAssignments& servers, const TextSet& texts,
                                     QWidget* parent)
    : QGroupBox(ToQ(texts.serversTitle), parent), servers_(servers), texts_(texts) {
  setObjectName(QStringLiteral("DeviceServerPanel"));
  LayOut();
  connect(&servers_, &DeviceServerAssignments::Changed, this, &DeviceServerPanel::Refresh);
  connect(serverList_, &QTreeWidget::itemSelectionChanged, this,
          [this] { removeButton_->setEnabled(!serverList_->selectedItems().isEmpty()); });
  connect(addButton_, &QPushButton::clicked, this, &DeviceServerPanel::AddClick);
  connect(removeButton_, &QPushButton::clicked, this, &DeviceServerPanel::RemoveClick);
  Refresh();
}

void DeviceServerPanel::LayOut() {
  const TextSet& t = texts_;
  serverList_ = new QTreeWidget(this);
  serverList_->setObjectName(QStringLiteral("ServerList"));
  serverList_->setHeaderLabels({ToQ(t.portColumn), ToQ(t.hostColumn), ToQ(t.tcpPortColumn),
                                ToQ(t.protocolColumn), ToQ(t.noteColumn)});
  serverList_->setRootIsDecorated(false);
  serverList_->setSelectionMode(QAbstractItemView::SingleSelection);
  serverList_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);

  host_ = new QLineEdit(this);
  host_->setObjectName(QStringLiteral("ServerHost"));
  host_->setPlaceholderText(ToQ(t.hostColumn));
  // Room for a host name as plants give them, whatever the language's placeholder.
  host_->setMinimumWidth(host_->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 18);
  tcpPort_ = new QSpinBox(this);
  tcpPort_->setObjectName(QStringLiteral("ServerTcpPort"));
  tcpPort_->setRange(1, kHighestTcpPort);
  tcpPort_->setValue(4001);  // the first serial port of most device servers
  protocol_ = new QComboBox(this);
  protocol_->setObjectName(QStringLiteral("ServerProtocol"));
  protocol_->addItem(ToQ(t.rfc2217Protocol), static_cast<int>(NetworkProtocol::Rfc2217));
  protocol_->addItem(ToQ(t.rawProtocol), static_cast<int>(NetworkProtocol::Raw));
  comNumber_ = new QSpinBox(this);
  comNumber_->setObjectName(QStringLiteral("ServerComNumber"));
  comNumber_->setRange(kFirstComPort, kLastComPort);
  comNumber_->setPrefix(QStringLiteral("COM"));
  addButton_ = new QPushButton(ToQ(t.addServerButton), this);
  addButton_->setObjectName(QStringLiteral("AddServerButton"));
  removeButton_ = new QPushButton(ToQ(t.removeServerButton), this);
  removeButton_->setObjectName(QStringLiteral("RemoveServerButton"));
  // The fields have no label of their own; a screen reader names them as the list's columns.
  host_->setAccessibleName(ToQ(t.hostColumn));
  tcpPort_->setAccessibleName(ToQ(t.tcpPortColumn));
  protocol_->setAccessibleName(ToQ(t.protocolColumn));
  comNumber_->setAccessibleName(ToQ(t.portColumn));
  // As the window's other buttons: Enter in a field closes nothing.
  addButton_->setAutoDefault(false);
  removeButton_->setAutoDefault(false);

  auto* row = new QHBoxLayout;
  row->addWidget(host_, 1);
  row->addWidget(new QLabel(QStringLiteral(":"), this));
  row->addWidget(tcpPort_);
  row->addWidget(protocol_);
  row->addWidget(new QLabel(ToQ(t.serverAsLabel), this));
  row->addWidget(comNumber_);
  row->addWidget(addButton_);
  row->addWidget(removeButton_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(serverList_);
  layout->addLayout(row);
}

void DeviceServerPanel::ShowLocalDevices(const std::vector<SerialDevice>& devices) {
  localDevices_ = devices;
  if (!numberOffered_) {
    // A device server's port most likely gets a number nothing uses yet.
    numberOffered_ = true;
    std::set<int> used;
    for (const SerialDevice& device : devices) used.insert(device.comNumber);
    for (const auto& [comNumber, endpoint] : servers_.Assignments()) used.insert(comNumber);
    int free = kFirstComPort;
    while (free < kLastComPort && used.count(free) != 0) ++free;
    comNumber_->setValue(free);
  }
  Refresh();
}

void DeviceServerPanel::Refresh() {
  serverList_->clear();
  for (const auto& [comNumber, endpoint] : servers_.Assignments()) {
    QString note;
    for (const SerialDevice& device : localDevices_) {
      if (device.comNumber == comNumber) note = ToQ(texts_.serverWins).arg(ToQ(device.path));
    }
    const std::string& protocol =
        endpoint.protocol == NetworkProtocol::Rfc2217 ? texts_.rfc2217Protocol : texts_.rawProtocol;
    auto* item = new QTreeWidgetItem(serverList_,
                                     {QStringLiteral("COM%1").arg(comNumber), ToQ(endpoint.host),
                                      QString::number(endpoint.tcpPort), ToQ(protocol), note});
    item->setData(kComColumn, Qt::UserRole, comNumber);
    item->setToolTip(kNoteColumn, note);
  }
  removeButton_->setEnabled(!serverList_->selectedItems().isEmpty());
}

void DeviceServerPanel::AddClick() {
  const QString host = host_->text().trimmed();
  if (host.isEmpty()) {
    ShowErrorBox(texts_.noServerHost, window());
    return;
  }
  const auto protocol = static_cast<NetworkProtocol>(protocol_->currentData().toInt());
  const std::optional<NetworkEndpoint> endpoint =
      TypedEndpoint(FromQ(host), tcpPort_->value(), protocol);
  if (!endpoint) {
    ShowErrorBox(FromQ(ToQ(texts_.badServerHost).arg(host)), window());
    return;
  }
  try {
    servers_.Assign(comNumber_->value(), *endpoint);
  } catch (const std::exception& e) {
    ShowErrorBox(e.what(), window());
  }
}

void DeviceServerPanel::RemoveClick() {
  const QList<QTreeWidgetItem*> selected = serverList_->selectedItems();
  if (selected.isEmpty()) return;
  try {
    servers_.Remove(selected.front()->data(kComColumn, Qt::UserRole).toInt());
  } catch (const std::exception& e) {
    ShowErrorBox(e.what(), window());
  }
}

}  // namespace quorvex
