// Tests of the text sets: every entry in both languages, and access keys of their own per menu.
#include "core/text_set.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace quorvex {
namespace {

TEST(TextSet, EveryEntryHasItsOwnTextInBothLanguagesAndEachMenuItsOwnAccessKeys) {
  // Words that German writes as English does, and captions that are the same on purpose.
  const std::set<std::string> sameInGerman = {
      "Offset", " ", "OK", "Name", "%2 ms", "&Language / Sprache", "&English", "&Deutsch"};
  // TextSet holds nothing but its texts: a member missing from the table would stay empty.
  EXPECT_EQ(TextEntries().size() * sizeof(std::string), sizeof(TextSet));
  const TextSet english = EnglishTextSet();
  // 1 is German; 2 and every number that names no language, English.
  for (const int language : {1, 2, 0, 3}) {
    SCOPED_TRACE(language);
    const TextSet texts = TextSetFor(language);
    EXPECT_EQ(texts.channel, language == 1 ? "Kanal" : "Channel");
    std::map<MenuOf, std::set<std::string>> keys;
    std::vector<std::string TextSet::*> members;
    for (const TextEntry& entry : TextEntries()) {
      const std::string& text = texts.*entry.text;
      EXPECT_EQ(std::count(members.begin(), members.end(), entry.text), 0) << entry.english;
      members.push_back(entry.text);
      EXPECT_FALSE(text.empty()) << entry.english;
      if (language == 1 && text == english.*entry.text) {
        EXPECT_EQ(sameInGerman.count(text), 1u) << "not translated: \"" << text << "\"";
      }
      const std::size_t amp = text.find('&');
      if (entry.menu == MenuOf::None || amp == std::string::npos) continue;
      const char key = static_cast<char>(std::tolower(static_cast<unsigned char>(text[amp + 1])));
      EXPECT_TRUE(keys[entry.menu].insert(std::string(1, key)).second) << text;
    }
  }
}

}  // namespace
}  // namespace quorvex
