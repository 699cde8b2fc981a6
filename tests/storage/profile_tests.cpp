// Tests of the INI profile: lookup rules, in-place writes, damaged and missing files.
#include "storage/profile.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>

#include "tests/storage/storage_test_support.h"
#include "tests/support/temp_folder.h"

namespace quorvex {
namespace {

using testing::TempFolder;

// A file as someone might have edited it by hand: odd spacing and case, comments, duplicates.
constexpr const char* kHandWritten =
    "; written by hand\n"
    "  [ main ]  \n"
    ";COM=99\n"
    "com = 0x10\n"
    "Com=3\n"
    "Width=\t 640\t \n"
    "Name = \"  quoted  \"\n"
    "Single='x'\n"
    "Mixed=\"y'\n"
    "Empty=\n"
    "a line without equals sign\n"
    "[Main]\n"
    "Height=99\n"
    "[ComboBox]\n"
    "1=5\n"
    "1=6\n";

TEST(ProfileLookup, FollowsTheProfileRules) {
  const Profile profile(kHandWritten);
  // Case and blanks around names do not matter; the first key of a name wins; comments are no
  // keys.
  EXPECT_EQ(profile.ReadInteger("MAIN", "COM", -1), 16);
  EXPECT_EQ(profile.ReadInteger("Main", " width ", 0), 640);
  // One pair of matching outer quotes is removed, blanks inside them stay.
  EXPECT_EQ(profile.ReadString("Main", "Name", ""), "  quoted  ");
  EXPECT_EQ(profile.ReadString("Main", "Single", ""), "x");
  EXPECT_EQ(profile.ReadString("Main", "Mixed", ""), "\"y'");
  // Present but empty: empty text, but the default for an integer.
  EXPECT_EQ(profile.ReadString("Main", "Empty", "d"), "");
  EXPECT_EQ(profile.ReadInteger("Main", "Empty", 7), 7);
  // Only the first section of a name counts.
  EXPECT_EQ(profile.ReadInteger("Main", "Height", 0), 0);
  EXPECT_EQ(profile.ReadInteger("ComboBox", "1", 1), 5);
  // Missing key or section.
  EXPECT_EQ(profile.ReadString("Main", "Filename", "C:\\"), "C:\\");
  EXPECT_EQ(profile.ReadInteger("Mess", "1", 42), 42);
  EXPECT_FALSE(profile.Find("Main", "a line without equals sign"));
}

// Only a to z fold: bytes of the 8-bit code page stay distinct whatever the locale says.
TEST(ProfileLookup, NamesFoldOnlyAsciiLetters) {
  const Profile profile("[M\xE4rz]\nWert=1\n");
  EXPECT_EQ(profile.ReadInteger("m\xE4RZ", "WERT", 0), 1);
  EXPECT_EQ(profile.ReadInteger("M\xC4rz", "Wert", 0), 0);
}

// A header needs its closing bracket; a damaged one must not hide the intact section after it
// or end the section it stands in.
TEST(ProfileLookup, HeaderWithoutClosingBracketOpensNoSection) {
  Profile profile("[Main\nCOM=3\n[Main]\nCOM=4\n[ComboBox]\n1=2\n[Mess\n2=5\n");
  EXPECT_EQ(profile.ReadInteger("Main", "COM", -1), 4);
  EXPECT_EQ(profile.ReadInteger("ComboBox", "2", 1), 5);
  EXPECT_FALSE(profile.Find("Mess", "2"));
  profile.WriteInteger("Mess", "1", 0);
  EXPECT_EQ(profile.Content(),
            "[Main\nCOM=3\n[Main]\nCOM=4\n[ComboBox]\n1=2\n[Mess\n2=5\n[Mess]\n1=0\n");
}

// A file saved by an editor that starts it with a UTF-8 byte order mark keeps its first section,
// and the mark stays where it was.
TEST(ProfileLookup, ByteOrderMarkDoesNotHideTheFirstSection) {
  Profile profile("\xEF\xBB\xBF[Main]\r\nCOM=7\r\n");
  EXPECT_EQ(profile.ReadInteger("Main", "COM", -1), 7);
  profile.WriteInteger("Main", "COM", 8);
  EXPECT_EQ(profile.Content(), "\xEF\xBB\xBF[Main]\r\nCOM=8\r\n");
}

TEST(ProfileLookup, IntegersAreDecimalOrHexOnly) {
  struct Case {
    const char* text;
    std::optional<int> value;
  };
  const Case cases[] = {
      {"20", 20},
      {"-1", -1},
      {"+7", 7},
      {"0x5", 5},
      {"0X1f", 31},
      {"2147483647", INT_MAX},
      {"-2147483648", INT_MIN},
      {"2147483648", std::nullopt},
      {"0x80000000", std::nullopt},
      {"", std::nullopt},
      {"abc", std::nullopt},
      {"12abc", std::nullopt},
      {"1.5", std::nullopt},
      {"-", std::nullopt},
      {"0x", std::nullopt},
      {"0xG", std::nullopt},
      {"-0x5", std::nullopt},
      {"1 2", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseProfileInteger(c.text), c.value) << '"' << c.text << '"';
  }
  // Blanks and quotes are gone before the number is read.
  const Profile profile("[S]\na=  7  \nb=\"5\"\n");
  EXPECT_EQ(profile.ReadInteger("S", "a", 0), 7);
  EXPECT_EQ(profile.ReadInteger("S", "b", 0), 5);
}

TEST(ProfileLookup, TextsAreCutAt2047Characters) {
  const Profile profile("[S]\nk=" + std::string(3000, 'x') + "\n");
  EXPECT_EQ(profile.ReadString("S", "k", ""), std::string(2047, 'x'));
}

TEST(ProfileWriting, ChangesOnlyWhatIsWrittenAndKeepsCrLf) {
  Profile profile(
      "; comment\r\n"
      "[Main]\r\n"
      "COM = 5\r\n"
      "\r\n"
      "; about the channels\r\n"
      "[ComboBox]\r\n"
      "1=1\r\n"
      "; trailing comment\r\n"
      "\r\n"
      "[Other]\r\n"
      "x=y");
  profile.WriteInteger("main", "com", 7);
  profile.WriteInteger("ComboBox", "2", 3);
  profile.WriteString("Main", "Filename", "C:\\a.KFG");
  profile.WriteString("Mess", "1", "0");
  EXPECT_EQ(profile.Content(),
            "; comment\r\n"
            "[Main]\r\n"
            "COM = 7\r\n"
            "Filename=C:\\a.KFG\r\n"
            "\r\n"
            "; about the channels\r\n"
            "[ComboBox]\r\n"
            "1=1\r\n"
            "2=3\r\n"
            "; trailing comment\r\n"
            "\r\n"
            "[Other]\r\n"
            "x=y\r\n"
            "[Mess]\r\n"
            "1=0\r\n");
}

TEST(ProfileWriting, DuplicatesEmptySectionsAndNewFiles) {
  Profile duplicates("[A]\nk=1\nK=2\n[a]\nj=2\n");
  duplicates.WriteInteger("a", "K", 9);
  duplicates.WriteInteger("A", "j", 5);
  EXPECT_EQ(duplicates.Content(), "[A]\nk=9\nK=2\nj=5\n[a]\nj=2\n");

  Profile commentOnly("[Main]\n; nothing yet\n");
  commentOnly.WriteInteger("Main", "COM", 1);
  EXPECT_EQ(commentOnly.Content(), "[Main]\nCOM=1\n; nothing yet\n");

  Profile fresh;
  fresh.WriteInteger("Main", "COM", -1);
  fresh.WriteString("Offset", "1", "0");
#ifdef _WIN32
  EXPECT_EQ(fresh.Content(), "[Main]\r\nCOM=-1\r\n[Offset]\r\n1=0\r\n");
#else
  EXPECT_EQ(fresh.Content(), "[Main]\nCOM=-1\n[Offset]\n1=0\n");
#endif
}

TEST(ProfileWriting, TextsComeBackAsWritten) {
  Profile profile;
  const std::string texts[] = {"", " padded ", "\"quoted\"", "'x'", "\"", "a=b", "  "};
  for (std::size_t i = 0; i < std::size(texts); ++i) {
    profile.WriteString("S", std::to_string(i), texts[i]);
  }
  const Profile reread(profile.Content());
  for (std::size_t i = 0; i < std::size(texts); ++i) {
    EXPECT_EQ(reread.ReadString("S", std::to_string(i), "default"), texts[i]) << i;
  }
}

TEST(ProfileWriting, LineBreaksInAValueCannotInjectKeys) {
  Profile profile("[Main]\nFilename=old\n");
  profile.WriteString("Main", "Filename", "/tmp/x\n[ComboBox]\r\n1=14");
  EXPECT_EQ(profile.Content(), "[Main]\nFilename=/tmp/x [ComboBox]  1=14\n");
  EXPECT_FALSE(Profile(profile.Content()).Find("ComboBox", "1"));
}

// A written value can make its line a header ("[x" given "]" reads "[x=]"); what follows then
// belongs to that section, as a new reading of the file would have it.
TEST(ProfileWriting, AValueThatMakesAHeaderStartsASection) {
  Profile profile("[S]\n[x\nk=1\n");
  profile.WriteString("S", "[x", "]");
  EXPECT_EQ(profile.Find("x=", "k"), std::optional<std::string>("1"));
  EXPECT_FALSE(profile.Find("S", "k"));
  profile.WriteString("S", "k", "2");
  EXPECT_EQ(profile.Content(), "[S]\nk=2\n[x=]\nk=1\n");
}

TEST(ProfileDamage, GarbageAndHugeLinesAreHarmless) {
  std::string garbage;
  for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 131 + 7) % 256);
  using namespace std::string_literals;
  const std::string damaged = "[Main\n=\n[]\n" + garbage +
                              "\n[Main]\nCOM=\0"
                              "3\n"s +
                              std::string(1 << 20, 'k') + "\r\r\n[ComboBox]\n1=2";
  Profile profile(damaged);
  EXPECT_EQ(profile.Content(), damaged);
  EXPECT_EQ(profile.ReadInteger("ComboBox", "1", 1), 2);
  // A NUL ends a value, as it ends a C string.
  EXPECT_EQ(profile.ReadInteger("Main", "COM", -1), -1);
  profile.WriteInteger("ComboBox", "2", 4);
  EXPECT_EQ(profile.Content(), damaged + "\n2=4\n");
}

TEST(ProfileFile, MissingOrUnreadableFileIsEmpty) {
  TempFolder dir;
  EXPECT_EQ(Profile::Load(dir / "missing.ini").Content(), "");
  EXPECT_EQ(Profile::Load(dir.Path()).Content(), "");  // a folder cannot be read as a file
  testing::WriteFileBytes(dir / "q.ini", "[Main]\r\nCOM=4\r\n");
  const Profile loaded = Profile::Load(dir / "q.ini");
  EXPECT_EQ(loaded.ReadInteger("Main", "COM", -1), 4);
  EXPECT_EQ(loaded.Content(), "[Main]\r\nCOM=4\r\n");
}

}  // namespace
}  // namespace quorvex
