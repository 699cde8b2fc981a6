// Tests of the serial device list and of giving a device a COM number by link.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "link/latency_timer.h"
#include "link/port_names.h"
#include "link/posix_serial.h"
#include "link/serial_devices.h"
#include "tests/link/serial_pty.h"
#include "tests/storage/storage_test_support.h"
#include "tests/support/temp_folder.h"

namespace quorvex {
namespace {

namespace fs = std::filesystem;
using testing::FolderEntries;
using testing::Pty;
using testing::RunUnprivileged;
using testing::TempFolder;

TEST(AssignComPort, LinkLeadsTheResolvedPortToTheDeviceAndIsReplacedCleanly) {
  TempFolder config;
  Pty first;
  Pty second;
  const PortNameEnvironment env{"", config.Path(), ""};
  const std::string folder = UserPortsFolder(env);

  AssignComPort(4, first.slavePath(), folder);  // creates the folders on the way
  const std::optional<std::string> path = ResolveComPortPath(4, env);
  ASSERT_TRUE(path.has_value());
  EXPECT_EQ(fs::canonical(*path), fs::canonical(first.slavePath()));

  PosixSerialPorts ports([&](int n) { return ResolveComPortPath(n, env); });
  {
    auto line = ports.Open(4);
    ASSERT_NE(line, nullptr);
    line->Configure();
    ASSERT_TRUE(line->WriteByte(0x5C));
    EXPECT_EQ(first.Read(), 0x5C);
  }

  AssignComPort(4, second.slavePath(), folder);
  EXPECT_EQ(fs::read_symlink(folder + "/COM4"), second.slavePath());
  EXPECT_EQ(FolderEntries(folder), std::vector<std::string>{"COM4"});
}

TEST(AssignComPort, RefusesWithAMessageAndLeavesNothingBehind) {
  TempFolder config;
  const std::string folder = config / "ports";

  auto expectFailure = [](auto assign, const std::string& part) {
    try {
      assign();
      ADD_FAILURE() << "no error for: " << part;
    } catch (const std::runtime_error& e) {
      EXPECT_NE(std::string(e.what()).find(part), std::string::npos) << e.what();
    }
  };
  expectFailure([&] { AssignComPort(0, "/dev/ttyS0", folder); }, "COM0");
  expectFailure([&] { AssignComPort(256, "/dev/ttyS0", folder); }, "1 to 255");
  expectFailure([&] { AssignComPort(3, "ttyUSB0", folder); }, "ttyUSB0");
  expectFailure([&] { AssignComPort(3, "/dev/ttyS0", ""); }, "HOME");

  { std::ofstream(config / "file") << "x"; }
  expectFailure([&] { AssignComPort(3, "/dev/ttyS0", config / "file/ports"); }, "file/ports");

  fs::create_directories(folder + "/COM5");
  expectFailure([&] { AssignComPort(5, "/dev/ttyS0", folder); }, "COM5");
  EXPECT_EQ(FolderEntries(folder), std::vector<std::string>{"COM5"});
  EXPECT_TRUE(fs::is_directory(folder + "/COM5"));
}

// A stand-in for /dev, /sys/class/tty and /dev/serial/by-id.
class SerialDeviceListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    roots_.dev = root_ / "dev";
    roots_.sysClassTty = root_ / "sys";
    roots_.byId = roots_.dev + "/serial/by-id";
    roots_.usbSerial = root_ / "usb-serial";
    fs::create_directories(roots_.byId);
    for (const char* name : {"ttyS0", "ttyS1", "ttyS2", "ttyS3", "ttyS10", "ttyUSB0", "ttyUSB2",
                             "ttyUSB10", "ttyACM1", "tty0", "ttySAC0", "ttyS", "console"}) {
      std::ofstream touch(Dev(name));
    }
    // ttyS1 has no UART behind it; ttyS3 is not described at all and is no terminal either.
    for (auto [name, type] : {std::pair{"ttyS0", 4}, {"ttyS1", 0}, {"ttyS2", 4}, {"ttyS10", 4}}) {
      fs::create_directories(roots_.sysClassTty + "/" + name);
      std::ofstream(roots_.sysClassTty + "/" + name + "/type") << type << "\n";
    }
    fs::create_symlink("../../ttyUSB2", roots_.byId + "/usb-Maker_Cable_B-if00-port0");
    fs::create_symlink("../../ttyUSB2", roots_.byId + "/usb-Maker_Cable_A-if00-port0");
    fs::create_symlink("../../ttyUSB7", roots_.byId + "/usb-Unplugged-if00-port0");
  }

