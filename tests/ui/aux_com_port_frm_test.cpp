// Tests of the COM port dialog: its controls, the listed ports, OK and close, the device list.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <QComboBox>
#include <QPushButton>
#include <QScreen>
#include <QStringList>
#include <QTemporaryDir>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/app_context.h"
#include "link/serial_line.h"
#include "tests/ui/aux_window_test_support.h"
#include "ui/com_port_frm.h"

namespace quorvex {
namespace {

using testing::ExecWith;
using testing::OnNextModal;

// Ports that open for a chosen set of numbers; counts opens and the lines still held.
class FakeSerialPorts : public SerialPorts {
 public:
  explicit FakeSerialPorts(std::set<int> free) : free_(std::move(free)) {}

  std::unique_ptr<SerialLine> Open(int portNumber) override {
    opened.push_back(portNumber);
    if (free_.count(portNumber) == 0) {
      return nullptr;
    }
    return std::make_unique<Line>(*this);
  }

  void SetFree(std::set<int> free) { free_ = std::move(free); }

  std::vector<int> opened;
  int linesHeld = 0;
  int mostLinesHeld = 0;

 private:
  class Line : public SerialLine {
   public:
    explicit Line(FakeSerialPorts& ports) : ports_(ports) {
      ++ports_.linesHeld;
      ports_.mostLinesHeld = std::max(ports_.mostLinesHeld, ports_.linesHeld);
    }
    ~Line() override { --ports_.linesHeld; }
    void Configure() override {}
    void SetRts(bool) override {}
    bool WriteByte(std::uint8_t) override { return true; }
    bool ReadByte(std::uint8_t&) override { return false; }

   private:
    FakeSerialPorts& ports_;
  };

  std::set<int> free_;
};

QStringList Entries(const QComboBox& combo) {
  QStringList entries;
  for (int i = 0; i < combo.count(); ++i) {
    entries << combo.itemText(i);
  }
  return entries;
}

class ComPortFrmTest : public ::testing::Test {
 protected:
  QComboBox* Combo(ComPortFrm& frm) { return frm.findChild<QComboBox*>("ComboBox1"); }
  QPushButton* Button(ComPortFrm& frm, const char* name) {
    return frm.findChild<QPushButton*>(name);
  }

