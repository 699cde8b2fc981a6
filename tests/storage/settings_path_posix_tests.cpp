// Where an installed program keeps its settings; the rule holds where programs are installed
// into a system folder, which the Windows build never is.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "storage/settings.h"
#include "tests/storage/storage_test_support.h"
#include "tests/support/temp_folder.h"

namespace quorvex {
namespace {

using testing::MessageOf;
using testing::TempFolder;

TEST(SettingsPath, AnInstalledProgramKeepsItsSettingsWithTheUser) {
  const std::string config = "/home/ann/.config/quorvex";
  struct Case {
    std::string executable;
    std::string installBinDir;
    std::string expected;
  };
  for (const Case& c : std::vector<Case>{
           {"/usr/bin/quorvex", "/usr/bin", config + "/quorvex.ini"},
           {"/usr/bin/quorvex", "/usr/bin/", config + "/quorvex.ini"},
           {"/usr/bin/../bin/quorvex", "/usr/bin", config + "/quorvex.ini"},
           {"/usr/local/bin/quorvex", "/usr/local/bin", config + "/quorvex.ini"},
           // Build tree, portable copy, a folder below the installed one: beside the program.
           {"/home/ann/src/build/quorvex", "/usr/bin", "/home/ann/src/build/quorvex.ini"},
           {"/media/stick/quorvex", "/usr/bin", "/media/stick/quorvex.ini"},
           {"/usr/bin/old/quorvex", "/usr/bin", "/usr/bin/old/quorvex.ini"},
           {"/usr/local/bin/quorvex", "/usr/bin", "/usr/local/bin/quorvex.ini"},
           // No install folder compiled in (Windows): always beside the program.
           {"/usr/bin/quorvex", "", "/usr/bin/quorvex.ini"},
       }) {
    EXPECT_EQ(SettingsPathFor(c.executable, c.installBinDir, config), c.expected)
        << c.executable << " installed in " << c.installBinDir;
  }
}

TEST(SettingsPath, AnInstalledFolderReachedThroughALinkIsStillInstalled) {
  // /bin leads to /usr/bin on merged systems, and the program may be started as /bin/quorvex.
  TempFolder root;
  std::filesystem::create_directories(root / "usr/bin");
  std::filesystem::create_directory_symlink("usr/bin", root / "bin");
  EXPECT_EQ(SettingsPathFor(root / "bin/quorvex", root / "usr/bin", "/cfg"), "/cfg/quorvex.ini");
}

TEST(SettingsPath, AnInstalledProgramWithoutAConfigurationFolderSaysSo) {
  EXPECT_EQ(MessageOf([] { SettingsPathFor("/usr/bin/quorvex", "/usr/bin", ""); }),
            "No folder for the settings: neither XDG_CONFIG_HOME nor HOME names an absolute "
            "folder");
  EXPECT_EQ(SettingsPathFor("/opt/q/quorvex", "/usr/bin", ""), "/opt/q/quorvex.ini");
}

}  // namespace
}  // namespace quorvex