  std::string Dev(const std::string& name) const { return roots_.dev + "/" + name; }

  void Link(const std::string& folder, int n, const std::string& target) {
    fs::create_directories(folder);
    fs::create_symlink(target, folder + "/COM" + std::to_string(n));
  }

  TempFolder root_;
  SerialDeviceRoots roots_;
};

TEST_F(SerialDeviceListTest, ListsPortsInNumberOrderWithStableNamesAndTheirComNumbers) {
  const PortNameEnvironment env{"", root_ / "config", ""};
  const std::string userFolder = UserPortsFolder(env);
  Link(userFolder, 1, Dev("ttyS0"));
  Link(userFolder, 7, Dev("ttyACM1"));
  Link(userFolder, 3, Dev("ttyACM1"));
  Link(userFolder, 9, roots_.byId + "/usb-Maker_Cable_A-if00-port0");

  const std::vector<SerialDevice> devices = ListSerialDevices(roots_, env);
  std::vector<std::string> paths;
  for (const SerialDevice& d : devices) paths.push_back(d.path);
  EXPECT_EQ(paths,
            (std::vector<std::string>{Dev("ttyACM1"), Dev("ttyS0"), Dev("ttyS2"), Dev("ttyS10"),
                                      Dev("ttyUSB0"), Dev("ttyUSB2"), Dev("ttyUSB10")}));
  ASSERT_EQ(devices.size(), 7u);
  EXPECT_EQ(devices[0].comNumber, 3);  // the lowest of two links
  EXPECT_EQ(devices[1].comNumber, 1);
  EXPECT_EQ(devices[2].comNumber, 0);
  EXPECT_EQ(devices[5].comNumber, 9);  // reached through its stable name
  EXPECT_EQ(devices[5].stableName, roots_.byId + "/usb-Maker_Cable_A-if00-port0");
  EXPECT_EQ(devices[4].stableName, "");
}

// The port doctor: a USB adapter's latency timer as its driver offers it in sysfs, and what a
// slow one costs. No advice for a fast timer or a device without one.
TEST_F(SerialDeviceListTest, NamesEachUsbAdaptersLatencyTimerAndWhatASlowOneCosts) {
  for (auto [name, content] : {std::pair{"ttyUSB0", "16\n"},
                               {"ttyUSB2", "1\n"},
                               {"ttyUSB10", "garbled\n"},
                               {"ttyS0", "32\n"}}) {
    fs::create_directories(roots_.usbSerial + "/" + name);
    std::ofstream(roots_.usbSerial + "/" + name + "/latency_timer") << content;
  }
  struct Row {
    std::string device;
    std::optional<int> timer;
    std::string advice;
  };
  const std::vector<Row> expected{
      {"ttyACM1", std::nullopt, ""},
      // A built-in port has no such file; one that had would be read all the same.
      {"ttyS0", 32, "about 18 % longer transfers at 32 ms. Nothing to change"},
      {"ttyS2", std::nullopt, ""},
      {"ttyS10", std::nullopt, ""},
      {"ttyUSB0", 16, "about 8 % longer transfers at 16 ms. Nothing to change"},
      {"ttyUSB2", 1, ""},
      {"ttyUSB10", std::nullopt, ""},
  };
  const std::vector<SerialDevice> devices =
      ListSerialDevices(roots_, PortNameEnvironment{"", root_ / "config", ""});
  ASSERT_EQ(devices.size(), expected.size());
  for (std::size_t i = 0; i < devices.size(); ++i) {
    const Row& row = expected[i];
    EXPECT_EQ(devices[i].path, Dev(row.device));
    EXPECT_EQ(devices[i].latencyTimerMs, row.timer) << row.device;
    const std::string advice =
        devices[i].latencyTimerMs
            ? LatencyTimerAdvice(*devices[i].latencyTimerMs, PortSystem::kLinux)
            : "";
    EXPECT_EQ(advice.substr(0, row.advice.size()), row.advice) << row.device;
    EXPECT_EQ(advice.empty(), row.advice.empty()) << row.device;
  }
}

