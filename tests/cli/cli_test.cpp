// Tests of quorvex-cli's file commands in-process: show, export and import, diff, bad input.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include <nlohmann/json.hpp>

#include "cli/commands.h"
#include "cli/configuration_input.h"
#include "core/config_record.h"
#include "core/config_view.h"
#include "core/text_set.h"
#include "tests/support/panel_setup.h"
#include "tests/support/temp_folder.h"

namespace quorvex::cli {
namespace {

using testing::kKnownImage;

// The file commands run in-process: they are the window's load, check and encoders behind
// another front end, so what is tested here is that front end.
class CliTest : public ::testing::Test {
 protected:
  struct Result {
    int code;
    std::string out;
    std::string err;
  };
  Result Run(std::vector<std::string> args) {
    args.insert(args.begin(), "quorvex-cli");
    std::vector<const char*> argv;
    for (const auto& a : args) argv.push_back(a.c_str());
    std::ostringstream out, err;
    const int code = RunCli(static_cast<int>(argv.size()), argv.data(), {out, err, false});
    return {code, out.str(), err.str()};
  }
  std::string Path(const std::string& name) const { return folder / name; }
  std::string WriteFile(const std::string& name, std::string_view bytes) {
    std::ofstream(Path(name), std::ios::binary).write(bytes.data(), std::ssize(bytes));
    return Path(name);
  }
  std::string WriteImage(const std::string& name, const ConfigImage& image) {
    return WriteFile(name, {reinterpret_cast<const char*>(image.data()), image.size()});
  }
  static std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  nlohmann::json ExportedKnown() {
    const Result exported = Run({"export", WriteImage("known.kfg", kKnownImage)});
    EXPECT_EQ(exported.code, 0) << exported.err;
    return nlohmann::json::parse(exported.out);
  }

  // The tests' known file and the fuzz corpus's files, the short one too.
  std::vector<std::filesystem::path> KnownFiles() {
    std::vector<std::filesystem::path> files{WriteImage("known.kfg", kKnownImage)};
    for (const auto& entry : std::filesystem::directory_iterator(QUORVEX_KFG_CORPUS)) {
      files.push_back(entry.path());
    }
    return files;
  }
  void ExpectImported(const std::string& csv, const ConfigImage& image) {
    std::filesystem::remove(Path("back.kfg"));
    const Result imported = Run({"import", WriteFile("record.csv", csv), "-o", Path("back.kfg")});
    ASSERT_EQ(imported.code, 0) << imported.err << csv;
    EXPECT_EQ(ReadFile(Path("back.kfg")), std::string(image.begin(), image.end())) << csv;
  }

