// The history: one record of every transfer with a card, kept in a SQLite file that every window
// and command line of the user shares, chained by SHA-256 so that an edit shows.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/config_image.h"
#include "core/errors.h"

namespace quorvex {

struct SettingsEnvironment;

// Every failure of the history, what() naming the file and what went wrong. The transfer it was
// to record stands as it ended; the caller tells the user that it is not in the history.
class HistoryError : public ReportedError {
 public:
  using ReportedError::ReportedError;
};

// Another program held the history for longer than the wait allowed.
class HistoryBusyError : public HistoryError {
 public:
  using HistoryError::HistoryError;
};

// The action words a record holds.
inline constexpr const char* kHistoryWrite = "write";
inline constexpr const char* kHistoryRead = "read";
inline constexpr const char* kHistoryVerify = "verify";      // the window's compare too
inline constexpr const char* kHistoryBackupRead = "backup";  // the read before write --backup
inline constexpr const char* kHistoryTagCorrection = "tag";  // refersTo names the record

// One transfer as the history keeps it. What a caller leaves empty is recorded as unknown.
struct HistoryRecord {
  std::int64_t id = 0;  // given by Append, counting from 1
  std::string timeUtc;  // "2026-12-10T14:05:09.123Z"; Append stamps it when empty
  std::string user;     // the operating system's user
  std::string host;
  std::string program;     // "quorvex-cli 1.4", "Quorvex 1.4"
  std::string action;      // one of the words above
  std::string outcome;     // "written", "read", "equal", "differs", "failed", "interrupted", ...
  std::string message;     // what the user was told of a failure, "" otherwise
  std::string port;        // as the user named it: "COM3", "rfc2217://10.0.0.5:4001"
  std::string device;      // the port's stable device name or URL, "" when it has none
  std::string tag;         // the card's tag as given at the transfer, "" when none
  std::string file;        // the .KFG or record file's path, "" when none
  std::string fileSha256;  // of the file's bytes (lower-case hex), "" when none
  std::optional<ConfigImage> image;   // the 41 bytes the card holds after the action, if known
  std::optional<bool> readBackEqual;  // a write read back: whether the card held what was written
  std::vector<std::string> differences;  // a compare's differences, one phrase each
  std::int64_t durationMs = 0;
  std::int64_t refersTo = 0;  // a tag correction: the record it corrects; 0 otherwise
  // Kept by the history, not by the caller:
  std::string previousHash;  // SHA-256 of the previous record's contents, "" for the first
  std::string hash;          // SHA-256 of this record's contents (previousHash among them)
  // Filled by the reads: the tag as the newest correction has it, else `tag`.
  std::string currentTag;
};

// The record's contents whose SHA-256 the chain holds: every field above but `hash` and
// `currentTag`, each as "<name> <length>:<bytes>\n" in a fixed order after a version line, so no
// two different records give the same bytes.
std::string HistoryRecordContents(const HistoryRecord& record);

// Which records a list holds. Empty fields select everything.
struct HistoryQuery {
  std::string tag;        // the tag as corrected, exactly
  std::string port;       // the port as named, or the device's stable name or URL, exactly
  std::string sinceUtc;   // records at or after this time ("2026-12-01", "2026-12-01T08:00")
  std::string beforeUtc;  // records before this time
  std::size_t limit = 0;  // at most this many, 0: all
};

// What the chain check found.
struct HistoryCheck {
  std::int64_t records = 0;  // how many the history holds
  bool intact = true;
  std::int64_t firstBroken = 0;  // the first record whose chain breaks, 0 when intact
  std::string reason;            // why, in a phrase
};

// What a history's user is told once about how it was opened ("The history file was damaged;
// it was moved aside as ... and a new history started"), empty when there is nothing to tell.
struct HistoryOpenNotice {
  std::string text;
  std::string movedAsidePath;  // where the damaged file went, "" when none was moved
};

// The history file, open. Each Append is one transaction, so a process killed at any point
// leaves either the whole record or none. Any number of processes may hold the file at once.
class History {
 public:
  // Opens the file, making it and its folder when missing. A file that is not a history database
  // or is damaged is renamed "history-damaged-<UTC time>.sqlite" beside it and a new one started
  // (Notice() says so). Another program holding the file is waited for up to `busyWait` on every
  // operation. Throws HistoryError when the file cannot be opened or made.
  explicit History(const std::string& path,
                   std::chrono::milliseconds busyWait = std::chrono::milliseconds(3000));
  ~History();
  History(const History&) = delete;
  History& operator=(const History&) = delete;

  const std::string& Path() const;
  const HistoryOpenNotice& Notice() const;

  // Adds the record at the end of the chain and returns its id (record.id, previousHash and hash
  // are the history's). Throws HistoryBusyError when the file stayed locked beyond the wait,
  // HistoryError for anything else; the history then holds no part of it.
  std::int64_t Append(HistoryRecord record);

  // A new record that gives record `id` the tag `tag` (an empty one takes it away) without
  // changing it: port, device, file and image are the corrected record's. Returns the new id.
  std::int64_t AppendTagCorrection(std::int64_t id, const std::string& tag, const std::string& user,
                                   const std::string& host, const std::string& program);

  // Newest first.
  std::vector<HistoryRecord> Find(const HistoryQuery& query) const;
  std::optional<HistoryRecord> Get(std::int64_t id) const;
  std::int64_t Count() const;

  // The newest record before `record` of the same card that holds the card's bytes: the same
  // current tag when the record has one, else the same device, else the same port. Tag
  // corrections are not transfers and are never anyone's previous record.
  std::optional<HistoryRecord> PreviousOfSameCard(const HistoryRecord& record) const;

  // Walks the whole chain from the first record: each record's hash must be that of its contents
  // with the hash of the record before it as its previousHash.
  HistoryCheck Check() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// Where the history lies unless the settings or the command line say otherwise: on Windows
// beside the program when its settings are (the portable layout), else
// "%LOCALAPPDATA%\Quorvex\history.sqlite"; elsewhere
// "${XDG_DATA_HOME:-$HOME/.local/share}/quorvex/history.sqlite". `settingsPath` is where the
// window's settings file lies for this program (WindowSettingsPath). Throws HistoryError when no
// folder is known.
std::string DefaultHistoryPath(const std::string& windowExecutable, const std::string& settingsPath,
                               const SettingsEnvironment& env);

// The operating system's user of this process, "" when the system does not tell it.
std::string OperatingSystemUser();
// This machine's name, "" when the system does not tell it.
std::string HostName();
// A time in UTC as strftime's format has it ("%Y-%m-%dT%H:%M:%SZ"), to the second.
std::string UtcText(std::chrono::system_clock::time_point when, const char* format);
// A time in UTC as the records hold it: "2026-12-10T14:05:09.123Z".
std::string HistoryTimeText(std::chrono::system_clock::time_point when);

// False in a build without SQLite (a Windows build whose SQLite was not built): every History
// then throws HistoryError on opening, saying so.
bool HistoryBuilt();

}  // namespace quorvex
