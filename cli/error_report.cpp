// The failures a command may end with, each reported once in the default error report's form.
#include "cli/error_report.h"

#include <exception>

#include "cli/config_json.h"
#include "cli/console.h"
#include "cli/interrupt.h"
#include "core/errors.h"

namespace quorvex::cli {

std::string Sentence(std::string message) {
  if (message.empty() || message.back() != '.') message += '.';
  return message;
}

void Report(std::ostream& err, const std::string& message) {
  err << kProgram << ": " << message << '\n';
}

int RunReported(std::ostream& err, const std::function<int()>& command) {
  try {
    return command();
  } catch (const Interrupted&) {
    Report(err, "Interrupted; the port was closed and no file was written.");
    return kExitInterrupted;
  } catch (const JsonInputError& e) {
    Report(err, e.what());
    return kExitBadInput;
  } catch (const ReportedError& e) {
    Report(err, Sentence(e.what()));
    return kExitBadInput;
  } catch (const std::exception& e) {
    Report(err, Sentence(e.what()));
    return kExitTransferFailed;
  }
}

}  // namespace quorvex::cli
