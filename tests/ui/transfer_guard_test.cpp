// The transfer guard on its own: commands wait for the last of nested transfers, and a close
// asked for meanwhile is carried out once, after it.
#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QTest>
#include <QWidget>
#include <algorithm>
#include <optional>
#include <vector>

#include "tests/ui/window_test_support.h"
#include "ui/transfer_guard.h"

namespace quorvex::testing {
namespace {

class CountingWindow : public QWidget {
 public:
  int closes = 0;

 protected:
  void closeEvent(QCloseEvent* event) override {
    ++closes;
    event->accept();
  }
};

TEST(TransferGuardTest, CommandsWaitForTheLastOfNestedTransfers) {
  TestApp();
  CountingWindow window;
  std::vector<bool> switched;
  TransferGuard guard(window, [&](bool enabled) { switched.push_back(enabled); });
  {
    const TransferGuard::Hold outer(guard);
    { const TransferGuard::Hold inner(guard); }
    EXPECT_TRUE(guard.Running());
    ASSERT_FALSE(switched.empty());
    EXPECT_FALSE(switched.back());
  }
  EXPECT_FALSE(guard.Running());
  EXPECT_EQ(switched.back(), true);
  EXPECT_EQ(std::count(switched.begin(), switched.end(), true), 1);
}

TEST(TransferGuardTest, ACloseDuringATransferWaitsForItsEndAndHappensOnce) {
  TestApp();
  CountingWindow window;
  window.show();
  TransferGuard guard(window, [](bool) {});
  EXPECT_FALSE(guard.PostponeClose());  // nothing to wait for
  std::optional<TransferGuard::Hold> hold(std::in_place, guard);
  EXPECT_TRUE(guard.PostponeClose());
  EXPECT_TRUE(guard.PostponeClose());
  QCoreApplication::processEvents();
  EXPECT_EQ(window.closes, 0);
  hold.reset();
  EXPECT_TRUE(QTest::qWaitFor([&] { return window.closes > 0; }, 5000));
  QCoreApplication::processEvents();
  EXPECT_EQ(window.closes, 1);
}

}  // namespace
}  // namespace quorvex::testing
