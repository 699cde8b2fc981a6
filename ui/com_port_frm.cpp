// The COM port dialog: the ports free now, the chosen one, the device manager button.
#include "ui/com_port_frm.h"

#include <QComboBox>
#include <QHideEvent>
#include <QMetaObject>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>

#include "core/app_context.h"
#include "link/port_names.h"
#include "link/serial_line.h"
#include "procedures/network_probes.h"
#include "ui/accessible_names.h"
#include "ui/device_server_ports.h"
#include "ui/qt_text.h"
#include "ui/serial_device_window.h"

namespace quorvex {

namespace {

const QString kEntryPrefix = QStringLiteral("COM");

QString EntryFor(int portNumber) {
  return kEntryPrefix + QString::number(portNumber);
}

// The number behind "COM" in a list entry; 0 for anything that is not a plain decimal number, so
// a malformed entry can never turn into a negative or arbitrary port.
int PortNumberOfEntry(const QString& entry) {
  if (entry.size() <= kEntryPrefix.size()) {
    return 0;
  }
  const QString digits = entry.mid(kEntryPrefix.size());
  for (QChar c : digits) {
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
      return 0;
    }
  }
  bool ok = false;
  const int number = digits.toInt(&ok, 10);
  return ok ? number : 0;
}

}  // namespace

ComPortFrm::ComPortFrm(AppContext& ctx, SerialPorts& ports, QWidget* parent)
    : QDialog(parent), ctx_(ctx), ports_(ports) {
  setObjectName(QStringLiteral("ComPortFrm"));
  setFixedSize(238, 100);

  // Created in tab order, so the focus chain is right from the start.
  comboBox1_ = new QComboBox(this);
  comboBox1_->setObjectName(QStringLiteral("ComboBox1"));
  comboBox1_->setEditable(false);
  // Its height follows from the font, which is measured only when the dialog is first shown:
  // the dialog is made at start-up, hidden.
  comboBox1_->setGeometry(128, 16, 89, 0);

  button1_ = new QPushButton(this);
  button1_->setObjectName(QStringLiteral("Button1"));
  button1_->setGeometry(88, 56, 75, 25);

  button2_ = new QPushButton(this);
  button2_->setObjectName(QStringLiteral("Button2"));
  button2_->setGeometry(8, 16, 105, 25);

  setTabOrder(comboBox1_, button1_);
  setTabOrder(button1_, button2_);

  connect(button1_, &QPushButton::clicked, this, &ComPortFrm::Button1Click);
  connect(button2_, &QPushButton::clicked, this, &ComPortFrm::Button2Click);

#ifdef _WIN32
  // The device manager keeps its button; the ports with their names are one more, in the free
  // corner under it, last in the tab order.
  portsButton_ = new QPushButton(this);
  portsButton_->setObjectName(QStringLiteral("PortsButton"));
  portsButton_->setGeometry(8, 56, 72, 25);
  setTabOrder(button2_, portsButton_);
  connect(portsButton_, &QPushButton::clicked, this, [this] {
    SerialDeviceWindow devices(ctx_.comPortNumber, this, SystemSerialDeviceAccess(), ctx_.texts);
    devices.exec();
  });
#endif
  ApplyTexts();
}

ComPortFrm::~ComPortFrm() {
  // First of all: no probe may queue an answer for a dialog on its way out.
  probes_.reset();
}

void ComPortFrm::ApplyTexts() {
  const TextSet& t = ctx_.texts;
  setWindowTitle(ToQ(t.comPortCaption));
  button1_->setText(ToQ(t.okButton));
  button2_->setText(ToQ(t.deviceManagerButton));
  NameList(*comboBox1_, ToQ(t.portColumn));
  if (portsButton_ != nullptr) portsButton_->setText(ToQ(t.portsButton));
}

void ComPortFrm::showEvent(QShowEvent* event) {
  // A dialog restored after being minimised is not a new showing: keep the operator's choice.
  if (!event->spontaneous()) {
    comboBox1_->resize(comboBox1_->width(), comboBox1_->sizeHint().height());
    const QScreen* where = screen();
    if (where != nullptr) {
      move(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, frameGeometry().size(),
                               where->availableGeometry())
               .topLeft());
    }
    // The language may have changed since the last showing.
    ApplyTexts();
    FormShow();
  }
  QDialog::showEvent(event);
}

void ComPortFrm::hideEvent(QHideEvent* event) {
  // Minimised is still this showing; closed, its servers' answers no longer count.
  if (!event->spontaneous()) {
    probes_.reset();
    ++showing_;
  }
  QDialog::hideEvent(event);
}

