// Tests of Load configuration and Save configuration: the file's layout both ways, dialogs,
// remembered name, the check before a save.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/app_context.h"
#include "core/channel_editing.h"
#include "core/channel_panel.h"
#include "procedures/load_configuration.h"
#include "procedures/save_configuration.h"
#include "tests/storage/kfg_file_fixture.h"
#include "tests/storage/storage_test_support.h"
#include "tests/support/fake_operator.h"
#include "tests/support/panel_setup.h"

namespace quorvex {
namespace {

using testing::FilledPanel;
using testing::KfgFileTest;
using testing::kKnownBytes;
using testing::KnownPanel;
using testing::kVolts;
using testing::MessageOf;
using testing::ReadFileBytes;
using testing::Snapshot;
using testing::WriteFileBytes;

TEST_F(KfgFileTest, SavedConfigurationHasTheHandWrittenLayout) {
  MemoryPanel panel = KnownPanel();
  SaveKfgFile(panel, op_, ctx_, dir_ / "Boiler1.kfg");
  EXPECT_EQ(ReadFileBytes(dir_ / "Boiler1.kfg"), kKnownBytes);
  EXPECT_EQ(op_.Statuses(), std::vector<std::string>{"Configuration stored under BOILER1.KFG "});
  EXPECT_EQ(panel.Text("ELabel1"), "%");  // refreshed after the save
  EXPECT_EQ(dir_.Entries(), std::vector<std::string>{"Boiler1.kfg"});
}

TEST_F(KfgFileTest, LoadingTheLayoutRestoresEveryChannel) {
  // A longer file loads like its first 41 bytes.
  WriteFileBytes(dir_ / "test.kfg", kKnownBytes + std::string(19, '\xFF'));
  MemoryPanel panel = FilledPanel("0");
  LoadKfgFile(panel, op_, ctx_, dir_ / "test.kfg");
  MemoryPanel expected = KnownPanel();
  RefreshAllChannels(expected);
  EXPECT_EQ(Snapshot(panel), Snapshot(expected));
  EXPECT_EQ(panel.Text("MessEdit2"), "1000");  // word 03 E8, high byte first
  EXPECT_EQ(panel.Text("MessEdit4"), "5.00");  // word 01 F4 over the scale 100
  EXPECT_EQ(panel.Text("Edit8"), "0.4");       // 4 steps of a mA channel
  EXPECT_EQ(panel.Text("BereichEdit3"), "10.2");
  EXPECT_EQ(op_.Statuses(), std::vector<std::string>{"Configuration TEST.KFG loaded"});

  // And what is saved from the loaded panel is the same file again.
  SaveKfgFile(panel, op_, ctx_, dir_ / "again.kfg");
  EXPECT_EQ(ReadFileBytes(dir_ / "again.kfg"), kKnownBytes);
}

// The menu commands.

TEST_F(KfgFileTest, ShortFileChangesOnlyTheRememberedName) {
  WriteFileBytes(dir_ / "short.kfg", kKnownBytes.substr(0, 20));
  MemoryPanel panel = FilledPanel("0");
  const auto before = Snapshot(panel);
  std::string remembered = "C:\\";
  op_.fileAnswers.push_back(dir_ / "short.kfg");
  EXPECT_EQ(MessageOf([&] { Konfigurationladen1Click(panel, op_, ctx_, remembered); }),
            "Read beyond end of file");
  EXPECT_EQ(remembered, dir_ / "short.kfg");
  EXPECT_EQ(Snapshot(panel), before);
  EXPECT_TRUE(op_.Statuses().empty());
}

TEST_F(KfgFileTest, CancelChangesNothing) {
  MemoryPanel panel = KnownPanel();
  const auto before = Snapshot(panel);
  std::string remembered = "C:\\";
  op_.fileAnswers = {std::nullopt, std::nullopt};
  Konfigurationladen1Click(panel, op_, ctx_, remembered);
  Konfigurationspeichern1Click(panel, op_, ctx_, remembered);
  EXPECT_EQ(op_.log,
            (std::vector<std::string>{"open:Load configuration", "save:Store configuration"}));
  EXPECT_EQ(remembered, "C:\\");
  EXPECT_EQ(Snapshot(panel), before);
  EXPECT_TRUE(dir_.Entries().empty());
}

TEST_F(KfgFileTest, DialogsStartAtTheRememberedFileOnlyWhileItExists) {
  MemoryPanel panel = KnownPanel();
  std::string remembered = "C:\\";
  op_.fileAnswers = {dir_ / "Plant"};  // typed without an extension
  Konfigurationspeichern1Click(panel, op_, ctx_, remembered);
  EXPECT_EQ(remembered, dir_ / "Plant.KFG");
  EXPECT_EQ(ReadFileBytes(dir_ / "Plant.KFG"), kKnownBytes);
  EXPECT_EQ(op_.LastStatus(), "Configuration stored under PLANT.KFG ");

  Konfigurationladen1Click(panel, op_, ctx_, remembered);  // cancelled
  remembered = dir_.Path();                                // a folder is no file
  Konfigurationladen1Click(panel, op_, ctx_, remembered);

  ASSERT_EQ(op_.fileRequests.size(), 3u);
  const FileDialogRequest& first = op_.fileRequests[0];
  EXPECT_EQ(first.title, "Store configuration");
  EXPECT_EQ(first.filter, "Configuration (*.KFG)|*.KFG");
  EXPECT_EQ(first.defaultExtension, "KFG");
  EXPECT_EQ(first.initialFolder, "");
  EXPECT_EQ(first.initialName, "");
  const FileDialogRequest& second = op_.fileRequests[1];
  EXPECT_EQ(second.title, "Load configuration");
  EXPECT_EQ(second.filter, "Configuration (*.KFG)|*.KFG");
  EXPECT_EQ(second.initialFolder, dir_.Path());
  EXPECT_EQ(second.initialName, "Plant.KFG");
  EXPECT_EQ(op_.fileRequests[2].initialFolder, "");
  EXPECT_EQ(op_.fileRequests[2].initialName, "");
}

TEST_F(KfgFileTest, FailedCheckShowsNoDialog) {
  MemoryPanel panel = KnownPanel();
  panel.SetItemIndex("EinheitBox2", kVolts);
  panel.SetText("Edit2", "2.6");
  std::string remembered = "C:\\";
  op_.fileAnswers = {dir_ / "x.kfg"};
  Konfigurationspeichern1Click(panel, op_, ctx_, remembered);
  EXPECT_EQ(op_.Boxes(), std::vector<std::string>{
                             "Configuration error Channel 2|Channel 2: Offset not in range between "
                             "0 and 2.5 V|error"});
  EXPECT_TRUE(op_.fileRequests.empty());

  panel.SetText("Edit2", "abc");  // no number at all: the check's conversion error ends it
  EXPECT_EQ(MessageOf([&] { Konfigurationspeichern1Click(panel, op_, ctx_, remembered); }),
            "'abc' is not a valid floating point value");
  EXPECT_TRUE(op_.fileRequests.empty());
  EXPECT_EQ(remembered, "C:\\");
  EXPECT_TRUE(dir_.Entries().empty());
}

}  // namespace
}  // namespace quorvex
