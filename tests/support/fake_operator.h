// A scripted operator that records what the procedures show and answers what they ask.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/operator.h"

namespace quorvex::testing {

// Records every call as one line, in order, and answers file questions from a script:
//   "status:Send configuration......"  "box:Transmission|Connect analog box to PC via COM1|none"
//   "cursor:wait" "cursor:normal" "events" "debug:Kanal 1" "open:Load configuration" "save:..."
class FakeOperator : public Operator {
 public:
  void ShowStatus(std::string_view text) override;
  void MessageBox(std::string_view caption, std::string_view text, BoxIcon icon) override;
  void SetWaitCursor(bool on) override;
  void ProcessPendingEvents() override;
  void AddDebugLine(std::string_view line) override;
  std::optional<std::string> AskOpenFileName(const FileDialogRequest& request) override;
  std::optional<std::string> AskSaveFileName(const FileDialogRequest& request) override;

  std::vector<std::string> log;
  // Only the "status:" lines, without the prefix.
  std::vector<std::string> Statuses() const;
  // Only the "box:" lines, without the prefix.
  std::vector<std::string> Boxes() const;
  std::string LastStatus() const;
  bool waitCursor = false;

  // Answers for the file dialogs, taken front first; an empty queue answers "cancelled".
  std::deque<std::optional<std::string>> fileAnswers;
  std::vector<FileDialogRequest> fileRequests;
  // Called from MessageBox and ProcessPendingEvents, for tests that act while a box is up.
  std::function<void(std::string_view caption, std::string_view text)> onBox;
  std::function<void()> onEvents;

 private:
  std::optional<std::string> AskFileName(const char* kind, const FileDialogRequest& request);
};

}  // namespace quorvex::testing
