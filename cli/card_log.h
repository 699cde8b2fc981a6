// --log: the commissioning record, one JSON line for every card a command worked on.
#pragma once

#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace quorvex::cli {

// What one card's transfer is remembered by.
struct LogEntry {
  std::string command;     // "write", "read", "verify"
  int port = 0;            // COM n
  std::string stableName;  // the device's /dev/serial/by-id name, "" when it has none
  std::string file;        // the .KFG file written, compared or saved
  std::string fileSha256;  // of the file's bytes; "" when there is no such file (yet)
  std::string outcome;     // "done", "equal", "differs", "failed", ...
  std::vector<std::string> differences;
  double seconds = 0;
  // A write with --backup: the backup's path and SHA-256, "" when none was saved. Without
  // --backup the line has neither field.
  std::optional<std::string> backup;
  std::string backupSha256;
  // Windows: the device's friendly name, "USB Serial Port (COM3)". "" on Linux, where the line
  // has no such field.
  std::string deviceName;
  // How the line names the port: a device server port's URL; "" for "COM" and its number.
  std::string portName = {};
};

// The line, newline included, for a transfer that ended at `when` on the named host.
std::string LogLine(const LogEntry& entry, std::chrono::system_clock::time_point when,
                    const std::string& host);

// The log file, opened for appending. Each line goes out in one write on a file opened in
// append mode, so two processes logging to one file interleave whole lines, never parts.
class CardLog {
 public:
  // Creates the file when missing; throws FileError when it cannot be opened for appending.
  explicit CardLog(const std::string& path);
  ~CardLog();
  CardLog(const CardLog&) = delete;
  CardLog& operator=(const CardLog&) = delete;

  // Appends the entry's line, stamped now; throws FileError when it could not be written whole.
  void Append(const LogEntry& entry);

 private:
  std::string path_;
  std::string host_;
  void* handle_ = nullptr;  // Windows: the file's HANDLE
  int fd_ = -1;             // POSIX: the descriptor
#ifdef _WIN32
  std::mutex appending_;  // one line at a time through the one handle
#endif
};

}  // namespace quorvex::cli
