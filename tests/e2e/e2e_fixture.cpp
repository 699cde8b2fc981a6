// The end-to-end fixture: a fresh COM folder, the simulator started in it, its image file.
#include "tests/e2e/e2e_fixture.h"

#include <stdlib.h>

#include <iterator>
#include <sstream>

namespace quorvex::e2e {

CardSimTest::CardSimTest() {
  std::string pattern = (std::filesystem::temp_directory_path() / "quorvex-e2e-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  folder_ = pattern;
  imagePath_ = (folder_ / "card.kfg").string();
  logPath_ = (folder_ / "frames.log").string();

  if (const char* previous = std::getenv("QUORVEX_COM_DIR")) {
    hadComDir_ = true;
    previousComDir_ = previous;
  }
  ::setenv("QUORVEX_COM_DIR", folder_.c_str(), 1);
  ctx_.comPortNumber = 1;
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
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

void CardSimTest::StartSimulator(const std::vector<std::string>& extraArgs) {
  std::vector<std::string> args = {"--com-dir", folder_.string(), "--port", "1",
                                   "--image",   imagePath_,       "--log",  logPath_};
  args.insert(args.end(), extraArgs.begin(), extraArgs.end());
  sim_ = std::make_unique<sim::SimProcess>(QUORVEX_CARDSIM_PATH, args);
  ASSERT_EQ(sim_->LinkPath(), (folder_ / "COM1").string());
  descriptorsAfterStart_ = OpenDescriptorCount();
}

void CardSimTest::WriteImageFile(const ConfigImage& image) {
  std::ofstream out(imagePath_, std::ios::binary);
  out.write(reinterpret_cast<const char*>(image.data()), image.size());
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
    EXPECT_NE(MakeSystemSerialPorts()->Open(1), nullptr) << "the port is still held";
  }
}

int OpenDescriptorCount() {
  const auto entries = std::filesystem::directory_iterator("/proc/self/fd");
  // The iterator holds one descriptor of its own while it lists the folder.
  return static_cast<int>(std::distance(entries, std::filesystem::directory_iterator())) - 1;
}

}  // namespace quorvex::e2e
