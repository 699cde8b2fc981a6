// Tests of every failing system call of an atomic save, through the FileCalls seam.
#include <gtest/gtest.h>

#include <cerrno>
#include <ostream>
#include <string>
#include <vector>

#include "storage/atomic_file.h"
#include "storage/file_calls.h"
#include "tests/storage/storage_test_support.h"
#include "tests/support/temp_folder.h"

namespace quorvex {
namespace {

using testing::MessageOf;
using testing::ReadFileBytes;
using testing::TempFolder;
using testing::WriteFileBytes;

enum class Call { Open, Write, Fsync, Close, Rename };

// The system's calls, except that the n-th call of one kind fails with the given error. Error 0
// on a write makes it write nothing, as a full disk may.
class FailingCalls : public SystemFileCalls {
 public:
  FailingCalls(Call call, int nth, int error) : call_(call), nth_(nth), error_(error) {}

  int Open(const char* path, int flags, mode_t mode) override {
    return Hit(Call::Open) ? -1 : SystemFileCalls::Open(path, flags, mode);
  }
  ssize_t Write(int fd, const void* data, std::size_t size) override {
    if (!Hit(Call::Write)) return SystemFileCalls::Write(fd, data, size);
    return error_ == 0 ? 0 : -1;
  }
  int Fsync(int fd) override { return Hit(Call::Fsync) ? -1 : SystemFileCalls::Fsync(fd); }
  // The descriptor is gone even when close reports an error.
  int Close(int fd) override {
    const int result = SystemFileCalls::Close(fd);
    return Hit(Call::Close) ? -1 : result;
  }
  int Rename(const char* from, const char* to) override {
    return Hit(Call::Rename) ? -1 : SystemFileCalls::Rename(from, to);
  }

  bool Failed() const { return seen_ >= nth_; }

 private:
  bool Hit(Call call) {
    if (call != call_ || ++seen_ != nth_) return false;
    errno = error_;
    return true;
  }

  Call call_;
  int nth_;
  int error_;
  int seen_ = 0;
};

int OpenDescriptors() {
  return static_cast<int>(testing::FolderEntries("/proc/self/fd").size());
}

constexpr const char* kSaved = "saved";

struct Failure {
  const char* name;
  Call call;
  int nth;
  int error;
  const char* outcome;  // the message of the failed save, or kSaved
};

void PrintTo(const Failure& failure, std::ostream* out) {
  *out << failure.name;
}

class AtomicSaveFailure : public ::testing::TestWithParam<Failure> {};

// Whatever call fails, the old file is either replaced whole or left as it was, no new file is
// left behind and no descriptor stays open.
TEST_P(AtomicSaveFailure, LeavesTheOldFileOrTheNewOneAndNothingElse) {
  const Failure& failure = GetParam();
  TempFolder dir;
  const std::string path = dir / "a.kfg";
  WriteFileBytes(path, "old content");
  FailingCalls calls(failure.call, failure.nth, failure.error);
  const int descriptors = OpenDescriptors();

  const std::string message = MessageOf([&] { WriteFileAtomically(path, "new content", calls); });

  EXPECT_TRUE(calls.Failed()) << "the save never made that call";
  if (std::string(failure.outcome) == kSaved) {
    EXPECT_EQ(message, "no error");
    EXPECT_EQ(ReadFileBytes(path), "new content");
  } else {
    EXPECT_EQ(message, failure.outcome);
    EXPECT_EQ(ReadFileBytes(path), "old content");
  }
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"a.kfg"});
  EXPECT_EQ(OpenDescriptors(), descriptors);
}

INSTANTIATE_TEST_SUITE_P(
    EveryCall, AtomicSaveFailure,
    ::testing::Values(Failure{"OpenDiskFull", Call::Open, 1, ENOSPC, "Disk full"},
                      Failure{"OpenIoError", Call::Open, 1, EIO, "I/O error 5"},
                      Failure{"OpenDenied", Call::Open, 1, EACCES, "File access denied"},
                      Failure{"OpenInterrupted", Call::Open, 1, EINTR, kSaved},
                      Failure{"OpenNameTaken", Call::Open, 1, EEXIST, kSaved},
                      Failure{"WriteDiskFull", Call::Write, 1, ENOSPC, "Disk full"},
                      Failure{"WriteNothing", Call::Write, 1, 0, "Disk full"},
                      Failure{"WriteIoError", Call::Write, 1, EIO, "I/O error 5"},
                      Failure{"WriteDenied", Call::Write, 1, EACCES, "File access denied"},
                      Failure{"WriteInterrupted", Call::Write, 1, EINTR, kSaved},
                      Failure{"FsyncDiskFull", Call::Fsync, 1, ENOSPC, "Disk full"},
                      Failure{"FsyncIoError", Call::Fsync, 1, EIO, "I/O error 5"},
                      Failure{"FsyncDenied", Call::Fsync, 1, EACCES, "File access denied"},
                      Failure{"FsyncInterrupted", Call::Fsync, 1, EINTR, "I/O error 4"},
                      Failure{"CloseDiskFull", Call::Close, 1, ENOSPC, "Disk full"},
                      Failure{"CloseIoError", Call::Close, 1, EIO, "I/O error 5"},
                      Failure{"CloseDenied", Call::Close, 1, EACCES, "File access denied"},
                      // On Linux the descriptor is closed and fsync already stored the data.
                      Failure{"CloseInterrupted", Call::Close, 1, EINTR, kSaved},
                      Failure{"RenameDiskFull", Call::Rename, 1, ENOSPC, "Disk full"},
                      Failure{"RenameIoError", Call::Rename, 1, EIO, "I/O error 5"},
                      Failure{"RenameDenied", Call::Rename, 1, EACCES, "File access denied"},
                      Failure{"RenameInterrupted", Call::Rename, 1, EINTR, "I/O error 4"},
                      // After the rename only the folder's sync is left, which is best effort.
                      Failure{"FolderOpenDenied", Call::Open, 2, EACCES, kSaved},
                      Failure{"FolderFsyncIoError", Call::Fsync, 2, EIO, kSaved}),
    [](const ::testing::TestParamInfo<Failure>& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace quorvex