TEST_F(SerialDeviceListTest, ComDirTakesEveryNumberAwayFromTheUserLinks) {
  const std::string comDir = root_ / "com";
  const PortNameEnvironment env{comDir, root_ / "config", ""};
  Link(UserPortsFolder(env), 1, Dev("ttyS0"));
  Link(comDir, 2, Dev("ttyUSB10"));

  for (const SerialDevice& d : ListSerialDevices(roots_, env)) {
    EXPECT_EQ(d.comNumber, d.path == Dev("ttyUSB10") ? 2 : 0) << d.path;
  }
}

// How a device stands for the user who looks: probed by a child that runs as nobody (uid
// 65534) when the test runs as root, since root may open anything.
TEST(ProbeDeviceAccess, TellsFreeInUseNotPermittedAndWhy) {
  Pty free;
  Pty held;
  auto holder = PosixSerialLine::Open(held.slavePath());
  ASSERT_NE(holder, nullptr);
  TempFolder folder;
  folder.OpenToEveryone();
  const std::string closed = folder / "closed";
  { std::ofstream(closed) << "x"; }
  ::chmod(closed.c_str(), 0600);
  const bool root = ::geteuid() == 0;
  // Someone else's node: as root the group of serial devices; otherwise the own file, shut.
  const gid_t dialout = root ? 20 : ::getegid();
  if (root) {
    ASSERT_EQ(::chown(closed.c_str(), 0, dialout), 0);
  } else {
    ::chmod(closed.c_str(), 0);
  }
  auto groupOf = [](const std::string& path) {
    struct stat node {};
    if (::stat(path.c_str(), &node) != 0) return std::string("?");
    const struct group* entry = ::getgrgid(node.st_gid);
    return entry != nullptr ? std::string(entry->gr_name) : std::to_string(node.st_gid);
  };

  struct Case {
    std::string path;
    std::string expected;  // access|group|error
  };
  std::vector<Case> cases{
      {closed, "not permitted|" + groupOf(closed) + "|"},
      {folder / "unplugged", "failed||No such file or directory"},
  };
  // A pty of root's, mode 620: nobody may not open it.
  if (root) cases.push_back({free.slavePath(), "not permitted|" + groupOf(free.slavePath()) + "|"});
  auto describe = [](const std::string& path) {
    SerialDevice device;
    device.path = path;
    ProbeDeviceAccess(device);
    static const char* const kNames[] = {"free", "in use", "not permitted", "failed"};
    return std::string(kNames[static_cast<int>(device.access)]) + "|" + device.group + "|" +
           device.error;
  };
  for (const Case& c : cases) {
    const std::string result = RunUnprivileged([&] { return describe(c.path); });
    QUORVEX_SKIP_IF_UNSUPPORTED(result);
    EXPECT_EQ(result, c.expected) << c.path;
  }
  // Ptys belong to the one who opened them; the same process sees them free or held.
  EXPECT_EQ(describe(free.slavePath()).substr(0, 5), "free|");
  EXPECT_EQ(describe(held.slavePath()).substr(0, 7), "in use|");
  holder.reset();
  EXPECT_EQ(describe(held.slavePath()).substr(0, 5), "free|") << "the probe must not keep it";
}

TEST(WatchSerialDevices, TakingEventsWhenNoneArePendingReturnsAtOnce) {
  // The window asks from its event loop; a blocking read there would freeze it.
  const std::unique_ptr<SerialDeviceEvents> events = WatchSerialDevices();
  if (!events) GTEST_SKIP() << "no udev on this machine";
  EXPECT_GE(events->Descriptor(), 0);
  EXPECT_FALSE(events->TakeEvents());
}

}  // namespace
}  // namespace quorvex
