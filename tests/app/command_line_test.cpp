// The window program's arguments: the debug switch first, then the configuration file to load.
#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "storage/settings.h"

namespace quorvex {
namespace {

TEST(CommandLineTest, TheFileComesFirstOrAfterTheDebugSwitchAndNothingElseCounts) {
  struct Case {
    std::vector<std::string> arguments;
    bool debug;
    const char* file;
  };
  const Case cases[] = {
      {{}, false, ""},
      {{"DEBUG"}, true, ""},
      {{"debug"}, true, ""},
      {{"Pr\u00fcfstand/M\u00fcller.KFG"}, false, "Pr\u00fcfstand/M\u00fcller.KFG"},
      {{"DEBUG", "boiler.kfg"}, true, "boiler.kfg"},
      {{"Debug", "C:\\Pr\u00fcfstand\\M\u00fcller.KFG"},
       true,
       "C:\\Pr\u00fcfstand\\M\u00fcller.KFG"},
      // The debug switch counts only as the first argument; a file there is the file.
      {{"boiler.kfg", "DEBUG"}, false, "boiler.kfg"},
      {{"DEBUG", "DEBUG"}, true, "DEBUG"},
      // Further arguments are ignored, as a double-click on several files may hand them over.
      {{"a.kfg", "b.kfg"}, false, "a.kfg"},
      {{"DEBUG", "a.kfg", "b.kfg", "--frobnicate"}, true, "a.kfg"},
      // An option in the file's place is none: the toolkit's, or one not known.
      {{"-style", "fusion"}, false, ""},
      {{"DEBUG", "--frobnicate", "a.kfg"}, true, ""},
      {{"./-odd.kfg"}, false, "./-odd.kfg"},
      {{""}, false, ""},
  };
  for (const Case& c : cases) {
    std::string shown;
    for (const std::string& a : c.arguments) shown += "[" + a + "]";
    EXPECT_EQ(DebugSwitchFromArguments(c.arguments), c.debug) << shown;
    EXPECT_EQ(ConfigurationFileFrom(c.arguments), c.file) << shown;
    EXPECT_EQ(StartRequestFrom(c.arguments), StartRequest::kRun) << shown;
  }
}

}  // namespace
}  // namespace quorvex
