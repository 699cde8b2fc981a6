// The end-to-end fixture: a fresh COM folder, the simulator started in it, its image file.
#include "tests/e2e/e2e_fixture.h"

#include <stdlib.h>

#include <iostream>
#include <iterator>
#include <sstream>

namespace quorvex::e2e {

namespace {
std::vector<std::string> CommandFromEnvironment(const char* name) {
  const char* command = std::getenv(name);
  std::istringstream words(command != nullptr ? command : "");
  std::vector<std::string> result;
  for (std::string word; words >> word;) result.push_back(word);
  return result;
}
}  // namespace

E2eSetup E2eSetup::FromEnvironment() {
  E2eSetup setup;
  setup.cli = CommandFromEnvironment("QUORVEX_E2E_CLI");
  setup.transferCheck = CommandFromEnvironment("QUORVEX_E2E_TRANSFER_CHECK");
  setup.foreignCli = !setup.cli.empty();
  if (!setup.foreignCli) setup.cli = {QUORVEX_CLI_PATH};
  if (const char* dir = std::getenv("QUORVEX_E2E_COM_DIR")) setup.comDir = dir;
  if (const char* port = std::getenv("QUORVEX_E2E_PORT")) setup.port = std::stoi(port);
  return setup;
}

CardSimTest::CardSimTest(E2eSetup setup) : setup_(std::move(setup)) {
  std::string pattern = (std::filesystem::temp_directory_path() / "quorvex-e2e-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  folder_ = pattern;
  comDir_ = setup_.comDir.empty() ? folder_ : std::filesystem::path(setup_.comDir);
  imagePath_ = (folder_ / "card.kfg").string();

  if (const char* previous = std::getenv("QUORVEX_COM_DIR")) {
    hadComDir_ = true;
    previousComDir_ = previous;
  }
  ::setenv("QUORVEX_COM_DIR", comDir_.c_str(), 1);
  ctx_.comPortNumber = setup_.port;
  ctx_.texts = EnglishTextSet();
  FillLists(panel_);
}

CardSimTest::~CardSimTest() {
  port_.CloseComPort();
  sim_.reset();
  if (hadComDir_) {
    ::setenv("QUORVEX_COM_DIR", previousComDir_.c_str(), 1);
  } else {
    ::unsetenv("QUORVEX_COM_DIR");
  }
  if (keepFolder_) {
    std::cerr << "e2e: the failed test's files are kept in " << folder_.string() << "\n";
    return;
  }
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

void CardSimTest::TearDown() {
  keepFolder_ = HasFailure();
}

void CardSimTest::StartSimulator(const std::vector<std::string>& extraArgs) {
  logPath_ = (folder_ / ("frames-" + std::to_string(++starts_) + ".log")).string();
  const std::string port = std::to_string(setup_.port);
  std::vector<std::string> args = {"--com-dir", comDir_.string(), "--port", port,
                                   "--image",   imagePath_,       "--log",  logPath_};
  args.insert(args.end(), extraArgs.begin(), extraArgs.end());
  sim_ = std::make_unique<sim::SimProcess>(QUORVEX_CARDSIM_PATH, args);
  ASSERT_EQ(sim_->LinkPath(), (comDir_ / ("COM" + port)).string());
  descriptorsAfterStart_ = OpenDescriptorCount();
}

void CardSimTest::WriteImageFile(const ConfigImage& image) {
  std::ofstream out(imagePath_, std::ios::binary);
  out.write(reinterpret_cast<const char*>(image.data()), std::ssize(image));
}

ConfigImage CardSimTest::ReadImageFile() {
  if (sim_) {
    EXPECT_EQ(sim_->Stop(), 0) << "the simulator did not end cleanly";
  }
  std::ifstream in(imagePath_, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), {});
  ConfigImage image{};
  EXPECT_EQ(bytes.size(), image.size()) << imagePath_;
  std::copy_n(bytes.begin(), std::min(bytes.size(), image.size()), image.begin());
  return image;
}

std::string CardSimTest::SimulatorLog() const {
  std::ifstream in(logPath_);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}

std::vector<int> CardSimTest::RequestedRegisters() const {
  // "<time> ms  rx  80 07 00 87  read register 7": only served requests name a register.
  std::vector<int> registers;
  std::istringstream lines(SimulatorLog());
  for (std::string line; std::getline(lines, line);) {
    if (line.find("  rx  ") == std::string::npos) continue;
    const std::size_t at = line.find(" register ");
    if (at == std::string::npos) continue;
    registers.push_back(std::stoi(line.substr(at + 10)));
  }
  return registers;
}

void CardSimTest::ExpectPortReleased(bool cardStillOnLine) {
  EXPECT_FALSE(port_.IsOpen());
  EXPECT_FALSE(op_.waitCursor);
  EXPECT_EQ(OpenDescriptorCount(), descriptorsAfterStart_) << "a descriptor was left open";
  if (cardStillOnLine) {
    EXPECT_NE(MakeSystemSerialPorts()->Open(setup_.port), nullptr) << "the port is still held";
  }
}

int OpenDescriptorCount() {
  const auto entries = std::filesystem::directory_iterator("/proc/self/fd");
  // The iterator holds one descriptor of its own while it lists the folder.
  return static_cast<int>(std::distance(entries, std::filesystem::directory_iterator())) - 1;
}

}  // namespace quorvex::e2e
