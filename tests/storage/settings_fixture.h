// The settings tests' shared panel and fixture.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "core/app_context.h"
#include "core/channel_panel.h"
#include "tests/support/panel_setup.h"
#include "tests/support/temp_folder.h"

// What the settings tests share, on every platform and on POSIX only.
namespace quorvex::testing {

// Lists filled and every field still holding a text that no setting restores.
inline MemoryPanel FilledSettingsPanel() {
  return testing::FilledPanel("design");
}

class SettingsTest : public ::testing::Test {
 protected:
  SettingsTest() { dir_.OpenToEveryone(); }

  TempFolder dir_;
  std::string path_ = dir_ / "quorvex.ini";
  MemoryPanel panel_ = FilledSettingsPanel();
  AppContext ctx_;
};

}  // namespace quorvex::testing
