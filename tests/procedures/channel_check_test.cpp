// Tests of the channel check: each unit's limits, the measurement word, the box and the focus.
#include "procedures/channel_check.h"

#include <gtest/gtest.h>

#include "core/app_context.h"
#include "core/channel_panel.h"
#include "core/errors.h"
#include "tests/support/fake_operator.h"
#include "tests/support/panel_setup.h"

namespace quorvex {
namespace {

using namespace testing;

class Validation : public ::testing::Test {
 protected:
  Validation() : panel(FilledPanel()) {
    ctx.texts = EnglishTextSet();
    for (int n = 1; n <= 8; ++n) SetChannel(panel, n, "CO", kMilliamps, "0.0", "20.0", "1000");
  }

  // Whether channel n passes on its own, with the boxes it showed.
  bool Check(int n) {
    ctx.errorChannel = n;
    return ValidateChannel(panel, op, ctx, n);
  }

  MemoryPanel panel;
  testing::FakeOperator op;
  AppContext ctx;
};

TEST_F(Validation, FirstFailingChannelIsReportedAndTheRestSkipped) {
  SetChannel(panel, 2, "CO", kVolts, "2.6", "5.0", "100");
  SetChannel(panel, 3, "CO", kVolts, "not a number", "99", "-5");
  EXPECT_FALSE(ValidateAllChannels(panel, op, ctx));
  EXPECT_EQ(ctx.errorChannel, 2);
  EXPECT_EQ(panel.Focused(), "Edit2");
  EXPECT_EQ(op.Boxes(), (std::vector<std::string>{
                            "Configuration error Channel 2|Channel 2: Offset not in range between "
                            "0 and 2.5 V|error"}));

  op.log.clear();
  panel.SetText("Edit2", "2.5");
  panel.SetText("Edit3", "0");
  panel.SetText("BereichEdit3", "0");
  panel.SetText("MessEdit3", "0");
  EXPECT_TRUE(ValidateAllChannels(panel, op, ctx));
  EXPECT_TRUE(op.Boxes().empty());
  EXPECT_EQ(ctx.errorChannel, 8);
}

TEST_F(Validation, OffsetAndRangeLimitsAreInclusive) {
  struct Case {
    int unit;
    const char* offset;
    const char* range;
    bool passes;
  };
  const Case cases[] = {
      {kVolts, "2.5", "10.2", true},     {kVolts, "0", "0", true},
      {kVolts, "2.51", "1", false},      {kVolts, "1", "10.3", false},
      {kVolts, "3.0", "1", false},       {kMilliamps, "3.0", "1", true},
      {kMilliamps, "5.0", "20.4", true}, {kMilliamps, "5.01", "1", false},
      {kMilliamps, "1", "20.5", false},  {kMilliamps, "-0.01", "1", false},
      {kVolts, "1", "-1e-30", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.offset) + " / " + c.range + (c.unit == kVolts ? " V" : " mA"));
    SetChannel(panel, 4, "CO", c.unit, c.offset, c.range, "100");
    EXPECT_EQ(Check(4), c.passes);
  }
}

TEST_F(Validation, MessagesAndFocusPerUnit) {
  SetChannel(panel, 3, "CO", kVolts, "1", "10.3", "100");
  EXPECT_FALSE(Check(3));
  SetChannel(panel, 5, "CO", kMilliamps, "5.1", "20.5", "100");  // offset wins over range
  EXPECT_FALSE(Check(5));
  EXPECT_EQ(panel.Focused(), "Edit5");
  SetChannel(panel, 6, "CO", kMilliamps, "1", "21", "100");
  EXPECT_FALSE(Check(6));
  EXPECT_EQ(panel.Focused(), "BereichEdit6");
  EXPECT_EQ(op.Boxes(),
            (std::vector<std::string>{
                "Configuration error Channel 3|Channel 3: Range not between 0 and 10.2 V|error",
                "Configuration error Channel 5|Channel 5: Offset not in range between 0 and 5.0 "
                "mA|error",
                "Configuration error Channel 6|Channel 6: Range not between 0 and 20.4 mA|error"}));
}

TEST_F(Validation, MeasurementRangeByItsWord) {
  struct Case {
    const char* quantity;
    const char* measurement;
    bool passes;
  };
  const Case cases[] = {
      {"O2", "6500", true},    {"O2", "6500.1", false},     {"CO", "65000", true},
      {"CO", "65001", false},  {"CO", "65000.5", true},  // rounds to the even 65000
      {"Lambda", "650", true}, {"Lambda", "650.01", false}, {"CO", "-1", false},
      {"", "65000", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.quantity) + " " + c.measurement);
    SetChannel(panel, 7, c.quantity, kVolts, "1", "1", c.measurement);
    panel.Focus("ComboBox1");
    op.log.clear();
    EXPECT_EQ(Check(7), c.passes);
    if (!c.passes) {
      EXPECT_EQ(op.Boxes(), (std::vector<std::string>{"Configuration error Channel 7|Channel 7: "
                                                      "Invalid measurement range|error"}));
      EXPECT_EQ(panel.Focused(), "ComboBox1");
    }
  }
}

TEST_F(Validation, NoUnitSkipsOffsetAndRangeButStillConverts) {
  SetChannel(panel, 1, "CO", kNoUnit, "99", "999", "100");
  EXPECT_TRUE(Check(1));
  SetChannel(panel, 1, "CO", kNoUnit, "99", "999", "70000");
  EXPECT_FALSE(Check(1));
  SetChannel(panel, 1, "CO", kNoUnit, "x", "999", "100");
  EXPECT_THROW(Check(1), ConversionError);
}

TEST_F(Validation, UnusableTextsEndTheCheckWithoutABox) {
  // The measurement text is converted before the offset is compared.
  SetChannel(panel, 1, "", kVolts, "9", "1", "");
  try {
    Check(1);
    ADD_FAILURE() << "empty text accepted";
  } catch (const ConversionError& e) {
    EXPECT_STREQ(e.what(), "'' is not a valid floating point value");
  }
  SetChannel(panel, 1, "CO", kVolts, "1e999", "1", "1");
  EXPECT_THROW(Check(1), FloatOverflowError);
  SetChannel(panel, 1, "CO", kVolts, "1", "1e99999", "1");
  EXPECT_THROW(Check(1), ConversionError);
  SetChannel(panel, 1, "CO", kVolts, "1", "1", "1e30");
  EXPECT_THROW(Check(1), InvalidFloatOperationError);
  EXPECT_TRUE(op.Boxes().empty());
}

}  // namespace
}  // namespace quorvex
