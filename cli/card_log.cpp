// The log's lines and the appending file on POSIX and Windows.
#include "cli/card_log.h"

#include <nlohmann/json.hpp>

#include "core/version.h"
#include "storage/atomic_file.h"
#include "storage/history.h"
#include "storage/kfg_file.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace quorvex::cli {

std::string LogLine(const LogEntry& entry, std::chrono::system_clock::time_point when,
                    const std::string& host) {
  nlohmann::ordered_json line;
  line["time"] = UtcText(when, "%Y-%m-%dT%H:%M:%SZ");
  line["host"] = host;
  line["program"] = std::string("quorvex-cli ") + kProgramVersion;
  line["command"] = entry.command;
  line["port"] = entry.portName.empty() ? "COM" + std::to_string(entry.port) : entry.portName;
  line["device"] = entry.stableName;
  if (!entry.deviceName.empty()) line["device_name"] = entry.deviceName;
  line["file"] = entry.file;
  line["sha256"] = entry.fileSha256;
  if (entry.backup) {
    line["backup"] = *entry.backup;
    line["backup_sha256"] = entry.backupSha256;
  }
  line["outcome"] = entry.outcome;
  line["differences"] = entry.differences;
  // Milliseconds are as fine as the card's own pauses are.
  line["seconds"] = static_cast<double>(static_cast<long long>(entry.seconds * 1000.0)) / 1000.0;
  // Replaced rather than refused: a line of the record must never be lost to a byte of a name.
  return line.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

#ifdef _WIN32

CardLog::CardLog(const std::string& path) : path_(path), host_(HostName()) {
  // FILE_APPEND_DATA without FILE_WRITE_DATA: every write goes to the end, as O_APPEND does.
  // Read access only so that the line's write can lock; without FILE_WRITE_DATA nothing but
  // appending is possible through this handle.
  HANDLE file = CreateFileW(WidePath(path).c_str(), FILE_READ_DATA | FILE_APPEND_DATA,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    throw FileError(path + ": " + FileErrorMessage(static_cast<int>(GetLastError()), path));
  }
  handle_ = file;
}

CardLog::~CardLog() {
  CloseHandle(static_cast<HANDLE>(handle_));
}

namespace {

// Appending is one seek to the end and one write where the system emulates it (Wine does), and
// two writers can then put a line inside another. An exclusive lock on one byte far beyond any
// log makes every line's write whole, between handles and processes alike.
class LineLock {
 public:
  explicit LineLock(HANDLE file) : file_(file) {
    where_.Offset = 0xFFFFFFFFu;
    where_.OffsetHigh = 0x7FFFFFFFu;
    locked_ = LockFileEx(file_, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &where_) != 0;
  }
  ~LineLock() {
    if (locked_) UnlockFileEx(file_, 0, 1, 0, &where_);
  }
  LineLock(const LineLock&) = delete;
  LineLock& operator=(const LineLock&) = delete;

 private:
  HANDLE file_;
  OVERLAPPED where_{};
  bool locked_ = false;
};

}  // namespace

void CardLog::Append(const LogEntry& entry) {
  const std::string line = LogLine(entry, std::chrono::system_clock::now(), host_);
  // Threads sharing this log share its handle, and a lock does not keep them apart there.
  const std::lock_guard<std::mutex> sameHandle(appending_);
  const LineLock wholeLine(static_cast<HANDLE>(handle_));
  DWORD written = 0;
  if (!WriteFile(static_cast<HANDLE>(handle_), line.data(), static_cast<DWORD>(line.size()),
                 &written, nullptr) ||
      written != line.size()) {
    throw FileError(path_ + ": " + FileErrorMessage(static_cast<int>(GetLastError()), path_));
  }
}

#else

CardLog::CardLog(const std::string& path) : path_(path), host_(HostName()) {
  fd_ = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd_ < 0) throw FileError(path + ": " + FileErrorMessage(errno, path));
}

CardLog::~CardLog() {
  ::close(fd_);
}

void CardLog::Append(const LogEntry& entry) {
  const std::string line = LogLine(entry, std::chrono::system_clock::now(), host_);
  ssize_t n = -1;
  do {
    n = ::write(fd_, line.data(), line.size());
  } while (n < 0 && errno == EINTR);
  if (n != static_cast<ssize_t>(line.size())) {
    throw FileError(path_ + ": " + FileErrorMessage(n < 0 ? errno : ENOSPC, path_));
  }
}

#endif

}  // namespace quorvex::cli
