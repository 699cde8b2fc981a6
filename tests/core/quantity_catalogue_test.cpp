// Tests of the quantity table: units, codes, scales, formats and the filled lists.
#include "core/quantity_catalogue.h"

#include <gtest/gtest.h>

#include "core/channel_panel.h"

namespace quorvex {
namespace {

TEST(QuantityCatalogue, UnitsIncludingEmptyAndDegree) {
  EXPECT_EQ(QuantityUnit("O2"), "%");
  EXPECT_EQ(QuantityUnit("CO"), "ppm");
  EXPECT_EQ(QuantityUnit("Lambda"), "");
  EXPECT_EQ(QuantityUnit("TGas"),
            "\xC2\xB0"
            "C");
  EXPECT_EQ(QuantityUnit("TRaum"),
            "\xC2\xB0"
            "C");
  EXPECT_EQ(QuantityUnit(""), "?");
}

TEST(QuantityCatalogue, NameMatchingIsExact) {
  for (const char* name : {"o2", "O2 ", " O2", "", "Sens"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(QuantityUnit(name), "?");
    EXPECT_EQ(QuantityFormat(name), "");
    EXPECT_EQ(QuantityScale(name), 1.0L);
    EXPECT_EQ(QuantityCode(name), 255);
  }
}

TEST(QuantityCatalogue, CodesScalesAndFormats) {
  EXPECT_EQ(QuantityCode("O2"), 0);
  EXPECT_EQ(QuantityCode("TRaum"), 7);
  EXPECT_EQ(QuantityCode("Sens6"), 17);
  EXPECT_EQ(QuantityScale("Lambda"), 100.0L);
  EXPECT_EQ(QuantityScale("TRaum"), 10.0L);
  EXPECT_EQ(QuantityScale("CO"), 1.0L);
  EXPECT_EQ(QuantityFormat("Lambda"), "%1.2f");
  EXPECT_EQ(QuantityFormat("TRaum"), "%1.0f");
  EXPECT_EQ(QuantityFormat("Verluste"), "%1.1f");
}

TEST(QuantityCatalogue, NameOfCode) {
  EXPECT_EQ(QuantityName(7), "TRaum");
  EXPECT_EQ(QuantityName(0), "O2");
  EXPECT_EQ(QuantityName(17), "Sens6");
  for (int code : {6, 12, 13, 18, 255, -1}) EXPECT_EQ(QuantityName(code), "") << code;
}

TEST(QuantityCatalogue, EveryCodeLeadsBackToItsName) {
  ASSERT_EQ(QuantityCatalogue().size(), 15u);
  for (const QuantityRow& row : QuantityCatalogue()) {
    EXPECT_EQ(QuantityName(QuantityCode(row.name)), row.name);
  }
}

TEST(QuantityCatalogue, FillListsSelectSecondEntry) {
  MemoryPanel panel;
  panel.SetItems("ComboBox4", {"stale"});
  panel.SetItemIndex("ComboBox4", 0);
  FillQuantityList(panel, "ComboBox4");
  const auto items = panel.Items("ComboBox4");
  ASSERT_EQ(items.size(), 15u);
  EXPECT_EQ(items.front(), "O2");
  EXPECT_EQ(items.back(), "Sens6");
  EXPECT_EQ(panel.Text("ComboBox4"), "CO");

  FillUnitList(panel, "EinheitBox2");
  EXPECT_EQ(panel.Items("EinheitBox2"), (std::vector<std::string>{"V", "mA"}));
  EXPECT_EQ(panel.Text("EinheitBox2"), "mA");
}

}  // namespace
}  // namespace quorvex
