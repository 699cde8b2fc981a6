// ComPortFrm, the COM port dialog that sets the port the transfers use.
#pragma once

#include <QDialog>
#include <QPointer>
#include <memory>

#include "link/network_port.h"

class QComboBox;
class QPushButton;

namespace quorvex {

struct AppContext;
class DeviceServerAssignments;
class NetworkProbes;
class SerialPorts;
struct ProbeAnswer;

// The "COM Port" dialog: lists the ports that can be opened exclusively now, and sets
// ctx.comPortNumber from the chosen entry on OK. The COM numbers that device server ports serve
// (DeviceServerAssignments::Serve) are asked side by side off the GUI thread and join the list as
// their servers answer; one assigned while the dialog is up is asked at once.
class ComPortFrm : public QDialog {
  Q_OBJECT
 public:
  ComPortFrm(AppContext& ctx, SerialPorts& ports, QWidget* parent = nullptr);
  ~ComPortFrm() override;

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void ApplyTexts();
  void FormShow();
  void Button1Click();
  void Button2Click();
  // The device server ports of this showing.
  void FollowAssignments();
  void AssignmentsChanged();
  void AskServers(const NetworkAssignments& which);
  void ServerAnswered(int showing, const ProbeAnswer& answer);
  void Offer(int portNumber);
  void Withdraw(int portNumber);

  AppContext& ctx_;
  SerialPorts& ports_;
  QPointer<DeviceServerAssignments> followed_;
  NetworkAssignments served_;  // as this showing knows them
  int showing_ = 0;            // an answer counts only in the showing that asked
  std::unique_ptr<NetworkProbes> probes_;
  QComboBox* comboBox1_ = nullptr;
  QPushButton* button1_ = nullptr;
  QPushButton* button2_ = nullptr;
  QPushButton* portsButton_ = nullptr;  // Windows: the serial device window
};

}  // namespace quorvex
