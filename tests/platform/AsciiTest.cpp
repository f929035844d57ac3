#include "platform/Ascii.h"

#include <gtest/gtest.h>

#include <string>

namespace halvik::platform {
namespace {

TEST(UpperCase, FoldsAsciiLettersOnly) {
  EXPECT_EQ(upperCase("notepad.exe"), "NOTEPAD.EXE");
  EXPECT_EQ(upperCase("Mixed_Case-09 @x"), "MIXED_CASE-09 @X");
  EXPECT_EQ(upperCase("caf\xC3\xA9 \xE9\xFF"), "CAF\xC3\xA9 \xE9\xFF");
  EXPECT_EQ(upperCase(""), "");
  // The bytes 0x20 apart from the letters' neighbours are no letters: "`{" stay, "@[" too.
  EXPECT_EQ(upperCase("`az{"), "`AZ{");
  EXPECT_EQ(upperCase(std::string("a\0b", 3)), std::string("A\0B", 3));
}

TEST(EqualsIgnoringCase, FoldsAsciiLettersAndComparesEveryOtherByteExactly) {
  EXPECT_TRUE(equalsIgnoringCase("Software\\Run", "SOFTWARE\\run"));
  EXPECT_TRUE(equalsIgnoringCase("", ""));
  EXPECT_FALSE(equalsIgnoringCase("abc", "ab"));
  EXPECT_FALSE(equalsIgnoringCase("ab", "abc"));
  EXPECT_FALSE(equalsIgnoringCase("@", "`"));
  EXPECT_FALSE(equalsIgnoringCase("[", "{"));
  EXPECT_FALSE(equalsIgnoringCase("\xC3\xA9", "\xC3\x89"));  // é and É
  EXPECT_FALSE(equalsIgnoringCase("\xE9", "\xC9"));          // é and É in an 8-bit encoding
  EXPECT_TRUE(equalsIgnoringCase(std::string_view("a\0B", 3), std::string_view("A\0b", 3)));
}

TEST(IsControl, IsEveryByteBelowSpaceAndDel) {
  EXPECT_TRUE(isControl('\0'));
  EXPECT_TRUE(isControl('\n'));
  EXPECT_TRUE(isControl('\x1F'));
  EXPECT_TRUE(isControl('\x7F'));
  EXPECT_FALSE(isControl(' '));
  EXPECT_FALSE(isControl('~'));
  EXPECT_FALSE(isControl('\x80'));  // the C1 range is part of UTF-8 sequences
  EXPECT_FALSE(isControl('\xFF'));
}

TEST(Trimmed, RemovesTheGivenBlanksAtBothEndsOnly) {
  EXPECT_EQ(trimmed(" \t\v\fa b\f\v\t "), "a b");
  EXPECT_EQ(trimmed("\ra\n"), "\ra\n");  // line ends are not blanks
  EXPECT_EQ(trimmed(" \t "), "");
  EXPECT_EQ(trimmed(""), "");
  EXPECT_EQ(trimmed("x"), "x");
  EXPECT_EQ(trimmed("\v 5\t", " \t"), "\v 5");
  EXPECT_EQ(trimmed("  k  ", " "), "k");
  EXPECT_EQ(trimmed(std::string_view(" \0 ", 3)), std::string_view("\0", 1));
}

}  // namespace
}  // namespace halvik::platform