  // The windows are made once the main window has put its language on.
  AppContext ctx_{.texts = EnglishTextSet()};
};

TEST_F(ComPortFrmTest, FormAndControlsAsTheOperatorSeesThem) {
  FakeSerialPorts ports({});
  ComPortFrm frm(ctx_, ports);
  frm.show();

  EXPECT_EQ(frm.objectName(), "ComPortFrm");
  EXPECT_EQ(frm.windowTitle(), "COM Port");
  EXPECT_EQ(frm.size(), QSize(238, 100));
  EXPECT_EQ(frm.minimumSize(), frm.maximumSize());
  ASSERT_NE(frm.screen(), nullptr);
  EXPECT_LE(
      (frm.geometry().center() - frm.screen()->availableGeometry().center()).manhattanLength(), 2);

  QComboBox* combo = Combo(frm);
  QPushButton* ok = Button(frm, "Button1");
  QPushButton* deviceManager = Button(frm, "Button2");
  ASSERT_TRUE(combo && ok && deviceManager);
  EXPECT_FALSE(combo->isEditable());
  // Placed by design, as high as its font needs once the dialog is up.
  EXPECT_EQ(combo->geometry(), QRect(128, 16, 89, combo->sizeHint().height()));
  EXPECT_GT(combo->height(), 0);
  EXPECT_EQ(ok->text(), "OK");
  EXPECT_EQ(deviceManager->text(), "Device manager ");

  // Tab runs from the list to OK to the device manager.
  EXPECT_EQ(combo->nextInFocusChain(), ok);
  EXPECT_EQ(ok->nextInFocusChain(), deviceManager);
  frm.close();
}

TEST_F(ComPortFrmTest, ListsExactlyTheFreePortsInRisingOrderAndSelectsTheCurrentOne) {
  FakeSerialPorts ports({3, 1});
  ctx_.comPortNumber = 3;
  ComPortFrm frm(ctx_, ports);
  frm.show();

  EXPECT_EQ(Entries(*Combo(frm)), QStringList({"COM1", "COM3"}));
  EXPECT_EQ(Combo(frm)->currentText(), "COM3");
  // Every number is tried once, in rising order, and each probe lets go of its port at once.
  ASSERT_EQ(ports.opened.size(), 255u);
  for (int n = 1; n <= 255; ++n) {
    EXPECT_EQ(ports.opened[static_cast<std::size_t>(n - 1)], n);
  }
  EXPECT_EQ(ports.linesHeld, 0);
  EXPECT_EQ(ports.mostLinesHeld, 1);

  Button(frm, "Button1")->click();
  EXPECT_EQ(frm.result(), QDialog::Accepted);
  EXPECT_FALSE(frm.isVisible());
  EXPECT_EQ(ctx_.comPortNumber, 3);
}

TEST_F(ComPortFrmTest, NoEntrySelectedWhenTheCurrentPortIsNotListedAndOkThenChoosesNone) {
  // 2 exists but is not free, 0 and -1 are the "none chosen" values.
  for (int current : {0, -1, 2}) {
    SCOPED_TRACE(current);
    FakeSerialPorts ports({1, 3});
    ctx_.comPortNumber = current;
    ComPortFrm frm(ctx_, ports);
    frm.show();
    EXPECT_EQ(Combo(frm)->count(), 2);
    EXPECT_EQ(Combo(frm)->currentIndex(), -1);
    Button(frm, "Button1")->click();
    EXPECT_EQ(ctx_.comPortNumber, 0);
  }
}

TEST_F(ComPortFrmTest, OkWithAnEmptyListChoosesNone) {
  FakeSerialPorts ports({});
  ctx_.comPortNumber = 5;
  ComPortFrm frm(ctx_, ports);
  frm.show();
  EXPECT_EQ(Combo(frm)->count(), 0);
  Button(frm, "Button1")->click();
  EXPECT_EQ(ctx_.comPortNumber, 0);
}

TEST_F(ComPortFrmTest, OkTakesTheWholeNumberOfTheChosenEntry) {
  FakeSerialPorts ports({7, 12, 123, 255});
  ctx_.comPortNumber = 7;
  ComPortFrm frm(ctx_, ports);
  for (const char* entry : {"COM12", "COM123", "COM255", "COM7"}) {
    SCOPED_TRACE(entry);
    frm.show();
    QComboBox* combo = Combo(frm);
    const int index = combo->findText(entry);
    ASSERT_GE(index, 0);
    combo->setCurrentIndex(index);
    Button(frm, "Button1")->click();
    EXPECT_EQ(ctx_.comPortNumber, QString(entry).mid(3).toInt());
    // The next showing preselects what was just chosen.
    frm.show();
    EXPECT_EQ(combo->currentText(), entry);
    frm.close();
  }
}

TEST_F(ComPortFrmTest, AMalformedEntryChoosesNoneRatherThanSomeOtherPort) {
  FakeSerialPorts ports({});
  ctx_.comPortNumber = 4;
  ComPortFrm frm(ctx_, ports);
  frm.show();
  QComboBox* combo = Combo(frm);
  for (const char* entry : {"COM", "COM-3", "COM1x", "COM 5", "COM99999999999"}) {
    SCOPED_TRACE(entry);
    ctx_.comPortNumber = 4;
    combo->addItem(entry);
    combo->setCurrentIndex(combo->count() - 1);
    Button(frm, "Button1")->click();
    EXPECT_EQ(ctx_.comPortNumber, 0);
  }
}

TEST_F(ComPortFrmTest, ClosingByTheTitleBarKeepsThePortNumber) {
  FakeSerialPorts ports({1, 3});
  ctx_.comPortNumber = 3;
  ComPortFrm frm(ctx_, ports);
  bool watchdogFired = false;
  const int result = ExecWith(
      frm,
      [&] {
        Combo(frm)->setCurrentIndex(0);  // picked COM1, then changed the operator's mind
        frm.close();
      },
      &watchdogFired);
  EXPECT_FALSE(watchdogFired);
  EXPECT_EQ(result, QDialog::Rejected);
  EXPECT_EQ(ctx_.comPortNumber, 3);
}

TEST_F(ComPortFrmTest, ModalRunEndsWithOkAndTheChosenPort) {
  FakeSerialPorts ports({2, 9});
  ctx_.comPortNumber = 2;
  ComPortFrm frm(ctx_, ports);
  bool watchdogFired = false;
  const int result = ExecWith(
      frm,
      [&] {
        Combo(frm)->setCurrentIndex(1);
        Button(frm, "Button1")->click();
      },
      &watchdogFired);
  EXPECT_FALSE(watchdogFired);
  EXPECT_EQ(result, QDialog::Accepted);
  EXPECT_EQ(ctx_.comPortNumber, 9);
}

TEST_F(ComPortFrmTest, EveryShowingProbesAgain) {
  FakeSerialPorts ports({1, 2});
  ctx_.comPortNumber = 2;
  ComPortFrm frm(ctx_, ports);
  frm.show();
  EXPECT_EQ(Entries(*Combo(frm)), QStringList({"COM1", "COM2"}));
  frm.close();

  ports.SetFree({1, 4});
  frm.show();
  EXPECT_EQ(Entries(*Combo(frm)), QStringList({"COM1", "COM4"}));
  EXPECT_EQ(Combo(frm)->currentIndex(), -1);
  frm.close();
}

#ifndef _WIN32
TEST_F(ComPortFrmTest, DeviceManagerOpensTheSerialDeviceWindowAndLeavesTheListAlone) {
  FakeSerialPorts ports({1, 3});
  ctx_.comPortNumber = 3;
  ComPortFrm frm(ctx_, ports);
  frm.show();
  const std::size_t probes = ports.opened.size();
  ports.SetFree({5});

  QString seen;
  bool wasModal = false;
  OnNextModal(&frm, [&](QWidget* modal) {
    seen = modal->objectName();
    wasModal = modal->isModal();
    modal->close();
  });
  Button(frm, "Button2")->click();

  EXPECT_EQ(seen, "SerialDeviceWindow");
  EXPECT_TRUE(wasModal);
  EXPECT_TRUE(frm.isVisible());
  EXPECT_EQ(ports.opened.size(), probes);
  EXPECT_EQ(Entries(*Combo(frm)), QStringList({"COM1", "COM3"}));
  EXPECT_EQ(Combo(frm)->currentText(), "COM3");
  frm.close();
}

// Points the port resolution at a folder of links for the life of the object.
class ComDirOverride {
 public:
  explicit ComDirOverride(const std::string& dir) {
    if (const char* old = getenv("QUORVEX_COM_DIR"); old != nullptr) {
      old_ = old;
    }
    setenv("QUORVEX_COM_DIR", dir.c_str(), 1);
  }
  ~ComDirOverride() {
    if (old_) {
      setenv("QUORVEX_COM_DIR", old_->c_str(), 1);
    } else {
      unsetenv("QUORVEX_COM_DIR");
    }
  }
  ComDirOverride(const ComDirOverride&) = delete;
  ComDirOverride& operator=(const ComDirOverride&) = delete;

