// SQLite's C interface behind the RAII holders of sqlite_handle.h.
#include "storage/sqlite_handle.h"

#include <sqlite3.h>

#include <utility>

namespace quorvex::sqlite {

SqliteError::SqliteError(int code, std::string text) : code_(code), text_(std::move(text)) {}

Fault SqliteError::Kind() const {
  switch (code_ & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return Fault::Busy;
    case SQLITE_CORRUPT:
      return Fault::Damaged;
    case SQLITE_NOTADB:
      return Fault::NotADatabase;
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_READONLY:
      return Fault::CannotOpen;
    default:
      return Fault::Other;
  }
}

Connection::Connection(const std::string& path, int busyMs) {
  // Paths are UTF-8 everywhere; SQLite's Windows layer opens them with the wide calls.
  const int code = sqlite3_open_v2(
      path.c_str(), &db_,
      SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX | SQLITE_OPEN_EXRESCODE,
      nullptr);
  if (code != SQLITE_OK) {
    std::string text = db_ != nullptr ? sqlite3_errmsg(db_) : sqlite3_errstr(code);
    sqlite3_close(db_);
    db_ = nullptr;
    throw SqliteError(code, std::move(text));
  }
  sqlite3_busy_timeout(db_, busyMs);
  // The last connection to close would copy the whole write-ahead log into the file, with a
  // sync, at the end of every command: milliseconds a transfer pays for nothing. The log is
  // copied as it fills instead (every 1000 pages), and what is in it is as safe as the file.
  sqlite3_db_config(db_, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
}

Connection::~Connection() {
  // Every statement is finalized by its holder first, so this closes for certain.
  sqlite3_close(db_);
}

void Connection::Fail(int code) const {
  throw SqliteError(code, sqlite3_errmsg(db_));
}

void Connection::Execute(const char* sql) {
  const int code = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
  if (code != SQLITE_OK) Fail(code);
}

std::int64_t Connection::Integer(const char* sql) {
  Statement statement(*this, sql);
  return statement.Step() ? statement.Integer(0) : 0;
}

Statement::Statement(const Connection& connection, std::string_view sql) : connection_(connection) {
  const int code = sqlite3_prepare_v2(connection.Handle(), sql.data(), static_cast<int>(sql.size()),
                                      &statement_, nullptr);
  if (code != SQLITE_OK) connection_.Fail(code);
}

Statement::~Statement() {
  sqlite3_finalize(statement_);
}

void Statement::Bind(int index, std::string_view text) {
  // An empty view may have no data; SQLite takes "" for a zero length with any pointer but null.
  const int code = sqlite3_bind_text(statement_, index, text.empty() ? "" : text.data(),
                                     static_cast<int>(text.size()), SQLITE_TRANSIENT);
  if (code != SQLITE_OK) connection_.Fail(code);
}

void Statement::BindBlob(int index, std::string_view bytes) {
  const int code = sqlite3_bind_blob(statement_, index, bytes.empty() ? "" : bytes.data(),
                                     static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
  if (code != SQLITE_OK) connection_.Fail(code);
}

void Statement::Bind(int index, std::int64_t value) {
  const int code = sqlite3_bind_int64(statement_, index, value);
  if (code != SQLITE_OK) connection_.Fail(code);
}

void Statement::BindNull(int index) {
  const int code = sqlite3_bind_null(statement_, index);
  if (code != SQLITE_OK) connection_.Fail(code);
}

bool Statement::Step() {
  const int code = sqlite3_step(statement_);
  if (code == SQLITE_ROW) return true;
  if (code == SQLITE_DONE) return false;
  connection_.Fail(code);
}

void Statement::Reset() {
  sqlite3_reset(statement_);
  sqlite3_clear_bindings(statement_);
}

std::string Statement::Text(int column) const {
  const auto* text = sqlite3_column_text(statement_, column);
  const int size = sqlite3_column_bytes(statement_, column);
  return text != nullptr
             ? std::string(reinterpret_cast<const char*>(text), static_cast<std::size_t>(size))
             : std::string();
}

std::string Statement::Blob(int column) const {
  const void* bytes = sqlite3_column_blob(statement_, column);
  const int size = sqlite3_column_bytes(statement_, column);
  return bytes != nullptr
             ? std::string(static_cast<const char*>(bytes), static_cast<std::size_t>(size))
             : std::string();
}

std::int64_t Statement::Integer(int column) const {
  return sqlite3_column_int64(statement_, column);
}

bool Statement::IsNull(int column) const {
  return sqlite3_column_type(statement_, column) == SQLITE_NULL;
}

WriteTransaction::WriteTransaction(Connection& connection) : connection_(connection) {
  connection_.Execute("BEGIN IMMEDIATE");
}

WriteTransaction::~WriteTransaction() {
  if (open_) sqlite3_exec(connection_.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void WriteTransaction::Commit() {
  connection_.Execute("COMMIT");
  open_ = false;
}

}  // namespace quorvex::sqlite
