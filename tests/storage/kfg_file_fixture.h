// The .KFG tests' shared known bytes, known panel and fixture.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "core/app_context.h"
#include "core/channel_panel.h"
#include "core/text_set.h"
#include "tests/support/fake_operator.h"
#include "tests/support/panel_setup.h"
#include "tests/support/temp_folder.h"

// What the .KFG tests share, on every platform and on POSIX only.
namespace quorvex::testing {

inline const std::string kKnownBytes(kKnownImage.begin(), kKnownImage.end());

// The known configuration as typed, before anything re-displayed it.
inline MemoryPanel KnownPanel() {
  MemoryPanel panel = FilledPanel("0");
  testing::SetConfiguration(panel, testing::kKnownConfiguration);
  return panel;
}

inline AppContext EnglishContext() {
  AppContext ctx;
  ctx.texts = EnglishTextSet();
  return ctx;
}

class KfgFileTest : public ::testing::Test {
 protected:
  KfgFileTest() { dir_.OpenToEveryone(); }

  TempFolder dir_;
  FakeOperator op_;
  AppContext ctx_ = EnglishContext();
};

}  // namespace quorvex::testing
