// Tests of the settings file at start and exit, its path and the DEBUG switch.
#include "storage/settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/app_context.h"
#include "core/channel_panel.h"
#include "storage/profile.h"
#include "tests/storage/settings_fixture.h"
#include "tests/storage/storage_test_support.h"
#include "tests/support/panel_setup.h"
#include "tests/support/temp_folder.h"

namespace quorvex {
namespace {

using testing::FilledSettingsPanel;
using testing::MessageOf;
using testing::ReadFileBytes;
using testing::SettingsTest;
using testing::TempFolder;
using testing::WriteFileBytes;

std::vector<int> Selections(const ChannelPanel& panel, const char* stem) {
  std::vector<int> indexes;
  for (int n = 1; n <= 8; ++n) indexes.push_back(panel.ItemIndex(ComponentName(stem, n)));
  return indexes;
}

std::vector<std::string> Texts(const ChannelPanel& panel, const char* stem) {
  std::vector<std::string> texts;
  for (int n = 1; n <= 8; ++n) texts.push_back(panel.Text(ComponentName(stem, n)));
  return texts;
}

// A file the program writes afresh ends its lines the platform's way, as a fresh profile shows.
std::string WithNewLines(const std::string& text) {
  Profile fresh;
  fresh.WriteString("S", "k", "v");
  const std::string content = fresh.Content();
  const std::string newLine = content.substr(3, content.find('k') - 3);
  std::string converted;
  for (const char c : text) converted += c == '\n' ? newLine : std::string(1, c);
  return converted;
}

// The eight keys of a channel section, all with the same value.
std::string ChannelSection(const std::string& name, const std::string& value) {
  std::string text = "[" + name + "]\n";
  for (int n = 1; n <= 8; ++n) text += std::to_string(n) + "=" + value + "\n";
  return text;
}

TEST_F(SettingsTest, FirstRunAndFirstExit) {
  ctx_.comPortNumber = 0;
  WindowState window = RestoreSettings(path_, panel_, ctx_);
  EXPECT_EQ(ctx_.comPortNumber, -1);
  EXPECT_EQ(Selections(panel_, "ComboBox"), std::vector<int>(8, 1));
  EXPECT_EQ(Selections(panel_, "EinheitBox"), std::vector<int>(8, 1));
  for (const char* stem : {"Edit", "BereichEdit", "MessEdit"}) {
    EXPECT_EQ(Texts(panel_, stem), std::vector<std::string>(8, "0")) << stem;
  }
  EXPECT_EQ(window.width, 0);
  EXPECT_EQ(window.height, 0);
  EXPECT_EQ(window.rememberedFileName, "C:\\");
  EXPECT_FALSE(testing::FileExists(path_));  // reading creates nothing

  window.width = 598;
  window.height = 410;
  window.languageNumber = kEnglishLanguageNumber;
  SaveSettings(path_, panel_, ctx_, window);
  EXPECT_EQ(ReadFileBytes(path_),
            WithNewLines("[Main]\nCOM=-1\nWidth=598\nHeight=410\nFilename=C:\\\nSprache=2\n" +
                         ChannelSection("ComboBox", "1") + ChannelSection("EinheitBox", "1") +
                         ChannelSection("Offset", "0") + ChannelSection("Bereich", "0") +
                         ChannelSection("Mess", "0")));
  EXPECT_EQ(dir_.Entries(), std::vector<std::string>{"quorvex.ini"});
}

TEST_F(SettingsTest, WhatIsSavedIsRestored) {
  ctx_.comPortNumber = 3;
  for (int n = 1; n <= 8; ++n) {
    panel_.SetItemIndex(ComponentName("ComboBox", n), 15 - n);
    panel_.SetItemIndex(ComponentName("EinheitBox", n), n % 2);
    panel_.SetText(ComponentName("Edit", n), std::to_string(n) + ".5");
    panel_.SetText(ComponentName("BereichEdit", n), " " + std::to_string(n));
    panel_.SetText(ComponentName("MessEdit", n), "\"" + std::to_string(n * 100) + "\"");
  }
  panel_.SetItemIndex("ComboBox3", -1);  // written back as -1, restored as no selection
  panel_.SetText("Edit1", "abc");        // texts are kept as they stand, valid or not
  panel_.SetText("MessEdit8", "");
  WindowState window{.width = 800,
                     .height = 500,
                     .rememberedFileName = "/home/tech/plant data/Boiler 1.KFG",
                     .languageNumber = 2,
                     .recentFiles = {}};
  SaveSettings(path_, panel_, ctx_, window);

  MemoryPanel restored = FilledSettingsPanel();
  AppContext restoredCtx;
  const WindowState restoredWindow = RestoreSettings(path_, restored, restoredCtx);
  EXPECT_EQ(restoredCtx.comPortNumber, 3);
  for (const char* stem : {"ComboBox", "EinheitBox"}) {
    EXPECT_EQ(Selections(restored, stem), Selections(panel_, stem)) << stem;
  }
  for (const char* stem : {"Edit", "BereichEdit", "MessEdit"}) {
    EXPECT_EQ(Texts(restored, stem), Texts(panel_, stem)) << stem;
  }
  EXPECT_EQ(restoredWindow.width, 800);
  EXPECT_EQ(restoredWindow.height, 500);
  EXPECT_EQ(restoredWindow.rememberedFileName, window.rememberedFileName);
}

TEST_F(SettingsTest, DamagedFileRestoresWhatIsUsable) {
  std::string garbage;
  for (int i = 0; i < 2000; ++i) garbage += static_cast<char>((i * 37 + 11) % 256);
  WriteFileBytes(path_,
                 "[main]\r\n"
                 "com = 0x5\r\n"
                 "Width=abc\r\n"
                 "Height=-20\r\n"
                 "Sprache=7\r\n"
                 "no equals sign here\r\n"
                 "[ComboBox]\r\n"
                 "1=abc\r\n"
                 "2=0x5\r\n"
                 "3=20\r\n"
                 "4=-1\r\n"
                 "5=  7  \r\n"
                 "6=\"5\"\r\n"
                 "6=9\r\n"
                 "7=1.5\r\n"
                 "8=0\r\n" +
                     garbage + "\r\n" + std::string(1 << 20, 'x') +
                     "\r\n"
                     "[Offset]\r\n"
                     "1=abc\r\n"
                     "2=\r\n"
                     "[EinheitBox]\r\n"
                     "1=0\r\n"
                     "2=5");  // no final line break
  const WindowState window = RestoreSettings(path_, panel_, ctx_);
  EXPECT_EQ(ctx_.comPortNumber, 5);
  EXPECT_EQ(Selections(panel_, "ComboBox"), (std::vector<int>{1, 5, -1, -1, 7, 5, 1, 0}));
  EXPECT_EQ(Selections(panel_, "EinheitBox"), (std::vector<int>{0, -1, 1, 1, 1, 1, 1, 1}));
  EXPECT_EQ(Texts(panel_, "Edit"),
            (std::vector<std::string>{"abc", "", "0", "0", "0", "0", "0", "0"}));
  EXPECT_EQ(Texts(panel_, "BereichEdit"), std::vector<std::string>(8, "0"));
  EXPECT_EQ(window.width, 0);
  EXPECT_EQ(window.height, -20);  // the window applies only sizes above 0
  EXPECT_EQ(window.rememberedFileName, "C:\\");

  // Saving keeps the unknown lines and the line endings, and writes Sprache from the window.
  WindowState exiting = window;
  exiting.languageNumber = 2;
  SaveSettings(path_, panel_, ctx_, exiting);
  const std::string saved = ReadFileBytes(path_);
  EXPECT_EQ(saved.find("[main]\r\ncom = 5\r\nWidth=0\r\nHeight=-20\r\nSprache=2\r\n"
                       "Filename=C:\\\r\nno equals sign here\r\n[ComboBox]\r\n1=1\r\n"),
            0u);
  EXPECT_NE(saved.find(garbage + "\r\n" + std::string(1 << 20, 'x') + "\r\n[Offset]\r\n"),
            std::string::npos);
  EXPECT_NE(saved.find("[EinheitBox]\r\n1=0\r\n2=-1\r\n3=1\r\n"), std::string::npos);
  EXPECT_EQ(Profile(saved).ReadInteger("Main", "Sprache", 0), 2);
  std::string mess = "[Mess]\r\n";
  for (int n = 1; n <= 8; ++n) mess += std::to_string(n) + "=0\r\n";
  EXPECT_TRUE(
      saved.ends_with("[Bereich]\r\n1=0\r\n2=0\r\n3=0\r\n4=0\r\n5=0\r\n6=0\r\n7=0\r\n"
                      "8=0\r\n" +
                      mess));
}

TEST(SettingsPath, ExtensionOfTheExecutableBecomesIni) {
  EXPECT_EQ(SettingsPathFor("/opt/quorvex/bin/quorvex"), "/opt/quorvex/bin/quorvex.ini");
  EXPECT_EQ(SettingsPathFor("C:\\Programs\\Quorvex.exe"), "C:\\Programs\\Quorvex.ini");
  EXPECT_EQ(SettingsPathFor("/opt/v1.4/quorvex"), "/opt/v1.4/quorvex.ini");
  EXPECT_EQ(SettingsPathFor("/opt/quorvex.v2.exe"), "/opt/quorvex.v2.ini");
}

TEST(SettingsPath, WindowsProgramRunFromProgramFilesKeepsItsSettingsInAppData) {
  const std::vector<std::string> programFiles = {"C:\\Program Files", "C:\\Program Files (x86)",
                                                 ""};
  const std::string appData = "C:\\Users\\Ute\\AppData\\Roaming\\";
  const std::string inAppData = "C:\\Users\\Ute\\AppData\\Roaming\\Quorvex\\quorvex.ini";
  struct Case {
    const char* executable;
    std::string expected;
  };
  const Case cases[] = {
      {"C:\\Program Files\\Quorvex\\quorvex.exe", inAppData},
      // Qt names the program with forward slashes, and Windows ignores letter case.
      {"c:/program files/Quorvex/quorvex.exe", inAppData},
      {"C:\\Program Files (x86)\\quorvex.exe", inAppData},
      // A folder whose name only begins like Program Files is not inside it.
      {"C:\\Program Files Old\\quorvex.exe", "C:\\Program Files Old\\quorvex.ini"},
      {"D:\\Tools\\quorvex.exe", "D:\\Tools\\quorvex.ini"},
      // The empty entry (an unset ProgramW6432) is no folder the program could be in.
      {"quorvex.exe", "quorvex.ini"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WindowsSettingsPathFor(c.executable, programFiles, appData), c.expected)
        << c.executable;
  }
  EXPECT_EQ(WindowsSettingsPathFor("C:\\Program Files\\q.exe", {"C:/Program Files/"}, "A:"),
            "A:\\Quorvex\\quorvex.ini");
  EXPECT_EQ(MessageOf([&] { WindowsSettingsPathFor(cases[0].executable, programFiles, ""); }),
            "No folder for the settings: APPDATA names no folder");
}

TEST(SettingsDebugSwitch, OnlyTheFirstArgumentCounts) {
  for (const char* word : {"debug", "Debug", "DEBUG", "dEbUg"}) {
    EXPECT_TRUE(DebugSwitchFromArguments({word})) << word;
  }
  EXPECT_TRUE(DebugSwitchFromArguments({"debug", "other"}));
  EXPECT_FALSE(DebugSwitchFromArguments({}));
  EXPECT_FALSE(DebugSwitchFromArguments({"other", "DEBUG"}));
  EXPECT_FALSE(DebugSwitchFromArguments({"DEBUGX"}));
  EXPECT_FALSE(DebugSwitchFromArguments({"-debug"}));
  EXPECT_FALSE(DebugSwitchFromArguments({""}));
}

}  // namespace
}  // namespace quorvex
