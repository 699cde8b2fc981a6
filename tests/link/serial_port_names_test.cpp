// Tests of where COM n leads: number limits, QUORVEX_COM_DIR, user links, XDG folders.
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <fstream>

#include "link/port_names.h"
#include "tests/support/temp_folder.h"

namespace quorvex {
namespace {

using testing::TempFolder;

TEST(PortNames, NumbersOutsideOneTo255NameNoPortWhateverTheEnvironment) {
  for (const PortNameEnvironment& env :
       {PortNameEnvironment{}, PortNameEnvironment{"/tmp/ports", "/x", "/home/u"}}) {
    for (int n : {0, -1, 256, INT_MIN, INT_MAX}) {
      EXPECT_FALSE(ResolveComPortPath(n, env).has_value()) << n;
    }
    EXPECT_TRUE(ResolveComPortPath(1, env).has_value());
    EXPECT_TRUE(ResolveComPortPath(255, env).has_value());
  }
}

TEST(PortNames, WithoutLinksComNIsTheNthBuiltInPort) {
  const PortNameEnvironment env{"", "", ""};
  EXPECT_EQ(ResolveComPortPath(1, env), "/dev/ttyS0");
  EXPECT_EQ(ResolveComPortPath(12, env), "/dev/ttyS11");
  EXPECT_EQ(ResolveComPortPath(255, env), "/dev/ttyS254");
}

TEST(PortNames, ComDirIsTheOnlyPlaceLookedAtWhenSet) {
  TempFolder config;
  TempFolder comDir;
  const PortNameEnvironment env{comDir.Path(), config.Path(), ""};
  std::filesystem::create_directories(config / "quorvex/ports");
  std::filesystem::create_symlink("/dev/null", config / "quorvex/ports/COM3");

  // Even with no COM3 in the folder, neither the user link nor the built-in port is used.
  EXPECT_EQ(ResolveComPortPath(3, env), comDir / "COM3");
  EXPECT_EQ(ResolveComPortPath(200, env), comDir / "COM200");

  PortNameEnvironment emptyComDir = env;
  emptyComDir.comDir = "";
  EXPECT_EQ(ResolveComPortPath(3, emptyComDir), config / "quorvex/ports/COM3");
}

TEST(PortNames, UserLinkIsFoundAfresh_AndWinsOverTheBuiltInPortEvenWhenDangling) {
  TempFolder config;
  const PortNameEnvironment env{"", config.Path(), "/nonexistent-home"};
  const std::string folder = UserPortsFolder(env);
  EXPECT_EQ(folder, config / "quorvex/ports");

  EXPECT_EQ(ResolveComPortPath(2, env), "/dev/ttyS1");
  std::filesystem::create_directories(folder);
  std::filesystem::create_symlink("/dev/does-not-exist", folder + "/COM2");
  // A link made while the program runs counts at the next open.
  EXPECT_EQ(ResolveComPortPath(2, env), folder + "/COM2");
  EXPECT_EQ(ResolveComPortPath(1, env), "/dev/ttyS0");
  std::filesystem::remove(folder + "/COM2");
  EXPECT_EQ(ResolveComPortPath(2, env), "/dev/ttyS1");
}

TEST(PortNames, UserFolderFollowsXdgThenHome) {
  EXPECT_EQ(UserPortsFolder({"", "/cfg", "/home/u"}), "/cfg/quorvex/ports");
  EXPECT_EQ(UserPortsFolder({"", "", "/home/u"}), "/home/u/.config/quorvex/ports");
  EXPECT_EQ(UserPortsFolder({"", "/cfg/", "/home/u"}), "/cfg/quorvex/ports");
  // A relative XDG_CONFIG_HOME would make the port depend on the working folder.
  EXPECT_EQ(UserPortsFolder({"", "relative/cfg", "/home/u"}), "/home/u/.config/quorvex/ports");
  EXPECT_EQ(UserPortsFolder({"", "", ""}), "");

  TempFolder home;
  std::filesystem::create_directories(home / ".config/quorvex/ports");
  std::filesystem::create_symlink("/dev/null", home / ".config/quorvex/ports/COM9");
  EXPECT_EQ(ResolveComPortPath(9, {"", "", home.Path()}), home / ".config/quorvex/ports/COM9");
  EXPECT_EQ(ResolveComPortPath(9, {"", "", ""}), "/dev/ttyS8");
}

}  // namespace
}  // namespace quorvex
