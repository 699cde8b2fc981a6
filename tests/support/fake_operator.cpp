// The scripted operator: every call written as one line of the log, file questions answered.
#include "tests/support/fake_operator.h"

namespace quorvex::testing {

namespace {
const char* IconName(BoxIcon icon) {
  switch (icon) {
    case BoxIcon::Error:
      return "error";
    case BoxIcon::Information:
      return "information";
    case BoxIcon::None:
      break;
  }
  return "none";
}

std::vector<std::string> WithPrefix(const std::vector<std::string>& log, std::string_view prefix) {
  std::vector<std::string> out;
  for (const auto& line : log) {
    if (line.starts_with(prefix)) out.push_back(line.substr(prefix.size()));
  }
  return out;
}
}  // namespace

void FakeOperator::ShowStatus(std::string_view text) {
  log.push_back("status:" + std::string(text));
}

void FakeOperator::MessageBox(std::string_view caption, std::string_view text, BoxIcon icon) {
  log.push_back("box:" + std::string(caption) + "|" + std::string(text) + "|" + IconName(icon));
  if (onBox) onBox(caption, text);
}

void FakeOperator::SetWaitCursor(bool on) {
  waitCursor = on;
  log.push_back(on ? "cursor:wait" : "cursor:normal");
}

void FakeOperator::ProcessPendingEvents() {
  log.push_back("events");
  if (onEvents) onEvents();
}

void FakeOperator::AddDebugLine(std::string_view line) {
  log.push_back("debug:" + std::string(line));
}

std::optional<std::string> FakeOperator::AskOpenFileName(const FileDialogRequest& request) {
  return AskFileName("open:", request);
}

std::optional<std::string> FakeOperator::AskSaveFileName(const FileDialogRequest& request) {
  return AskFileName("save:", request);
}

std::optional<std::string> FakeOperator::AskFileName(const char* kind,
                                                     const FileDialogRequest& request) {
  log.push_back(kind + request.title);
  fileRequests.push_back(request);
  if (fileAnswers.empty()) return std::nullopt;
  auto answer = fileAnswers.front();
  fileAnswers.pop_front();
  return answer;
}

std::vector<std::string> FakeOperator::Statuses() const {
  return WithPrefix(log, "status:");
}
std::vector<std::string> FakeOperator::Boxes() const {
  return WithPrefix(log, "box:");
}
std::string FakeOperator::LastStatus() const {
  auto s = Statuses();
  return s.empty() ? std::string() : s.back();
}

}  // namespace quorvex::testing
