// Tests of the configuration as the window shows it: images, differences, headers, stems.
#include "core/config_view.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>
#include <vector>

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

TEST(ConfigViewTest, ImagesDifferByRegisterAndEachDifferenceIsToldInTheWindowsWords) {
  struct Change {
    std::size_t address;
    std::uint8_t value;
  };
  struct Case {
    const char* what;
    std::vector<Change> window;  // changes to the known image on either side
    std::vector<Change> card;
    std::vector<FieldDifference> expected;
  };
  const std::size_t ch1 = ChannelOffset(1), ch2 = ChannelOffset(2), ch3 = ChannelOffset(3);
  const std::size_t ch7 = ChannelOffset(7);
  const Case cases[] = {
      {"equal", {}, {}, {}},
      // Both show "1.5"; the card's byte holds a digit more.
      {"offset alike",
       {{ch1 + 1, 30}},
       {{ch1 + 1, 31}},
       {{1, ChannelField::Offset, "1.5 V", "1.55 V"}}},
      {"offset", {}, {{ch2 + 1, 41}}, {{2, ChannelField::Offset, "4.0 mA", "4.1 mA"}}},
      {"range", {}, {{ch2 + 2, 100}}, {{2, ChannelField::Range, "20.0 mA", "10.0 mA"}}},
      {"word low",
       {},
       {{ch2 + 4, 0xE9}},
       {{2, ChannelField::MeasurementRange, "1000 ppm", "1001 ppm"}}},
      // TRaum shows whole degrees of a tenth-degree word: 215 and 220 both show as 22.
      {"scaled word alike",
       {{ch7 + 3, 0}, {ch7 + 4, 220}},
       {{ch7 + 3, 0}, {ch7 + 4, 215}},
       {{7, ChannelField::MeasurementRange, "22 \u00b0C", "21.5 \u00b0C"}}},
      {"quantity", {}, {{ch2, 8}}, {{2, ChannelField::Quantity, "CO", "NO"}}},
      {"unknown quantity", {}, {{ch2, 6}}, {{2, ChannelField::Quantity, "CO", "code 6"}}},
      // The same 50 degrees under TGas's scale 1 and TRaum's 10: the quantity tells it all.
      {"word follows quantity",
       {{ch3 + 3, 0}, {ch3 + 4, 50}},
       {{ch3, 7}, {ch3 + 3, 0x01}, {ch3 + 4, 0xF4}},
       {{3, ChannelField::Quantity, "TGas", "TRaum"}}},
      // Channel 4's bit alone: its offset and range bytes are the same, so only the unit differs.
      {"unit bit", {}, {{0, 0x55 ^ 0x08}}, {{4, ChannelField::Unit, "mA", "V"}}},
      {"unit bit and offset",
       {},
       {{0, 0x54}, {ch1 + 1, 15}},
       {{1, ChannelField::Unit, "V", "mA"}, {1, ChannelField::Offset, "0.5 V", "1.5 mA"}}},
  };
  for (const Case& c : cases) {
    ConfigImage window = kKnownImage;
    ConfigImage card = kKnownImage;
    for (const Change& change : c.window) window[change.address] = change.value;
    for (const Change& change : c.card) card[change.address] = change.value;
    EXPECT_EQ(CompareImages(window, card), c.expected) << c.what;
  }
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
