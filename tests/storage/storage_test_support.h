// Storage test helpers: raw file bytes, error messages, children for POSIX-only cases.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace quorvex::testing {

void WriteFileBytes(const std::string& path, const std::string& bytes);
std::string ReadFileBytes(const std::string& path);
bool FileExists(const std::string& path);

// What the storage layer reports for a folder used where a file belongs; the operating system
// decides the error, so it differs between POSIX and Windows.
extern const std::string kFolderAsFileMessage;

// POSIX only (storage_posix_support.cpp): the child processes below need fork.

// Runs `body` in a forked child and returns what it returned. Failures inside the child are
// reported through the returned text; a body that cannot set up what it needs returns a text
// starting with "SKIP:" followed by the reason.
std::string RunInChild(const std::function<std::string()>& body);

// The same, with the child running as user and group 65534 (nobody) when the test runs as root,
// so that permissions apply to it.
std::string RunUnprivileged(const std::function<std::string()>& body);

// The same, with the child in a private mount namespace and a small tmpfs mounted over `folder`.
std::string RunOnSmallTmpfs(const std::string& folder, const std::string& size,
                            const std::function<std::string()>& body);

// Skips the test when a child could not set up what it needed (see RunInChild).
#define QUORVEX_SKIP_IF_UNSUPPORTED(result) \
  if ((result).rfind("SKIP:", 0) == 0) GTEST_SKIP() << (result)

// Runs `action` and returns the message of the exception it throws, or "no error".
std::string MessageOf(const std::function<void()>& action);

}  // namespace quorvex::testing
