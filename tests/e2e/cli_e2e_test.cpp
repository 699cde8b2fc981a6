// Tests of quorvex-cli as its own process against the simulator: verify, exit codes, Ctrl+C.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string_view>

#include "core/config_record.h"
#include "core/config_view.h"
#include "link/serial_line.h"
#include "tests/e2e/cli_process.h"
#include "tests/e2e/e2e_fixture.h"
#include "tests/support/temp_folder.h"

namespace quorvex::e2e {
namespace {

using namespace std::chrono_literals;

class CliE2eTest : public CardSimTest {
 protected:
  CliE2eTest() : CardSimTest(E2eSetup::FromEnvironment()) {}

  struct Result {
    int code;
    std::string out;
    std::string err;
    std::string trace;  // the file --trace wrote, in the test's folder
  };
  // Runs the program under test in the test's folder, with a trace file of its own.
  Result Run(const std::vector<std::string>& args) { return RunProgram(setup_.cli, args, ""); }
  // When the program under test is another build (quorvex-cli.exe under Wine), the native
  // program run with the same arguments must end the same way and print the same, to the byte.
  void ExpectAsNative(const std::vector<std::string>& args, const Result& result) {
    if (!setup_.foreignCli) return;
    const Result native = RunProgram({QUORVEX_CLI_PATH}, args, "-native");
    EXPECT_EQ(result.code, native.code);
    EXPECT_EQ(result.out, native.out);
    EXPECT_EQ(result.err, native.err);
  }
  std::string PortArg() const { return std::to_string(setup_.port); }
  static std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  std::string Path(const std::string& name) const { return (folder_ / name).string(); }
  void WriteFile(const std::string& path, const ConfigImage& image) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()), std::ssize(image));
  }
  static ConfigImage ChangedImage() {
    ConfigImage changed = kKnownImage;
    changed[ChannelOffset(3) + 2] = 100;  // channel 3's range from 10.2 V to 5.0 V
    return changed;
  }

  Result RunProgram(const std::vector<std::string>& command, std::vector<std::string> args,
                    const std::string& tag) {
    const std::string run = "cli-" + std::to_string(++runs_) + tag;
    args.insert(args.end(), {"--trace", run + ".trace"});
    CliProcess cli(command, args, folder_, Path(run + ".out"));
    const int code = cli.Finish();
    return {code, WithoutCr(Slurp(Path(run + ".out"))), WithoutCr(cli.Err()),
            Slurp(Path(run + ".trace"))};
  }

 private:
  // The Windows C library ends text lines with \r\n.
  static std::string WithoutCr(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
  }
  int runs_ = 0;
};

// From a zeroed card: the written file's bytes on the card, and the same read back by the
// program. A foreign build must leave the card exactly as the native one does.
TEST_F(CliE2eTest, WriteWithVerifyLeavesTheExactImageAndReadGivesItBackByteForByte) {
  WriteFile(Path("known.kfg"), kKnownImage);
  const std::vector<std::string> writeArgs = {"write", "--port", PortArg(), "known.kfg"};
  std::vector<std::vector<std::string>> programs = {setup_.cli};
  if (setup_.foreignCli) programs.push_back({QUORVEX_CLI_PATH});
  std::vector<Result> writes;
  for (const auto& program : programs) {
    SCOPED_TRACE(program.back());
    WriteImageFile(ConfigImage{});
    StartSimulator();
    writes.push_back(RunProgram(program, writeArgs, ""));
    sim_.reset();  // the image file is complete once the simulator has stopped
    const Result& write = writes.back();
    EXPECT_EQ(write.code, 0) << write.err;
    EXPECT_NE(write.err.find("read back: the card holds it"), std::string::npos) << write.err;
    EXPECT_EQ(ReadImageFile(), kKnownImage);
    EXPECT_NE(write.trace.find("write MessbereichsWord 8 low"), std::string::npos);
    EXPECT_NE(write.trace.find("read KonfigByte"), std::string::npos);
    EXPECT_NE(write.trace.find("check passed"), std::string::npos);
    EXPECT_NE(write.trace.find("debug: KonfigByte:85"), std::string::npos);
    // Of a sound line's calls only the RTS pulse may fail: a pseudo terminal has no RTS, and the
    // Win32 backend under Wine says so.
    std::istringstream traced(write.trace);
    for (std::string line; std::getline(traced, line);) {
      if (line.find("failed with error") == std::string::npos) continue;
      EXPECT_NE(line.find("EscapeCommFunction"), std::string::npos) << line;
    }
  }
  if (writes.size() == 2) {
    EXPECT_EQ(writes[0].out, writes[1].out);
    EXPECT_EQ(writes[0].err, writes[1].err);
  }

  StartSimulator();
  const std::vector<std::string> readArgs = {"read", "--port", PortArg(), "-o", "back.kfg"};
  const Result read = Run(readArgs);
  EXPECT_EQ(read.code, 0) << read.err;
  EXPECT_EQ(Slurp(Path("back.kfg")), std::string(kKnownImage.begin(), kKnownImage.end()));
  EXPECT_NE(read.out.find("Sens6"), std::string::npos) << read.out;
  ExpectAsNative(readArgs, read);
  ExpectPortReleased();
}

