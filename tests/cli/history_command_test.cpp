// quorvex-cli history in-process on a history made through the storage API: a record shown with
// its changes against the same card's previous one, the check's words, the CSV's guard.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include "cli/commands.h"
#include "core/image_layout.h"
#include "storage/history.h"
#include "tests/support/panel_setup.h"
#include "tests/support/temp_folder.h"

namespace quorvex::cli {
namespace {

using quorvex::testing::kKnownImage;

class HistoryCommandTest : public ::testing::Test {
 protected:
  struct Result {
    int code;
    std::string out;
    std::string err;
  };
  Result Run(std::vector<std::string> args) {
    args.insert(args.begin(), {"quorvex-cli", "history", "--history", path_});
    std::vector<const char*> argv;
    for (const auto& a : args) argv.push_back(a.c_str());
    std::ostringstream out, err;
    const int code = RunCli(static_cast<int>(argv.size()), argv.data(), {out, err, false});
    return {code, out.str(), err.str()};
  }
  std::int64_t Add(const std::string& tag, const ConfigImage& image) {
    HistoryRecord r;
    r.action = kHistoryWrite;
    r.outcome = "written";
    r.port = "COM3";
    r.tag = tag;
    r.image = image;
    return History(path_).Append(r);
  }

  quorvex::testing::TempFolder folder_;
  std::string path_ = folder_.Path() + "/history.sqlite";
};

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST_F(HistoryCommandTest, ShowNamesEachChangedFieldAgainstTheCardsPreviousRecord) {
  ConfigImage oneChanged = kKnownImage;
  oneChanged[ChannelOffset(3) + 2] = 100;  // channel 3's range from 10.2 V to 5.0 V
  ConfigImage allChanged = kKnownImage;
  for (int n = 1; n <= kChannelCount; ++n) allChanged[ChannelOffset(n) + 2] = 100;
  const std::int64_t first = Add("QIR-4711", kKnownImage);
  Add("OTHER", allChanged);
  const std::int64_t one = Add("QIR-4711", oneChanged);
  const std::int64_t same = Add("QIR-4711", oneChanged);
  const std::int64_t all = Add("OTHER", kKnownImage);
  struct Case {
    std::int64_t id;
    const char* says;
    std::size_t changes;
  };
  const Case cases[] = {{first, "Nothing earlier is known of this card.", 0},
                        {one, "Changes since record 1 (", 1},
                        {same, "No change since record 3 (", 0},
                        {all, "Changes since record 2 (", 7}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    const Result shown = Run({"--show", std::to_string(c.id)});
    EXPECT_EQ(shown.code, 0) << shown.err;
    EXPECT_NE(shown.out.find(c.says), std::string::npos) << shown.out;
    EXPECT_EQ(Count(shown.out, " \u2192 "), c.changes) << shown.out;
  }
  EXPECT_NE(Run({"--show", std::to_string(one)}).out.find("Channel 3, Range: 10.2 V \u2192 5.0 V"),
            std::string::npos);
}

TEST_F(HistoryCommandTest, CheckListAndExport) {
  Add("=HYPERLINK(\"x\")", kKnownImage);
  Add("QIR-4711", kKnownImage);
  const Result intact = Run({"--check"});
  EXPECT_EQ(intact.code, 0);
  EXPECT_EQ(intact.out, "history intact (2 records)\n");

  const Result exported =
      Run({"--export", folder_.Path() + "/h.csv", "--tag", "=HYPERLINK(\"x\")"});
  EXPECT_EQ(exported.code, 0) << exported.err;
  std::ifstream in(folder_.Path() + "/h.csv", std::ios::binary);
  const std::string csv{std::istreambuf_iterator<char>(in), {}};
  EXPECT_NE(csv.find("\"'=HYPERLINK(\"\"x\"\")\""), std::string::npos) << csv;
  EXPECT_EQ(Count(csv, "\r\n"), 2u);

  const Result listed = Run({"--since", "2000-01-01", "--until", "2999-12-31"});
  EXPECT_EQ(Count(listed.out, "\n"), 3u) << listed.out;
  EXPECT_EQ(Run({"--since", "yesterday"}).code, 2);
  EXPECT_EQ(Run({"--show", "99"}).code, 2);
}

}  // namespace
}  // namespace quorvex::cli
