// The working state written to the settings file while the program runs, not only at exit.
#include "ui/settings_autosave.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <algorithm>
#include <chrono>
#include <exception>
#include <utility>

#include "core/app_context.h"
#include "core/operator.h"
#include "link/clock.h"
#include "storage/settings.h"

namespace quorvex {

namespace {

// The timer wakes at least this often while a write waits, so a clock that is not the system's
// (the tests' virtual one) is looked at again soon after it moved.
constexpr std::chrono::milliseconds kLongestSleep{250};

}  // namespace

SettingsAutosave::SettingsAutosave(std::string settingsPath, const ChannelPanel& panel,
                                   const AppContext& ctx, std::function<WindowState()> window,
                                   Operator& op, Clock& clock, AutosaveTiming timing,
                                   QObject* parent)
    : QObject(parent),
      settingsPath_(std::move(settingsPath)),
      panel_(panel),
      ctx_(ctx),
      window_(std::move(window)),
      op_(op),
      clock_(clock),
      policy_(timing) {
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, &SettingsAutosave::Tick);
#ifndef QT_NO_SESSIONMANAGER
  // A log-off closes no window, so the exit write would never run: the session manager's
  // request to keep our data is the last word we get.
  if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    connect(app, &QGuiApplication::commitDataRequest, this, &SettingsAutosave::SessionEnding);
  }
#endif
}

void SettingsAutosave::Start() {
  running_ = true;
  writtenKey_ = WorkingStateKey(panel_, ctx_.comPortNumber, window_());
}

void SettingsAutosave::Stop() {
  running_ = false;
  timer_.stop();
}

void SettingsAutosave::Changed() {
  if (!running_) return;
  policy_.Changed(clock_.Now());
  Arm();
}

void SettingsAutosave::CommandCompleted() {
  if (!running_) return;
  policy_.CommandCompleted(clock_.Now());
  Arm();
}

SettingsAutosave::Transfer::Transfer(SettingsAutosave& autosave) : autosave_(autosave) {
  autosave_.policy_.TransferStarted();
  autosave_.timer_.stop();
}

SettingsAutosave::Transfer::~Transfer() {
  autosave_.policy_.TransferEnded();
  autosave_.Arm();
}

void SettingsAutosave::Arm() {
  const std::optional<AutosavePolicy::TimePoint> due = policy_.DueAt();
  if (!running_ || !due) {
    timer_.stop();
    return;
  }
  const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(*due - clock_.Now());
  timer_.start(std::clamp(wait, std::chrono::milliseconds(0), kLongestSleep));
}

void SettingsAutosave::Tick() {
  if (running_ && policy_.WriteDue(clock_.Now())) Write();
  Arm();
}

void SettingsAutosave::SessionEnding() {
  // The gap between writes is waived: there is no later occasion. A transfer half-way through
  // leaves the channels half read; the file keeps what was written before it.
  if (running_ && !policy_.TransferRunning()) Write();
}

void SettingsAutosave::Write() {
  const WindowState window = window_();
  std::string key = WorkingStateKey(panel_, ctx_.comPortNumber, window);
  if (key == writtenKey_) {
    policy_.Written(clock_.Now());
    return;
  }
  try {
    SaveSettings(settingsPath_, panel_, ctx_, window);
  } catch (const std::exception& e) {
    policy_.WriteFailed(clock_.Now());
    op_.AddDebugLine(std::string("Settings not saved: ") + e.what());
    return;
  }
  writtenKey_ = std::move(key);
  ++writes_;
  policy_.Written(clock_.Now());
}

}  // namespace quorvex