TEST_F(CliE2eTest, VerifyNamesTheFieldTheCardHoldsDifferently) {
  // Channel 1's offset: the file's 1.5 V against the card's 1.55 V, which shows as 1.5 V too.
  ConfigImage file = kKnownImage;
  ConfigImage card = ChangedImage();
  file[ChannelOffset(1) + 1] = 30;
  card[ChannelOffset(1) + 1] = 31;
  WriteImageFile(card);
  StartSimulator();
  WriteFile(Path("known.kfg"), file);
  const std::vector<std::string> args = {"verify", "-p", PortArg(), "known.kfg", "--quiet"};
  const Result verify = Run(args);
  EXPECT_EQ(verify.code, 1) << verify.err;
  EXPECT_NE(verify.out.find("Range"), std::string::npos) << verify.out;
  EXPECT_NE(verify.out.find("10.2 V"), std::string::npos) << verify.out;
  EXPECT_NE(verify.out.find("5.0 V"), std::string::npos) << verify.out;
  EXPECT_NE(verify.out.find("1        Offset  1.5 V   1.55 V\n"), std::string::npos) << verify.out;
  ExpectAsNative(args, verify);
}

// A name beyond ASCII names the file it was given for, on every system: the Windows build takes
// its arguments and hands its paths to Windows in UTF-16, not through the system's code page.
TEST_F(CliE2eTest, NamesBeyondAsciiAreTheNamesOfTheFilesWritten) {
  WriteImageFile(kKnownImage);
  StartSimulator();
  const std::vector<std::string> args = {
      "read", "--port", PortArg(), "-o", "M\u00fcller.kfg", "--log", "Pr\u00fcfprotokoll.jsonl"};
  const Result read = Run(args);
  EXPECT_EQ(read.code, 0) << read.err;
  EXPECT_EQ(Slurp(Path("M\u00fcller.kfg")), std::string(kKnownImage.begin(), kKnownImage.end()));
  EXPECT_NE(Slurp(Path("Pr\u00fcfprotokoll.jsonl")).find("\"M\u00fcller.kfg\""), std::string::npos);
  ExpectAsNative(args, read);
}

