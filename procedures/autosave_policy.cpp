// When the working state is written to the settings file while the program runs.
#include "procedures/autosave_policy.h"

#include <algorithm>

#include "core/channel_panel.h"
#include "core/image_layout.h"
#include "storage/settings.h"

namespace quorvex {

void AutosavePolicy::Occasion(TimePoint at) {
  if (!unsaved_ || waitingForOccasion_) firstUnsaved_ = at;
  unsaved_ = true;
  waitingForOccasion_ = false;
}

void AutosavePolicy::Changed(TimePoint at) {
  Occasion(at);
  lastChange_ = at;
}

void AutosavePolicy::CommandCompleted(TimePoint at) {
  Occasion(at);
  if (!commandWaiting_) commandAt_ = at;
  commandWaiting_ = true;
}

void AutosavePolicy::TransferStarted() {
  ++transfers_;
}

void AutosavePolicy::TransferEnded() {
  if (transfers_ > 0) --transfers_;
}

std::optional<AutosavePolicy::TimePoint> AutosavePolicy::DueAt() const {
  if (!unsaved_ || waitingForOccasion_ || transfers_ > 0) return std::nullopt;
  TimePoint due = commandWaiting_
                      ? commandAt_
                      : std::min(lastChange_ + timing_.quiet, firstUnsaved_ + timing_.maxDelay);
  if (lastAttempt_) due = std::max(due, *lastAttempt_ + timing_.minGap);
  return due;
}

bool AutosavePolicy::WriteDue(TimePoint now) const {
  const std::optional<TimePoint> due = DueAt();
  return due && *due <= now;
}

void AutosavePolicy::Written(TimePoint at) {
  unsaved_ = false;
  commandWaiting_ = false;
  waitingForOccasion_ = false;
  lastAttempt_ = at;
}

void AutosavePolicy::WriteFailed(TimePoint at) {
  // Still unsaved, so the exit write and the next occasion try again; retrying on a timer would
  // only fill the log while the folder stays write-protected.
  commandWaiting_ = false;
  waitingForOccasion_ = true;
  lastAttempt_ = at;
}

std::string WorkingStateKey(const ChannelPanel& panel, int comPortNumber,
                            const WindowState& window) {
  std::string key = std::to_string(comPortNumber) + '\n' + std::to_string(window.width) + '\n' +
                    std::to_string(window.height) + '\n' + window.rememberedFileName + '\n' +
                    std::to_string(window.languageNumber) + '\n';
  for (const std::string& recent : window.recentFiles) key += recent + '\n';
  for (ChannelComponent component : kChannelComponents) {
    for (int n = 1; n <= kChannelCount; ++n) {
      const std::string name = ComponentName(component, n);
      key += std::to_string(panel.ItemIndex(name)) + '\n' + panel.Text(name) + '\n';
    }
  }
  return key;
}

}  // namespace quorvex
