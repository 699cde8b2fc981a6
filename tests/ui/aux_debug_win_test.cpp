// Tests of the debug log window: the DEBUG switch, opening, painting, the 100-line start.
#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QTest>
#include <string>

#include "core/app_context.h"
#include "tests/ui/paint_counter.h"
#include "ui/debug_win.h"

namespace quorvex {
namespace {

class DebugWinTest : public ::testing::Test {
 protected:
  QPlainTextEdit* Memo(DebugWin& win) { return win.findChild<QPlainTextEdit*>("Memo1"); }
  QString Log(DebugWin& win) { return Memo(win)->toPlainText(); }
  int Lines(DebugWin& win) { return Memo(win)->document()->blockCount(); }
  void AddLines(DebugWin& win, int from, int to) {
    for (int i = from; i <= to; ++i) {
      win.AddDebugLine("line " + std::to_string(i));
    }
  }

  // The windows are made once the main window has put its language on.
  AppContext ctx_{.texts = EnglishTextSet()};
};

TEST_F(DebugWinTest, WindowAsTheOperatorSeesIt) {
  DebugWin win(ctx_);
  EXPECT_FALSE(win.isVisible());
  EXPECT_EQ(win.objectName(), "DebugWin");
  EXPECT_EQ(win.windowTitle(), "DebugWin");
  EXPECT_TRUE(win.isWindow());
  QPlainTextEdit* memo = Memo(win);
  ASSERT_NE(memo, nullptr);
  EXPECT_FALSE(memo->isReadOnly());
  win.show();
  EXPECT_EQ(memo->geometry(), win.rect());
}

TEST_F(DebugWinTest, WithoutTheDebugSwitchLinesAreDroppedAndTheWindowStaysHidden) {
  DebugWin win(ctx_);
  AddLines(win, 1, 150);
  EXPECT_FALSE(win.isVisible());
  EXPECT_TRUE(Log(win).isEmpty());
}

TEST_F(DebugWinTest, TheFirstLineOpensTheWindowWithThatLineAlone) {
  ctx_.debugSwitch = true;
  DebugWin win(ctx_);
  Memo(win)->setPlainText("left over from before");
  win.AddDebugLine("Send KonfigByte: 0x1B");
  EXPECT_TRUE(win.isVisible());
  EXPECT_EQ(Log(win), "Send KonfigByte: 0x1B");
  win.AddDebugLine("ÄÖÜ 10 °C");
  EXPECT_EQ(Log(win), QString::fromUtf8("Send KonfigByte: 0x1B\nÄÖÜ 10 °C"));
}

TEST_F(DebugWinTest, EmptyLinesStayLinesOfTheirOwn) {
  ctx_.debugSwitch = true;
  DebugWin win(ctx_);
  // A write opens its log with an empty line; one byte line per channel pair follows.
  win.AddDebugLine("");
  win.AddDebugLine("KonfigByte:4");
  EXPECT_EQ(Log(win), "\nKonfigByte:4");
  AddLines(win, 3, 18);
  EXPECT_EQ(Lines(win), 18);
  win.AddDebugLine("");
  win.AddDebugLine("");
  win.AddDebugLine("end");
  EXPECT_TRUE(Log(win).endsWith("line 18\n\n\nend"));
  EXPECT_EQ(Lines(win), 21);
}

// A write blocks the event loop; the lines must reach the screen all the same.
TEST_F(DebugWinTest, AnOpenLogPaintsEachLineAsItComes) {
  ctx_.debugSwitch = true;
  DebugWin win(ctx_);
  win.AddDebugLine("");
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&win));
  const testing::PaintCounter counter(*Memo(win)->viewport());
  win.AddDebugLine("KonfigByte:4");
  EXPECT_EQ(counter.Paints(), 1);
  win.AddDebugLine("Kanal 1");
  EXPECT_EQ(counter.Paints(), 2);
}

TEST_F(DebugWinTest, TheLineAfterTheHundredthStartsAFreshLog) {
  ctx_.debugSwitch = true;
  DebugWin win(ctx_);
  AddLines(win, 1, 100);
  EXPECT_EQ(Lines(win), 100);
  EXPECT_TRUE(Log(win).startsWith("line 1\n"));
  EXPECT_TRUE(Log(win).endsWith("\nline 100"));

  win.AddDebugLine("line 101");
  EXPECT_EQ(Log(win), "line 101");
  AddLines(win, 102, 200);
  EXPECT_EQ(Lines(win), 100);
  win.AddDebugLine("line 201");
  EXPECT_EQ(Log(win), "line 201");
}

TEST_F(DebugWinTest, WrappedLongLinesCountAsOneLineEach) {
  ctx_.debugSwitch = true;
  DebugWin win(ctx_);
  const std::string longLine(600, 'x');
  for (int i = 0; i < 100; ++i) {
    win.AddDebugLine(longLine);
  }
  EXPECT_EQ(Lines(win), 100);
  win.AddDebugLine("next");
  EXPECT_EQ(Log(win), "next");
}

TEST_F(DebugWinTest, ClosedWindowReopensWithAnEmptyLogAndAFreshCount) {
  ctx_.debugSwitch = true;
  DebugWin win(ctx_);
  AddLines(win, 1, 60);
  win.close();
  EXPECT_FALSE(win.isVisible());

  win.AddDebugLine("after close");
  EXPECT_TRUE(win.isVisible());
  EXPECT_EQ(Log(win), "after close");
  // 100 lines since the reopening stay together; the count did not carry the 60 from before.
  AddLines(win, 2, 100);
  EXPECT_EQ(Lines(win), 100);
  EXPECT_TRUE(Log(win).startsWith("after close\n"));
  win.AddDebugLine("fresh");
  EXPECT_EQ(Log(win), "fresh");
}

TEST_F(DebugWinTest, ShowingTheWindowEmptiesTheLog) {
  ctx_.debugSwitch = true;
  DebugWin win(ctx_);
  AddLines(win, 1, 3);
  win.hide();
  win.show();
  EXPECT_TRUE(Log(win).isEmpty());
}

}  // namespace
}  // namespace quorvex
