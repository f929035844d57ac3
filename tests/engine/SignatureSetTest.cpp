#include "engine/SignatureSet.h"

#include <gtest/gtest.h>

#include <string>

namespace halvik::engine {

TEST(SignatureSet, ReadsNamesAndVersionUnderTheProfileRules) {
  const std::string text =
      "; set\r\n[Signatures]\r\nVersion = 2026120701\r\nDate=2026-12-07\r\n[scanfiles]\r\nevil.exe=Evil\r\n"
      "EVIL.EXE=Second\r\nquoted.exe=\"Q\"\r\nempty.exe=\r\nbare.exe\r\nbare.exe=Late\r\nlong.exe=" +
      std::string(2000, 'x') + "\r\n[Scanfiles]\r\nlater.exe=Never\r\n";
  const auto set = SignatureSet::parse(text, "here");
  ASSERT_TRUE(set);
  EXPECT_EQ(set->version(), 2026120701u);
  EXPECT_EQ(set->date(), "2026-12-07");
  EXPECT_EQ(set->origin(), "here");
  EXPECT_EQ(set->count(), 3u);
  EXPECT_EQ(set->lookup("Evil.Exe"), "Evil") << "the first of equal keys wins, in any case";
  EXPECT_EQ(set->lookup("quoted.exe"), "Q");
  EXPECT_EQ(set->lookup("long.exe").size(), 1023u);
  for (const char* absent : {"empty.exe", "bare.exe", "later.exe", " evil.exe", "evil.exe\t", "", "evil"})
    EXPECT_EQ(set->lookup(absent), "") << absent;
}

TEST(SignatureSet, ReadsUtf16AndGivesVersionZeroWithoutTheSection) {
  std::string utf16 = "\xFF\xFE";
  for (const char c : std::string("[Scanfiles]\r\nA.EXE=Alpha\r\n")) utf16 += std::string{c, '\0'};
  const auto set = SignatureSet::parse(utf16, "");
  ASSERT_TRUE(set);
  EXPECT_EQ(set->lookup("a.exe"), "Alpha");
  EXPECT_EQ(set->version(), 0u);
  EXPECT_EQ(set->date(), "");
}

TEST(SignatureSet, RefusesWhatIsNoSoundSetWithItsReason) {
  const std::pair<std::string, const char*> cases[] = {
      {"", "holds no name"},
      {"[Scanfiles]\r\nempty.exe=\r\n=Nameless\r\n[Other]\r\nA.EXE=A\r\n", "holds no name"},
      {std::string("\0\xFF\xFE[\0S", 6) + "\n\n\rnotepad.exe", "holds a NUL byte"},
      {"[Signatures]\r\nVersion=12a\r\n[Scanfiles]\r\nA.EXE=A\r\n", "its Version is not a whole number"},
      {"[Signatures]\r\nVersion=-1\r\n[Scanfiles]\r\nA.EXE=A\r\n", "its Version is not a whole number"},
  };
  for (const auto& [text, why] : cases) {
    std::string reason;
    EXPECT_FALSE(SignatureSet::parse(text, "", &reason)) << text;
    EXPECT_EQ(reason, why) << text;
  }
  EXPECT_EQ(SignatureSet().lookup("A.EXE"), "");
}

}  // namespace halvik::engine
