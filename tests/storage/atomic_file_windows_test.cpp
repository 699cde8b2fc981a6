// A file name beyond ASCII on Windows: the UTF-8 path the program passes down must name the file
// the user sees in Explorer, not that name misread in the system's ANSI code page.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>

#include "storage/atomic_file.h"
#include "storage/file_error.h"
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

// Both ways between the UTF-8 of our paths and the UTF-16 of Windows' calls and command line.
TEST(AtomicFileWindowsTest, PathsAndArgumentsCrossBetweenUtf8AndUtf16Whole) {
  struct Row {
    const char* what;
    std::string utf8;
    std::wstring utf16;
  };
  const Row rows[] = {
      {"empty", "", L""},
      {"ASCII", "C:\\Cards\\known.kfg", L"C:\\Cards\\known.kfg"},
      {"umlaut",
       "Pr\xC3\xBC"
       "fung.kfg",
       L"Pr\u00FCfung.kfg"},
      {"beyond the basic plane", "\xF0\x9F\x94\xA7.kfg", L"\U0001F527.kfg"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(WidePath(row.utf8), row.utf16);
    EXPECT_EQ(Utf8FromWide(row.utf16), row.utf8);
  }
  // Bytes of another code page are no name at all: refused with the path, not misread.
  EXPECT_THROW(WidePath("M\xFCller.kfg"), FileError);
  // A lone surrogate from the command line cannot be UTF-8; it becomes the replacement character.
  EXPECT_EQ(Utf8FromWide(std::wstring(L"a") + wchar_t(0xD800) + L"b"),
            "a\xEF\xBF\xBD"
            "b");
}

}  // namespace
}  // namespace quorvex
