// The .KFG file against what only a POSIX system can arrange: permissions for an unprivileged
// child, a descriptor limit, a full and a read-only file system.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "storage/atomic_file.h"
#include "storage/kfg_file.h"
#include "tests/storage/kfg_file_fixture.h"
#include "tests/storage/storage_test_support.h"

namespace quorvex {
namespace {

using testing::KfgFileTest;
using testing::kKnownBytes;
using testing::MessageOf;
using testing::ReadFileBytes;
using testing::WriteFileBytes;

TEST_F(KfgFileTest, PermissionsDecideAccess) {
  WriteFileBytes(dir_ / "secret.kfg", kKnownBytes);
  ::chmod((dir_ / "secret.kfg").c_str(), 0000);
  WriteFileBytes(dir_ / "readonly.kfg", kKnownBytes);
  ::chmod((dir_ / "readonly.kfg").c_str(), 0444);
  ::mkdir((dir_ / "closed").c_str(), 0755);  // owned by root: nobody cannot create files in it
  WriteFileBytes(dir_ / "closed/old.kfg", "old");
  ::chmod((dir_ / "closed/old.kfg").c_str(), 0666);

  const std::string result = testing::RunUnprivileged([&] {
    std::string seen = MessageOf([&] { ReadKfgImage(dir_ / "secret.kfg"); });
    seen += "|" + MessageOf([&] {
              if (ReadKfgImage(dir_ / "readonly.kfg") != ConfigImage{}) return;
              throw std::runtime_error("read-only file read as zeros");
            });
    seen += "|" + MessageOf([&] { WriteKfgImage(dir_ / "readonly.kfg", ConfigImage{}); });
    seen += "|" + MessageOf([&] { WriteKfgImage(dir_ / "closed/old.kfg", ConfigImage{}); });
    return seen;
  });
  QUORVEX_SKIP_IF_UNSUPPORTED(result);
  EXPECT_EQ(result, "File access denied|no error|File access denied|File access denied");
  EXPECT_EQ(ReadFileBytes(dir_ / "readonly.kfg"), kKnownBytes);
  EXPECT_EQ(ReadFileBytes(dir_ / "closed/old.kfg"), "old");
  EXPECT_EQ(testing::FolderEntries(dir_ / "closed"), std::vector<std::string>{"old.kfg"});
}

TEST_F(KfgFileTest, TooManyOpenFiles) {
  WriteFileBytes(dir_ / "a.kfg", kKnownBytes);
  const std::string result = testing::RunInChild([&] {
    // UBSan checks a caught exception's type through a pipe the first time it sees that type;
    // with every descriptor used up it could not and would report a false vptr error. Meeting a
    // FileError once beforehand keeps the test independent of the order tests run in.
    MessageOf([&] { ReadKfgImage(dir_ / "missing.kfg"); });
    rlimit limit{};
    ::getrlimit(RLIMIT_NOFILE, &limit);
    limit.rlim_cur = 16;
    if (::setrlimit(RLIMIT_NOFILE, &limit) != 0) return std::string("SKIP: setrlimit failed");
    while (::open("/dev/null", O_RDONLY) >= 0) {
    }
    return MessageOf([&] { ReadKfgImage(dir_ / "a.kfg"); }) + "|" +
           MessageOf([&] { WriteKfgImage(dir_ / "a.kfg", ConfigImage{}); });
  });
  QUORVEX_SKIP_IF_UNSUPPORTED(result);
  EXPECT_EQ(result, "Too many open files|Too many open files");
  EXPECT_EQ(ReadFileBytes(dir_ / "a.kfg"), kKnownBytes);
}

TEST_F(KfgFileTest, FullOrReadOnlyDisk) {
  const std::string disk = dir_ / "disk";
  ::mkdir(disk.c_str(), 0777);
  const std::string result = testing::RunOnSmallTmpfs(disk, "64k", [&] {
    const std::string old = disk + "/old.kfg";
    WriteFileBytes(old, kKnownBytes);
    // Fill every block that is left.
    const int filler = ::open((disk + "/filler").c_str(), O_WRONLY | O_CREAT, 0644);
    const std::string block(4096, 'f');
    while (::write(filler, block.data(), block.size()) > 0) {
    }
    ::close(filler);
    std::string seen = MessageOf([&] { WriteKfgImage(old, ConfigImage{}); });
    seen += ReadFileBytes(old) == kKnownBytes ? "|intact" : "|changed";
    seen += "|" + std::to_string(testing::FolderEntries(disk).size());
    // A read-only disk: loading works, saving is refused.
    if (::mount(nullptr, disk.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0) {
      return seen + "|cannot remount";
    }
    seen += "|" + MessageOf([&] { ReadKfgImage(old); });
    seen += "|" + MessageOf([&] { WriteKfgImage(old, ConfigImage{}); });
    return seen;
  });
  QUORVEX_SKIP_IF_UNSUPPORTED(result);
  EXPECT_EQ(result, "Disk full|intact|2|no error|File access denied");
}

}  // namespace
}  // namespace quorvex
