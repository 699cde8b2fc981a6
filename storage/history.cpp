// The history's database: its schema, opening with its faults, the chain's end, the queries.
#include "storage/history.h"

#include <filesystem>
#include <string_view>
#include <system_error>
#include <utility>

#include "core/user_config_folder.h"
#include "storage/atomic_file.h"
#include "storage/sha256.h"

#ifndef QUORVEX_NO_HISTORY
#include "storage/sqlite_handle.h"
#endif

namespace quorvex {

#ifdef QUORVEX_NO_HISTORY

bool HistoryBuilt() {
  return false;
}

struct History::State {};

History::History(const std::string& path, std::chrono::milliseconds) {
  throw HistoryError(path + ": this build of the program keeps no history");
}
History::~History() = default;
const std::string& History::Path() const {
  throw HistoryError("no history");
}
const HistoryOpenNotice& History::Notice() const {
  throw HistoryError("no history");
}
std::int64_t History::Append(HistoryRecord) {
  throw HistoryError("no history");
}
std::int64_t History::AppendTagCorrection(std::int64_t, const std::string&, const std::string&,
                                          const std::string&, const std::string&) {
  throw HistoryError("no history");
}
std::vector<HistoryRecord> History::Find(const HistoryQuery&) const {
  throw HistoryError("no history");
}
std::optional<HistoryRecord> History::Get(std::int64_t) const {
  throw HistoryError("no history");
}
std::int64_t History::Count() const {
  throw HistoryError("no history");
}
std::optional<HistoryRecord> History::PreviousOfSameCard(const HistoryRecord&) const {
  throw HistoryError("no history");
}
HistoryCheck History::Check() const {
  throw HistoryError("no history");
}

#else

bool HistoryBuilt() {
  return true;
}

namespace {

using sqlite::Connection;
using sqlite::Fault;
using sqlite::SqliteError;
using sqlite::Statement;
using sqlite::WriteTransaction;

// "QVXH" in the file's header: a database of another program is never taken for ours.
constexpr std::int64_t kApplicationId = 0x51565848;
// 2: the previous record's digest no longer kept in each record (1 was never released).
constexpr std::int64_t kSchemaVersion = 2;

// Digests are kept as their 32 bytes, and the previous record's digest only where that record is
// (the chain is checked against it); the indexes are what a lookup by tag, by date or by the
// record corrected needs, and no more: 100,000 records stay within 40 MB.
constexpr const char* kSchema = R"(
CREATE TABLE records(
  id INTEGER PRIMARY KEY,
  time TEXT NOT NULL,
  user TEXT NOT NULL,
  host TEXT NOT NULL,
  program TEXT NOT NULL,
  action TEXT NOT NULL,
  outcome TEXT NOT NULL,
  message TEXT NOT NULL,
  port TEXT NOT NULL,
  device TEXT NOT NULL,
  tag TEXT NOT NULL,
  file TEXT NOT NULL,
  file_sha256 BLOB,
  image BLOB,
  read_back_equal INTEGER,
  differences TEXT NOT NULL,
  duration_ms INTEGER NOT NULL,
  refers_to INTEGER NOT NULL,
  sha256 BLOB NOT NULL);
CREATE INDEX records_time ON records(time);
CREATE INDEX records_tag ON records(tag);
CREATE INDEX records_refers_to ON records(refers_to) WHERE refers_to != 0;
PRAGMA application_id = 1364613192;
PRAGMA user_version = 2;
)";
static_assert(kApplicationId == 1364613192);

constexpr const char* kColumns =
    "r.id, r.time, r.user, r.host, r.program, r.action, r.outcome, r.message, r.port, r.device, "
    "r.tag, r.file, r.file_sha256, r.image, r.read_back_equal, r.differences, r.duration_ms, "
    "r.refers_to, (SELECT p.sha256 FROM records p WHERE p.id < r.id ORDER BY p.id DESC LIMIT 1), "
    "r.sha256";
// The tag as the newest correction of the record has it.
constexpr const char* kCurrentTag =
    "COALESCE((SELECT c.tag FROM records c WHERE c.refers_to = r.id AND c.refers_to != 0 "
    "ORDER BY c.id DESC LIMIT 1), r.tag)";

std::string Hex(const std::string& bytes) {
  return DigestHex(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

// 64 lower-case hex digits as their 32 bytes; nothing for anything else.
std::optional<std::string> DigestBytes(const std::string& hex) {
  if (hex.size() != 64) return std::nullopt;
  std::string bytes;
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    int value = 0;
    for (std::size_t k = i; k < i + 2; ++k) {
      const char c = hex[k];
      const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
      if (digit < 0) return std::nullopt;
      value = value * 16 + digit;
    }
    bytes += static_cast<char>(value);
  }
  return bytes;
}

void BindDigest(Statement& s, int index, const std::string& hex) {
  if (hex.empty()) return s.BindNull(index);
  s.BindBlob(index, *DigestBytes(hex));
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) text += (i == 0 ? "" : "\n") + lines[i];
  return text;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  if (text.empty()) return lines;
  std::size_t start = 0;
  for (std::size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  lines.push_back(text.substr(start));
  return lines;
}

HistoryRecord ReadRecord(const Statement& s, bool withCurrentTag) {
  HistoryRecord r;
  r.id = s.Integer(0);
  r.timeUtc = s.Text(1);
  r.user = s.Text(2);
  r.host = s.Text(3);
  r.program = s.Text(4);
  r.action = s.Text(5);
  r.outcome = s.Text(6);
  r.message = s.Text(7);
  r.port = s.Text(8);
  r.device = s.Text(9);
  r.tag = s.Text(10);
  r.file = s.Text(11);
  r.fileSha256 = Hex(s.Blob(12));
  if (const std::string image = s.Blob(13); image.size() == kConfigImageSize) {
    ConfigImage bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(image[i]);
    r.image = bytes;
  }
  if (!s.IsNull(14)) r.readBackEqual = s.Integer(14) != 0;
  r.differences = SplitLines(s.Text(15));
  r.durationMs = s.Integer(16);
  r.refersTo = s.Integer(17);
  r.previousHash = Hex(s.Blob(18));
  r.hash = Hex(s.Blob(19));
  r.currentTag = withCurrentTag ? s.Text(20) : r.tag;
  return r;
}

std::filesystem::path FsPath(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

// The damaged file out of the way under a name of its own, with its write-ahead log; the shared
// memory index is rebuilt by SQLite and only removed. Returns the new name.
std::string MoveAside(const std::string& path) {
  // As the backups are named: no colon, which Windows refuses in a name.
  const std::string compact = UtcText(std::chrono::system_clock::now(), "%Y%m%dT%H%M%SZ");
  const std::size_t folderEnd = path.find_last_of("/\\");
  const std::string folder = folderEnd == std::string::npos ? "" : path.substr(0, folderEnd + 1);
  const std::string stem = folder + "history-damaged-" + compact;
  std::string aside = stem + ".sqlite";
  for (int n = 2; PathExists(aside); ++n) aside = stem + "-" + std::to_string(n) + ".sqlite";
  std::error_code ec;
  std::filesystem::rename(FsPath(path), FsPath(aside), ec);
  if (ec) {
    throw HistoryError(path + ": the history is damaged and could not be moved aside (" +
                       ec.message() + ")");
  }
  if (PathExists(path + "-wal"))
    std::filesystem::rename(FsPath(path + "-wal"), FsPath(aside + "-wal"), ec);
  RemoveFile(path + "-shm");
  return aside;
}

bool IsDamage(const SqliteError& e) {
  return e.Kind() == Fault::Damaged || e.Kind() == Fault::NotADatabase;
}

}  // namespace

struct History::State {
  std::string path;
  int busyMs = 0;
  HistoryOpenNotice notice;
  std::unique_ptr<Connection> db;

  // Opens the file and makes it a history when it is empty. Throws SqliteError for what SQLite
  // met, HistoryError for a database that is not a history.
  void Open() {
    db = std::make_unique<Connection>(path, busyMs);
    // The first read of the header tells a file that is no database, or a damaged one.
    const std::int64_t applicationId = db->Integer("PRAGMA application_id");
    if (applicationId != kApplicationId) {
      if (applicationId != 0 || db->Integer("SELECT count(*) FROM sqlite_master") != 0) {
        throw HistoryError(path + " is a database of another program, not a history");
      }
    } else if (const std::int64_t version = db->Integer("PRAGMA user_version");
               version > kSchemaVersion) {
      throw HistoryError(path + " was written by a newer version of the program");
    } else if (version < kSchemaVersion) {
      throw HistoryError(path + " holds a history in an earlier form; move it aside to start anew");
    }
    // Readers never wait for a writer, and writers queue behind the busy time-out. NORMAL:
    // a killed process leaves every committed record; only a power cut may take the newest.
    db->Execute("PRAGMA journal_mode=WAL");
    db->Execute("PRAGMA synchronous=NORMAL");
    if (applicationId != kApplicationId) {
      // Another process may be making it at the same moment: the schema once, under the lock.
      WriteTransaction making(*db);
      if (db->Integer("PRAGMA application_id") != kApplicationId) db->Execute(kSchema);
      making.Commit();
    }
    // The table's root read once: a damaged page there shows now rather than at the record.
    db->Integer("SELECT id FROM records ORDER BY id DESC LIMIT 1");
  }

  [[noreturn]] void Fail(const SqliteError& e, const std::string& doing) const {
    if (e.Kind() == Fault::Busy) {
      throw HistoryBusyError(path + ": " + doing + " waited " + std::to_string(busyMs / 1000) +
                             " s for another program that holds the history");
    }
    if (IsDamage(e)) throw HistoryError(path + ": " + doing + " found the history damaged");
    throw HistoryError(path + ": " + doing + " failed: " + e.what());
  }

  Statement Query(const std::string& sql) const { return Statement(*db, sql); }
};

History::History(const std::string& path, std::chrono::milliseconds busyWait)
    : state_(std::make_unique<State>()) {
  State& s = *state_;
  s.path = path;
  s.busyMs = static_cast<int>(busyWait.count());
  const std::size_t folderEnd = path.find_last_of("/\\");
  if (folderEnd != std::string::npos && folderEnd > 0 && !PathExists(path.substr(0, folderEnd))) {
    try {
      CreatePrivateFolders(path.substr(0, folderEnd));
    } catch (const std::system_error& e) {
      throw HistoryError(path + ": its folder could not be made: " + e.code().message());
    }
  }
  try {
    s.Open();
    return;
  } catch (const SqliteError& e) {
    s.db.reset();
    if (!IsDamage(e)) s.Fail(e, "opening");
  }
  // Looked at once more: another process that met the damage too may have started anew.
  try {
    s.Open();
    return;
  } catch (const SqliteError& e) {
    s.db.reset();
    if (!IsDamage(e)) s.Fail(e, "opening");
  }
  s.notice.movedAsidePath = MoveAside(path);
  s.notice.text = "The history " + path + " was damaged; it was moved aside as " +
                  s.notice.movedAsidePath + " and a new history was started";
  try {
    s.Open();
  } catch (const SqliteError& e) {
    s.db.reset();
    s.Fail(e, "starting a new history");
  }
}

History::~History() = default;

const std::string& History::Path() const {
  return state_->path;
}

const HistoryOpenNotice& History::Notice() const {
  return state_->notice;
}

std::int64_t History::Append(HistoryRecord record) {
  State& s = *state_;
  if (!record.fileSha256.empty() && !DigestBytes(record.fileSha256)) {
    throw HistoryError("'" + record.fileSha256 + "' is not a SHA-256 in lower-case hex");
  }
  // One line each in the file: a line break inside one would split it when read back.
  for (std::string& difference : record.differences)
    for (char& c : difference)
      if (c == '\n' || c == '\r') c = ' ';
  if (record.timeUtc.empty()) record.timeUtc = HistoryTimeText(std::chrono::system_clock::now());
  try {
    WriteTransaction adding(*s.db);
    {
      Statement last(*s.db, "SELECT id, sha256 FROM records ORDER BY id DESC LIMIT 1");
      const bool any = last.Step();
      record.id = any ? last.Integer(0) + 1 : 1;
      record.previousHash = any ? Hex(last.Blob(1)) : std::string();
    }
    record.hash = Sha256Hex(HistoryRecordContents(record));
    Statement insert(*s.db,
                     "INSERT INTO records VALUES "
                     "(?1,?2,?3,?4,?5,?6,?7,?8,?9,?10,?11,?12,?13,?14,?15,?16,?17,?18,?19)");
    insert.Bind(1, record.id);
    insert.Bind(2, record.timeUtc);
    insert.Bind(3, record.user);
    insert.Bind(4, record.host);
    insert.Bind(5, record.program);
    insert.Bind(6, record.action);
    insert.Bind(7, record.outcome);
    insert.Bind(8, record.message);
    insert.Bind(9, record.port);
    insert.Bind(10, record.device);
    insert.Bind(11, record.tag);
    insert.Bind(12, record.file);
    BindDigest(insert, 13, record.fileSha256);
    if (record.image) {
      insert.BindBlob(14, std::string_view(reinterpret_cast<const char*>(record.image->data()),
                                           record.image->size()));
    } else {
      insert.BindNull(14);
    }
    if (record.readBackEqual) {
      insert.Bind(15, std::int64_t{*record.readBackEqual ? 1 : 0});
    } else {
      insert.BindNull(15);
    }
    insert.Bind(16, JoinLines(record.differences));
    insert.Bind(17, record.durationMs);
    insert.Bind(18, record.refersTo);
    BindDigest(insert, 19, record.hash);
    insert.Step();
    adding.Commit();
  } catch (const SqliteError& e) {
    s.Fail(e, "recording");
  }
  return record.id;
}

std::int64_t History::AppendTagCorrection(std::int64_t id, const std::string& tag,
                                          const std::string& user, const std::string& host,
                                          const std::string& program) {
  std::optional<HistoryRecord> target = Get(id);
  // A correction of a correction corrects the transfer itself.
  if (target && target->action == kHistoryTagCorrection) target = Get(target->refersTo);
  if (!target) throw HistoryError("The history holds no record " + std::to_string(id));
  HistoryRecord correction;
  correction.user = user;
  correction.host = host;
  correction.program = program;
  correction.action = kHistoryTagCorrection;
  correction.outcome = "corrected";
  correction.port = target->port;
  correction.device = target->device;
  correction.tag = tag;
  correction.file = target->file;
  correction.fileSha256 = target->fileSha256;
  correction.image = target->image;
  correction.refersTo = target->id;
  return Append(std::move(correction));
}

std::vector<HistoryRecord> History::Find(const HistoryQuery& query) const {
  const State& s = *state_;
  std::string sql =
      std::string("SELECT ") + kColumns + ", " + kCurrentTag + " FROM records r WHERE 1";
  if (!query.tag.empty()) {
    // The index finds the candidates, the correction decides.
    sql +=
        " AND (r.tag = :tag OR r.id IN (SELECT refers_to FROM records WHERE tag = :tag AND "
        "refers_to != 0)) AND " +
        std::string(kCurrentTag) + " = :tag";
  }
  if (!query.port.empty()) sql += " AND (r.port = :port OR r.device = :port)";
  if (!query.sinceUtc.empty()) sql += " AND r.time >= :since";
  if (!query.beforeUtc.empty()) sql += " AND r.time < :before";
  sql += " ORDER BY r.id DESC";
  if (query.limit > 0) sql += " LIMIT " + std::to_string(query.limit);
  std::vector<HistoryRecord> records;
  try {
    Statement find = s.Query(sql);
    int index = 1;
    // Named parameters are numbered in the order they first appear.
    if (!query.tag.empty()) find.Bind(index++, query.tag);
    if (!query.port.empty()) find.Bind(index++, query.port);
    if (!query.sinceUtc.empty()) find.Bind(index++, query.sinceUtc);
    if (!query.beforeUtc.empty()) find.Bind(index++, query.beforeUtc);
    while (find.Step()) records.push_back(ReadRecord(find, true));
  } catch (const SqliteError& e) {
    s.Fail(e, "reading");
  }
  return records;
}

std::optional<HistoryRecord> History::Get(std::int64_t id) const {
  const State& s = *state_;
  try {
    Statement get = s.Query(std::string("SELECT ") + kColumns + ", " + kCurrentTag +
                            " FROM records r WHERE r.id = ?1");
    get.Bind(1, id);
    if (get.Step()) return ReadRecord(get, true);
  } catch (const SqliteError& e) {
    s.Fail(e, "reading");
  }
  return std::nullopt;
}

std::int64_t History::Count() const {
  const State& s = *state_;
  try {
    return s.db->Integer("SELECT count(*) FROM records");
  } catch (const SqliteError& e) {
    s.Fail(e, "reading");
  }
}

std::optional<HistoryRecord> History::PreviousOfSameCard(const HistoryRecord& record) const {
  const State& s = *state_;
  const std::string tag = record.currentTag.empty() ? record.tag : record.currentTag;
  std::string sql = std::string("SELECT ") + kColumns + ", " + kCurrentTag +
                    " FROM records r WHERE r.id < ?1 AND r.action != 'tag' AND r.image IS NOT NULL";
  std::string key;
  if (!tag.empty()) {
    sql +=
        " AND (r.tag = ?2 OR r.id IN (SELECT refers_to FROM records WHERE tag = ?2 AND "
        "refers_to != 0)) AND " +
        std::string(kCurrentTag) + " = ?2";
    key = tag;
  } else if (!record.device.empty()) {
    sql += " AND r.device = ?2";
    key = record.device;
  } else {
    sql += " AND r.port = ?2";
    key = record.port;
  }
  sql += " ORDER BY r.id DESC LIMIT 1";
  try {
    Statement previous = s.Query(sql);
    previous.Bind(1, record.id);
    previous.Bind(2, key);
    if (previous.Step()) return ReadRecord(previous, true);
  } catch (const SqliteError& e) {
    s.Fail(e, "reading");
  }
  return std::nullopt;
}

HistoryCheck History::Check() const {
  const State& s = *state_;
  HistoryCheck check;
  try {
    // The chain's walk brings each record's predecessor itself; no lookup per record.
    Statement all = s.Query(
        "SELECT r.id, r.time, r.user, r.host, r.program, r.action, r.outcome, r.message, r.port, "
        "r.device, r.tag, r.file, r.file_sha256, r.image, r.read_back_equal, r.differences, "
        "r.duration_ms, r.refers_to, NULL, r.sha256 FROM records r ORDER BY r.id");
    std::string previousHash;
    std::int64_t previousId = 0;
    while (all.Step()) {
      HistoryRecord r = ReadRecord(all, false);
      r.previousHash = previousHash;
      ++check.records;
      if (check.intact && Sha256Hex(HistoryRecordContents(r)) != r.hash) {
        check.intact = false;
        check.firstBroken = r.id;
        check.reason = previousId == 0
                           ? "it is not as it was recorded, or records before it were removed"
                           : "it is not as it was recorded, or it does not follow record " +
                                 std::to_string(previousId) +
                                 ": a record was changed, removed or put in there";
      }
      previousHash = r.hash;
      previousId = r.id;
    }
  } catch (const SqliteError& e) {
    s.Fail(e, "checking");
  }
  return check;
}

#endif

}  // namespace quorvex
