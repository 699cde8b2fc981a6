// The errors that end an operation in the default error report, with their exact messages.
#pragma once

#include <stdexcept>
#include <string>

namespace quorvex {

// Errors that end an operation and reach the application's default error report, which shows
// what() with a full stop appended where it does not already end in one.
class ReportedError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// "'%s' is not a valid floating point value"
class ConversionError : public ReportedError {
 public:
  explicit ConversionError(const std::string& text)
      : ReportedError("'" + text + "' is not a valid floating point value") {}
};

class FloatOverflowError : public ReportedError {
 public:
  FloatOverflowError() : ReportedError("Floating point overflow") {}
};

class InvalidFloatOperationError : public ReportedError {
 public:
  InvalidFloatOperationError() : ReportedError("Invalid floating point operation") {}
};

}  // namespace quorvex
