// When the working state is written to the settings file while the program runs.
#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace quorvex {

class ChannelPanel;
struct WindowState;

// The times the policy below works with.
struct AutosaveTiming {
  std::chrono::milliseconds quiet{2000};
  std::chrono::milliseconds minGap{1000};
  std::chrono::milliseconds maxDelay{10000};
};

// Decides when the settings file is written between start and exit, so a crash, a kill or a
// power cut loses at most the last moments of work. It is told what happens, with the time it
// happened, and answers when the next write is due; the caller does the writing and reports how
// it went. No clock and no timer of its own, so every rule can be tried on made-up times.
//
// - A completed command (a read, a load, a save, a port chosen) is written at once.
// - Typing is written once the channels have been quiet for `quiet`, or, for typing that never
//   pauses, `maxDelay` after the first change not yet written.
// - Never while a transfer runs: a read fills the channels one by one. What waited is due when
//   the last transfer has ended.
// - Two attempts are at least `minGap` apart.
// - A failed write is not retried on its own: the next change or command is the next occasion,
//   judged as if it were the first.
class AutosavePolicy {
 public:
  using TimePoint = std::chrono::steady_clock::time_point;
  using Duration = std::chrono::milliseconds;

  explicit AutosavePolicy(AutosaveTiming timing = {}) : timing_(timing) {}

  void Changed(TimePoint at);
  void CommandCompleted(TimePoint at);
  // Transfers nest (a prompt's event loop may start another); writes wait for the last to end.
  void TransferStarted();
  void TransferEnded();

  // When the next write is due; nothing when there is nothing to write or it has to wait for a
  // transfer's end or for the next occasion after a failure.
  std::optional<TimePoint> DueAt() const;
  bool WriteDue(TimePoint now) const;

  // The state as it stands has been written (or found to be what the file holds already).
  void Written(TimePoint at);
  void WriteFailed(TimePoint at);

  bool Unsaved() const { return unsaved_; }
  bool TransferRunning() const { return transfers_ > 0; }

 private:
  void Occasion(TimePoint at);

  AutosaveTiming timing_;
  bool unsaved_ = false;
  bool commandWaiting_ = false;
  bool waitingForOccasion_ = false;
  int transfers_ = 0;
  TimePoint firstUnsaved_{};
  TimePoint lastChange_{};
  TimePoint commandAt_{};
  std::optional<TimePoint> lastAttempt_;
};

// Everything of the working state a settings write would store, as one text: equal texts mean
// that writing again would change nothing. Only compared, never stored or parsed.
std::string WorkingStateKey(const ChannelPanel& panel, int comPortNumber,
                            const WindowState& window);

}  // namespace quorvex
