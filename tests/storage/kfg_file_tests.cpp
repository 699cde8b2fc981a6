// Tests of the .KFG file: error messages both ways, the name the status line gives it.
#include "storage/kfg_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/errors.h"
#include "storage/atomic_file.h"
#include "tests/storage/kfg_file_fixture.h"
#include "tests/storage/storage_test_support.h"

namespace quorvex {
namespace {

using testing::KfgFileTest;
using testing::kKnownBytes;
using testing::MessageOf;
using testing::ReadFileBytes;
using testing::WriteFileBytes;

TEST_F(KfgFileTest, ReadErrorsHaveTheirMessages) {
  WriteFileBytes(dir_ / "plain", "not a folder");
  WriteFileBytes(dir_ / "empty.kfg", "");
  WriteFileBytes(dir_ / "short.kfg", kKnownBytes.substr(0, 40));
  auto load = [](const std::string& path) { return MessageOf([&] { ReadKfgImage(path); }); };
  EXPECT_EQ(load(dir_ / "missing.kfg"), "File not found");
  EXPECT_EQ(load(dir_ / "no-folder/a.kfg"), "Invalid filename");
  EXPECT_EQ(load(dir_ / "plain/a.kfg"), "Invalid filename");
  EXPECT_EQ(load(dir_ / "empty.kfg"), "Read beyond end of file");
  EXPECT_EQ(load(dir_ / "short.kfg"), "Read beyond end of file");
  EXPECT_EQ(load(dir_.Path()), testing::kFolderAsFileMessage);
}

TEST_F(KfgFileTest, WriteErrorsKeepNothingBehind) {
  const ConfigImage image{};
  WriteFileBytes(dir_ / "plain", "not a folder");
  std::filesystem::create_directory(dir_ / "folder.kfg");
  auto save = [&](const std::string& path) {
    return MessageOf([&] { WriteKfgImage(path, image); });
  };
  EXPECT_EQ(save(dir_ / "no-folder/a.kfg"), "Invalid filename");
  EXPECT_EQ(save(dir_ / "plain/a.kfg"), "Invalid filename");
  // Fails only at the final rename, after the new file was written in full.
  EXPECT_EQ(save(dir_ / "folder.kfg"), testing::kFolderAsFileMessage);
  EXPECT_EQ(dir_.Entries(), (std::vector<std::string>{"folder.kfg", "plain"}));
  EXPECT_EQ(ReadFileBytes(dir_ / "plain"), "not a folder");
}

TEST(KfgDisplayName, LastPartInCapitals) {
  EXPECT_EQ(DisplayName("C:\\Data\\Boiler1.kfg"), "BOILER1.KFG");
  EXPECT_EQ(DisplayName("/home/tech/test.kfg"), "TEST.KFG");
  EXPECT_EQ(DisplayName("D:plant.Kfg"), "PLANT.KFG");
  EXPECT_EQ(DisplayName("/tmp/\xE4rger-1.kfg"), "\xE4RGER-1.KFG");  // only a to z change
  EXPECT_EQ(DisplayName("bare"), "BARE");
}

}  // namespace
}  // namespace quorvex
