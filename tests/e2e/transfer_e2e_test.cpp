// Tests of the real write and read against the simulator on a pseudo terminal.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "core/channel_editing.h"
#include "core/config_image.h"
#include "link/register_exchange.h"
#include "procedures/channel_check.h"
#include "tests/e2e/e2e_fixture.h"

namespace quorvex::e2e {
namespace {

using std::chrono::milliseconds;

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST_F(CardSimTest, OneExchangeReachesTheCardsImage) {
  StartSimulator();
  port_.OpenComPort();
  ASSERT_TRUE(port_.IsOpen());
  std::uint8_t reply = 0;
  EXPECT_TRUE(RegisterExchange(port_, 7, 0x5A, Direction::Write, reply));
  EXPECT_EQ(reply, 0x5A);
  reply = 0;
  EXPECT_TRUE(RegisterExchange(port_, 7, 0, Direction::Read, reply));
  EXPECT_EQ(reply, 0x5A);
  port_.CloseComPort();
  const std::string log = SimulatorLog();
  EXPECT_NE(log.find("rx  00 07 5A 5F  write register 7"), std::string::npos) << log;
  EXPECT_NE(log.find("rx  80 07 00 87  read register 7"), std::string::npos) << log;
  EXPECT_EQ(ReadImageFile()[7], 0x5A);
}

TEST_F(CardSimTest, FullWriteLeavesTheEncodedConfigurationOnTheCard) {
  FillKnownConfiguration(panel_);
  ASSERT_TRUE(ValidateAllChannels(panel_, op_, ctx_));
  StartSimulator();
  TransferSeams s = Seams();
  SendConfiguration(s);

  EXPECT_EQ(registerAddress_, 41);
  EXPECT_EQ(op_.LastStatus(), "Channel configuration written");
  EXPECT_FALSE(Contains(op_.Statuses(), "Transmission error"));
  EXPECT_EQ(op_.Boxes(),
            (std::vector<std::string>{"Transmission|Connect analog box to PC via COM1|none",
                                      "Transmission|Now release the connection between device "
                                      "and PC|none"}));
  ExpectPortReleased();
  EXPECT_EQ(ReadImageFile(), EncodeConfiguration(panel_));
  EXPECT_EQ(ReadImageFile(), kKnownImage);
}

TEST_F(CardSimTest, FullReadFillsThePanelFromTheCard) {
  WriteImageFile(kKnownImage);
  StartSimulator();
  TransferSeams s = Seams();
  EmpfangenClick(s);

  struct Expected {
    const char* quantity;
    const char* unit;
    const char* offset;
    const char* range;
    const char* measurement;
    const char* label;
  };
  const Expected expected[8] = {
      {"O2", "V", "0.5", "10.0", "25.0", "%"},
      {"CO", "mA", "4.0", "20.0", "1000", "ppm"},
      {"TGas", "V", "0.0", "10.2", "1200",
       "\xC2\xB0"
       "C"},
      {"Lambda", "mA", "0.0", "20.0", "5.00", ""},
      {"Eta", "V", "2.5", "5.0", "120.0", "%"},
      {"CO2", "mA", "5.0", "20.4", "20.0", "%"},
      {"TRaum", "V", "1.0", "10.0", "50",
       "\xC2\xB0"
       "C"},
      {"Sens6", "mA", "0.4", "16.0", "63000", "ppm"},
  };
  for (int n = 1; n <= 8; ++n) {
    const Expected& e = expected[n - 1];
    SCOPED_TRACE("channel " + std::to_string(n));
    EXPECT_EQ(panel_.Text(ComponentName("ComboBox", n)), e.quantity);
    EXPECT_EQ(panel_.Text(ComponentName("EinheitBox", n)), e.unit);
    EXPECT_EQ(panel_.Text(ComponentName("Edit", n)), e.offset);
    EXPECT_EQ(panel_.Text(ComponentName("BereichEdit", n)), e.range);
    EXPECT_EQ(panel_.Text(ComponentName("MessEdit", n)), e.measurement);
    EXPECT_EQ(panel_.Text(ComponentName("ELabel", n)), e.label);
  }
  EXPECT_EQ(op_.LastStatus(), "Configuration  loaded");
  EXPECT_FALSE(Contains(op_.Statuses(), "Transmission error"));
  ExpectPortReleased();
  // Reading leaves the card's memory alone.
  EXPECT_EQ(ReadImageFile(), kKnownImage);
}

TEST_F(CardSimTest, PortHeldByAnotherProcessIsReportedAndNothingElseHappens) {
  StartSimulator();
  int ready[2];
  int release[2];
  ASSERT_EQ(::pipe2(ready, O_CLOEXEC), 0);
  ASSERT_EQ(::pipe2(release, O_CLOEXEC), 0);
  const pid_t holder = ::fork();
  ASSERT_GE(holder, 0);
  if (holder == 0) {
    ::close(release[1]);
    const auto line = MakeSystemSerialPorts()->Open(1);
    const char held = line ? 'y' : 'n';
    [[maybe_unused]] ssize_t n = ::write(ready[1], &held, 1);
    char ignored;
    n = ::read(release[0], &ignored, 1);  // until the test closes its end
    ::_exit(0);
  }
  ::close(ready[1]);
  ::close(release[0]);
  pollfd p{ready[0], POLLIN, 0};
  char held = 'n';
  ASSERT_EQ(::poll(&p, 1, 10000), 1);
  ASSERT_EQ(::read(ready[0], &held, 1), 1);
  ASSERT_EQ(held, 'y');

  FillKnownConfiguration(panel_);
  TransferSeams s = Seams();
  SendConfiguration(s);
  EXPECT_EQ(op_.log, (std::vector<std::string>{"box:Quorvex|Port COM1 not available.|none"}));
  op_.log.clear();
  EmpfangenClick(s);
  EXPECT_EQ(op_.log, (std::vector<std::string>{"box:Quorvex|Port COM1 not available.|none"}));

  ::close(release[1]);
  ::close(ready[0]);
  int status = 0;
  ASSERT_EQ(::waitpid(holder, &status, 0), holder);
  EXPECT_EQ(SimulatorLog().find(" rx "), std::string::npos) << "a byte reached the card";
  ExpectPortReleased();
}

TEST_F(CardSimTest, CardHangingUpMidTransferEndsItWithFailureAndClosesThePort) {
  FillKnownConfiguration(panel_);
  ConfigImage image = kKnownImage;
  image[1] = 2;  // TGas
  image[2] = 30;
  WriteImageFile(image);
  // Register 0 and channel 1's first two registers are answered, then the line goes down.
  StartSimulator({"--hangup-after", "3"});
  TransferSeams s = Seams();
  EmpfangenClick(s);

  EXPECT_TRUE(Contains(op_.Statuses(), "Transmission error"));
  EXPECT_EQ(op_.LastStatus(), "Error by configuration reading");
  // Channel 1 was not complete, so it keeps what it had.
  EXPECT_EQ(panel_.Text("ComboBox1"), "O2");
  EXPECT_EQ(panel_.Text("Edit1"), "0.5");
  ExpectPortReleased(false);
  EXPECT_EQ(op_.Boxes().back(),
            "Transmission|Now release the connection between device and PC|none");
  EXPECT_EQ(sim_->WaitForExit(std::chrono::seconds(10)), 0);
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(folder_ / "COM1")));
}

// A user without privileges must be able to use the port again after a transfer closed it:
// a pty keeps its exclusive mode while the simulator holds the other side.
TEST_F(CardSimTest, PortCanBeOpenedAgainByAnOrdinaryUser) {
  StartSimulator();
  const auto openTwice = [] {
    auto ports = MakeSystemSerialPorts();
    auto first = ports->Open(1);
    if (!first) return false;
    first.reset();
    return ports->Open(1) != nullptr;
  };
  if (::geteuid() != 0) {
    EXPECT_TRUE(openTwice());
    return;
  }
  // Let an unprivileged child reach the folder and the terminal.
  std::filesystem::permissions(
      folder_, std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                   std::filesystem::perms::group_exec | std::filesystem::perms::others_read |
                   std::filesystem::perms::others_exec);
  ASSERT_EQ(::chmod(std::filesystem::canonical(folder_ / "COM1").c_str(), 0666), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
    ::_exit(openTwice() ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the second open was refused, 2: setuid failed";
}

}  // namespace
}  // namespace quorvex::e2e
