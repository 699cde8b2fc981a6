// Icons read on first use answer as the icons read at once would.
#include <gtest/gtest.h>

#include <QIcon>
#include <QImage>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTemporaryDir>

#include "app/window_icon.h"
#include "tests/ui/window_test_support.h"

namespace quorvex::testing {
namespace {

TEST(WindowIconTest, ADeferredIconGivesThePicturesOfTheIconReadAtOnce) {
  TestApp();
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  // Not square and not one colour, so a stretched or misplaced picture shows.
  QImage picture(64, 32, QImage::Format_ARGB32);
  picture.fill(Qt::transparent);
  for (int x = 0; x < 16; ++x) picture.setPixel(x, x, qRgba(200, 30, 30, 255));
  const QString path = dir.filePath(QStringLiteral("icon.png"));
  ASSERT_TRUE(picture.save(path, "PNG"));

  const QIcon deferred = DeferredIcon(path);
  const QIcon atOnce(path);
  EXPECT_FALSE(deferred.isNull());
  EXPECT_EQ(deferred.availableSizes(), atOnce.availableSizes());
  for (const QSize size : {QSize(64, 32), QSize(16, 16), QSize(128, 128)}) {
    EXPECT_EQ(deferred.actualSize(size), atOnce.actualSize(size));
    EXPECT_EQ(deferred.pixmap(size).toImage(), atOnce.pixmap(size).toImage())
        << size.width() << "x" << size.height();
  }
}

TEST(WindowIconTest, TheStyleDrawsTheOverflowButtonsAsItsBaseStyleAndPassesTheRestOn) {
  TestApp();
  DeferredExtensionIconStyle style;
  QStyle* base = style.baseStyle();
  ASSERT_NE(base, nullptr);
  for (const QStyle::StandardPixmap which :
       {QStyle::SP_ToolBarHorizontalExtensionButton, QStyle::SP_ToolBarVerticalExtensionButton,
        QStyle::SP_MessageBoxWarning}) {
    for (const Qt::LayoutDirection direction : {Qt::LeftToRight, Qt::RightToLeft}) {
      QStyleOption option;
      option.direction = direction;
      const QIcon icon = style.standardIcon(which, &option, nullptr);
      const QIcon expected = base->standardIcon(which, &option, nullptr);
      ASSERT_FALSE(expected.isNull());
      for (const QSize size : {QSize(8, 16), QSize(16, 32), QSize(32, 32)}) {
        EXPECT_EQ(icon.pixmap(size).toImage(), expected.pixmap(size).toImage())
            << which << " " << direction << " " << size.width() << "x" << size.height();
      }
    }
  }
}

}  // namespace
}  // namespace quorvex::testing
