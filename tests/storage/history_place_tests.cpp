// Where the history lies by default on each system, and a history kept on this one (under Wine
// for the Windows build: SQLite's Windows layer, the user's name, the paths).
#include <gtest/gtest.h>

#include "storage/history.h"
#include "storage/settings_place.h"
#include "tests/support/temp_folder.h"

namespace quorvex {
namespace {

SettingsEnvironment Environment(const std::string& xdgDataHome, const std::string& home,
                                const std::string& localAppData) {
  SettingsEnvironment env;
  env.xdgDataHome = xdgDataHome;
  env.home = home;
  env.localAppData = localAppData;
  return env;
}

TEST(HistoryPlace, TheDefaultPlaceFollowsTheSettings) {
  struct Case {
    const char* what;
    std::string windowExecutable;
    std::string settingsPath;
    SettingsEnvironment env;
    std::string expected;  // "" when no place is known
  };
#ifdef _WIN32
  const std::string local = "C:\\Users\\op\\AppData\\Local";
  const Case cases[] = {
      {"installed", "C:\\Program Files\\Quorvex\\quorvex.exe",
       "C:\\Users\\op\\AppData\\Roaming\\Quorvex\\quorvex.ini", Environment("", "", local),
       local + "\\Quorvex\\history.sqlite"},
      {"portable", "D:\\tools\\quorvex\\quorvex.exe", "D:\\tools\\quorvex\\quorvex.ini",
       Environment("", "", local), "D:\\tools\\quorvex\\history.sqlite"},
      {"installed without LOCALAPPDATA", "C:\\Program Files\\Quorvex\\quorvex.exe",
       "C:\\Users\\op\\AppData\\Roaming\\Quorvex\\quorvex.ini", Environment("", "", ""), ""},
  };
#else
  const Case cases[] = {
      {"XDG_DATA_HOME", "/usr/bin/quorvex", "/home/op/.config/quorvex/quorvex.ini",
       Environment("/data/op", "/home/op", ""), "/data/op/quorvex/history.sqlite"},
      {"HOME", "/usr/bin/quorvex", "", Environment("", "/home/op", ""),
       "/home/op/.local/share/quorvex/history.sqlite"},
      {"a relative XDG_DATA_HOME is ignored", "/usr/bin/quorvex", "",
       Environment("data", "/home/op", ""), "/home/op/.local/share/quorvex/history.sqlite"},
      {"no absolute folder", "/usr/bin/quorvex", "", Environment("", "home", ""), ""},
  };
#endif
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.expected.empty()) {
      EXPECT_THROW(DefaultHistoryPath(c.windowExecutable, c.settingsPath, c.env), HistoryError);
    } else {
      EXPECT_EQ(DefaultHistoryPath(c.windowExecutable, c.settingsPath, c.env), c.expected);
    }
  }
}

TEST(HistoryPlace, AHistoryIsKeptInAFolderMadeForIt) {
  if (!HistoryBuilt()) GTEST_SKIP() << "this build keeps no history";
  testing::TempFolder folder;
  const std::string path = folder.Path() + "/Quorvex/history.sqlite";
  HistoryRecord r;
  r.user = OperatingSystemUser();
  r.action = kHistoryRead;
  r.tag = "Zähler-1";
  {
    History history(path);
    history.Append(r);
    history.Append(r);
  }
  History again(path);
  const auto records = again.Find({});
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records.front().id, 2);
  EXPECT_EQ(records.front().tag, "Zähler-1");
  EXPECT_FALSE(records.front().user.empty());
  EXPECT_TRUE(again.Check().intact);
}

}  // namespace
}  // namespace quorvex
