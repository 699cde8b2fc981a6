// The error every file operation of the storage layer throws, with the operator's message.
#pragma once

#include "core/errors.h"

namespace quorvex {

// A failed file operation; what() is the operator's message ("File not found", "Disk full", ...).
class FileError : public ReportedError {
 public:
  using ReportedError::ReportedError;
};

}  // namespace quorvex
