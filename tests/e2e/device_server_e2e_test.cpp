// quorvex-cli through device servers on 127.0.0.1 (ser2net, socat, pyserial's RFC 2217 port
// manager), in front of simulated cards: the card's bytes exact in both directions, one TCP
// session per transfer, many cards at once, and a server that is busy, absent or killed.
#include <gtest/gtest.h>

#include <signal.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "sim/sim_process.h"
#include "tests/e2e/cli_process.h"
#include "tests/e2e/e2e_fixture.h"
#include "tests/e2e/ser2net_fixture.h"
#include "tests/support/panel_setup.h"
#include "tests/support/temp_folder.h"

namespace quorvex::e2e {
namespace {

std::string Slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

std::string Bytes(const ConfigImage& image) {
  return {reinterpret_cast<const char*>(image.data()), image.size()};
}

// Every byte 0xFF or 0xFE, so that nearly every reply frame carries the telnet escape byte.
ConfigImage EscapeHeavyImage(std::uint8_t variant) {
  ConfigImage image{};
  for (std::size_t i = 0; i < image.size(); ++i) {
    image[i] = static_cast<std::uint8_t>((i + variant) % 3 == 0 ? 0xFE : 0xFF);
  }
  return image;
}

// The software flow control characters in every register: a server's port left at XON/XOFF
// would swallow them.
ConfigImage XonXoffImage() {
  ConfigImage image{};
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = i % 2 == 0 ? 0x11 : 0x13;
  return image;
}

int Count(const std::string& text, const std::string& what) {
  int count = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
  return count;
}

class DeviceServerTest : public ::testing::Test {
 protected:
  struct Result {
    int code;
    std::string out;
    std::string err;
  };

  // Simulated cards 1..n with the given images, behind one ser2net port each.
  void StartCards(const std::vector<ConfigImage>& images,
                  NetworkProtocol protocol = NetworkProtocol::Rfc2217) {
    std::vector<Ser2netPort> ports;
    for (std::size_t i = 0; i < images.size(); ++i) {
      const std::string n = std::to_string(i + 1);
      std::ofstream(Image(i), std::ios::binary) << Bytes(images[i]);
      cards_.push_back(std::make_unique<sim::SimProcess>(
          QUORVEX_CARDSIM_PATH,
          std::vector<std::string>{"--com-dir", folder_.Path(), "--port", n, "--image", Image(i),
                                   "--log", folder_ / ("frames-" + n + ".log")}));
      ports.push_back({cards_.back()->LinkPath(), protocol});
    }
    server_ = std::make_unique<Ser2netServer>(ports, folder_.Path());
  }
  // One simulated card holding the image, on its own terminal, for a server of the test's own.
  const std::string& StartCard(const ConfigImage& image) {
    std::ofstream(Image(0), std::ios::binary) << Bytes(image);
    cards_.push_back(std::make_unique<sim::SimProcess>(
        QUORVEX_CARDSIM_PATH,
        std::vector<std::string>{"--com-dir", folder_.Path(), "--port", "1", "--image", Image(0),
                                 "--log", folder_ / "frames-1.log"}));
    return cards_.back()->LinkPath();
  }
  std::string Image(std::size_t card) const {
    return folder_ / ("card" + std::to_string(card + 1) + ".image");
  }
  // The image a card holds, once its simulator has saved it and ended.
  std::string CardImage(std::size_t card) {
    cards_.at(card)->Stop();
    return Slurp(Image(card));
  }
  CliProcess Start(const std::vector<std::string>& args) {
    return CliProcess(setup_.cli, args, folder_.Path(), folder_ / "out.txt");
  }
  Result Run(const std::vector<std::string>& args) {
    CliProcess cli = Start(args);
    const int code = cli.Finish();
    return {code, Slurp(folder_ / "out.txt"), cli.Err()};
  }

