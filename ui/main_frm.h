// MainFrm, the main window: eight channel rows, File, Transfer and Language menus, status bar.
#pragma once

#include <QMainWindow>
#include <QSize>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/image_layout.h"
#include "ui/history_window_host.h"

class QAction;
class QComboBox;
class QFont;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;

namespace quorvex {

struct AppContext;
struct CardComparison;
struct HistoryRecord;
struct TextSet;
struct ConfigRecord;
class CardSession;
class ChannelPanel;
class Clock;
class ComPortFrm;
class Operator;
class QtChannelPanel;
class SerialPorts;
class SettingsAutosave;
class TransferGuard;
class WindowHistory;
class HistoryWindow;
struct WindowState;

// What the history notes of the port a COM number leads to now.
struct PortIdentity {
  std::string device;         // the stable device name or the device server's URL, "" for none
  bool deviceServer = false;  // `device` is a device server port's URL
};

// The main window: eight channel rows, the File and Transfer menus and the status bar. Its
// widgets hold the channel settings; the procedures below the window reach them through Panel().
class MainFrm : public QMainWindow, public HistoryWindowHost {
  Q_OBJECT
 public:
  // Restores the settings from `settingsPath` while it is built. `arguments` are the
  // command-line arguments after the program name.
  MainFrm(AppContext& ctx, Operator& op, SerialPorts& ports, Clock& clock, std::string settingsPath,
          std::vector<std::string> arguments, QWidget* parent = nullptr);
  ~MainFrm() override;

  // The COM port dialog, asked for when the operator chooses the menu item: it is made only then.
  void SetComPortFrm(std::function<ComPortFrm&()> comPortFrm);
  // A configuration file named at start, loaded as Load configuration... loads it once the
  // window is first shown; empty for none.
  void LoadWhenShown(std::string path);
  // The history every transfer is recorded in, and History... shows; "" for none (turned off).
  void UseHistory(const std::string& path);
  // How the history names the device behind a COM number; none named without it.
  void SetPortIdentity(std::function<PortIdentity(int)> identify);
  // The history window, made when first asked for; nullptr without a history.
  HistoryWindow* HistoryView();
  const std::string& SettingsPath() const { return settingsPath_; }
  const TextSet& Texts() const override;
  // A history record's configuration put into the channels as Load configuration... puts a
  // file's; nothing goes to a card. Channels changed since they were last loaded, saved, read or
  // written are asked about first. True when loaded.
  bool LoadFromHistory(const HistoryRecord& record) override;
  // How the window asks a yes/no question: a message box unless a test gives another way.
  void SetQuestion(std::function<bool(const std::string&)> ask);

  QtChannelPanel& Panel() { return *panel_; }
  QLabel* StatusPanel() const { return statusPanel_; }
  // Read by the window tests only; kept on purpose, as the state they check has no widget.
  const std::string& RememberedFileName() const { return rememberedFileName_; }
  int LanguageNumber() const override { return languageNumber_; }
  const std::vector<std::string>& RecentFiles() const { return recentFiles_; }
  std::uint16_t RegisterAddress() const;
  bool TransferRunning() const;

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Laid out, start and end, size and place (main_frm.cpp).
  void BuildGrid(QWidget& grid, const QFont& fieldFont);
  void BuildStatusBar();
  void FormCreate(const std::vector<std::string>& arguments);
  void FormShow();
  void FormDestroy();
  WindowState CurrentWindowState() const;
  void FitOuterSize();
  void CentreOnScreen();

  // The menus (main_frm_menus.cpp).
  void BuildMenu();
  void SetFileCommandsEnabled(bool enabled);
  void COMPort1Click();

  // The language switch (main_frm_language.cpp).
  void ChooseLanguage(int languageNumber);
  void CheckLanguageItem();

  // The recent files and a dropped file (main_frm_files.cpp).
  // A file named at start, chosen among the recent ones or dropped on the window, loaded as
  // Load configuration... loads the file chosen in its dialog.
  void LoadNamedFile(const std::string& path);
  void ShowRecentFiles();

  // Channel editing (main_frm_editing.cpp).
  void ConnectHandlers();
  void EditExit(const QWidget& sender);
  void Edit1KeyDown(const QKeyEvent& key);
  bool EditKeyPress(QWidget& sender, const QKeyEvent& key);

  // Card transfers and the guard they run under (main_frm_transfers.cpp).
  void RunTransfer(const std::function<void()>& command);
  CardComparison VergleichenClick();

  // The history (main_frm_history.cpp): each transfer recorded where its outcome is known.
  void RunRecordedTransfer(const char* action, const std::function<CardComparison()>& transfer);
  void RecordTransfer(const char* action, const CardComparison& result, const std::string& message,
                      std::chrono::steady_clock::time_point start);
  void TellHistory(const std::string& text);
  void Verlauf1Click();
  // What the channels held when they were last loaded, saved, read or written, for the question
  // before a history record replaces them.
  void MarkChannelsKept();
  bool ChannelsChangedSinceKept() const;

  // The record (main_frm_record.cpp).
  ConfigRecord MakeRecord() const;
  void Konfigurationdrucken1Click();
  void Protokollexportieren1Click();

  AppContext& ctx_;
  Operator& op_;
  Clock& clock_;
  std::unique_ptr<QtChannelPanel> panel_;
  // The window's card session on the panel above; declared after it, so it is destroyed first.
  std::unique_ptr<CardSession> session_;
  // Writes the settings while the program runs; made after the panel, so destroyed before it.
  std::unique_ptr<SettingsAutosave> autosave_;
  const std::string settingsPath_;

  std::string rememberedFileName_;
  std::string fileToLoad_;
  int languageNumber_ = 0;
  int languageAtStart_ = 0;

  bool shown_ = false;
  bool settingsSaved_ = false;
  // Width and height count the frame; the frame is known only once the window is on screen.
  QSize outerSize_;
  bool outerSizePending_ = true;
  bool fitQueued_ = false;

  std::unique_ptr<TransferGuard> transferGuard_;
  std::unique_ptr<WindowHistory> history_;
  std::unique_ptr<HistoryWindow> historyWindow_;
  std::function<PortIdentity(int)> identifyPort_;
  std::function<bool(const std::string&)> ask_;
  std::optional<ConfigImage> keptImage_;
  std::function<ComPortFrm&()> comPortFrm_;
  QComboBox* comboBox1_ = nullptr;
  std::vector<QLineEdit*> editFields_;
  QLabel* statusPanel_ = nullptr;
  QAction* konfigurationladen1_ = nullptr;
  QAction* konfigurationspeichern1_ = nullptr;
  QAction* beenden1_ = nullptr;
  QAction* konfigurationdrucken1_ = nullptr;
  QAction* protokollexportieren1_ = nullptr;
  QAction* verlauf1_ = nullptr;
  QMenu* datei1_ = nullptr;
  QMenu* sprache1_ = nullptr;
  QAction* englisch1_ = nullptr;
  QAction* deutsch1_ = nullptr;
  std::vector<std::string> recentFiles_;
  // The File menu's entries for them, and the line under them; none while the list is empty.
  std::vector<QAction*> recentItems_;
  bool fileCommandsEnabled_ = true;
};

}  // namespace quorvex