  testing::TempFolder folder;
};

TEST_F(CliTest, ShowPrintsTheChannelsAsTheWindowShowsThemThenTheImage) {
  const Result shown = Run({"show", WriteImage("known.kfg", kKnownImage)});
  ASSERT_EQ(shown.code, 0) << shown.err;
  std::istringstream lines(shown.out);
  std::string header, first;
  std::getline(lines, header);
  std::getline(lines, first);
  EXPECT_EQ(header, "Channel  Measurement value  Format  Offset  Range  Measurement range");
  EXPECT_EQ(first, "1        O2                 V       0.5     10.0   25.0 %");
  EXPECT_NE(shown.out.find("Image: 55 00 0A C8 00 FA 01"), std::string::npos) << shown.out;

  const auto json = nlohmann::json::parse(Run({"show", "--json", Path("known.kfg")}).out);
  EXPECT_EQ(json["channels"][7]["measurementRange"], "63000");
  EXPECT_EQ(json["image"].get<std::string>().substr(0, 5), "55 00");
}

// A file the window shows rounded, or cannot save at all (a channel without a quantity), cannot
// come back byte for byte: export says so, and import refuses what the window's check refuses.
TEST_F(CliTest, ImportOfExportGivesTheSameBytesForEveryCorpusFileTheWindowCanSave) {
  const std::vector<std::filesystem::path> files = KnownFiles();
  int saveable = 0;
  int notSaveable = 0;
  for (const auto& file : files) {
    SCOPED_TRACE(file.string());
    const std::string bytes = ReadFile(file.string());
    const Result exported = Run({"export", file.string(), "-o", Path("doc.json")});
    if (bytes.size() < 41) {
      EXPECT_EQ(exported.code, 2);
      EXPECT_NE(exported.err.find("Read beyond end of file."), std::string::npos);
      continue;
    }
    ASSERT_EQ(exported.code, 0) << exported.err;
    const Result imported = Run({"import", Path("doc.json"), "-o", Path("back.kfg")});
    if (exported.err.find("Note:") != std::string::npos) {
      EXPECT_TRUE(imported.code != 0 || ReadFile(Path("back.kfg")) != bytes.substr(0, 41));
      ++notSaveable;
      continue;
    }
    ASSERT_EQ(imported.code, 0) << imported.err;
    EXPECT_EQ(ReadFile(Path("back.kfg")), bytes.substr(0, 41));
    ++saveable;
  }
  EXPECT_GE(saveable, 3);
  EXPECT_GE(notSaveable, 1);
}

TEST_F(CliTest, ABadDocumentIsNamedByItsPathAndWritesNoFile) {
  struct Case {
    const char* change;  // a JSON pointer and its new value, or the document's text itself
    const char* value;
    const char* message;
  };
  const Case cases[] = {
      {"", "{\"channels\": [", "$: not valid JSON"},
      {"", "[1, 2]", "$: expected an object, found a list"},
      {"/channels/1/unit", "\"A\"", "$.channels[1].unit: unknown unit \"A\""},
      {"/channels/2/quantity", "\"Ozone\"", "$.channels[2].quantity: unknown quantity \"Ozone\""},
      {"/channels/3/offset", "0.5", "$.channels[3].offset: expected a text in quotes"},
      {"/channels/4/colour", "\"red\"", "$.channels[4].colour: unknown field"},
      {"/channels/5/channel", "2", "$.channels[5].channel: expected 6, found 2"},
      {"/channels/7", "null", "$.channels[7]: expected an object, found null"},
      // The window's own check and messages, naming the channel.
      {"/channels/1/offset", "\"6.0\"", "Channel 2: Offset not in range between 0 and 5.0 mA"},
      {"/channels/0/range", "\"10.3\"", "Channel 1: Range not between 0 and 10.2 V"},
      {"/channels/4/measurementRange", "\"9000\"", "Channel 5: Invalid measurement range"},
      {"/channels/2/offset", "\"1,5\"", "Channel 3: '1,5' is not a valid floating point value."},
  };
  const nlohmann::json known = ExportedKnown();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    std::string text = c.value;
    if (*c.change != '\0') {
      nlohmann::json document = known;
      document[nlohmann::json::json_pointer(c.change)] = nlohmann::json::parse(c.value);
      text = document.dump();
    }
    const Result imported = Run({"import", WriteFile("doc.json", text), "-o", Path("out.kfg")});
    EXPECT_EQ(imported.code, 2);
    EXPECT_NE(imported.err.find(c.message), std::string::npos) << imported.err;
    EXPECT_FALSE(std::filesystem::exists(Path("out.kfg")));
  }
  nlohmann::json missing = known;
  missing["channels"][6].erase("range");
  const Result imported =
      Run({"import", WriteFile("doc.json", missing.dump()), "-o", Path("out.kfg")});
  EXPECT_NE(imported.err.find("$.channels[6]: \"range\" is missing"), std::string::npos);
}

// The record as the window exports it after loading the file (when its check lets it), the
// same as a spreadsheet keeps it without the image and registers, and a record carrying the
// file's own bytes: each imported gives the bytes it stands for.
TEST_F(CliTest, ImportOfARecordGivesTheBytesItCarriesForEveryCorpusFile) {
  const std::vector<std::filesystem::path> files = KnownFiles();
  int exported = 0;
  int full = 0;
  for (const auto& file : files) {
    SCOPED_TRACE(file.string());
    const std::string bytes = ReadFile(file.string());
    if (bytes.size() < kConfigImageSize) continue;
    ConfigImage image{};
    std::copy(bytes.begin(), bytes.begin() + 41, image.begin());
    ++full;

    ConfigRecord record{"Quorvex 1.4", "2026-12-08 14:05", file.string(), 3, ViewImage(image),
                        image};
    ExpectImported(RecordCsv(record, EnglishTextSet()), image);

    MemoryPanel panel;
    ShowImage(panel, image);
    std::ostringstream refusal;
    const auto window = CheckedImage(panel, refusal);
    if (!window) continue;
    ++exported;
    record.channels = ViewConfiguration(panel);
    record.image = *window;
    const std::string csv = RecordCsv(record, EnglishTextSet());
    ExpectImported(csv, *window);
    std::string kept;
    std::istringstream rows(csv);
    for (std::string row; std::getline(rows, row);) {
      if (row.find("Image (41 bytes") != std::string::npos) continue;
      kept += row.substr(0, row.rfind(',')) + "\n";
    }
    ExpectImported(kept, *window);
  }
  EXPECT_EQ(full, 4);
  EXPECT_GE(exported, 2);
}

TEST_F(CliTest, ABadRecordIsNamedByLineAndColumnAndWritesNoFile) {
  ConfigRecord record{"Quorvex 1.4", "", "", 3, ViewImage(kKnownImage), kKnownImage};
  const std::string known = RecordCsv(record, EnglishTextSet());
  const auto changed = [&](const std::string& from, const std::string& to) {
    std::string text = known;
    text.replace(text.find(from), from.size(), to);
    return text;
  };
  const auto withoutImage = [](std::string text) {
    const std::size_t row = text.find("\"Image");
    return text.erase(row, text.find('\n', row) + 1 - row);
  };
  const std::pair<std::string, const char*> cases[] = {
      {changed(",10.2,", ",5.0,"),
       "rec.csv: line 10, column 5: Channel 3 does not agree with the record's image"},
      {changed("Image (41 bytes, hex)", "Picture"), "rec.csv: line 5, column 1: \"Picture\""},
      // Without the image the window's own check, naming the channel.
      {withoutImage(changed(",4.0,", ",6.0,")),
       "Configuration error Channel 2: Channel 2: Offset not in range between 0 and 5.0 mA"},
  };
  for (const auto& [text, message] : cases) {
    const Result imported = Run({"import", WriteFile("rec.csv", text), "-o", Path("out.kfg")});
    EXPECT_EQ(imported.code, 2);
    EXPECT_NE(imported.err.find(message), std::string::npos) << imported.err;
    EXPECT_FALSE(std::filesystem::exists(Path("out.kfg")));
  }
}

TEST_F(CliTest, DiffNamesEachDifferingFieldAndExitsWithOne) {
  ConfigImage changed = kKnownImage;
  changed[ChannelOffset(2) + 1] = 41;  // channel 2's offset 4.0 -> 4.1 mA
  const std::string a = WriteImage("a.kfg", kKnownImage);
  const Result same = Run({"diff", a, a});
  EXPECT_EQ(same.code, 0);
  const Result diff = Run({"diff", a, WriteImage("b.kfg", changed)});
  EXPECT_EQ(diff.code, 1);
  EXPECT_NE(diff.out.find("2        Offset  4.0 mA"), std::string::npos) << diff.out;
  EXPECT_NE(diff.out.find("4.1 mA"), std::string::npos) << diff.out;
}

TEST_F(CliTest, BadFilesAndUsageGiveTheWindowsMessagesAndExitCodeTwo) {
  std::filesystem::create_directory(Path("folder.kfg"));
  struct Case {
    std::vector<std::string> args;
    const char* message;
  };
  const Case cases[] = {
      {{"show", Path("missing.kfg")}, "missing.kfg: File not found."},
      // A path from the root is a path on Windows too, not an option: the load names it.
      {{"show", "/quorvex-nowhere/missing.kfg"}, "/quorvex-nowhere/missing.kfg: Invalid filename."},
      {{"show", WriteFile("short.kfg", "12345")}, "short.kfg: Read beyond end of file."},
      {{"show", WriteFile("empty.kfg", "")}, "empty.kfg: Read beyond end of file."},
      {{"diff", Path("folder.kfg"), Path("missing.kfg")}, "folder.kfg: "},
      {{"read", "--port", "0"}, "--port: Value 0 not in range 1 to 255"},
      {{"verify", "--port", "256", "x.kfg"}, "not in range 1 to 255"},
      {{"read"}, "--port is required"},
      {{"frobnicate"}, "A subcommand is required"},
  };
  for (const Case& c : cases) {
    const Result r = Run(c.args);
    EXPECT_EQ(r.code, 2) << c.message;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
  EXPECT_EQ(Run({"--version"}).code, 0);
  const Result help = Run({"write", "--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_NE(help.out.find("Exit codes"), std::string::npos);
}

}  // namespace
}  // namespace quorvex::cli
