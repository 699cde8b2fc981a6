// The working state written to the settings file while the program runs, not only at exit.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <string>

#include "procedures/autosave_policy.h"

namespace quorvex {

class ChannelPanel;
class Clock;
class Operator;
struct AppContext;
struct WindowState;

// Drives an AutosavePolicy with the window's events and a timer, and writes with SaveSettings,
// the exit's own write. A failed write shows no box, as the operator is in the middle of other
// work: it goes to the debug log, and the exit reports it as ever.
class SettingsAutosave : public QObject {
 public:
  SettingsAutosave(std::string settingsPath, const ChannelPanel& panel, const AppContext& ctx,
                   std::function<WindowState()> window, Operator& op, Clock& clock,
                   AutosaveTiming timing = {}, QObject* parent = nullptr);

  // From here on events count; the state shown now is taken as the one the file holds.
  void Start();
  // The exit write takes over; nothing is written from here on.
  void Stop();

  void Changed();
  void CommandCompleted();

  // One transfer, for as long as it lives.
  class Transfer {
   public:
    explicit Transfer(SettingsAutosave& autosave);
    ~Transfer();
    Transfer(const Transfer&) = delete;
    Transfer& operator=(const Transfer&) = delete;

   private:
    SettingsAutosave& autosave_;
  };

  // Settings files written so far (skipped writes of an unchanged state not counted).
  int Writes() const { return writes_; }
  // Something is still to be written (waiting for quiet, a transfer's end or the next occasion).
  bool Pending() const { return policy_.Unsaved(); }

 private:
  void Arm();
  void Tick();
  void Write();
  void SessionEnding();

  const std::string settingsPath_;
  const ChannelPanel& panel_;
  const AppContext& ctx_;
  std::function<WindowState()> window_;
  Operator& op_;
  Clock& clock_;
  AutosavePolicy policy_;
  QTimer timer_;
  std::string writtenKey_;
  bool running_ = false;
  int writes_ = 0;
};

}  // namespace quorvex
