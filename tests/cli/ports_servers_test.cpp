// quorvex-cli ports with the window's device server ports: a copy of the program beside a
// settings file that assigns COM numbers to servers on 127.0.0.1 (answering, refusing, silent).
#include <gtest/gtest.h>
#include <pty.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <nlohmann/json.hpp>

#include "tests/cli/local_tcp_servers.h"
#include "tests/e2e/cli_process.h"
#include "tests/support/temp_folder.h"

namespace quorvex::cli {
namespace {

class PortsServersTest : public ::testing::Test {
 protected:
  PortsServersTest() {
    std::filesystem::create_directory(folder_ / "bin");
    std::filesystem::create_directory(folder_ / "com");
    std::filesystem::copy_file(QUORVEX_CLI_PATH, folder_ / "bin/quorvex-cli");
  }
  ~PortsServersTest() override {
    if (master_ >= 0) ::close(master_);
    if (slave_ >= 0) ::close(slave_);
  }

  // COM7 of this machine: a free pseudo terminal.
  void LocalCom7() {
    char name[256] = {};
    ASSERT_EQ(::openpty(&master_, &slave_, name, nullptr, nullptr), 0);
    std::filesystem::create_symlink(name, folder_ / "com/COM7");
  }
  void Assign(const std::string& section) {
    std::ofstream(folder_ / "bin/quorvex.ini") << "[Main]\nCOM=7\n[DeviceServers]\n" << section;
  }
  struct Result {
    int code;
    std::string out;
    std::string err;
  };
  Result Ports(std::vector<std::string> args) {
    args.insert(args.begin(), {"ports", "--com-dir", folder_ / "com"});
    e2e::CliProcess cli({folder_ / "bin/quorvex-cli"}, args, folder_.Path(), folder_ / "out.txt");
    const int code = cli.Finish();
    std::ifstream out(folder_ / "out.txt");
    return {code, {std::istreambuf_iterator<char>(out), {}}, cli.Err()};
  }
  static std::string Url(int port) { return "tcp://127.0.0.1:" + std::to_string(port); }

  testing::TempFolder folder_;
  testing::AnsweringServer answering_;
  testing::RefusingServer refusing_;
  testing::SilentServer silent_;
  int master_ = -1;
  int slave_ = -1;
};

TEST_F(PortsServersTest, TheTableListsTheAssignmentsAfterTheLocalPortsAsTheyWere) {
  LocalCom7();
  const Result before = Ports({});
  ASSERT_EQ(before.code, 0) << before.err;
  Assign("COM7=" + Url(answering_.Port()) + "\nCOM12=" + Url(refusing_.Port()) +
         "\nCOM13=rfc2217://\n");

  const Result r = Ports({});
  EXPECT_EQ(r.code, 0) << r.err;
  // The machine's own ports exactly as before; the damaged COM13 entry left out.
  const std::string a = Url(answering_.Port());
  const std::string b = Url(refusing_.Port());
  const std::size_t width = std::max({a.size(), b.size(), std::string("Device server").size()});
  const auto cell = [width](std::string text) {
    text.resize(width + 2, ' ');
    return text;
  };
  const std::string servers =
      "\nDevice server ports of the window:\nPort   " + cell("Device server") + "Note\nCOM7   " +
      cell(a) + "used instead of the local " + (folder_ / "com/COM7") + "\nCOM12  " + b + "\n";
  EXPECT_EQ(r.out, before.out + servers);
}

TEST_F(PortsServersTest, ProbeAsksEveryServerAndJsonHasTheAnswers) {
  Assign("COM3=" + Url(answering_.Port()) + "\nCOM4=" + Url(refusing_.Port()) +
         "\nCOM5=" + Url(silent_.Port()) + "\n");
  const Result r = Ports({"--probe", "--json"});
  ASSERT_EQ(r.code, 0) << r.err;
  const struct {
    const char* port;
    int tcpPort;
    bool answers;
    const char* problem;
  } expected[] = {{"COM3", answering_.Port(), true, nullptr},
                  {"COM4", refusing_.Port(), false, "connection refused"},
                  {"COM5", silent_.Port(), false, "no answer within 3 s"}};
  const nlohmann::json document = nlohmann::json::parse(r.out);
  ASSERT_EQ(document.size(), std::size(expected)) << r.out;
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    const auto& e = expected[i];
    SCOPED_TRACE(e.port);
    const nlohmann::json& server = document[i];
    EXPECT_EQ(server["port"], e.port);
    EXPECT_EQ(server["device_server"], Url(e.tcpPort));
    EXPECT_EQ(server["server_answers"], e.answers);
    EXPECT_EQ(server.contains("server_problem"), e.problem != nullptr);
    if (e.problem != nullptr) {
      EXPECT_EQ(server["server_problem"], e.problem);
    }
  }
}

}  // namespace
}  // namespace quorvex::cli