 private:
  std::optional<std::string> old_;
};

// The master side of a pseudo terminal; its slave stands in for a serial device.
class Pty {
 public:
  Pty() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0) {
      if (const char* name = ptsname(master_); name != nullptr) {
        slave_ = name;
      }
    }
  }
  ~Pty() {
    if (master_ >= 0) {
      close(master_);
    }
  }
  Pty(const Pty&) = delete;
  Pty& operator=(const Pty&) = delete;

  const std::string& SlavePath() const { return slave_; }

 private:
  int master_ = -1;
  std::string slave_;
};

TEST_F(ComPortFrmTest, RealPortsListOnlyWhatExistsAndIsFree) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  Pty free;
  Pty held;
  ASSERT_FALSE(free.SlavePath().empty());
  ASSERT_FALSE(held.SlavePath().empty());
  const std::filesystem::path folder = dir.path().toStdString();
  std::filesystem::create_symlink(free.SlavePath(), folder / "COM2");
  std::filesystem::create_symlink(held.SlavePath(), folder / "COM5");
  std::filesystem::create_symlink(folder / "nothing-here", folder / "COM7");
  ComDirOverride override(folder.string());

  std::unique_ptr<SerialPorts> ports = MakeSystemSerialPorts();
  std::unique_ptr<SerialPorts> someoneElse = MakeSystemSerialPorts();
  std::unique_ptr<SerialLine> holding = someoneElse->Open(5);
  ASSERT_NE(holding, nullptr);

  ctx_.comPortNumber = 2;
  ComPortFrm frm(ctx_, *ports);
  frm.show();
  EXPECT_EQ(Entries(*Combo(frm)), QStringList({"COM2"}));
  EXPECT_EQ(Combo(frm)->currentText(), "COM2");
  frm.close();

  // The probe released COM2 again: it can be held now, and then it drops out of the list.
  std::unique_ptr<SerialLine> holding2 = someoneElse->Open(2);
  ASSERT_NE(holding2, nullptr);
  holding.reset();
  frm.show();
  EXPECT_EQ(Entries(*Combo(frm)), QStringList({"COM5"}));
  EXPECT_EQ(Combo(frm)->currentIndex(), -1);
  frm.close();
}
#endif

}  // namespace
}  // namespace quorvex
