// quorvex-cli with three simulated cards at once, one of them silent; the probe over five ports.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sys/wait.h>
#include <cstdio>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "link/serial_line.h"
#include "sim/sim_process.h"
#include "tests/link/serial_pty.h"
#include "tests/support/panel_setup.h"
#include "tests/support/temp_folder.h"

namespace quorvex::e2e {
namespace {

class ManyCardsTest : public ::testing::Test {
 protected:
  // Starts a simulator as COM n with its image in the folder and the given fault switches.
  void StartCard(int n, std::vector<std::string> faults = {}) {
    std::vector<std::string> args{"--port",       std::to_string(n), "--com-dir",
                                  folder_.Path(), "--image",         Image(n)};
    args.insert(args.end(), faults.begin(), faults.end());
    cards_.push_back(std::make_unique<sim::SimProcess>(QUORVEX_CARDSIM_PATH, args));
  }
  std::string Image(int n) const { return folder_ / ("card" + std::to_string(n) + ".kfg"); }
  static std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  // Runs quorvex-cli with the folder's ports; its exit code, and its stdout in `out`.
  int Cli(const std::string& args, std::string& out) const {
    const std::string command = std::string(QUORVEX_CLI_PATH) + " " + args + " --com-dir " +
                                folder_.Path() + " >" + (folder_ / "out.txt") + " 2>/dev/null";
    const int status = std::system(command.c_str());
    out = Slurp(folder_ / "out.txt");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  testing::TempFolder folder_;
  std::vector<std::unique_ptr<sim::SimProcess>> cards_;
};

TEST_F(ManyCardsTest, WritesThreeCardsAtOnceAndOneSilentCardStopsNoOther) {
  const std::string file = folder_ / "known.kfg";
  std::ofstream(file, std::ios::binary)
      .write(reinterpret_cast<const char*>(testing::kKnownImage.data()),
             testing::kKnownImage.size());
  StartCard(3);
  StartCard(4);
  StartCard(5, {"--silent"});

  std::string out;
  std::filesystem::create_directory(folder_ / "backups");
  EXPECT_EQ(Cli("write --port 3-4 --port 5 --backup " + (folder_ / "backups") + " --log " +
                    (folder_ / "cards.log") + " " + file,
                out),
            3);
  EXPECT_NE(out.find("COM3  -  written  "), std::string::npos) << out;
  EXPECT_NE(out.find("COM4  -  written  "), std::string::npos) << out;
  EXPECT_NE(out.find("COM5  -  failed  "), std::string::npos) << out;
  EXPECT_NE(out.find("3 cards in "), std::string::npos) << out;

  // The simulators' images are complete once they stopped.
  for (auto& card : cards_) card->Stop();
  EXPECT_EQ(Slurp(Image(3)), Slurp(file));
  EXPECT_EQ(Slurp(Image(4)), Slurp(file));

  std::ifstream log(folder_ / "cards.log");
  std::vector<std::string> outcomes;
  for (std::string line; std::getline(log, line);) {
    const auto entry = nlohmann::json::parse(line);
    // The silent card could not be backed up, so it was not written: no backup named.
    const std::string backup = entry["backup"].get<std::string>();
    outcomes.push_back(
        entry["port"].get<std::string>() + " " + entry["outcome"].get<std::string>() + " " +
        (backup.empty() ? "-" : std::filesystem::path(backup).filename().string().substr(0, 5)));
  }
  std::sort(outcomes.begin(), outcomes.end());
  EXPECT_EQ(outcomes, (std::vector<std::string>{"COM3 written COM3-", "COM4 written COM4-",
                                                "COM5 failed -"}));
  EXPECT_EQ(testing::FolderEntries(folder_ / "backups").size(), 2u);
}

TEST_F(ManyCardsTest, ProbeMarksExactlyThePortsWhereACardAnswers) {
  StartCard(2);
  StartCard(4);
  StartCard(5, {"--silent"});
  // Two ports with a device that is no card: a pseudo terminal nobody answers on.
  std::vector<std::unique_ptr<testing::Pty>> quiet;
  for (int n : {1, 3}) {
    quiet.push_back(std::make_unique<testing::Pty>());
    std::filesystem::create_symlink(quiet.back()->slavePath(),
                                    folder_ / ("COM" + std::to_string(n)));
  }
  std::string out;
  EXPECT_EQ(Cli("ports --probe", out), 0);
  std::vector<std::string> answering;
  for (std::size_t at = out.find("answers"); at != std::string::npos;
       at = out.find("answers", at + 1)) {
    answering.push_back(out.substr(out.rfind('\n', at) + 1, 4));
  }
  EXPECT_EQ(answering, (std::vector<std::string>{"COM2", "COM4"})) << out;
  EXPECT_NE(out.find("COM5"), std::string::npos) << out;
  EXPECT_NE(out.find("COM3"), std::string::npos) << out;
}

}  // namespace
}  // namespace quorvex::e2e
