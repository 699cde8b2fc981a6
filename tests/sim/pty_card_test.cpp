// Tests of the simulated card on a pseudo terminal: serving, log, delay, hang-up, link.
#include "sim/pty_card.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "sim/image_file.h"
#include "tests/support/temp_folder.h"

namespace quorvex::sim {
namespace {

using quorvex::testing::TempFolder;
using Bytes = std::vector<std::uint8_t>;

// The card serving on its own thread, as the program runs it.
class RunningCard {
 public:
  explicit RunningCard(CardOptions options, SaveImage save = SaveImageFile)
      : options_(std::move(options)), log_(options_.logPath), card_(options_, log_, save) {
    if (::pipe2(stop_, O_CLOEXEC) != 0) throw std::runtime_error("pipe2");
    thread_ = std::thread([this] { end_ = card_.Serve(stop_[0]); });
  }
  ~RunningCard() {
    if (thread_.joinable()) Stop();
    ::close(stop_[0]);
    ::close(stop_[1]);
  }
  PtyCard::End Stop() {
    [[maybe_unused]] const ssize_t n = ::write(stop_[1], "x", 1);
    return Join();
  }
  PtyCard::End Join() {
    thread_.join();
    return *end_;
  }
  const std::string& LinkPath() const { return card_.LinkPath(); }