TEST_F(CliE2eTest, FailuresGiveTheirExitCodeAndWriteNoFile) {
  struct Case {
    const char* name;
    std::vector<std::string> simArgs;
    bool holdPort;
    int port;
    int code;
    std::string message;
  };
  const int n = setup_.port;
  const std::string missing = std::to_string(n + 1);
  const Case cases[] = {
      {"silent card", {"--silent"}, false, n, 3, "the card did not answer for KonfigByte"},
      {"lost register",
       {"--drop-register", "13"},
       false,
       n,
       3,
       "did not answer for BereichsByte 3"},
      {"held port", {}, true, n, 4, "Quorvex: Port COM" + PortArg() + " not available."},
      {"no such port", {}, false, n + 1, 4, "Quorvex: Port COM" + missing + " not available."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // Wine opens the terminal without our lock, and a root user is not kept out by the
    // terminal's exclusive mode: a port held by a Linux program is free to the Windows build.
    if (c.holdPort && setup_.foreignCli) continue;
    WriteImageFile(kKnownImage);
    StartSimulator(c.simArgs);
    std::unique_ptr<SerialLine> holder;
    if (c.holdPort) holder = ports_->Open(n);
    const std::vector<std::string> args = {"read", "--port", std::to_string(c.port), "-o",
                                           "out.kfg"};
    const Result read = Run(args);
    EXPECT_EQ(read.code, c.code) << read.err;
    EXPECT_NE(read.err.find(c.message), std::string::npos) << read.err;
    EXPECT_FALSE(std::filesystem::exists(Path("out.kfg")));
    ExpectAsNative(args, read);
    holder.reset();
    sim_.reset();
  }
}

// The card's old bytes kept before the new ones go in; a card whose old bytes could not all be
// read is not written at all and leaves no backup.
TEST_F(CliE2eTest, WriteWithBackupKeepsWhatTheCardHeldAndWritesOnlyAfterIt) {
  const std::string heldSha256 = "91830e63ddd2395cedc08374e83f3ad2d0f87de3a0687f266db17f107f2ae300";
  WriteFile(Path("known.kfg"), kKnownImage);
  std::filesystem::create_directory(Path("backups"));
  const std::vector<std::string> args = {"write",   "--port", PortArg(),   "--backup",
                                         "backups", "--log",  "cards.log", "known.kfg"};
  WriteImageFile(ChangedImage());
  StartSimulator();
  const Result write = Run(args);
  sim_.reset();
  EXPECT_EQ(write.code, 0) << write.err;
  EXPECT_EQ(ReadImageFile(), kKnownImage);
  const auto names = testing::FolderEntries(Path("backups"));
  ASSERT_EQ(names.size(), 1u);
  // <port>-<UTC time>.KFG; 'd' stands for a digit. (No <regex>: GCC 12's own regex code trips
  // -Wmaybe-uninitialized in the sanitizer build.)
  const auto backupName = [](const std::string& name) {
    const std::string_view shape = "-20ddddddTddddddZ.KFG";
    if (name.size() <= shape.size()) return false;
    const std::string_view tail = std::string_view(name).substr(name.size() - shape.size());
    for (std::size_t i = 0; i < shape.size(); ++i) {
      const bool digit = std::isdigit(static_cast<unsigned char>(tail[i])) != 0;
      if (shape[i] == 'd' ? !digit : tail[i] != shape[i]) return false;
    }
    return true;
  };
  EXPECT_TRUE(backupName(names[0])) << names[0];
  const ConfigImage changed = ChangedImage();
  EXPECT_EQ(Slurp(Path("backups/" + names[0])), std::string(changed.begin(), changed.end()));
  const std::string log = Slurp(Path("cards.log"));
  EXPECT_NE(log.find("\"backup\":\"backups/" + names[0] + "\",\"backup_sha256\":\"" + heldSha256),
            std::string::npos)
      << log;

  WriteImageFile(changed);
  StartSimulator({"--drop-register", "13"});
  const Result failed = Run(args);
  ExpectAsNative(args, failed);
  sim_.reset();
  EXPECT_EQ(failed.code, 3) << failed.err;
  EXPECT_NE(failed.err.find("did not answer for BereichsByte 3"), std::string::npos) << failed.err;
  EXPECT_NE(failed.err.find("nothing was written"), std::string::npos) << failed.err;
  EXPECT_EQ(ReadImageFile(), changed);
  EXPECT_EQ(testing::FolderEntries(Path("backups")).size(), 1u);
  EXPECT_NE(Slurp(Path("cards.log")).find("\"backup\":\"\",\"backup_sha256\":\"\""),
            std::string::npos);
}

// The window's exported record stands for its image wherever a .KFG file does.
TEST_F(CliE2eTest, VerifyTakesTheExportedRecordAndRefusesOneThatContradictsItself) {
  ConfigRecord record{"Quorvex 1.4", "", "", 1, ViewImage(kKnownImage), kKnownImage};
  std::string csv = RecordCsv(record, EnglishTextSet());
  std::ofstream(Path("record.csv"), std::ios::binary) << csv;
  csv.replace(csv.find(",10.2,"), 6, ",5.0,");
  std::ofstream(Path("edited.csv"), std::ios::binary) << csv;
  WriteImageFile(kKnownImage);
  StartSimulator();
  const std::vector<std::string> args = {"verify", "--port", PortArg(), "record.csv"};
  const Result verify = Run(args);
  EXPECT_EQ(verify.code, 0) << verify.err << verify.out;
  ExpectAsNative(args, verify);
  const Result edited = Run({"verify", "--port", PortArg(), "edited.csv"});
  EXPECT_EQ(edited.code, 2) << edited.err;
  EXPECT_NE(edited.err.find("edited.csv: line 10, column 5: Channel 3 does not agree"),
            std::string::npos)
      << edited.err;
}

TEST_F(CliE2eTest, CtrlCDuringAReadClosesThePortAndLeavesNoFile) {
  // On Windows Ctrl+C is an event of the console, which a POSIX signal to Wine's process is not.
  if (setup_.foreignCli) GTEST_SKIP() << "Ctrl+C is checked with the native program only";
  WriteImageFile(kKnownImage);
  StartSimulator();
  {
    CliProcess cli(setup_.cli, {"read", "--port", PortArg(), "-o", "out.kfg"}, folder_,
                   Path("stdout.txt"));
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

// The other build's serial backend driven in its own process, whole write and read, without the
// command line around it (on Windows the only other path to the Win32 calls).
TEST_F(CliE2eTest, TheOtherBuildsBackendWritesAndReadsTheWholeCard) {
  if (setup_.transferCheck.empty()) GTEST_SKIP() << "no QUORVEX_E2E_TRANSFER_CHECK given";
  WriteImageFile(ConfigImage{});
  StartSimulator();
  CliProcess check(setup_.transferCheck, {PortArg()}, folder_, Path("transfer_check.out"));
  EXPECT_EQ(check.Finish(), 0) << Slurp(Path("transfer_check.out"));
  EXPECT_EQ(ReadImageFile(), kKnownImage);
}

}  // namespace
}  // namespace quorvex::e2e
