// Small files as the Windows profile functions read them: what each key reads and the bytes after
// one write. One row per behaviour, so a later change cannot swap one for another unnoticed.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "storage/profile.h"

namespace quorvex {
namespace {

// A UTF-16 file: byte order mark and text.
std::string Utf16(std::u16string_view text, bool bigEndian = false) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (const char16_t u : text) {
    const char high = static_cast<char>(u >> 8), low = static_cast<char>(u & 0xFF);
    bytes += bigEndian ? high : low;
    bytes += bigEndian ? low : high;
  }
  return bytes;
}

struct Read {
  const char* section;
  const char* key;
  std::string text;  // ReadString with the default "?"
  int integer;       // ReadInteger with the default -99
};

struct Write {
  const char* section;
  const char* key;
  std::string value;
};

struct Case {
  const char* row;
  std::string file;
  std::vector<Read> reads;
  Write write;
  std::string written;                                 // the whole file after the write
  std::optional<std::string> readBack = std::nullopt;  // what the key reads then, if not `value`
};

std::vector<Case> Cases() {
  const std::u16string wide = u"[S]\r\nk=" + std::u16string(2046, u'x') + u"€€\r\n";
  return {
      // --- files that travelled: as the Windows profile functions read and write them
      {"CR only",
       "[Main]\rCOM=5\rWidth=600\r[Offset]\r1=2.5\r",
       {{"Main", "COM", "5", 5}, {"Main", "Width", "600", 600}, {"Offset", "1", "2.5", -99}},
       {"Main", "Height", "410"},
       "[Main]\rCOM=5\rWidth=600\rHeight=410\r[Offset]\r1=2.5\r"},
      {"CR only, new section",
       "[Main]\rCOM=5",
       {{"Main", "COM", "5", 5}},
       {"Mess", "1", "0"},
       "[Main]\rCOM=5\r[Mess]\r1=0\r"},
      {"lone CR in an LF file",
       "[Offset]\n1=2.5\r2=3\n[Main]\nCOM=5\n",
       {{"Offset", "1", "2.5", -99}, {"Offset", "2", "3", 3}},
       {"Offset", "3", "4"},
       "[Offset]\n1=2.5\r2=3\n3=4\n[Main]\nCOM=5\n"},
      {"lone CR in a CRLF file",
       "[Main]\r\nCOM=5\r[Offset]\r\n1=2.5\r\n",
       {{"Main", "COM", "5", 5}, {"Offset", "1", "2.5", -99}},
       {"Main", "COM", "6"},
       "[Main]\r\nCOM=6\r[Offset]\r\n1=2.5\r\n"},
      {"CR CR LF",
       "[Main]\r\r\nCOM=5\r\r\n[Offset]\r\r\n1=2.5\r\r\n",
       {{"Main", "COM", "5", 5}, {"Offset", "1", "2.5", -99}},
       {"Main", "Width", "600"},
       "[Main]\r\r\nCOM=5\r\r\nWidth=600\r\r\n[Offset]\r\r\n1=2.5\r\r\n"},
      {"UTF-16 LE",
       Utf16(u"[Main]\r\nCOM=5\r\nFilename=C:\\Müll\\€ 😀.KFG\r\n[Offset]\r\n"),
       {{"Main", "COM", "5", 5}, {"main", "filename", "C:\\Müll\\€ 😀.KFG", -99}},
       {"Offset", "2", "Grüße 😀"},
       Utf16(u"[Main]\r\nCOM=5\r\nFilename=C:\\Müll\\€ 😀.KFG\r\n[Offset]\r\n2=Grüße 😀\r\n")},
      {"UTF-16 BE",
       Utf16(u"[Main]\r\nCOM=5\r\nFilename=Ä\r\n", true),
       {{"Main", "COM", "5", 5}, {"Main", "Filename", "Ä", -99}},
       {"Mess", "1", "ß"},
       Utf16(u"[Main]\r\nCOM=5\r\nFilename=Ä\r\n[Mess]\r\n1=ß\r\n", true)},
      {"UTF-16, what it cannot hold",
       Utf16(u"[Main]\r\nCOM=5"),
       {},
       {"Main", "Filename", "a\xFF\xC3z"},
       Utf16(u"[Main]\r\nCOM=5\r\nFilename=a\uFFFD\uFFFDz\r\n"),
       "a\uFFFD\uFFFDz"},
      {"UTF-16, lone surrogate and odd last byte",
       Utf16(u"[Main]\r\nX=\xD800|\r\nCOM=5\r\n") + "!",
       {{"Main", "X", "\xED\xA0\x80|", -99}},
       {"Main", "COM", "6"},
       Utf16(u"[Main]\r\nX=\xD800|\r\nCOM=6\r\n") + "!"},
      {"UTF-16, text cut between characters",
       Utf16(wide),
       {{"S", "k", std::string(2046, 'x'), -99}},
       {"S", "k", "1"},
       Utf16(u"[S]\r\nk=1\r\n")},
      {"header with a comment holding ]",
       "[Main] ; see [x]\nCOM=5\n[Offset] ; note\n1=2\n",
       {{"Main", "COM", "?", -99}, {"Main] ; see [x", "COM", "5", 5}, {"Offset", "1", "2", 2}},
       {"Main", "COM", "7"},
       "[Main] ; see [x]\nCOM=5\n[Offset] ; note\n1=2\n[Main]\nCOM=7\n"},
      {"header [Offset]]",
       "[Offset]]\n1=2.5\n",
       {{"Offset", "1", "?", -99}, {"Offset]", "1", "2.5", -99}},
       {"Offset", "1", "3"},
       "[Offset]]\n1=2.5\n[Offset]\n1=3\n"},
      {"bare key before the key",
       "[Main]\nCOM\nCOM=5\n",
       {{"Main", "COM", "", -99}},
       {"Main", "COM", "7"},
       "[Main]\nCOM=7\nCOM=5\n"},
      {"bare text key",
       "[Offset]\n 1 \t\n",
       {{"Offset", "1", "", -99}},
       {"Offset", "1", "2.5"},
       "[Offset]\n 1=2.5\n"},
      {"vertical tab and form feed",
       "[ \vMain\f]\nCOM=5\v\nWidth=\f600 \n",
       {{"Main", "COM", "5", 5}, {"Main", "Width", "600", 600}},
       {"Main", "Filename", "\va"},
       "[ \vMain\f]\nCOM=5\v\nWidth=\f600 \nFilename=\"\va\"\n"},
      {"trailing Ctrl-Z, and Ctrl-Z as a blank",
       "[Main]\x1A\r\nWidth=\x1A"
       "6\x1A\r\nCOM=5\x1A",
       {{"Main", "COM", "5", 5}, {"Main", "Width", "6", 6}},
       {"Main", "Height", "4"},
       "[Main]\x1A\r\nWidth=\x1A"
       "6\x1A\r\nCOM=5\r\nHeight=4\r\n\x1A"},
      {"Ctrl-Z after the last line",
       "[Main]\r\nCOM=5\r\n\x1A\x1A",
       {{"Main", "COM", "5", 5}},
       {"Mess", "1", "0"},
       "[Main]\r\nCOM=5\r\n[Mess]\r\n1=0\r\n\x1A\x1A"},
      // --- decided mends and rules of the Part, kept where the platform differs
      {"line break in a value becomes a blank",
       "[Main]\nFilename=old\n",
       {},
       {"Main", "Filename", "/tmp/x\r[ComboBox]\n1=14"},
       "[Main]\nFilename=/tmp/x [ComboBox] 1=14\n",
       "/tmp/x [ComboBox] 1=14"},
      {"outer blanks are quoted",
       "[Offset]\n",
       {},
       {"Offset", "1", " 2.5 "},
       "[Offset]\n1=\" 2.5 \"\n"},
      {"outer quotes are quoted",
       "[Offset]\n",
       {},
       {"Offset", "1", "'q'"},
       "[Offset]\n1=\"'q'\"\n"},
      {"header without ] opens no section",
       "[Main\nCOM=3\n",
       {{"Main", "COM", "?", -99}},
       {"Main", "COM", "4"},
       "[Main\nCOM=3\n[Main]\nCOM=4\n"},
      {"UTF-8 byte order mark",
       "\xEF\xBB\xBF[Main]\r\nCOM=7\r\n",
       {{"Main", "COM", "7", 7}},
       {"Main", "COM", "8"},
       "\xEF\xBB\xBF[Main]\r\nCOM=8\r\n"},
      {"the Part's integers",
       "[Main]\nCOM=12abc\nWidth=0x258\nHeight= -20 \n",
       {{"Main", "COM", "12abc", -99},
        {"Main", "Width", "0x258", 600},
        {"Main", "Height", "-20", -20}},
       {"Main", "COM", "-1"},
       "[Main]\nCOM=-1\nWidth=0x258\nHeight= -20 \n"},
      {"blank lines, stray lines and comments stay",
       "[Main]\n\nCOM=1\nstray\n; end\n\n",
       {},
       {"Main", "Width", "600"},
       "[Main]\n\nCOM=1\nWidth=600\nstray\n; end\n\n"},
      {"case, quotes, first section and first key",
       "[main]\ncom='1'\nCOM=2\n[MAIN]\nWidth=3\n",
       {{"MAIN", "Com", "1", 1}, {"Main", "Width", "?", -99}},
       {"Main", "Width", "600"},
       "[main]\ncom='1'\nCOM=2\nWidth=600\n[MAIN]\nWidth=3\n"},
#ifdef _WIN32
      {"new file", "", {}, {"Main", "COM", "-1"}, "[Main]\r\nCOM=-1\r\n"},
#else
      {"new file", "", {}, {"Main", "COM", "-1"}, "[Main]\nCOM=-1\n"},
#endif
  };
}

TEST(ProfileAsWindowsReadsIt, EveryRow) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.row);
    Profile profile(c.file);
    EXPECT_EQ(profile.Content(), c.file);
    for (const Read& r : c.reads) {
      EXPECT_EQ(profile.ReadString(r.section, r.key, "?"), r.text) << r.section << "/" << r.key;
      EXPECT_EQ(profile.ReadInteger(r.section, r.key, -99), r.integer) << r.section << "/" << r.key;
    }
    profile.WriteString(c.write.section, c.write.key, c.write.value);
    EXPECT_EQ(profile.Content(), c.written);
    EXPECT_EQ(Profile(c.written).ReadString(c.write.section, c.write.key, "?"),
              c.readBack.value_or(c.write.value));
  }
}

}  // namespace
}  // namespace quorvex
