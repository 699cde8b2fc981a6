// quorvex-cli's history against the simulator: every transfer's record, the history named on the
// command line or kept in its default place; the native program or the one QUORVEX_E2E_CLI names.
#include <fstream>
#include <iterator>

#include "core/image_layout.h"
#include "storage/history.h"
#include "storage/sha256.h"
#include "tests/e2e/cli_process.h"
#include "tests/e2e/e2e_fixture.h"
#include "tests/support/temp_folder.h"

namespace quorvex::e2e {
namespace {

class HistoryE2eTest : public CardSimTest {
 protected:
  HistoryE2eTest() : CardSimTest(E2eSetup::FromEnvironment()) {}

  // A Windows build made without SQLite says so and keeps none: nothing here to try then.
  void SetUp() override {
    if (!setup_.foreignCli) return;
    const Result probe = Run({"history", "--check", "--history", Path("probe.sqlite")});
    if (probe.err.find("keeps no history") != std::string::npos) GTEST_SKIP() << probe.err;
  }

  struct Result {
    int code;
    std::string out;
    std::string err;
  };
  Result Run(const std::vector<std::string>& args) {
    const std::string out = Path("cli-" + std::to_string(++runs_) + ".out");
    CliProcess cli(setup_.cli, args, folder_, out);
    const int code = cli.Finish();
    return {code, Slurp(out), cli.Err()};
  }
  std::string Path(const std::string& name) const { return (folder_ / name).string(); }
  static std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  void WriteFile(const std::string& name, const ConfigImage& image) {
    std::ofstream(Path(name), std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()), std::ssize(image));
  }
  std::string Port() const { return std::to_string(setup_.port); }
  std::string PortName() const { return "COM" + Port(); }

 private:
  int runs_ = 0;
};

HistoryQuery ByTag(const std::string& tag) {
  HistoryQuery query;
  query.tag = tag;
  return query;
}

ConfigImage ChangedImage() {
  ConfigImage changed = kKnownImage;
  changed[ChannelOffset(3) + 2] = 100;  // channel 3's range from 10.2 V to 5.0 V
  return changed;
}

TEST_F(HistoryE2eTest, EveryTransferOfTheCommandLineGivesItsRecord) {
  WriteFile("known.kfg", kKnownImage);
  WriteFile("changed.kfg", ChangedImage());
  std::filesystem::create_directory(Path("backups"));
  WriteImageFile(kKnownImage);
  StartSimulator();
  const std::vector<std::string> history = {"--history", "history.sqlite", "--tag", "QIR-{port}"};
  const auto with = [&](std::vector<std::string> args) {
    args.insert(args.end(), history.begin(), history.end());
    return args;
  };
  const Result write =
      Run(with({"write", "--port", Port(), "--backup", "backups", "--json", "changed.kfg"}));
  EXPECT_EQ(write.code, 0) << write.err;
  EXPECT_NE(write.out.find("\"history\":2"), std::string::npos) << write.out;
  EXPECT_EQ(Run(with({"read", "--port", Port(), "-o", "read.kfg"})).code, 0);
  EXPECT_EQ(Run(with({"verify", "--port", Port(), "known.kfg"})).code, 1);
  EXPECT_EQ(Run(with({"verify", "--port", "200", "known.kfg"})).code, 4);
  sim_.reset();

  const std::string backup = testing::FolderEntries(Path("backups")).at(0);
  struct Expected {
    const char* action;
    const char* outcome;
    std::string port;
    std::string file;  // and its SHA-256, of the bytes in the folder now
    std::optional<ConfigImage> image;
    std::optional<bool> readBackEqual;
    bool differences;
  };
  const Expected expected[] = {
      {kHistoryBackupRead, "read", PortName(), "backups/" + backup, kKnownImage, {}, false},
      {kHistoryWrite, "written", PortName(), "changed.kfg", ChangedImage(), true, false},
      {kHistoryRead, "read", PortName(), "read.kfg", ChangedImage(), {}, false},
      {kHistoryVerify, "differs", PortName(), "known.kfg", ChangedImage(), {}, true},
      {kHistoryVerify, "not available", "COM200", "known.kfg", {}, {}, false},
  };
  History kept(Path("history.sqlite"));
  std::vector<HistoryRecord> records = kept.Find({});
  ASSERT_EQ(records.size(), std::size(expected));
  std::reverse(records.begin(), records.end());
  for (std::size_t i = 0; i < records.size(); ++i) {
    SCOPED_TRACE(i);
    const HistoryRecord& r = records[i];
    const Expected& e = expected[i];
    EXPECT_EQ(r.action, e.action);
    EXPECT_EQ(r.outcome, e.outcome);
    EXPECT_EQ(r.port, e.port);
    EXPECT_EQ(r.tag, "QIR-" + e.port.substr(3));
    EXPECT_EQ(r.file.ends_with(backup) ? "backups/" + backup : r.file, e.file);
    EXPECT_EQ(r.fileSha256, Sha256Hex(Slurp(Path(e.file))));
    EXPECT_EQ(r.image, e.image);
    EXPECT_EQ(r.readBackEqual, e.readBackEqual);
    EXPECT_EQ(!r.differences.empty(), e.differences);
    EXPECT_FALSE(r.user.empty());
    EXPECT_NE(r.program.find("quorvex-cli"), std::string::npos);
  }
  EXPECT_TRUE(kept.Check().intact);
}

TEST_F(HistoryE2eTest, AHistoryNamedThatCannotBeOpenedStopsTheCommandBeforeTheCard) {
  WriteFile("known.kfg", kKnownImage);
  WriteImageFile(ConfigImage{});
  StartSimulator();
  std::ofstream(Path("not-a-folder")) << "a file";
  const Result write =
      Run({"write", "--port", Port(), "--history", "not-a-folder/h.sqlite", "known.kfg"});
  EXPECT_EQ(write.code, 2) << write.err;
  EXPECT_NE(write.err.find("not-a-folder"), std::string::npos) << write.err;
  EXPECT_TRUE(RequestedRegisters().empty());
  sim_.reset();
  EXPECT_EQ(ReadImageFile(), ConfigImage{});
}

// Without --history the record goes to the default place: the user's data folder natively, beside
// quorvex-cli.exe in the portable layout under Wine (the zip's unpacked folder).
TEST_F(HistoryE2eTest, TheDefaultPlaceKeepsTheRecords) {
  WriteImageFile(kKnownImage);
  StartSimulator();
  ::setenv("XDG_DATA_HOME", folder_.c_str(), 1);
  const std::string place =
      setup_.foreignCli
          ? (std::filesystem::path(setup_.cli.back()).parent_path() / "history.sqlite").string()
          : Path("quorvex/history.sqlite");
  const std::size_t before =
      std::filesystem::exists(place) ? History(place).Find(ByTag("E2E-DEFAULT")).size() : 0;
  const Result read = Run({"read", "--port", Port(), "--tag", "E2E-DEFAULT"});
  ::unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(read.code, 0) << read.err;
  ASSERT_TRUE(std::filesystem::exists(place)) << place;
  const auto records = History(place).Find(ByTag("E2E-DEFAULT"));
  ASSERT_EQ(records.size(), before + 1);
  EXPECT_EQ(records.front().image, kKnownImage);
}

}  // namespace
}  // namespace quorvex::e2e
