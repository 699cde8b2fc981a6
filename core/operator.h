// The operator seam: what the procedures show to or ask of the person at the bench.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorvex {

enum class BoxIcon { None, Error, Information };

// What a file dialog is asked to show. Folder and name are empty when the dialog should keep
// what it had after its previous use.
struct FileDialogRequest {
  std::string title;
  std::string filter;            // "Configuration (*.KFG)|*.KFG": description, "|", pattern
  std::string defaultExtension;  // "KFG", appended to a name typed without an extension
  std::string initialFolder;
  std::string initialName;
};

// Everything the procedures show to or ask of the person at the bench. The window implements it
// with real boxes and dialogs; tests use a scripted fake that records every call.
class Operator {
 public:
  virtual ~Operator() = default;

  // Puts the text into the status bar and paints it at once (a transfer blocks the event loop).
  virtual void ShowStatus(std::string_view text) = 0;
  // A modal box with only an OK button; returns when the operator has closed it.
  virtual void MessageBox(std::string_view caption, std::string_view text, BoxIcon icon) = 0;
  virtual void SetWaitCursor(bool on) = 0;
  // Lets the window handle what is queued (repaint, input) once.
  virtual void ProcessPendingEvents() = 0;
  // One line for the debug log; the log itself decides whether the debug switch lets it in.
  virtual void AddDebugLine(std::string_view line) = 0;
  // The accepted full path, or nothing when the operator cancelled.
  virtual std::optional<std::string> AskOpenFileName(const FileDialogRequest& request) = 0;
  virtual std::optional<std::string> AskSaveFileName(const FileDialogRequest& request) = 0;
};

}  // namespace quorvex
