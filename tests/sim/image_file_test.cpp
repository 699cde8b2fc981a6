// Tests of the simulator's image file: missing, round trip, wrong size, no litter, mode.
#include "sim/image_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "tests/support/temp_folder.h"

namespace quorvex::sim {
namespace {

using quorvex::testing::TempFolder;

void WriteBytes(const std::string& path, std::size_t count) {
  std::ofstream out(path, std::ios::binary);
  for (std::size_t i = 0; i < count; ++i) out.put(static_cast<char>(i));
}

TEST(ImageFile, MissingFileMeansAFreshCard) {
  TempFolder folder;
  EXPECT_FALSE(LoadImageFile(folder / "none.kfg"));
}

TEST(ImageFile, RoundTripKeepsEveryByteAndLeavesNoTemporaryFile) {
  TempFolder folder;
  RegisterImage image{};
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(255 - i * 3);
  SaveImageFile(folder / "card.kfg", image);
  image[40] = 0x11;
  SaveImageFile(folder / "card.kfg", image);
  EXPECT_EQ(LoadImageFile(folder / "card.kfg"), image);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
}

TEST(ImageFile, RefusesFilesThatAreNotExactlyAnImage) {
  TempFolder folder;
  WriteBytes(folder / "short.kfg", 40);
  WriteBytes(folder / "long.kfg", 42);
  try {
    LoadImageFile(folder / "short.kfg");
    FAIL() << "a short file was accepted";
  } catch (const ImageFileError& e) {
    EXPECT_NE(std::string(e.what()).find("40 bytes long, not 41"), std::string::npos) << e.what();
  }
  EXPECT_THROW(LoadImageFile(folder / "long.kfg"), ImageFileError);
  EXPECT_THROW(LoadImageFile(folder.Path()), ImageFileError);  // a folder
}

TEST(ImageFile, FailedSaveLeavesNoLitter) {
  TempFolder folder;
  EXPECT_THROW(SaveImageFile(folder / "missing/card.kfg", RegisterImage{}), ImageFileError);
  // The temporary file is written, but the rename onto a folder fails.
  std::filesystem::create_directory(folder / "taken.kfg");
  EXPECT_THROW(SaveImageFile(folder / "taken.kfg", RegisterImage{}), ImageFileError);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
  EXPECT_TRUE(std::filesystem::is_directory(folder / "taken.kfg"));
}

TEST(ImageFile, SaveKeepsTheModeOfTheFileItReplaces) {
  TempFolder folder;
  const std::string path = folder / "card.kfg";
  SaveImageFile(path, RegisterImage{});
  ::chmod(path.c_str(), 0600);
  RegisterImage changed{};
  changed[1] = 1;
  SaveImageFile(path, changed);
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_EQ(LoadImageFile(path), changed);
}

}  // namespace
}  // namespace quorvex::sim