void ComPortFrm::FormShow() {
  ++showing_;
  FollowAssignments();
  served_ = followed_ ? followed_->Assignments() : NetworkAssignments{};
  comboBox1_->clear();
  for (int n = kFirstComPort; n <= kLastComPort; ++n) {
    // A device server may take seconds to answer: its numbers are asked aside, below.
    if (served_.count(n) != 0) continue;
    // Tried exclusively and let go at once, without touching the line's settings: only a port
    // nobody holds makes the list.
    if (ports_.Probe(n)) comboBox1_->addItem(EntryFor(n));
  }
  // A list that gets items selects the first one by itself; the current port or nothing.
  comboBox1_->setCurrentIndex(comboBox1_->findText(EntryFor(ctx_.comPortNumber)));
  AskServers(served_);
}

void ComPortFrm::FollowAssignments() {
  DeviceServerAssignments* serving = DeviceServerAssignments::For(this);
  if (serving == followed_) return;
  if (followed_) disconnect(followed_, nullptr, this, nullptr);
  followed_ = serving;
  if (followed_) {
    connect(followed_, &DeviceServerAssignments::Changed, this, &ComPortFrm::AssignmentsChanged);
  }
}

void ComPortFrm::AssignmentsChanged() {
  // A hidden dialog reads them afresh when it is next shown.
  if (!isVisible() || !followed_) return;
  const NetworkAssignments now = followed_->Assignments();
  for (const auto& [n, endpoint] : served_) {
    if (now.count(n) != 0) continue;
    // A port of this machine again.
    Withdraw(n);
    if (ports_.Probe(n)) Offer(n);
  }
  NetworkAssignments changed;
  for (const auto& [n, endpoint] : now) {
    const auto was = served_.find(n);
    if (was != served_.end() && was->second == endpoint) continue;
    // Whatever served the number before no longer does; the new server is offered once it answers.
    Withdraw(n);
    changed.emplace(n, endpoint);
  }
  served_ = now;
  AskServers(changed);
}

void ComPortFrm::AskServers(const NetworkAssignments& which) {
  if (which.empty()) return;
  if (!probes_) {
    probes_ = std::make_unique<NetworkProbes>([this, showing = showing_](const ProbeAnswer& a) {
      // On the probe's thread. The dialog stops these reports before it goes (probes_.reset()),
      // and Qt drops a queued call whose receiver has gone.
      QMetaObject::invokeMethod(
          this, [this, showing, a] { ServerAnswered(showing, a); }, Qt::QueuedConnection);
    });
  }
  for (const auto& [n, endpoint] : which) probes_->Start(n, endpoint);
}

void ComPortFrm::ServerAnswered(int showing, const ProbeAnswer& answer) {
  if (showing != showing_ || !answer.answers) return;
  // An answer from a server the number no longer leads to says nothing about it.
  const auto at = served_.find(answer.comNumber);
  if (at != served_.end() && at->second == answer.endpoint) Offer(answer.comNumber);
}

void ComPortFrm::Offer(int portNumber) {
  const QString entry = EntryFor(portNumber);
  if (comboBox1_->findText(entry) >= 0) return;
  // The operator's choice stays; without one, the current port is chosen once it is listed, as
  // at the showing.
  const QString chosen =
      comboBox1_->currentIndex() < 0 ? EntryFor(ctx_.comPortNumber) : comboBox1_->currentText();
  int at = 0;
  while (at < comboBox1_->count() && PortNumberOfEntry(comboBox1_->itemText(at)) < portNumber) {
    ++at;
  }
  comboBox1_->insertItem(at, entry);
  comboBox1_->setCurrentIndex(comboBox1_->findText(chosen));
}

void ComPortFrm::Withdraw(int portNumber) {
  const int at = comboBox1_->findText(EntryFor(portNumber));
  if (at < 0) return;
  const bool wasChosen = at == comboBox1_->currentIndex();
  const QString chosen = comboBox1_->currentText();
  comboBox1_->removeItem(at);
  // The choice goes with its entry rather than moving to a neighbour.
  comboBox1_->setCurrentIndex(wasChosen ? -1 : comboBox1_->findText(chosen));
}

void ComPortFrm::Button1Click() {
  ctx_.comPortNumber =
      comboBox1_->currentIndex() < 0 ? 0 : PortNumberOfEntry(comboBox1_->currentText());
  accept();
}

void ComPortFrm::Button2Click() {
#ifdef _WIN32
  OpenDeviceManager(this);
#else
  SerialDeviceWindow devices(ctx_.comPortNumber, this, SystemSerialDeviceAccess(), ctx_.texts);
  devices.exec();
#endif
}

}  // namespace quorvex
