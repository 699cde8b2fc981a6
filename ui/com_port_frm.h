// ComPortFrm, the COM port dialog that sets the port the transfers use.
#pragma once

#include <QDialog>

class QComboBox;
class QPushButton;

namespace quorvex {

struct AppContext;
class SerialPorts;

// The "COM Port" dialog: lists the ports that can be opened exclusively now, and sets
// ctx.comPortNumber from the chosen entry on OK.
class ComPortFrm : public QDialog {
  Q_OBJECT
 public:
  ComPortFrm(AppContext& ctx, SerialPorts& ports, QWidget* parent = nullptr);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void ApplyTexts();
  void FormShow();
  void Button1Click();
  void Button2Click();

  AppContext& ctx_;
  SerialPorts& ports_;
  QComboBox* comboBox1_ = nullptr;
  QPushButton* button1_ = nullptr;
  QPushButton* button2_ = nullptr;
  QPushButton* portsButton_ = nullptr;  // Windows: the serial device window
};

}  // namespace quorvex
