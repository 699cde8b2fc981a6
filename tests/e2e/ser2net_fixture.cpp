// ser2net started with a configuration of our own in front of simulated cards.
#include "tests/e2e/ser2net_fixture.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <system_error>
#include <thread>

extern char** environ;

namespace quorvex::e2e {

namespace {

constexpr const char* kSer2net = "ser2net";

// The exit status once the child ended, waiting at most `timeout`; -1 when it still runs.
int WaitForEnd(pid_t pid, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    int status = 0;
    const pid_t r = ::waitpid(pid, &status, WNOHANG);
    if (r == pid || r < 0) return status;
    if (std::chrono::steady_clock::now() >= deadline) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

}  // namespace

namespace {

// Binds the TCP port of 127.0.0.1 (0: any) for a moment; the port, or -1 when it is taken.
int TryPort(int port) {
  const int s = ::socket(AF_INET, SOCK_STREAM, 0);
  if (s < 0) throw std::runtime_error(std::string("socket: ") + std::strerror(errno));
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  socklen_t length = sizeof address;
  const bool free = ::bind(s, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
                    ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) == 0;
  ::close(s);
  return free ? ntohs(address.sin_port) : -1;
}

}  // namespace

int FreeTcpPorts(int count) {
  // Drawn at random below the kernel's ephemeral range, not asked of the kernel: a port the kernel
  // handed to one test binary and took back it hands to the next one that asks, and test binaries
  // run side by side.
  static std::mt19937 draw{std::random_device{}()};
  std::uniform_int_distribution<int> ports(20000, 32000 - count);
  for (int attempt = 0; attempt < 100; ++attempt) {
    const int first = ports(draw);
    bool free = true;
    for (int port = first; free && port < first + count; ++port) free = TryPort(port) > 0;
    if (free) return first;
  }
  throw std::runtime_error("no " + std::to_string(count) + " consecutive free TCP ports");
}

namespace {

// The inode of the socket that listens on that TCP port of 127.0.0.1, or "" when none does.
std::string ListenerInode(int tcpPort) {
  char wanted[16];
  std::snprintf(wanted, sizeof wanted, "0100007F:%04X", static_cast<unsigned>(tcpPort));
  std::ifstream table("/proc/net/tcp");
  for (std::string line; std::getline(table, line);) {
    std::istringstream fields(line);
    std::string slot, local, remote, state, queues, timer, retransmits, uid, timeout, inode;
    fields >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> uid >>
        timeout >> inode;
    if (local == wanted && state == "0A") return inode;  // TCP_LISTEN
  }
  return {};
}

// Whether the process holds that socket: a port another program took is no sign that ours
// listens.
bool Holds(pid_t pid, const std::string& inode) {
  const std::string wanted = "socket:[" + inode + "]";
  std::error_code ec;
  for (const auto& fd :
       std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ec)) {
    std::error_code linkError;
    if (std::filesystem::read_symlink(fd.path(), linkError).string() == wanted) return true;
  }
  return false;
}

}  // namespace

ServerProcess::ServerProcess(const std::vector<std::string>& args, const std::string& log,
                             const std::vector<int>& tcpPorts,
                             std::chrono::milliseconds readyTimeout)
    : log_(log) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  std::vector<std::string> words = args;
  std::vector<char*> argv;
  for (std::string& a : words) argv.push_back(a.data());
  argv.push_back(nullptr);
  const int rc = ::posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) {
    pid_ = -1;
    throw std::runtime_error("cannot start " + args[0] + ": " + std::strerror(rc));
  }
  const auto deadline = std::chrono::steady_clock::now() + readyTimeout;
  for (const int tcpPort : tcpPorts) {
    for (;;) {
      const std::string inode = ListenerInode(tcpPort);
      if (!inode.empty() && Holds(pid_, inode)) break;
      const bool ended = WaitForEnd(pid_, {}) != -1;
      if (ended) pid_ = -1;
      if (ended || std::chrono::steady_clock::now() >= deadline) {
        Stop(SIGKILL);
        throw std::runtime_error(
            args[0] + " does not listen on 127.0.0.1:" + std::to_string(tcpPort) + ": " + Log());
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
}

ServerProcess::~ServerProcess() {
  Stop(SIGTERM);
}

void ServerProcess::Kill() {
  Stop(SIGKILL);
}

std::string ServerProcess::Log() const {
  std::ifstream in(log_);
  return {std::istreambuf_iterator<char>(in), {}};
}

int ServerProcess::LogLines(const std::string& containing) const {
  std::istringstream lines(Log());
  int count = 0;
  for (std::string line; std::getline(lines, line);) {
    count += line.find(containing) != std::string::npos ? 1 : 0;
  }
  return count;
}

void ServerProcess::Stop(int signal) {
  if (pid_ < 0) return;
  ::kill(pid_, signal);
  if (WaitForEnd(pid_, std::chrono::seconds(5)) == -1) {
    ::kill(pid_, SIGKILL);
    WaitForEnd(pid_, std::chrono::seconds(5));
  }
  pid_ = -1;
}

Ser2netServer::Ser2netServer(const std::vector<Ser2netPort>& ports, const std::string& folder,
                             bool chardelay, std::chrono::milliseconds readyTimeout) {
  const std::string config = folder + "/ser2net.yaml";
  {
    std::ofstream out(config);
    const int first = FreeTcpPorts(static_cast<int>(ports.size()));
    for (std::size_t i = 0; i < ports.size(); ++i) {
      const int tcpPort = first + static_cast<int>(i);
      endpoints_.push_back({ports[i].protocol, "127.0.0.1", tcpPort});
      // ser2net opens the device itself: the link's target, as a symlink is no terminal name.
      const std::string device = std::filesystem::canonical(ports[i].device).string();
      out << "connection: &card" << i << "\n"
          << "  accepter: "
          << (ports[i].protocol == NetworkProtocol::Rfc2217 ? "telnet(rfc2217),tcp" : "tcp")
          << ",127.0.0.1," << tcpPort << "\n"
          << "  connector: serialdev," << device << ",1200n81,local"
          << (ports[i].xonxoff ? ",XONXOFF" : "") << "\n";
      if (!chardelay) out << "  options:\n    chardelay: false\n";
    }
    if (!out) throw std::runtime_error("cannot write " + config);
  }
  std::vector<int> tcpPorts;
  for (const NetworkEndpoint& e : endpoints_) tcpPorts.push_back(e.tcpPort);
  process_ =
      std::make_unique<ServerProcess>(std::vector<std::string>{kSer2net, "-n", "-u", "-c", config},
                                      folder + "/ser2net.log", tcpPorts, readyTimeout);
}

void Ser2netServer::Kill() {
  process_->Kill();
}

CountingServer::CountingServer(NetworkProtocol protocol,
                               const std::function<std::vector<std::string>(int)>& command,
                               const std::string& log, std::string sessionLine)
    : endpoint_{protocol, "127.0.0.1", FreeTcpPorts(1)},
      process_(command(endpoint_.tcpPort), log, {endpoint_.tcpPort}),
      sessionLine_(std::move(sessionLine)) {}

SocatServer::SocatServer(const std::string& device, const std::string& folder, bool fork)
    : CountingServer(
          NetworkProtocol::Raw,
          [&](int tcpPort) {
            return std::vector<std::string>{
                "socat", "-d", "-d",
                "TCP-LISTEN:" + std::to_string(tcpPort) + ",bind=127.0.0.1" + (fork ? ",fork" : ""),
                "FILE:" + std::filesystem::canonical(device).string() + ",raw,echo=0"};
          },
          folder + "/socat.log", "accepting connection from") {}

PortManagerServer::PortManagerServer(const std::string& device, const std::string& folder)
    : CountingServer(
          NetworkProtocol::Rfc2217,
          [&](int tcpPort) {
            return std::vector<std::string>{"/usr/bin/python3", QUORVEX_RFC2217_SERVER_SCRIPT,
                                            std::to_string(tcpPort),
                                            std::filesystem::canonical(device).string()};
          },
          folder + "/rfc2217_server.log", "session from") {}

}  // namespace quorvex::e2e
