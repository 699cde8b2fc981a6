// The widget adapter of the channel panel where it does more than pass values through.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QWidget>
#include <memory>

#include "tests/ui/window_test_support.h"
#include "ui/qt_channel_panel.h"

namespace quorvex::testing {
namespace {

TEST(QtChannelPanelTest, RewritingTheSameTextStillShowsTheStartOfTheField) {
  TestApp();
  QWidget grid;
  auto* field = new QLineEdit(&grid);
  field->setObjectName("Edit1");
  QtChannelPanel panel(grid);

  panel.SetText("Edit1", "12345.678");
  field->setCursorPosition(5);
  field->setSelection(2, 4);
  panel.SetText("Edit1", "12345.678");
  EXPECT_EQ(field->text(), "12345.678");
  EXPECT_EQ(field->cursorPosition(), 0);
  EXPECT_FALSE(field->hasSelectedText());
}

TEST(QtChannelPanelTest, RemovedOrRenamedWidgetsAreNotReachedAnyMore) {
  TestApp();
  QWidget grid;
  auto* unit = new QLabel(&grid);
  unit->setObjectName("ELabel1");
  auto field = std::make_unique<QLineEdit>(&grid);
  field->setObjectName("Edit1");
  QtChannelPanel panel(grid);
  panel.SetText("ELabel1", "ppm");
  panel.SetText("Edit1", "1.0");
  ASSERT_EQ(panel.Text("Edit1"), "1.0");

  field.reset();
  EXPECT_EQ(panel.Text("Edit1"), "");
  panel.SetText("Edit1", "2.0");  // ignored, as for any unknown name

  unit->setObjectName("ELabel2");
  EXPECT_EQ(panel.Text("ELabel1"), "");
  EXPECT_EQ(panel.Text("ELabel2"), "ppm");

  // A field moved out of the grid is no longer the panel's, though it keeps its name.
  auto* moved = new QLineEdit(&grid);
  moved->setObjectName("Edit3");
  panel.SetText("Edit3", "3.0");
  ASSERT_EQ(panel.Text("Edit3"), "3.0");
  moved->setParent(new QWidget(&grid));
  EXPECT_EQ(panel.Text("Edit3"), "");
}

}  // namespace
}  // namespace quorvex::testing
