// The operator on a terminal: what the procedures show goes to stderr and the trace.
#pragma once

#include <ostream>
#include <string>

#include "core/operator.h"
#include "core/text_set.h"

namespace quorvex::cli {

class InterruptWatch;
class TraceLog;

struct TerminalOptions {
  bool quiet = false;     // only errors and results
  bool wait = false;      // each prompt of a transfer waits for Enter, as the window's boxes do
  bool progress = false;  // a progress bar instead of status lines (stderr is a terminal)
  // The procedures' texts name the port "COM" and its number; a device server port's number is
  // no COM port, so its name stands in for it: "COM1000" becomes "rfc2217://10.0.0.5:4001".
  std::string comName = {};
  std::string portName = {};
};

// What the procedures show, on the terminal: status lines and prompts on stderr, debug lines to
// the trace. Nothing is ever asked by a dialog; a command names its files itself.
class TerminalOperator : public Operator {
 public:
  TerminalOperator(std::ostream& err, const TextSet& texts, TerminalOptions options,
                   InterruptWatch* watch, TraceLog* trace)
      : err_(err), texts_(texts), options_(options), watch_(watch), trace_(trace) {}
  ~TerminalOperator() override { EndProgressLine(); }
  TerminalOperator(const TerminalOperator&) = delete;
  TerminalOperator& operator=(const TerminalOperator&) = delete;

  void ShowStatus(std::string_view text) override;
  void MessageBox(std::string_view caption, std::string_view text, BoxIcon icon) override;
  void SetWaitCursor(bool) override {}
  void ProcessPendingEvents() override {}
  void AddDebugLine(std::string_view line) override;
  std::optional<std::string> AskOpenFileName(const FileDialogRequest&) override { return {}; }
  std::optional<std::string> AskSaveFileName(const FileDialogRequest&) override { return {}; }

  // Starts a new bar: "Writing", "Reading" ...
  void BeginProgress(std::string label);
  // One more register of the 41 has been exchanged.
  void RegisterDone(std::uint16_t address);
  // Finishes the bar's line so that what follows starts on a line of its own.
  void EndProgressLine();

 private:
  void DrawProgress();
  std::string Named(std::string_view text) const;

  std::ostream& err_;
  const TextSet& texts_;
  TerminalOptions options_;
  InterruptWatch* watch_;
  TraceLog* trace_;
  std::string label_;
  int done_ = 0;
  bool barShown_ = false;
};

}  // namespace quorvex::cli
