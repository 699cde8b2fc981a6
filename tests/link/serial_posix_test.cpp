// Tests of the termios backend on pseudo terminals: exclusive hold, time-outs, no leaks.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "link/posix_serial.h"
#include "tests/link/serial_pty.h"
#include "tests/support/temp_folder.h"

namespace quorvex {
namespace {

using testing::Pty;
using testing::TempFolder;
using Clock = std::chrono::steady_clock;

long ElapsedMs(Clock::time_point since) {
  return static_cast<long>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

std::size_t OpenDescriptorCount() {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    ++count;
  }
  return count;
}

TEST(PosixSerialLine, HeldExclusivelyThroughAnyPathAndFromOtherProcesses) {
  Pty pty;
  TempFolder folder;
  const std::string link = folder / "COM4";
  std::filesystem::create_symlink(pty.slavePath(), link);

  auto first = PosixSerialLine::Open(link);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(PosixSerialLine::Open(pty.slavePath()), nullptr);
  EXPECT_EQ(PosixSerialLine::Open(link), nullptr);

  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const bool keptOut =
        PosixSerialLine::Open(pty.slavePath()) == nullptr && PosixSerialLine::Open(link) == nullptr;
    ::_exit(keptOut ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "another process opened the held port";

  first.reset();
  auto again = PosixSerialLine::Open(pty.slavePath());
  EXPECT_NE(again, nullptr) << "the port stayed taken after its line was closed";
}

TEST(PosixSerialLine, RefusesWhatIsNotATerminal) {
  TempFolder folder;
  const std::string file = folder / "not-a-port";
  { std::ofstream(file) << "keep"; }
  EXPECT_EQ(PosixSerialLine::Open(file), nullptr);
  EXPECT_EQ(PosixSerialLine::Open(folder / "missing"), nullptr);
  EXPECT_EQ(PosixSerialLine::Open(folder.Path()), nullptr);
  std::ifstream in(file);
  std::string content;
  in >> content;
  EXPECT_EQ(content, "keep");
}

TEST(PosixSerialLine, ReadOnASilentLineGivesUpAfterTheByteTimeOut) {
  Pty pty;
  auto line = PosixSerialLine::Open(pty.slavePath());
  ASSERT_NE(line, nullptr);
  line->Configure();

  std::uint8_t b = 0x5A;
  const auto start = Clock::now();
  EXPECT_FALSE(line->ReadByte(b));
  const long ms = ElapsedMs(start);
  EXPECT_GE(ms, 250);
  EXPECT_LT(ms, 1000);
  EXPECT_EQ(b, 0x5A);
}

TEST(PosixSerialLine, ConfigureDropsWhatCameBeforeAndPassesEveryByteValueUnchanged) {
  Pty pty;
  auto line = PosixSerialLine::Open(pty.slavePath());
  ASSERT_NE(line, nullptr);

  pty.Write({0x01, 0x02, 0x03});
  line->Configure();

  // Every value, including those a cooked terminal would translate or swallow (CR, LF,
  // XON/XOFF, interrupt, end-of-file, 0xFF).
  std::vector<std::uint8_t> all(256);
  for (std::size_t i = 0; i < all.size(); ++i) all[i] = static_cast<std::uint8_t>(i);
  pty.Write(all);
  for (int i = 0; i < 256; ++i) {
    std::uint8_t b = 0;
    ASSERT_TRUE(line->ReadByte(b)) << "byte " << i;
    ASSERT_EQ(b, i);
  }

  line->SetRts(true);
  line->SetRts(false);
  for (int i = 0; i < 256; ++i) {
    ASSERT_TRUE(line->WriteByte(static_cast<std::uint8_t>(i))) << "byte " << i;
  }
  for (int i = 0; i < 256; ++i) {
    const std::optional<std::uint8_t> b = pty.Read();
    ASSERT_TRUE(b.has_value()) << "byte " << i;
    ASSERT_EQ(*b, i);
  }
  EXPECT_FALSE(pty.Read(100).has_value()) << "the line sent more than it was given";
}

TEST(PosixSerialLine, VanishedPeerFailsBothDirectionsWithoutHanging) {
  Pty pty;
  auto line = PosixSerialLine::Open(pty.slavePath());
  ASSERT_NE(line, nullptr);
  line->Configure();
  pty.CloseMaster();

  std::uint8_t b = 0;
  for (int i = 0; i < 3; ++i) {
    auto start = Clock::now();
    EXPECT_FALSE(line->ReadByte(b));
    EXPECT_LT(ElapsedMs(start), 1000);
    start = Clock::now();
    EXPECT_FALSE(line->WriteByte(0x55));
    EXPECT_LT(ElapsedMs(start), 1000);
  }
}

TEST(PosixSerialLine, NoDescriptorLeaksOnAnyPath) {
  Pty pty;
  TempFolder folder;
  const std::string file = folder / "plain";
  { std::ofstream(file) << "x"; }

  const std::size_t before = OpenDescriptorCount();
  for (int i = 0; i < 200; ++i) {
    auto line = PosixSerialLine::Open(pty.slavePath());
    ASSERT_NE(line, nullptr);
    line->Configure();
    EXPECT_EQ(PosixSerialLine::Open(pty.slavePath()), nullptr);  // locked
    EXPECT_EQ(PosixSerialLine::Open(file), nullptr);             // not a terminal
    EXPECT_EQ(PosixSerialLine::Open(folder / "gone"), nullptr);  // missing
  }
  EXPECT_EQ(OpenDescriptorCount(), before);
}

TEST(PosixSerialPorts, ResolvesTheNumberOnEveryOpen) {
  Pty first;
  Pty second;
  std::string target = first.slavePath();
  PosixSerialPorts ports([&](int n) -> std::optional<std::string> {
    if (n != 7) return std::nullopt;
    return target;
  });

  EXPECT_EQ(ports.Open(8), nullptr);
  {
    auto line = ports.Open(7);
    ASSERT_NE(line, nullptr);
    line->Configure();
    ASSERT_TRUE(line->WriteByte(0x11));
    EXPECT_EQ(first.Read(), 0x11);
  }
  target = second.slavePath();
  auto line = ports.Open(7);
  ASSERT_NE(line, nullptr);
  line->Configure();
  ASSERT_TRUE(line->WriteByte(0x22));
  EXPECT_EQ(second.Read(), 0x22);
  EXPECT_FALSE(first.Read(100).has_value());
}

// A previous program may have left the port with a handshake, parity or another word size; the
// card's line must not inherit any of it.
TEST(PosixSerialLine, ConfigureLeavesNothingOfWhatAPreviousProgramSet) {
  Pty pty;
  const int other = ::open(pty.slavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(other, 0);
  termios left{};
  ASSERT_EQ(::tcgetattr(other, &left), 0);
  left.c_cflag = (left.c_cflag & ~static_cast<tcflag_t>(CSIZE)) | CS7 | CRTSCTS | PARENB | CSTOPB;
  left.c_iflag |= IXON | IXOFF;
  ASSERT_EQ(::tcsetattr(other, TCSANOW, &left), 0);

  auto line = PosixSerialLine::Open(pty.slavePath());
  ASSERT_NE(line, nullptr);
  line->Configure();
  // Read through the descriptor opened before: the line's exclusive mode keeps new ones out.
  termios now{};
  ASSERT_EQ(::tcgetattr(other, &now), 0);
  ::close(other);
  EXPECT_EQ(now.c_cflag & (CRTSCTS | PARENB | CSTOPB), 0u);
  EXPECT_EQ(now.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_EQ(now.c_iflag & (IXON | IXOFF), 0u);
}

// The COM port dialog and every transfer probe ports that may belong to someone else: a probe
// only asks, and leaves the line's settings as the other program set them.
TEST(PosixSerialPorts, ProbingFindsFreePortsWithoutTouchingTheirSettings) {
  Pty pty;
  const int other = ::open(pty.slavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(other, 0);
  termios set{};
  ASSERT_EQ(::tcgetattr(other, &set), 0);
  set.c_lflag |= ICANON | ECHO;
  ::cfsetispeed(&set, B9600);
  ::cfsetospeed(&set, B9600);
  ASSERT_EQ(::tcsetattr(other, TCSANOW, &set), 0);
  termios before{};
  ASSERT_EQ(::tcgetattr(other, &before), 0);

  PosixSerialPorts ports([&](int n) -> std::optional<std::string> {
    if (n != 2) return std::nullopt;
    return pty.slavePath();
  });
  const std::size_t descriptors = OpenDescriptorCount();
  EXPECT_TRUE(ports.Probe(2));
  EXPECT_FALSE(ports.Probe(3));
  termios after{};
  ASSERT_EQ(::tcgetattr(other, &after), 0);
  EXPECT_EQ(after.c_lflag, before.c_lflag);
  EXPECT_EQ(after.c_iflag, before.c_iflag);
  EXPECT_EQ(after.c_cflag, before.c_cflag);
  EXPECT_EQ(::cfgetospeed(&after), ::cfgetospeed(&before));

  {
    auto held = ports.Open(2);
    ASSERT_NE(held, nullptr);
    EXPECT_FALSE(ports.Probe(2)) << "a held port is not free";
  }
  EXPECT_TRUE(ports.Probe(2));
  EXPECT_EQ(OpenDescriptorCount(), descriptors);
  ::close(other);
}

}  // namespace
}  // namespace quorvex
