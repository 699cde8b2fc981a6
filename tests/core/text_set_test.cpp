// Tests of the text sets: every entry in both languages, and access keys of their own per menu.
#include "core/text_set.h"

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <set>
#include <string>

namespace quorvex {
namespace {

// The character after the "&" that marks it, "" when the caption has none ("&&" is an "&").
std::string AccessKey(const std::string& caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;
      continue;
    }
    std::size_t length = 1;
    while (i + 1 + length < caption.size() && (caption[i + 1 + length] & 0xC0) == 0x80) ++length;
    std::string key = caption.substr(i + 1, length);
    if (length == 1) key[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(key[0])));
    return key;
  }
  return {};
}

TEST(TextSet, EveryEntryHasItsOwnTextInBothLanguagesAndEachMenuItsOwnAccessKeys) {
  // Words that German writes as English does, and captions that are the same on purpose.
  const std::set<std::string> sameInGerman = {
      "Offset", " ", "OK", "Name", "&Language / Sprache", "&English", "&Deutsch"};
  const auto entries = TextEntries();
  // TextSet holds nothing but its texts: a member missing from the table would stay empty.
  EXPECT_EQ(entries.size() * sizeof(std::string), sizeof(TextSet));
  for (std::size_t i = 0; i < entries.size(); ++i) {
    for (std::size_t j = i + 1; j < entries.size(); ++j) {
      EXPECT_FALSE(entries[i].text == entries[j].text) << entries[i].english;
    }
  }

  const TextSet english = EnglishTextSet();
  for (const int language : {kEnglishLanguageNumber, kGermanLanguageNumber}) {
    SCOPED_TRACE(language);
    const TextSet texts = TextSetFor(language);
    std::map<MenuOf, std::set<std::string>> keys;
    for (const TextEntry& entry : entries) {
      const std::string& text = texts.*entry.text;
      EXPECT_FALSE(text.empty()) << entry.english;
      if (language == kGermanLanguageNumber && text == english.*entry.text) {
        EXPECT_EQ(sameInGerman.count(text), 1u) << "not translated: \"" << text << "\"";
      }
      if (entry.menu == MenuOf::None) continue;
      const std::string key = AccessKey(text);
      if (!key.empty()) {
        EXPECT_TRUE(keys[entry.menu].insert(key).second) << text;
      }
    }
  }
}

TEST(TextSet, LanguageNumberOneIsGermanAndEveryOtherEnglish) {
  const struct {
    int stored;
    int used;
    const char* channel;
  } cases[] = {
      {1, 1, "Kanal"}, {2, 2, "Channel"}, {0, 2, "Channel"}, {3, 2, "Channel"}, {-1, 2, "Channel"}};
  for (const auto& c : cases) {
    EXPECT_EQ(KnownLanguageNumber(c.stored), c.used) << c.stored;
    EXPECT_EQ(TextSetFor(c.stored).channel, c.channel) << c.stored;
  }
}

}  // namespace
}  // namespace quorvex
