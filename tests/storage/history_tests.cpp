// The history file: the chain check against edits, removals and insertions made behind the
// program's back, tag corrections, and the faults: a locked file, a damaged one, many writers at
// once and a writer killed mid-record.
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <thread>

#include "storage/history.h"
#include "storage/sha256.h"
#include "tests/support/temp_folder.h"

namespace quorvex {
namespace {

using namespace std::chrono_literals;

HistoryRecord Transfer(const std::string& tag, std::uint8_t firstByte) {
  HistoryRecord r;
  r.user = "tester";
  r.host = "bench";
  r.program = "quorvex-cli test";
  r.action = kHistoryWrite;
  r.outcome = "written";
  r.port = "COM3";
  r.device = "/dev/serial/by-id/usb-adapter";
  r.tag = tag;
  ConfigImage image{};
  image[0] = firstByte;
  r.image = image;
  r.readBackEqual = true;
  return r;
}

// What another program could do to the file: SQL straight on it, past the history.
void Tamper(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  char* error = nullptr;
  EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK)
      << (error != nullptr ? error : "");
  sqlite3_free(error);
  sqlite3_close(db);
}

HistoryQuery ByTag(const std::string& tag) {
  HistoryQuery query;
  query.tag = tag;
  return query;
}

class HistoryTest : public ::testing::Test {
 protected:
  testing::TempFolder folder_;
  std::string path_ = folder_.Path() + "/history.sqlite";
};

TEST_F(HistoryTest, ChainCheckFindsTheFirstRecordWhoseChainBreaks) {
  struct Case {
    const char* what;
    const char* sql;
    std::int64_t firstBroken;  // 0: intact
    std::int64_t records;
  };
  const Case cases[] = {
      {"untouched", "", 0, 5},
      {"a field edited", "UPDATE records SET outcome = 'equal' WHERE id = 3", 3, 5},
      // Whoever knows how the digest is made can make it anew: the next record still tells.
      {"edited with its own digest made anew", "resign", 3, 5},
      {"a record removed", "DELETE FROM records WHERE id = 3", 4, 4},
      {"the first record removed", "DELETE FROM records WHERE id = 1", 2, 4},
      // A record put in after record 2 with its digests made as the history makes them, the
      // later ones moved on: the record after it tells.
      {"a record put in", "insert", 103, 6},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(path_);
    {
      History history(path_);
      for (std::uint8_t n = 1; n <= 5; ++n) history.Append(Transfer("QIR-4711", n));
    }
    if (std::string(c.sql) == "resign") {
      HistoryRecord edited = *History(path_).Get(2);
      edited.tag = "QIR-0815";
      Tamper(path_, "UPDATE records SET tag = 'QIR-0815', sha256 = X'" +
                        Sha256Hex(HistoryRecordContents(edited)) + "' WHERE id = 2");
    } else if (std::string(c.sql) == "insert") {
      HistoryRecord added = *History(path_).Get(2);
      added.id = 3;
      added.previousHash = added.hash;
      const std::string hash = Sha256Hex(HistoryRecordContents(added));
      Tamper(path_,
             "UPDATE records SET id = id + 100 WHERE id >= 3;"
             "INSERT INTO records SELECT 3, time, user, host, program, action, outcome, message,"
             " port, device, tag, file, file_sha256, image, read_back_equal, differences,"
             " duration_ms, refers_to, X'" +
                 hash + "' FROM records WHERE id = 2");
    } else if (*c.sql != '\0') {
      Tamper(path_, c.sql);
    }
    const HistoryCheck check = History(path_).Check();
    EXPECT_EQ(check.intact, c.firstBroken == 0);
    EXPECT_EQ(check.firstBroken, c.firstBroken) << check.reason;
    EXPECT_EQ(check.records, c.records);
  }
}

TEST_F(HistoryTest, ACardsPreviousRecordAndTagCorrections) {
  History history(path_);
  const std::int64_t first = history.Append(Transfer("QIR-4711", 1));
  const std::int64_t otherCard = history.Append(Transfer("QIR-9", 2));
  HistoryRecord failed = Transfer("QIR-4711", 0);
  failed.outcome = "failed";
  failed.image.reset();
  history.Append(failed);
  const std::int64_t second = history.Append(Transfer("QIR-4711", 3));
  // The operator typed the wrong tag at first: record 1 was the other card's.
  history.AppendTagCorrection(first, "QIR-9", "tester", "bench", "test");

  EXPECT_FALSE(history.PreviousOfSameCard(*history.Get(first)));
  const auto previous = history.PreviousOfSameCard(*history.Get(otherCard));
  ASSERT_TRUE(previous);
  EXPECT_EQ(previous->id, first);
  EXPECT_EQ(previous->currentTag, "QIR-9");
  EXPECT_EQ(previous->tag, "QIR-4711");
  // The failed transfer knows no bytes; the corrected one is no longer this card's.
  EXPECT_FALSE(history.PreviousOfSameCard(*history.Get(second)));

  std::vector<std::int64_t> ids;
  for (const HistoryRecord& r : history.Find(ByTag("QIR-9"))) ids.push_back(r.id);
  EXPECT_EQ(ids, (std::vector<std::int64_t>{5, otherCard, first}));
  EXPECT_TRUE(history.Check().intact);
}

TEST_F(HistoryTest, ALockedHistoryIsWaitedForWithinTheBoundThenTheRecordIsRefused) {
  History history(path_, 200ms);
  history.Append(Transfer("A", 1));
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(path_.c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_THROW(history.Append(Transfer("A", 2)), HistoryBusyError);
  EXPECT_GE(std::chrono::steady_clock::now() - start, 200ms);
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  history.Append(Transfer("A", 3));
  EXPECT_EQ(history.Count(), 2);
  EXPECT_TRUE(history.Check().intact);
}

TEST_F(HistoryTest, ADamagedFileIsMovedAsideAndANewHistoryStarted) {
  std::string noise(8192, '\0');
  std::mt19937 random(41);
  for (char& c : noise) c = static_cast<char>(random());
  std::ofstream(path_, std::ios::binary) << noise;

  History history(path_);
  const std::string aside = history.Notice().movedAsidePath;
  ASSERT_FALSE(aside.empty());
  EXPECT_NE(history.Notice().text.find(aside), std::string::npos);
  EXPECT_EQ(std::filesystem::path(aside).parent_path(), std::filesystem::path(path_).parent_path());
  EXPECT_TRUE(std::filesystem::path(aside).filename().string().starts_with("history-damaged-"));
  std::ifstream kept(aside, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), noise);
  EXPECT_EQ(history.Count(), 0);
  history.Append(Transfer("A", 1));
  EXPECT_TRUE(History(path_).Notice().text.empty());
}

TEST_F(HistoryTest, ADatabaseOfAnotherProgramIsLeftAlone) {
  Tamper(path_, "CREATE TABLE invoices(id INTEGER)");
  EXPECT_THROW(History{path_}, HistoryError);
  EXPECT_EQ(testing::FolderEntries(folder_.Path()), std::vector<std::string>{"history.sqlite"});
}

// Runs `body` in a child process; its exit status 0 means it succeeded.
pid_t Child(const std::function<bool()>& body) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    bool ok = false;
    try {
      ok = body();
    } catch (...) {
    }
    ::_exit(ok ? 0 : 1);
  }
  return pid;
}

