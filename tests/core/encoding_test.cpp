// Tests of the card's encodings: KonfigByte, output bytes, MessbereichsWord, whole image.
#include "core/encoding.h"

#include <gtest/gtest.h>

#include "core/channel_editing.h"
#include "core/config_image.h"
#include "core/errors.h"
#include "tests/support/panel_setup.h"

namespace quorvex {
namespace {

using namespace testing;

TEST(KonfigByte, OneBitPerVoltChannel) {
  MemoryPanel panel = FilledPanel();
  EXPECT_EQ(EncodeKonfigByte(panel), 0x00);
  panel.SetItemIndex("EinheitBox1", kVolts);
  EXPECT_EQ(EncodeKonfigByte(panel), 0x01);
  panel.SetItemIndex("EinheitBox1", kMilliamps);
  panel.SetItemIndex("EinheitBox8", kVolts);
  EXPECT_EQ(EncodeKonfigByte(panel), 0x80);
  for (int n = 1; n <= 8; ++n) panel.SetItemIndex(ComponentName("EinheitBox", n), kVolts);
  EXPECT_EQ(EncodeKonfigByte(panel), 0xFF);
  panel.SetItemIndex("EinheitBox3", kNoUnit);
  EXPECT_EQ(EncodeKonfigByte(panel), 0xFB);
}

TEST(KonfigByte, DecodeSelectsVoltsOrMilliamps) {
  MemoryPanel panel = FilledPanel();
  panel.SetItemIndex("EinheitBox2", kNoUnit);
  DecodeKonfigByte(panel, 0xA5);
  const char* expected[] = {"V", "mA", "V", "mA", "mA", "V", "mA", "V"};
  for (int n = 1; n <= 8; ++n) {
    EXPECT_EQ(panel.Text(ComponentName("EinheitBox", n)), expected[n - 1]) << n;
  }
  EXPECT_EQ(EncodeKonfigByte(panel), 0xA5);
}

// A read that stops part-way sets the unit of each channel it read, and only that one.
TEST(KonfigByte, UnitBitSetsOnlyItsChannel) {
  MemoryPanel panel = FilledPanel();
  DecodeUnitBit(panel, 3, 0x04);
  EXPECT_EQ(EncodeKonfigByte(panel), 0x04);
  DecodeUnitBit(panel, 8, 0xFF);
  EXPECT_EQ(EncodeKonfigByte(panel), 0x84);
  DecodeUnitBit(panel, 3, 0xFB);
  EXPECT_EQ(EncodeKonfigByte(panel), 0x80);
  EXPECT_EQ(panel.Text("EinheitBox3"), "mA");
}

TEST(OutputBytes, StepsOfBothUnits) {
  MemoryPanel panel = FilledPanel();
  SetChannel(panel, 1, "CO", kVolts, "2.5", "10.2", "0");
  SetChannel(panel, 2, "CO", kMilliamps, "5.0", "20.4", "0");
  EXPECT_EQ(EncodeOffsetByte(panel, 1), 50);
  EXPECT_EQ(EncodeBereichsByte(panel, 1), 204);
  EXPECT_EQ(EncodeOffsetByte(panel, 2), 50);
  EXPECT_EQ(EncodeBereichsByte(panel, 2), 204);
  EXPECT_EQ(UnitFactor(panel, 1), 2);
  EXPECT_EQ(UnitFactor(panel, 2), 1);
}

TEST(OutputBytes, TiesGoToTheEvenStep) {
  MemoryPanel panel = FilledPanel();
  SetChannel(panel, 1, "CO", kVolts, "0.125", "0.375", "0");
  EXPECT_EQ(EncodeOffsetByte(panel, 1), 2);
  EXPECT_EQ(EncodeBereichsByte(panel, 1), 8);
}

TEST(OutputBytes, NothingSelectedCountsAsMilliamps) {
  MemoryPanel panel = FilledPanel();
  SetChannel(panel, 1, "CO", kNoUnit, "2.5", "10.2", "0");
  EXPECT_EQ(UnitFactor(panel, 1), 1);
  EXPECT_EQ(EncodeOffsetByte(panel, 1), 25);
  EXPECT_EQ(EncodeBereichsByte(panel, 1), 102);
  EXPECT_EQ(EncodeKonfigByte(panel), 0x00);
}

TEST(OutputBytes, ValuesBeyondTheWidthWrap) {
  MemoryPanel panel = FilledPanel();
  SetChannel(panel, 1, "CO", kVolts, "12.8", "-0.05", "65536");
  EXPECT_EQ(EncodeOffsetByte(panel, 1), 0);
  EXPECT_EQ(EncodeBereichsByte(panel, 1), 0xFF);
  EXPECT_EQ(EncodeMessbereichsWord(panel, 1), 0);
  panel.SetText("MessEdit1", "65537");
  EXPECT_EQ(EncodeMessbereichsWord(panel, 1), 1);
}

TEST(Encoders, BadTextsThrow) {
  MemoryPanel panel = FilledPanel();
  SetChannel(panel, 1, "CO", kVolts, "2,5", "", "1e30");
  EXPECT_THROW(EncodeOffsetByte(panel, 1), ConversionError);
  EXPECT_THROW(EncodeBereichsByte(panel, 1), ConversionError);
  EXPECT_THROW(EncodeMessbereichsWord(panel, 1), InvalidFloatOperationError);
}

TEST(MessbereichsWord, ScaledByTheQuantity) {
  MemoryPanel panel = FilledPanel();
  SetChannel(panel, 1, "O2", kVolts, "0", "0", "30");
  SetChannel(panel, 2, "CO", kVolts, "0", "0", "63000");
  SetChannel(panel, 3, "Lambda", kVolts, "0", "0", "50");
  SetChannel(panel, 4, "", kVolts, "0", "0", "123.5");
  EXPECT_EQ(EncodeMessbereichsWord(panel, 1), 300);
  EXPECT_EQ(EncodeMessbereichsWord(panel, 2), 63000);
  EXPECT_EQ(EncodeMessbereichsWord(panel, 3), 5000);
  EXPECT_EQ(EncodeMessbereichsWord(panel, 4), 124);  // scale 1, tie to even
  EXPECT_EQ(EncodeGasByte(panel, 4), 255);
  EXPECT_EQ(EncodeGasByte(panel, 1), 0);
}

TEST(Decoders, OutputBytesDependOnTheCurrentUnit) {
  MemoryPanel panel = FilledPanel();
  SetChannel(panel, 1, "CO", kVolts, "", "", "");
  SetChannel(panel, 2, "CO", kMilliamps, "", "", "");
  DecodeOffsetByte(panel, 1, 25);
  DecodeOffsetByte(panel, 2, 25);
  DecodeBereichsByte(panel, 1, 204);
  DecodeBereichsByte(panel, 2, 204);
  EXPECT_EQ(panel.Text("Edit1"), "1.25");
  EXPECT_EQ(panel.Text("Edit2"), "2.5");
  EXPECT_EQ(panel.Text("BereichEdit1"), "10.2");
  EXPECT_EQ(panel.Text("BereichEdit2"), "20.4");
  DecodeOffsetByte(panel, 1, 1);
  EXPECT_EQ(panel.Text("Edit1"), "0.05");
}

TEST(Decoders, GasByteSelectsByCodeOrNothing) {
  MemoryPanel panel = FilledPanel();
  DecodeGasByte(panel, 1, 7);
  EXPECT_EQ(panel.Text("ComboBox1"), "TRaum");
  EXPECT_EQ(panel.ItemIndex("ComboBox1"), 6);
  for (int g : {6, 12, 13, 18, 255}) {
    DecodeGasByte(panel, 1, static_cast<std::uint8_t>(g));
    EXPECT_EQ(panel.ItemIndex("ComboBox1"), -1) << g;
  }
}

TEST(Decoders, WordUsesTheQuantitySelectedAtThatMoment) {
  MemoryPanel panel = FilledPanel();
  SetChannel(panel, 1, "Lambda", kVolts, "", "", "");
  DecodeMessbereichsWord(panel, 1, 5000);
  EXPECT_EQ(panel.Text("MessEdit1"), "50");
  DecodeMessbereichsWord(panel, 1, 65535);
  EXPECT_EQ(panel.Text("MessEdit1"), "655.35");

  // Word before quantity divides by the old quantity's scale: O2 (10) instead of CO (1).
  SetChannel(panel, 2, "O2", kVolts, "", "", "");
  DecodeMessbereichsWord(panel, 2, 300);
  DecodeGasByte(panel, 2, 1);
  EXPECT_EQ(panel.Text("MessEdit2"), "30");
  // The channel decoder takes the quantity first.
  SetChannel(panel, 2, "O2", kVolts, "", "", "");
  const std::uint8_t bytes[5] = {1, 0, 0, 0x01, 0x2C};
  ApplyChannel(panel, 2, bytes);
  EXPECT_EQ(panel.Text("ComboBox2"), "CO");
  EXPECT_EQ(panel.Text("MessEdit2"), "300");
}

// Offsets and ranges are shown with one decimal, so half steps of a volt channel are lost when
// a configuration is read and written back.
TEST(Decoders, OddVoltStepsDoNotSurviveTheReformat) {
  MemoryPanel panel = FilledPanel();
  SetChannel(panel, 1, "CO", kVolts, "", "", "0");
  for (auto [read, shown, written] : {std::tuple{1, "0.1", 2}, std::tuple{7, "0.3", 6}}) {
    DecodeOffsetByte(panel, 1, static_cast<std::uint8_t>(read));
    FormatChannel(panel, 1);
    EXPECT_EQ(panel.Text("Edit1"), shown);
    EXPECT_EQ(EncodeOffsetByte(panel, 1), written);
  }
}

TEST(Decoders, RoomTemperatureLosesItsDecimal) {
  MemoryPanel panel = FilledPanel();
  SetChannel(panel, 1, "TRaum", kVolts, "0", "0", "");
  DecodeMessbereichsWord(panel, 1, 215);
  EXPECT_EQ(panel.Text("MessEdit1"), "21.5");
  FormatChannel(panel, 1);
  EXPECT_EQ(panel.Text("MessEdit1"), "22");
  EXPECT_EQ(EncodeMessbereichsWord(panel, 1), 220);
}

TEST(ConfigImage, HandMadeImageSurvivesApplyRefreshAndEncode) {
  // KonfigByte 0xA5: channels 1, 3, 6, 8 in volts.
  const ConfigImage image = {
      0xA5, 0,  0,   200,  0x01, 0x2C,  // 1 O2, 0.0 V, 10.0 V, 30.0
      1,    50, 204, 0xF6, 0x18,        // 2 CO, 5.0 mA, 20.4 mA, 63000
      3,    10, 100, 0x13, 0x88,        // 3 Lambda, 0.5 V, 5.0 V, 50.00
      7,    0,  40,  0x00, 0xDC,        // 4 TRaum, 0.0 mA, 4.0 mA, 22
      17,   20, 160, 0xFD, 0xE8,        // 5 Sens6, 2.0 mA, 16.0 mA, 65000
      16,   2,  2,   0x00, 0x00,        // 6 Verluste, 0.1 V, 0.1 V, 0.0
      2,    1,  1,   0x00, 0x01,        // 7 TGas, 0.1 mA, 0.1 mA, 1
      14,   48, 202, 0x27, 0x10,        // 8 H2, 2.4 V, 10.1 V, 10000
  };
  MemoryPanel panel = FilledPanel();
  ApplyConfiguration(panel, image);
  RefreshAllChannels(panel);

  EXPECT_EQ(panel.Text("ComboBox3"), "Lambda");
  EXPECT_EQ(panel.Text("MessEdit3"), "50.00");
  EXPECT_EQ(panel.Text("ELabel3"), "");
  EXPECT_EQ(panel.Text("ELabel4"),
            "\xC2\xB0"
            "C");
  EXPECT_EQ(panel.Text("EinheitBox6"), "V");
  EXPECT_EQ(panel.Text("Edit8"), "2.4");
  EXPECT_EQ(panel.Text("BereichEdit2"), "20.4");
  EXPECT_EQ(panel.Text("MessEdit1"), "30.0");

  EXPECT_EQ(EncodeConfiguration(panel), image);
}

TEST(ConfigImage, LayoutOfTheEncodedBytes) {
  MemoryPanel panel = FilledPanel();
  for (int n = 1; n <= 8; ++n) SetChannel(panel, n, "CO", kMilliamps, "0", "0", "0");
  SetChannel(panel, 5, "NOx", kVolts, "1.5", "7", "4660");
  const ConfigImage image = EncodeConfiguration(panel);
  EXPECT_EQ(image[0], 0x10);
  EXPECT_EQ(ChannelOffset(5), 21u);
  EXPECT_EQ(image[21], 15);
  EXPECT_EQ(image[22], 30);
  EXPECT_EQ(image[23], 140);
  EXPECT_EQ(image[24], 0x12);
  EXPECT_EQ(image[25], 0x34);
  EXPECT_EQ(image[40], 0);
  EXPECT_EQ(image[36], 1);  // channel 8 GasByte, CO
}

}  // namespace
}  // namespace quorvex
