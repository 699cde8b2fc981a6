// The backup's name, and its save that never replaces a file, also with many savers at once.
#include "cli/commands/card_backup.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "storage/file_error.h"
#include "tests/support/panel_setup.h"
#include "tests/support/temp_folder.h"

namespace quorvex::cli {
namespace {

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST(CardBackupTest, StemIsTheStableNameMadeSafeOrTheComPort) {
  struct Case {
    const char* stableName;
    int port;
    std::string stem;
  };
  const Case cases[] = {
      {"/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A12-if00-port0", 3,
       "usb-FTDI_FT232R_USB_UART_A12-if00-port0"},
      // A Windows device instance ID: its separators would make folders or worse.
      {"USB\\VID_0403&PID_6001\\A12345", 4, "USB_VID_0403_PID_6001_A12345"},
      {"FTDIBUS\\VID_0403+PID_6001+A1\\0000", 5, "FTDIBUS_VID_0403+PID_6001+A1_0000"},
      {"", 7, "COM7"},
      {"..", 8, "_."},
      {"a:b*c?d\"e<f>g|h", 9, "a_b_c_d_e_f_g_h"},
      {"M\u00fcller", 10, "M__ller"},
      {"\\\\", 11, "COM11"},
      {"/dev/serial/by-id/", 12, "COM12"},
  };
  for (const Case& c : cases) EXPECT_EQ(BackupStem(c.stableName, c.port), c.stem) << c.stableName;
  EXPECT_EQ(BackupStem(std::string(500, 'x'), 1).size(), 120u);
}

TEST(CardBackupTest, TimeIsUtcInOneWord) {
  EXPECT_EQ(BackupTime(std::chrono::system_clock::from_time_t(0)), "19700101T000000Z");
  EXPECT_EQ(BackupTime(std::chrono::system_clock::from_time_t(1796739302)), "20261208T141502Z");
}

TEST(CardBackupTest, AnExistingFileIsNeverReplacedAndManySaversGetAFileEach) {
  const testing::TempFolder folder;
  const auto when = std::chrono::system_clock::from_time_t(1796739302);
  std::ofstream(folder / "COM3-20261208T141502Z.KFG") << "older";
  const std::string first = SaveBackup(folder.Path(), "COM3", when, testing::kKnownImage);
  EXPECT_EQ(first, folder / "COM3-20261208T141502Z-2.KFG");
  EXPECT_EQ(Slurp(folder / "COM3-20261208T141502Z.KFG"), "older");
  EXPECT_EQ(Slurp(first), std::string(testing::kKnownImage.begin(), testing::kKnownImage.end()));

  // Eight cards of one batch ending their backup read in the same second.
  std::vector<std::string> paths(8);
  std::vector<std::thread> savers;
  for (std::size_t t = 0; t < paths.size(); ++t) {
    savers.emplace_back([&, t] {
      ConfigImage image{};
      image[0] = static_cast<std::uint8_t>(t);
      paths[t] = SaveBackup(folder.Path() + "/", "COM3", when, image);
    });
  }
  for (auto& s : savers) s.join();
  EXPECT_EQ(std::set<std::string>(paths.begin(), paths.end()).size(), paths.size());
  for (std::size_t t = 0; t < paths.size(); ++t) {
    const std::string bytes = Slurp(paths[t]);
    ASSERT_EQ(bytes.size(), kConfigImageSize) << paths[t];
    EXPECT_EQ(bytes[0], static_cast<char>(t)) << paths[t];
  }
  EXPECT_EQ(testing::FolderEntries(folder.Path()).size(), 10u);

  // A folder that is not there is the save's failure, named, not a name taken by a counter.
  EXPECT_THROW(SaveBackup(folder / "missing", "COM3", when, testing::kKnownImage), FileError);
}

}  // namespace
}  // namespace quorvex::cli
