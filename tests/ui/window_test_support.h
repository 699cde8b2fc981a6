// Helpers of the window tests: recorded error reports, a card behind fake ports.
#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/application.h"
#include "core/app_context.h"
#include "link/serial_line.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_operator.h"
#include "ui/main_frm.h"

namespace quorvex::testing {

// What reached the application's default error report, oldest first.
inline std::vector<std::string>& Reports() {
  static std::vector<std::string> reports;
  return reports;
}

// The application object made by this binary's main(); its error report is recorded there.
inline Application& TestApp() {
  return *static_cast<Application*>(QCoreApplication::instance());
}

// A card on port COM `present` only, held exclusively like a real port. It answers each
// four-byte request from its registers (echo of the address bytes, the value, the OR check),
// or never when `answers` is false.
class CardPorts : public SerialPorts {
 public:
  explicit CardPorts(int present = 1) : present_(present) {}

  std::unique_ptr<SerialLine> Open(int portNumber) override {
    if (portNumber != present_ || held_) return nullptr;
    held_ = true;
    ++opens;
    return std::make_unique<Line>(*this);
  }

  bool answers = true;
  std::array<std::uint8_t, 41> registers{};
  int opens = 0;

 private:
  class Line : public SerialLine {
   public:
    explicit Line(CardPorts& card) : card_(card) {}
    ~Line() override { card_.held_ = false; }
    void Configure() override {}
    void SetRts(bool) override {}
    bool WriteByte(std::uint8_t b) override {
      request_.push_back(b);
      if (request_.size() == 4) Answer();
      return true;
    }
    bool ReadByte(std::uint8_t& b) override {
      if (reply_.empty()) return false;
      b = reply_.front();
      reply_.pop_front();
      return true;
    }

   private:
    void Answer() {
      const std::vector<std::uint8_t> q = std::exchange(request_, {});
      if (!card_.answers) return;
      const unsigned address = ((q[0] & 0x7Fu) << 8) | q[1];
      const bool read = (q[0] & 0x80u) != 0;
      std::uint8_t value = 0;
      if (address < card_.registers.size()) {
        if (!read) card_.registers[address] = q[2];
        value = card_.registers[address];
      }
      reply_ = {q[0], q[1], value, static_cast<std::uint8_t>(q[0] | q[1] | value)};
    }

    CardPorts& card_;
    std::vector<std::uint8_t> request_;
    std::deque<std::uint8_t> reply_;
  };

  int present_;
  bool held_ = false;
};

// Shows the window and waits until it holds the keyboard, as focus events need.
inline bool ShowActive(QWidget& window) {
  window.show();
  window.activateWindow();
  return QTest::qWaitForWindowActive(&window, 5000);
}

// The real main window, not yet shown, with a scripted operator, the fake card as COM1, a fake
// clock and its settings file in a fresh folder.
class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TestApp();
    Reports().clear();
    ASSERT_TRUE(dir_.isValid());
    frm_ = std::make_unique<MainFrm>(ctx_, op_, ports_, clock_,
                                     dir_.filePath("quorvex.ini").toStdString(),
                                     std::vector<std::string>{});
  }
  void TearDown() override { frm_.reset(); }

  AppContext ctx_;
  FakeOperator op_;
  CardPorts ports_;
  FakeClock clock_;
  QTemporaryDir dir_;
  std::unique_ptr<MainFrm> frm_;
};

}  // namespace quorvex::testing