  const E2eSetup setup_ = E2eSetup::FromEnvironment();
  testing::TempFolder folder_;
  std::vector<std::unique_ptr<sim::SimProcess>> cards_;
  std::unique_ptr<Ser2netServer> server_;
  std::optional<SocatServer> socat_;
  std::optional<PortManagerServer> portManager_;
};

TEST_F(DeviceServerTest, ReadsAnImageOfEscapeBytesExactlyOverBothProtocols) {
  for (const NetworkProtocol protocol : {NetworkProtocol::Rfc2217, NetworkProtocol::Raw}) {
    SCOPED_TRACE(protocol == NetworkProtocol::Rfc2217 ? "rfc2217" : "raw");
    cards_.clear();
    server_.reset();
    const ConfigImage image = EscapeHeavyImage(protocol == NetworkProtocol::Raw);
    StartCards({image}, protocol);
    std::filesystem::remove(folder_ / "read.kfg");
    const Result r = Run({"read", "--port", server_->Url(0), "-o", "read.kfg", "-q"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Slurp(folder_ / "read.kfg"), Bytes(image));
  }
}

TEST_F(DeviceServerTest, WritesWithReadBackAfterKeepingABackupNamedAfterTheServerPort) {
  const ConfigImage old = EscapeHeavyImage(0);
  StartCards({old});
  std::ofstream(folder_ / "known.kfg", std::ios::binary) << Bytes(testing::kKnownImage);
  std::filesystem::create_directory(folder_ / "backups");

  const Result r = Run({"write", "--port", server_->Url(0), "--backup", "backups", "--log",
                        "cards.log", "known.kfg"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.err.find("Written to " + server_->Url(0) + " and read back"), std::string::npos)
      << r.err;
  const std::vector<std::string> backups = testing::FolderEntries(folder_ / "backups");
  ASSERT_EQ(backups.size(), 1u);
  const std::string stem = "127.0.0.1-" + std::to_string(server_->Endpoint(0).tcpPort) + "-";
  EXPECT_EQ(backups[0].rfind(stem, 0), 0u) << backups[0];
  EXPECT_EQ(Slurp(folder_ / ("backups/" + backups[0])), Bytes(old));
  EXPECT_EQ(CardImage(0), Bytes(testing::kKnownImage));
  EXPECT_NE(Slurp(folder_ / "cards.log").find("\"port\":\"" + server_->Url(0) + "\""),
            std::string::npos);
}

// Servers nobody here wrote, as plants set them up. Each transfer (the write and its read-back are
// two) is one TCP session counted at the server: the check before the transfer opens the line
// the transfer uses. socat without fork serves one session only; with fork, a session's child
// still holds the terminal for half a second after the session; ser2net's port set to XON/XOFF
// passes 0x11 and 0x13 only once the client asked for no flow control.
TEST_F(DeviceServerTest, ServersWrittenElsewhereCarryTheCardsBytesInOneSessionPerTransfer) {
  ConfigImage escapes = testing::kKnownImage;
  escapes[5] = 0xFF;  // doubled on the way over RFC 2217
  struct Server {
    std::string url;
    std::function<int()> sessions;  // empty: the server does not count them
  };
  using Start = std::function<Server(const std::string& device)>;
  const Start socatOnce = [this](const std::string& device) {
    auto& socat = socat_.emplace(device, folder_.Path(), false);
    return Server{socat.Url(), [&socat] { return socat.Sessions(); }};
  };
  const Start socatFork = [this](const std::string& device) {
    auto& socat = socat_.emplace(device, folder_.Path(), true);
    return Server{socat.Url(), [&socat] { return socat.Sessions(); }};
  };
  const Start portManager = [this](const std::string& device) {
    auto& server = portManager_.emplace(device, folder_.Path());
    return Server{server.Url(), [&server] { return server.Sessions(); }};
  };
  const Start ser2netXonXoff = [this](const std::string& device) {
    server_ = std::make_unique<Ser2netServer>(
        std::vector<Ser2netPort>{{device, NetworkProtocol::Rfc2217, true}}, folder_.Path());
    return Server{server_->Url(0), {}};
  };
  const struct {
    const char* what;
    Start start;
    ConfigImage card;
    bool write;  // of kKnownImage with its read-back; else a read
    int transfers;
  } cases[] = {
      {"socat, one session, read", socatOnce, EscapeHeavyImage(2), false, 1},
      {"socat with fork, read", socatFork, EscapeHeavyImage(0), false, 1},
      {"socat with fork, write", socatFork, EscapeHeavyImage(1), true, 2},
      {"pyserial's port manager, read of 0xFF registers", portManager, EscapeHeavyImage(0), false,
       1},
      {"pyserial's port manager, write", portManager, XonXoffImage(), true, 2},
      {"ser2net set to XON/XOFF, read", ser2netXonXoff, XonXoffImage(), false, 1},
  };
  std::ofstream(folder_ / "escapes.kfg", std::ios::binary) << Bytes(escapes);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    socat_.reset();
    portManager_.reset();
    server_.reset();
    cards_.clear();
    std::filesystem::remove(folder_ / "read.kfg");
    const Server server = c.start(StartCard(c.card));
    const bool rfc2217 = server.url.rfind("rfc2217:", 0) == 0;

    const Result r =
        c.write ? Run({"write", "--port", server.url, "--trace", "trace.txt", "escapes.kfg"})
                : Run({"read", "--port", server.url, "--trace", "trace.txt", "-o", "read.kfg"});
    EXPECT_EQ(r.code, 0) << r.err;
    if (server.sessions) {
      EXPECT_EQ(server.sessions(), c.transfers);
    }
    // Asked for once per open, never for the raw ports.
    EXPECT_EQ(Count(Slurp(folder_ / "trace.txt"), "asked for no flow control both ways and DTR on"),
              rfc2217 ? c.transfers : 0);
    if (c.write) {
      EXPECT_EQ(CardImage(0), Bytes(escapes));
    } else {
      EXPECT_EQ(Slurp(folder_ / "read.kfg"), Bytes(c.card));
    }
  }
}

TEST_F(DeviceServerTest, ReadsEightCardsThroughARangeOfServerPortsAtOnce) {
  std::vector<ConfigImage> images;
  for (std::uint8_t i = 0; i < 8; ++i) {
    ConfigImage image = testing::kKnownImage;
    image[5] = static_cast<std::uint8_t>(0xF8 + i);  // 0xFF for the last: doubled on the way
    images.push_back(image);
  }
  StartCards(images);
  const int first = server_->Endpoint(0).tcpPort;
  const std::string range =
      "rfc2217://127.0.0.1:" + std::to_string(first) + "-" + std::to_string(first + 7);

  const Result r = Run({"read", "--port", range, "-o", "card-{port}.kfg", "--json"});
  EXPECT_EQ(r.code, 0) << r.err;
  std::istringstream lines(r.out);
  int cards = 0;
  for (std::string line; std::getline(lines, line); ++cards) {
    EXPECT_NE(line.find("\"outcome\":\"read\""), std::string::npos) << line;
  }
  EXPECT_EQ(cards, 8) << r.out;
  for (int i = 0; i < 8; ++i) {
    const std::string port = std::to_string(first + i);
    EXPECT_NE(r.out.find("\"port\":\"rfc2217://127.0.0.1:" + port + "\""), std::string::npos);
    EXPECT_EQ(Slurp(folder_ / ("card-127.0.0.1-" + port + ".kfg")),
              Bytes(images[static_cast<std::size_t>(i)]))
        << port;
  }
}

TEST_F(DeviceServerTest, ASecondClientWhileATransferRunsFindsThePortNotAvailable) {
  for (const NetworkProtocol protocol : {NetworkProtocol::Rfc2217, NetworkProtocol::Raw}) {
    SCOPED_TRACE(protocol == NetworkProtocol::Rfc2217 ? "rfc2217" : "raw");
    cards_.clear();
    server_.reset();
    StartCards({testing::kKnownImage}, protocol);
    CliProcess first = Start({"read", "--port", server_->Url(0), "-o", "first.kfg"});
    ASSERT_TRUE(first.WaitForErr("Receiving configuration from channel  1")) << first.Err();

    const Result second = Run({"read", "--port", server_->Url(0), "-o", "second.kfg"});
    EXPECT_EQ(second.code, 4) << second.err;
    EXPECT_NE(second.err.find(server_->Url(0) + ": port not available: the server closed the "
                                                "connection: Port already in use."),
              std::string::npos)
        << second.err;
    EXPECT_FALSE(std::filesystem::exists(folder_ / "second.kfg"));
    EXPECT_EQ(first.Finish(), 0) << first.Err();
    EXPECT_EQ(Slurp(folder_ / "first.kfg"), Bytes(testing::kKnownImage));
  }
}

TEST_F(DeviceServerTest, ARefusedPortIsNotAvailableNamingHostAndPort) {
  const int unused = FreeTcpPorts(1);
  for (const std::string scheme : {"rfc2217", "tcp"}) {
    const std::string url = scheme + "://127.0.0.1:" + std::to_string(unused);
    const Result r = Run({"read", "--port", url, "-o", "x.kfg"});
    EXPECT_EQ(r.code, 4);
    EXPECT_NE(r.err.find(url + ": port not available: connection refused."), std::string::npos)
        << r.err;
    EXPECT_FALSE(std::filesystem::exists(folder_ / "x.kfg"));
  }
}

TEST_F(DeviceServerTest, AServerKilledMidTransferFailsItAndWritesNoFile) {
  StartCards({testing::kKnownImage});
  CliProcess cli = Start({"read", "--port", server_->Url(0), "-o", "x.kfg"});
  ASSERT_TRUE(cli.WaitForErr("Receiving configuration from channel  2")) << cli.Err();
  server_->Kill();
  EXPECT_EQ(cli.Finish(), 3) << cli.Err();
  EXPECT_NE(cli.Err().find("on " + server_->Url(0) + "."), std::string::npos) << cli.Err();
  EXPECT_FALSE(std::filesystem::exists(folder_ / "x.kfg"));
}

// The window's settings beside the program assign COM numbers to server ports, and --port N
// follows them: COM7 has no local device here, so only the assignment can reach the card.
TEST_F(DeviceServerTest, AComNumberTheWindowAssignedReachesItsServerPort) {
  StartCards({EscapeHeavyImage(1)});
  const std::string refused = "tcp://127.0.0.1:" + std::to_string(FreeTcpPorts(1));
  const std::filesystem::path beside = folder_ / "program";
  std::filesystem::create_directory(beside);
  std::vector<std::string> command = setup_.cli;
  const std::filesystem::path copy = beside / std::filesystem::path(command.back()).filename();
  std::filesystem::copy_file(command.back(), copy);
  command.back() = copy.string();
  std::ofstream(beside / "quorvex.ini")
      << "[Main]\nCOM=7\n[DeviceServers]\nCOM7=" << server_->Url(0) << "\nCOM8=" << refused << "\n";

  const struct {
    std::string port;
    int code;
    std::string err;  // what it must say, when it fails
  } cases[] = {{"7", 0, ""},
               {"8", 4, "COM8 (" + refused + "): port not available: connection refused."}};
  for (const auto& c : cases) {
    SCOPED_TRACE("COM" + c.port);
    std::filesystem::remove(folder_ / "read.kfg");
    CliProcess cli(command, {"read", "--port", c.port, "-o", "read.kfg"}, folder_.Path(),
                   folder_ / "out.txt");
    EXPECT_EQ(cli.Finish(), c.code) << cli.Err();
    if (c.code == 0) {
      EXPECT_EQ(Slurp(folder_ / "read.kfg"), Bytes(EscapeHeavyImage(1)));
    } else {
      EXPECT_NE(cli.Err().find(c.err), std::string::npos) << cli.Err();
      EXPECT_FALSE(std::filesystem::exists(folder_ / "read.kfg"));
    }
  }
}

}  // namespace
}  // namespace quorvex::e2e
