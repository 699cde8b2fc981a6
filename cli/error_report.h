// How a command's failure reaches the operator: the default error report's form on stderr, and the
// exit code a script acts on.
#pragma once

#include <functional>
#include <ostream>
#include <string>

namespace quorvex::cli {

// The name every report starts with, and the program's name in --help and --version.
inline constexpr const char* kProgram = "quorvex-cli";

// The default error report's form: the message, with a full stop where it has none.
std::string Sentence(std::string message);

// One line on stderr: "quorvex-cli: <message>".
void Report(std::ostream& err, const std::string& message);

// Runs a command and returns its exit code; whatever it throws is reported on `err` and becomes
// the exit code of its kind (interrupted, bad input, transfer failed).
int RunReported(std::ostream& err, const std::function<int()>& command);

}  // namespace quorvex::cli
