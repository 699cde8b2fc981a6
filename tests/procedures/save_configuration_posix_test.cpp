// Save configuration over an existing file on a POSIX system: permissions kept, links followed.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "core/channel_panel.h"
#include "procedures/save_configuration.h"
#include "storage/kfg_file.h"
#include "tests/storage/kfg_file_fixture.h"
#include "tests/storage/storage_test_support.h"

namespace quorvex {
namespace {

using testing::KfgFileTest;
using testing::kKnownBytes;
using testing::KnownPanel;
using testing::ReadFileBytes;
using testing::WriteFileBytes;

TEST_F(KfgFileTest, SavingReplacesAnExistingFile) {
  WriteFileBytes(dir_ / "a.kfg", std::string(100, 'x'));
  ::chmod((dir_ / "a.kfg").c_str(), 0640);
  MemoryPanel panel = KnownPanel();
  SaveKfgFile(panel, op_, ctx_, dir_ / "a.kfg");
  EXPECT_EQ(ReadFileBytes(dir_ / "a.kfg"), kKnownBytes);
  struct stat info {};
  ASSERT_EQ(::stat((dir_ / "a.kfg").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);  // the replaced file's permissions are kept
  EXPECT_EQ(dir_.Entries(), std::vector<std::string>{"a.kfg"});

  // A linked file is written where the link points; the link stays.
  ASSERT_EQ(::symlink((dir_ / "a.kfg").c_str(), (dir_ / "link.kfg").c_str()), 0);
  WriteKfgImage(dir_ / "link.kfg", ConfigImage{});
  EXPECT_EQ(ReadFileBytes(dir_ / "a.kfg"), std::string(41, '\0'));
  struct stat link {};
  ASSERT_EQ(::lstat((dir_ / "link.kfg").c_str(), &link), 0);
  EXPECT_TRUE(S_ISLNK(link.st_mode));
  EXPECT_EQ(dir_.Entries(), (std::vector<std::string>{"a.kfg", "link.kfg"}));
}

}  // namespace
}  // namespace quorvex
