// MainFrm, the main window: eight channel rows, File, Transfer and Language menus, status bar.
#pragma once

#include <QMainWindow>
#include <QSize>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QComboBox;
class QFont;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;

namespace quorvex {

struct AppContext;
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
struct WindowState;

// The main window: eight channel rows, the File and Transfer menus and the status bar. Its
// widgets hold the channel settings; the procedures below the window reach them through Panel().
class MainFrm : public QMainWindow {
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

  QtChannelPanel& Panel() { return *panel_; }
  QLabel* StatusPanel() const { return statusPanel_; }
  // Read by the window tests only; kept on purpose, as the state they check has no widget.
  const std::string& RememberedFileName() const { return rememberedFileName_; }
  int LanguageNumber() const { return languageNumber_; }
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
  void VergleichenClick();

  // The record (main_frm_record.cpp).
  ConfigRecord MakeRecord() const;
  void Konfigurationdrucken1Click();
  void Protokollexportieren1Click();

  AppContext& ctx_;
  Operator& op_;
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
  std::function<ComPortFrm&()> comPortFrm_;
  QComboBox* comboBox1_ = nullptr;
  std::vector<QLineEdit*> editFields_;
  QLabel* statusPanel_ = nullptr;
  QAction* konfigurationladen1_ = nullptr;
  QAction* konfigurationspeichern1_ = nullptr;
  QAction* beenden1_ = nullptr;
  QAction* konfigurationdrucken1_ = nullptr;
  QAction* protokollexportieren1_ = nullptr;
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
