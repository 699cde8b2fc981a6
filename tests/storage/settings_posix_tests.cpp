// The settings file against permissions, which only an unprivileged POSIX child can meet.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "core/app_context.h"
#include "core/channel_panel.h"
#include "storage/settings.h"
#include "tests/storage/settings_fixture.h"
#include "tests/storage/storage_test_support.h"

namespace quorvex {
namespace {

using testing::FilledSettingsPanel;
using testing::MessageOf;
using testing::ReadFileBytes;
using testing::SettingsTest;
using testing::WriteFileBytes;

TEST_F(SettingsTest, UnwritableFolderKeepsThePreviousFile) {
  const std::string closed = dir_ / "closed";
  ::mkdir(closed.c_str(), 0755);  // owned by root: nobody cannot create files in it
  const std::string path = closed + "/quorvex.ini";
  const std::string previous = "[Main]\nCOM=4\n; keep me\n";
  WriteFileBytes(path, previous);
  ::chmod(path.c_str(), 0666);

  const std::string result = testing::RunUnprivileged([&] {
    MemoryPanel panel = FilledSettingsPanel();
    AppContext ctx;
    const WindowState window = RestoreSettings(path, panel, ctx);
    return std::to_string(ctx.comPortNumber) + "|" +
           MessageOf([&] { SaveSettings(path, panel, ctx, window); });
  });
  QUORVEX_SKIP_IF_UNSUPPORTED(result);
  EXPECT_EQ(result, "4|Unable to write to " + path);
  EXPECT_EQ(ReadFileBytes(path), previous);
  EXPECT_EQ(testing::FolderEntries(closed), std::vector<std::string>{"quorvex.ini"});
}

TEST_F(SettingsTest, UnreadableFileGivesDefaultsAndIsNotReplaced) {
  const std::string previous = "[Main]\nCOM=4\n";
  WriteFileBytes(path_, previous);
  ::chmod(path_.c_str(), 0000);
  const std::string result = testing::RunUnprivileged([&] {
    MemoryPanel panel = FilledSettingsPanel();
    AppContext ctx;
    const WindowState window = RestoreSettings(path_, panel, ctx);
    return std::to_string(ctx.comPortNumber) + "|" +
           MessageOf([&] { SaveSettings(path_, panel, ctx, window); });
  });
  QUORVEX_SKIP_IF_UNSUPPORTED(result);
  EXPECT_EQ(result, "-1|Unable to write to " + path_);
  EXPECT_EQ(ReadFileBytes(path_), previous);
}

}  // namespace
}  // namespace quorvex