TEST_F(HistoryTest, EightProcessesWritingAtOnceLoseNoRecord) {
  History(path_).Count();
  std::vector<pid_t> writers;
  for (int w = 0; w < 8; ++w) {
    writers.push_back(Child([&, w] {
      History history(path_, 10s);
      for (int n = 0; n < 100; ++n) history.Append(Transfer("W" + std::to_string(w), 1));
      return true;
    }));
  }
  for (const pid_t pid : writers) {
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  History history(path_);
  EXPECT_EQ(history.Count(), 800);
  for (int w = 0; w < 8; ++w) EXPECT_EQ(history.Find(ByTag("W" + std::to_string(w))).size(), 100u);
  EXPECT_TRUE(history.Check().intact);
}

TEST_F(HistoryTest, AWriterKilledMidRecordLeavesTheHistoryConsistent) {
  History(path_).Count();
  const pid_t writer = Child([&]() -> bool {
    History history(path_);
    for (std::uint8_t n = 0;; ++n) history.Append(Transfer("K", n));
  });
  // Killed once it is well under way, at whatever point of a record it then is.
  const auto deadline = std::chrono::steady_clock::now() + 30s;
  while (History(path_).Count() < 50 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::yield();
  }
  ::kill(writer, SIGKILL);
  int status = 0;
  ASSERT_EQ(::waitpid(writer, &status, 0), writer);
  History history(path_);
  const HistoryCheck check = history.Check();
  EXPECT_GE(check.records, 50);
  EXPECT_TRUE(check.intact) << check.reason;
  history.Append(Transfer("K", 0));
  EXPECT_TRUE(history.Check().intact);
}

}  // namespace
}  // namespace quorvex
