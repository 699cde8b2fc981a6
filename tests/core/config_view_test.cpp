// Tests of the configuration as the window shows it: images, differences, headers, stems.
#include "core/config_view.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>

#include "core/channel_panel.h"
#include "core/text_set.h"
#include "tests/support/panel_setup.h"

namespace quorvex {
namespace {

using testing::kKnownImage;

TEST(ConfigViewTest, ImageIsShownAsTheWindowShowsALoadedFile) {
  const ConfigurationView view = ViewImage(kKnownImage);
  EXPECT_EQ(view[0], (ChannelView{"O2", "V", "0.5", "10.0", "25.0", "%"}));
  EXPECT_EQ(view[3], (ChannelView{"Lambda", "mA", "0.0", "20.0", "5.00", ""}));
  EXPECT_EQ(view[7].measurementRange, "63000");

  // The same image through a panel the caller owns shows the same.
  MemoryPanel panel;
  ShowImage(panel, kKnownImage);
  EXPECT_EQ(ViewConfiguration(panel), view);
}

TEST(ConfigViewTest, EachFieldDifferenceIsNamedOnceWithTheShownTexts) {
  struct Case {
    std::size_t offset;  // byte changed in channel 2's registers
    std::uint8_t value;
    ChannelField field;
    const char* first;
    const char* second;
  };
  const Case cases[] = {
      // NO shares CO's unit, scale and format, so only the name differs.
      {ChannelOffset(2) + 0, 8, ChannelField::Quantity, "CO", "NO"},
      {ChannelOffset(2) + 1, 41, ChannelField::Offset, "4.0 mA", "4.1 mA"},
      {ChannelOffset(2) + 2, 100, ChannelField::Range, "20.0 mA", "10.0 mA"},
      {ChannelOffset(2) + 4, 0xE9, ChannelField::MeasurementRange, "1000 ppm", "1001 ppm"},
  };
  const ConfigurationView known = ViewImage(kKnownImage);
  for (const Case& c : cases) {
    ConfigImage changed = kKnownImage;
    changed[c.offset] = c.value;
    const auto diff = CompareConfigurations(known, ViewImage(changed));
    ASSERT_EQ(diff.size(), 1u) << c.first;
    EXPECT_EQ(diff[0], (FieldDifference{2, c.field, c.first, c.second}));
  }
  EXPECT_TRUE(CompareConfigurations(known, known).empty());
}

TEST(ConfigViewTest, AUnitChangeNamesTheUnitAndOnlyTheNumbersThatChangedWithIt) {
  ConfigImage changed = kKnownImage;
  changed[0] ^= 0x02;  // channel 2 from mA to V: same bytes, offset and range halve
  const auto diff = CompareConfigurations(ViewImage(kKnownImage), ViewImage(changed));
  ASSERT_EQ(diff.size(), 3u);
  EXPECT_EQ(diff[0], (FieldDifference{2, ChannelField::Unit, "mA", "V"}));
  EXPECT_EQ(diff[1].field, ChannelField::Offset);
  EXPECT_EQ(diff[1].second, "2.0 V");
  EXPECT_EQ(diff[2].field, ChannelField::Range);
}

TEST(ConfigViewTest, HeadersAndHex) {
  const TextSet texts = EnglishTextSet();
  EXPECT_EQ(FieldHeader(texts, ChannelField::Quantity), "Measurement value");
  EXPECT_EQ(FieldHeader(texts, ChannelField::MeasurementRange), "Measurement range");
  ConfigImage image{};
  image[0] = 0x5A;
  image[40] = 0x0F;
  const std::string hex = ImageHex(image);
  EXPECT_EQ(hex.size(), 41u * 3 - 1);
  EXPECT_EQ(hex.substr(0, 6), "5A 00 ");
  EXPECT_EQ(hex.substr(hex.size() - 2), "0F");
}

}  // namespace
}  // namespace quorvex

namespace quorvex {
namespace {

TEST(ChannelComponentTest, TypedNamesAreTheWindowsAndAnUnknownNameFailsLoudly) {
  const std::pair<ChannelComponent, const char*> names[] = {
      {ChannelComponent::Quantity, "ComboBox3"},
      {ChannelComponent::Unit, "EinheitBox3"},
      {ChannelComponent::Offset, "Edit3"},
      {ChannelComponent::Range, "BereichEdit3"},
      {ChannelComponent::MeasurementRange, "MessEdit3"},
      {ChannelComponent::UnitLabel, "ELabel3"}};
  MemoryPanel panel;
  for (const auto& [component, name] : names) {
    EXPECT_EQ(ComponentName(component, 3), name);
    EXPECT_NO_THROW(panel.Text(name));
  }
  for (const char* typo : {"Edit9", "Edit0", "Bereichedit3", "ELabel", ""}) {
    EXPECT_THROW(panel.Text(typo), std::invalid_argument) << typo;
    EXPECT_THROW(panel.SetText(typo, "1"), std::invalid_argument) << typo;
    EXPECT_THROW(panel.SetItemIndex(typo, 0), std::invalid_argument) << typo;
  }
}

}  // namespace
}  // namespace quorvex