 private:
  CardOptions options_;
  FrameLog log_;
  PtyCard card_;
  int stop_[2] = {-1, -1};
  std::optional<PtyCard::End> end_;
  std::thread thread_;
};

// The PC's end of the line, kept minimal on purpose: the card is tested against raw bytes.
class PcEnd {
 public:
  explicit PcEnd(const std::string& path) : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY)) {
    if (fd_ < 0) throw std::runtime_error("cannot open " + path);
    termios tio{};
    ::tcgetattr(fd_, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(fd_, TCSANOW, &tio);
  }
  ~PcEnd() { ::close(fd_); }
  PcEnd(const PcEnd&) = delete;
  PcEnd& operator=(const PcEnd&) = delete;

  void Send(const Bytes& bytes) {
    ASSERT_EQ(::write(fd_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  // Up to `count` bytes, stopping early at the deadline or when the line hangs up.
  Bytes Receive(std::size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
    Bytes got;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (got.size() < count) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      pollfd p{fd_, POLLIN, 0};
      if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
      std::uint8_t buffer[8];
      const ssize_t n = ::read(fd_, buffer, count - got.size());
      if (n <= 0) {
        hungUp_ = true;
        break;
      }
      got.insert(got.end(), buffer, buffer + n);
    }
    return got;
  }
  bool HungUp() const { return hungUp_; }

 private:
  int fd_;
  bool hungUp_ = false;
};

class PtyCardTest : public ::testing::Test {
 protected:
  CardOptions Options() {
    CardOptions options;
    options.comDir = folder_.Path();
    options.logPath = folder_ / "frames.log";
    return options;
  }
  TempFolder folder_;
};

TEST_F(PtyCardTest, ServesOneOpenAfterAnotherAndKeepsTheImageOnceStopped) {
  CardOptions options = Options();
  options.imagePath = folder_ / "card.kfg";
  {
    RunningCard card(options);
    EXPECT_EQ(card.LinkPath(), folder_ / "COM1");
    {
      PcEnd pc(card.LinkPath());
      pc.Send({0x00, 0x07, 0x5A, 0x5F});
      EXPECT_EQ(pc.Receive(4), (Bytes{0x00, 0x07, 0x5A, 0x5F}));
    }
    // The PC closed the terminal; the next open must be served just the same.
    PcEnd pc(card.LinkPath());
    pc.Send({0x80, 0x07, 0x00, 0x87});
    EXPECT_EQ(pc.Receive(4), (Bytes{0x80, 0x07, 0x5A, 0xDF}));
    EXPECT_EQ(card.Stop(), PtyCard::End::Stopped);
  }
  const auto saved = LoadImageFile(options.imagePath);
  ASSERT_TRUE(saved);
  EXPECT_EQ((*saved)[7], 0x5A);
}

// An image writer whose saves wait until the test opens it, as on a disk busy writing back.
class BlockedSaves {
 public:
  SaveImage Saver() {
    return [this](const std::string& path, const RegisterImage& image) {
      {
        std::unique_lock lock(mutex_);
        ++saves_;
        changed_.notify_all();
        changed_.wait(lock, [this] { return open_; });
      }
      SaveImageFile(path, image);
    };
  }
  bool WaitForSave(std::chrono::seconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return saves_ > 0; });
  }
  void Open() {
    const std::lock_guard lock(mutex_);
    open_ = true;
    changed_.notify_all();
  }
  int Saves() {
    const std::lock_guard lock(mutex_);
    return saves_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int saves_ = 0;
  bool open_ = false;
};

TEST_F(PtyCardTest, AnswersWritesWhileTheImageFileIsStillBeingSaved) {
  CardOptions options = Options();
  options.imagePath = folder_ / "card.kfg";
  BlockedSaves disk;
  {
    RunningCard card(options, disk.Saver());
    // Declared after the card, so a failed check cannot leave the card's end waiting forever.
    const struct Opener {
      BlockedSaves& disk;
      ~Opener() { disk.Open(); }
    } opener{disk};
    PcEnd pc(card.LinkPath());
    pc.Send({0x00, 0x07, 0x5A, 0x5F});
    EXPECT_EQ(pc.Receive(4), (Bytes{0x00, 0x07, 0x5A, 0x5F}));
    ASSERT_TRUE(disk.WaitForSave(std::chrono::seconds(5)));
    // The first save cannot end before Open(): these replies come from memory.
    pc.Send({0x00, 0x08, 0xC3, 0xCB});
    EXPECT_EQ(pc.Receive(4), (Bytes{0x00, 0x08, 0xC3, 0xCB}));
    pc.Send({0x00, 0x09, 0x11, 0x19});
    EXPECT_EQ(pc.Receive(4), (Bytes{0x00, 0x09, 0x11, 0x19}));
    EXPECT_EQ(disk.Saves(), 1);
  }
  // The two images that came during the first save were saved once, as the latest.
  EXPECT_EQ(disk.Saves(), 2);
  const auto saved = LoadImageFile(options.imagePath);
  ASSERT_TRUE(saved);
  EXPECT_EQ((*saved)[7], 0x5A);
  EXPECT_EQ((*saved)[8], 0xC3);
  EXPECT_EQ((*saved)[9], 0x11);
}

TEST_F(PtyCardTest, StartsFromTheImageFileAndLogsTheFrames) {
  CardOptions options = Options();
  options.imagePath = folder_ / "card.kfg";
  RegisterImage image{};
  image[40] = 0x42;
  SaveImageFile(options.imagePath, image);
  {
    RunningCard card(options);
    PcEnd pc(card.LinkPath());
    pc.Send({0x80, 40, 0x00, 0xA8});
    EXPECT_EQ(pc.Receive(4), (Bytes{0x80, 40, 0x42, 0xEA}));
  }
  std::ifstream log(options.logPath);
  const std::string text((std::istreambuf_iterator<char>(log)), {});
  EXPECT_NE(text.find(" rx  80 28 00 A8  read register 40\n"), std::string::npos) << text;
  EXPECT_NE(text.find(" tx  80 28 42 EA\n"), std::string::npos) << text;
}

TEST_F(PtyCardTest, DelaysReplies) {
  CardOptions options = Options();
  options.delay = std::chrono::milliseconds(150);
  RunningCard card(options);
  PcEnd pc(card.LinkPath());
  const auto start = std::chrono::steady_clock::now();
  pc.Send({0x80, 0x01, 0x00, 0x81});
  EXPECT_EQ(pc.Receive(4), (Bytes{0x80, 0x01, 0x00, 0x81}));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(150));
}

TEST_F(PtyCardTest, HangUpEndsTheLineAndRemovesTheLink) {
  CardOptions options = Options();
  options.faults.hangupAfter = 1;
  std::string link;
  {
    RunningCard card(options);
    link = card.LinkPath();
    PcEnd pc(link);
    pc.Send({0x80, 0x01, 0x00, 0x81});
    EXPECT_EQ(pc.Receive(4).size(), 4u);
    pc.Send({0x80});
    EXPECT_EQ(card.Join(), PtyCard::End::HungUp);
    EXPECT_TRUE(pc.Receive(1).empty());
    EXPECT_TRUE(pc.HungUp());
  }
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
}

TEST_F(PtyCardTest, LinkRules) {
  CardOptions options = Options();
  options.comDir = folder_ / "absent";
  EXPECT_THROW({ RunningCard card(options); }, std::runtime_error);

  // Someone else's COM2 is left alone and the card refuses to start.
  options = Options();
  options.port = 2;
  std::ofstream(folder_ / "COM2") << "keep";
  try {
    RunningCard card(options);
    ADD_FAILURE() << "started over an existing COM2";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("already exists"), std::string::npos) << e.what();
  }
  EXPECT_EQ(std::filesystem::file_size(folder_ / "COM2"), 4u);

  // A link left behind by a killed simulator leads nowhere and is replaced.
  options.port = 3;
  std::filesystem::create_symlink("/dev/pts/no-such-terminal", folder_ / "COM3");
  RunningCard card(options);
  PcEnd pc(card.LinkPath());
  pc.Send({0x80, 0x02, 0x00, 0x82});
  EXPECT_EQ(pc.Receive(4).size(), 4u);
}

}  // namespace
}  // namespace quorvex::sim
