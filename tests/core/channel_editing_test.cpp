// Tests of the re-display, the list change and the key filter.
#include "core/channel_editing.h"

#include <gtest/gtest.h>

#include "core/errors.h"
#include "tests/support/panel_setup.h"

namespace quorvex {
namespace {

using namespace testing;

TEST(FormatChannel, FixedDecimalsPerField) {
  MemoryPanel panel = FilledPanel();
  SetChannel(panel, 1, "Lambda", kVolts, "2.55", "0.25", "1.005");
  SetChannel(panel, 2, "", kVolts, "1.2.3", "", "77");
  FormatChannel(panel, 1);
  FormatChannel(panel, 2);
  EXPECT_EQ(panel.Text("Edit1"), "2.5");
  EXPECT_EQ(panel.Text("BereichEdit1"), "0.3");
  EXPECT_EQ(panel.Text("MessEdit1"), "1.00");  // 1.005 is just below in single precision
  EXPECT_EQ(panel.Text("Edit2"), "1.2");
  EXPECT_EQ(panel.Text("BereichEdit2"), "0.0");
  EXPECT_EQ(panel.Text("MessEdit2"), "");  // no quantity, no format
}

TEST(FormatChannel, OverflowLeavesTheFieldText) {
  MemoryPanel panel = FilledPanel();
  SetChannel(panel, 1, "CO", kVolts, "1", "1e39", "1");
  EXPECT_THROW(FormatChannel(panel, 1), FloatOverflowError);
  EXPECT_EQ(panel.Text("BereichEdit1"), "1e39");
}

TEST(ComboBoxChange, NewUnitAndFormatKeepTheNumber) {
  MemoryPanel panel = FilledPanel();
  for (int n = 1; n <= 8; ++n) SetChannel(panel, n, "CO", kMilliamps, "0", "20", "100");
  SetChannel(panel, 4, "O2", kMilliamps, "3", "20", "63000");
  ComboBoxChange(panel, 4);
  EXPECT_EQ(panel.Text("ELabel4"), "%");
  EXPECT_EQ(panel.Text("MessEdit4"), "63000.0");
  EXPECT_EQ(panel.Text("Edit4"), "3.0");
  EXPECT_EQ(panel.Text("MessEdit1"), "100");  // every channel is re-displayed

  panel.SetItemIndex("ComboBox5", -1);
  RefreshAllChannels(panel);
  EXPECT_EQ(panel.Text("ELabel5"), "?");
  EXPECT_EQ(panel.Text("ELabel1"), "ppm");
  EXPECT_EQ(panel.Text("MessEdit5"), "");
}

TEST(ChannelNumbers, FromComponentNames) {
  EXPECT_EQ(ChannelFromLastCharacter("ComboBox3"), 3);
  EXPECT_EQ(ChannelFromLastCharacter("ComboBox"), 0);
  EXPECT_EQ(ChannelFromLastCharacter(""), 0);
  EXPECT_EQ(ChannelFromDigits("BereichEdit5"), 5);
  EXPECT_EQ(ChannelFromDigits("MessEdit8"), 8);
  EXPECT_EQ(ChannelFromDigits("Edit"), 0);
  EXPECT_EQ(ChannelFromDigits("Edit99999999999999"), 0);
}

TEST(FilterKeyChar, DigitsPointAndControlKeysOnly) {
  EXPECT_EQ(FilterKeyChar(','), '.');
  for (char c : {'.', '0', '5', '9', char(8), char(9), char(13)}) EXPECT_EQ(FilterKeyChar(c), c);
  for (char c : {'-', '+', 'a', 'E', 'e', ' ', char(27), char(127), '/', ':'}) {
    EXPECT_EQ(FilterKeyChar(c), std::nullopt) << int(c);
  }
}

}  // namespace
}  // namespace quorvex
