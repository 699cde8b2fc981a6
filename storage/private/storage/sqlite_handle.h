// Our thin hold on SQLite's C interface: a connection, a statement and a transaction that close,
// finalize and roll back on every path. SQLite's codes become HistoryError.
#pragma once

#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace quorvex::sqlite {

// The primary result code of SQLite's last failure, for telling a locked file from a damaged one.
enum class Fault { Busy, Damaged, NotADatabase, CannotOpen, Other };

// A failure of SQLite, with what it said.
class SqliteError : public std::exception {
 public:
  SqliteError(int code, std::string text);
  const char* what() const noexcept override { return text_.c_str(); }
  Fault Kind() const;
  int Code() const { return code_; }

 private:
  int code_;
  std::string text_;
};

class Connection {
 public:
  // Opens (creating) the file, read-write; SQLite waits up to `busyMs` for another's lock.
  Connection(const std::string& path, int busyMs);
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // Runs statements that return nothing worth keeping.
  void Execute(const char* sql);
  // The first column of the first row as an integer, 0 when there is no row.
  std::int64_t Integer(const char* sql);
  sqlite3* Handle() const { return db_; }
  [[noreturn]] void Fail(int code) const;

 private:
  sqlite3* db_ = nullptr;
};

class Statement {
 public:
  Statement(const Connection& connection, std::string_view sql);
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  // Binds by 1-based position; empty text and an empty blob bind as themselves, not NULL.
  void Bind(int index, std::string_view text);
  void BindBlob(int index, std::string_view bytes);
  void Bind(int index, std::int64_t value);
  void BindNull(int index);
  // True with a row to read, false when done.
  bool Step();
  void Reset();

  std::string Text(int column) const;
  std::string Blob(int column) const;
  std::int64_t Integer(int column) const;
  bool IsNull(int column) const;

 private:
  const Connection& connection_;
  sqlite3_stmt* statement_ = nullptr;
};

// BEGIN IMMEDIATE: the write lock taken at the start, so a writer never fails half-way for
// another that got in first. Rolled back unless committed.
class WriteTransaction {
 public:
  explicit WriteTransaction(Connection& connection);
  ~WriteTransaction();
  WriteTransaction(const WriteTransaction&) = delete;
  WriteTransaction& operator=(const WriteTransaction&) = delete;
  void Commit();

 private:
  Connection& connection_;
  bool open_ = true;
};

}  // namespace quorvex::sqlite
