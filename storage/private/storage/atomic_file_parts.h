// What the atomic writer's platform files share: temporary names and error helpers.
#pragma once

#include <string>

namespace quorvex::atomic {

// What the platform files of the atomic writer share. Not part of the storage interface.

// Tries at new names before the writer gives up on creating its new file.
constexpr unsigned kTemporaryNameAttempts = 100;

// Eight hex digits that no one else is likely to pick for a new file beside the target; creation
// still refuses to reuse an existing name.
std::string RandomSuffix(unsigned attempt);

// "I/O error <code>", for the codes without a message of their own.
std::string IoErrorMessage(int code);

// Throws FileError with the operator's message for the platform code.
[[noreturn]] void Fail(int code, const std::string& path);

}  // namespace quorvex::atomic
