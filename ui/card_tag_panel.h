// The card's tag entered beside the serial device window's ports: the analyser's plant tag a COM
// number leads to (through a device server's port where one is assigned), kept in the settings.
#pragma once

#include <QGroupBox>
#include <QObject>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace quorvex {

class DeviceServerAssignments;
struct TextSet;

// The settings file the tags are kept in, offered to the serial device windows opened from a
// window, as DeviceServerAssignments offers its ports.
class CardTagStore : public QObject {
  Q_OBJECT
 public:
  explicit CardTagStore(std::string settingsPath, QObject* parent = nullptr)
      : QObject(parent), settingsPath_(std::move(settingsPath)) {}
  const std::string& SettingsPath() const { return settingsPath_; }
  void Serve(QWidget& window);
  static CardTagStore* For(const QWidget* window);

 private:
  const std::string settingsPath_;
};

// "Card tag of COM [n]: [tag] [Keep]". The tag shown is the one kept for the number's port or,
// where the number is assigned to a device server's port, for that port.
class CardTagPanel : public QGroupBox {
  Q_OBJECT
 public:
  // Shows the tag of the COM number `comNumber` holds, and follows it as it changes: the window's
  // own number, offered for the port the operator came for.
  CardTagPanel(CardTagStore& store, const TextSet& texts, const QSpinBox& comNumber,
               QWidget* parent);
  void SetComNumber(int comNumber);

 private:
  std::string Key() const;
  void ShowStored();
  void Keep();

  CardTagStore& store_;
  QSpinBox* comNumber_ = nullptr;
  QLineEdit* tag_ = nullptr;
  QPushButton* keep_ = nullptr;
  QLabel* keptFor_ = nullptr;
};

}  // namespace quorvex
