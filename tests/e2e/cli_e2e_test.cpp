// Tests of quorvex-cli as its own process against the simulator: verify, exit codes, Ctrl+C.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iterator>

#include "link/serial_line.h"
#include "tests/e2e/e2e_fixture.h"

namespace quorvex::e2e {
namespace {

using namespace std::chrono_literals;

// quorvex-cli run as a script runs it: its own process, stdout to a file, stderr read here.
class CliProcess {
 public:
  explicit CliProcess(const std::vector<std::string>& args, const std::string& outPath) {
    int errPipe[2];
    if (::pipe2(errPipe, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    pid_ = ::fork();
    if (pid_ == 0) {
      ::dup2(errPipe[1], STDERR_FILENO);
      const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      ::dup2(out, STDOUT_FILENO);
      const int in = ::open("/dev/null", O_RDONLY);
      ::dup2(in, STDIN_FILENO);
      std::vector<char*> argv{const_cast<char*>(QUORVEX_CLI_PATH)};
      for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      ::execv(QUORVEX_CLI_PATH, argv.data());
      ::_exit(127);
    }
    ::close(errPipe[1]);
    err_ = errPipe[0];
  }
  ~CliProcess() {
    if (pid_ > 0 && !status_) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    ::close(err_);
  }

  // Reads stderr until the text shows up; false when it ended or the time-out passed first.
  bool WaitForErr(const std::string& text, std::chrono::milliseconds timeout = 20s) {
    ReadErrUntil([&] { return errText_.find(text) != std::string::npos; }, timeout);
    return errText_.find(text) != std::string::npos;
  }
  // The exit code once stderr has ended and the process is gone (-1: killed by a signal).
  int Finish() {
    ReadErrUntil([] { return false; }, 60s);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    status_ = status;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  void Interrupt() { ::kill(pid_, SIGINT); }
  template <typename Done>
  void ReadErrUntil(Done done, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      pollfd p{err_, POLLIN, 0};
      if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0) return;
      char buffer[512];
      const ssize_t n = ::read(err_, buffer, sizeof buffer);
      if (n <= 0) return;
      errText_.append(buffer, static_cast<std::size_t>(n));
    }
  }
  const std::string& Err() const { return errText_; }

 private:
  pid_t pid_ = -1;
  int err_ = -1;
  std::string errText_;
  std::optional<int> status_;
};

class CliE2eTest : public CardSimTest {
 protected:
  struct Result {
    int code;
    std::string out;
    std::string err;
  };
  Result Run(std::vector<std::string> args) {
    CliProcess cli(args, Path("stdout.txt"));
    const int code = cli.Finish();
    return {code, Slurp(Path("stdout.txt")), cli.Err()};
  }
  static std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  std::string Path(const char* name) const { return (folder_ / name).string(); }
  void WriteFile(const std::string& path, const ConfigImage& image) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()), image.size());
  }
  static ConfigImage ChangedImage() {
    ConfigImage changed = kKnownImage;
    changed[ChannelOffset(3) + 2] = 100;  // channel 3's range from 10.2 V to 5.0 V
    return changed;
  }
};

TEST_F(CliE2eTest, WriteWithVerifyLeavesTheExactImageAndReadGivesItBackByteForByte) {
  WriteImageFile(ConfigImage{});
  StartSimulator();
  const std::string file = Path("known.kfg");
  WriteFile(file, kKnownImage);

  const Result write = Run({"write", "--port", "1", file, "--trace", Path("trace.txt")});
  EXPECT_EQ(write.code, 0) << write.err;
  EXPECT_NE(write.err.find("read back: the card holds it"), std::string::npos) << write.err;
  const std::string traced = Slurp(Path("trace.txt"));
  EXPECT_NE(traced.find("write MessbereichsWord 8 low"), std::string::npos);
  EXPECT_NE(traced.find("read KonfigByte"), std::string::npos);
  EXPECT_NE(traced.find("check passed"), std::string::npos);
  EXPECT_NE(traced.find("debug: KonfigByte:85"), std::string::npos);

  const Result read = Run({"read", "--port", "1", "-o", Path("back.kfg")});
  EXPECT_EQ(read.code, 0) << read.err;
  EXPECT_EQ(Slurp(Path("back.kfg")), std::string(kKnownImage.begin(), kKnownImage.end()));
  EXPECT_NE(read.out.find("Sens6"), std::string::npos) << read.out;
  ExpectPortReleased();
  EXPECT_EQ(ReadImageFile(), kKnownImage);
}

TEST_F(CliE2eTest, VerifyNamesTheFieldTheCardHoldsDifferently) {
  WriteImageFile(ChangedImage());
  StartSimulator();
  WriteFile(Path("known.kfg"), kKnownImage);
  const Result verify = Run({"verify", "-p", "1", Path("known.kfg"), "--quiet"});
  EXPECT_EQ(verify.code, 1) << verify.err;
  EXPECT_NE(verify.out.find("Range"), std::string::npos) << verify.out;
  EXPECT_NE(verify.out.find("10.2 V"), std::string::npos) << verify.out;
  EXPECT_NE(verify.out.find("5.0 V"), std::string::npos) << verify.out;
}

TEST_F(CliE2eTest, FailuresGiveTheirExitCodeAndWriteNoFile) {
  struct Case {
    const char* name;
    std::vector<std::string> simArgs;
    bool holdPort;
    int code;
    const char* message;
  };
  const Case cases[] = {
      {"silent card", {"--silent"}, false, 3, "the card did not answer for KonfigByte"},
      {"lost register", {"--drop-register", "13"}, false, 3, "did not answer for BereichsByte 3"},
      {"held port", {}, true, 4, "Quorvex: Port COM1 not available."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteImageFile(kKnownImage);
    StartSimulator(c.simArgs);
    std::unique_ptr<SerialLine> holder;
    if (c.holdPort) holder = ports_->Open(1);
    const Result read = Run({"read", "--port", "1", "-o", Path("out.kfg")});
    EXPECT_EQ(read.code, c.code) << read.err;
    EXPECT_NE(read.err.find(c.message), std::string::npos) << read.err;
    EXPECT_FALSE(std::filesystem::exists(Path("out.kfg")));
    holder.reset();
    sim_.reset();
  }
}

TEST_F(CliE2eTest, CtrlCDuringAReadClosesThePortAndLeavesNoFile) {
  WriteImageFile(kKnownImage);
  StartSimulator();
  {
    CliProcess cli({"read", "--port", "1", "-o", Path("out.kfg")}, Path("stdout.txt"));
    ASSERT_TRUE(cli.WaitForErr("Receiving configuration from channel  2")) << cli.Err();
    cli.Interrupt();
    EXPECT_EQ(cli.Finish(), 130) << cli.Err();
    EXPECT_NE(cli.Err().find("Interrupted"), std::string::npos) << cli.Err();
    // The closing steps ran: the release prompt came after the interrupt.
    EXPECT_NE(cli.Err().find("Now release the connection"), std::string::npos) << cli.Err();
  }
  EXPECT_FALSE(std::filesystem::exists(Path("out.kfg")));
  ExpectPortReleased();
}

}  // namespace
}  // namespace quorvex::e2e
