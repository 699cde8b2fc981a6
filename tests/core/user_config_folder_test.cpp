// Tests of the user's configuration folder rule and its private creation.
#include "core/user_config_folder.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "tests/support/temp_folder.h"

namespace quorvex {
namespace {

TEST(UserConfigFolder, FollowsTheBaseDirectoryRules) {
  struct Case {
    std::string xdg, home, expected;
  };
  for (const Case& c : std::vector<Case>{
           {"/x/cfg", "/home/ann", "/x/cfg/quorvex"},
           {"/x/cfg/", "/home/ann", "/x/cfg/quorvex"},
           {"", "/home/ann", "/home/ann/.config/quorvex"},
           {"relative/cfg", "/home/ann/", "/home/ann/.config/quorvex"},
           {"", "relative", ""},
           {"", "", ""},
       }) {
    EXPECT_EQ(UserConfigFolder(c.xdg, c.home), c.expected) << c.xdg << " | " << c.home;
  }
}

#ifndef _WIN32  // POSIX modes
TEST(CreatePrivateFolders, MakesEveryMissingFolderForItsOwnerOnly) {
  testing::TempFolder root;
  ::chmod(root.Path().c_str(), 0755);
  const mode_t before = ::umask(0);  // the mode must not depend on a lax umask
  CreatePrivateFolders(root / "home/.config/quorvex");
  CreatePrivateFolders(root / "home/.config/quorvex");  // already there: nothing to do
  ::umask(before);
  for (const char* folder : {"home", "home/.config", "home/.config/quorvex"}) {
    struct stat info {};
    ASSERT_EQ(::stat((root / folder).c_str(), &info), 0) << folder;
    EXPECT_EQ(info.st_mode & 0777, 0700u) << folder;
  }
  struct stat info {};
  ASSERT_EQ(::stat(root.Path().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0755u) << "a folder that was there keeps its mode";
}
#endif

TEST(CreatePrivateFolders, AFileInTheWayIsAnError) {
  testing::TempFolder root;
  { std::ofstream(root / "config") << "x"; }
  EXPECT_THROW(CreatePrivateFolders(root / "config/quorvex"), std::system_error);
}

}  // namespace
}  // namespace quorvex
