// A file name beyond ASCII on Windows: the UTF-8 path the program passes down must name the file
// the user sees in Explorer, not that name misread in the system's ANSI code page.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>

#include "storage/atomic_file.h"
#include "tests/support/temp_folder.h"

namespace quorvex {
namespace {

using testing::TempFolder;

TEST(AtomicFileWindowsTest, UmlautNameSavesAndLoadsUnderItsOwnName) {
  TempFolder folder;
  const std::string path = folder / "M\xC3\xBCller.KFG";
  WriteFileAtomically(path, "card bytes");

  const std::wstring shown = std::filesystem::path(folder.Path()).wstring() + L"\\M\u00FCller.KFG";
  EXPECT_NE(GetFileAttributesW(shown.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(IsRegularFile(path));
  EXPECT_EQ(ReadFileStart(path, 100), "card bytes");

  WriteFileAtomically(path, "replaced");
  EXPECT_EQ(ReadFileStart(path, 100), "replaced");
  // The save leaves nothing beside the file: no temporary under a misread name.
  WIN32_FIND_DATAW found;
  const std::wstring pattern = std::filesystem::path(folder.Path()).wstring() + L"\\*";
  HANDLE search = FindFirstFileW(pattern.c_str(), &found);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  int files = 0;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) ++files;
  } while (FindNextFileW(search, &found));
  FindClose(search);
  EXPECT_EQ(files, 1);
}

}  // namespace
}  // namespace quorvex
