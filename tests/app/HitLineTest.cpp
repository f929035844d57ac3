#include "app/HitLine.h"

#include <gtest/gtest.h>

#include <string>

namespace halvik::app {

using app::escapedForLine;

TEST(HitLine, PrintableBytesAndNonUtf8StayAsTheyAre) {
  EXPECT_EQ(escapedForLine("/home/user/caf\xC3\xA9 dir/setup.exe"), "/home/user/caf\xC3\xA9 dir/setup.exe");
  EXPECT_EQ(escapedForLine("\xFF\xFE\x80"), "\xFF\xFE\x80");
  EXPECT_EQ(escapedForLine(""), "");
}

TEST(HitLine, SeparatorsAndControlBytesAreEscaped) {
  EXPECT_EQ(escapedForLine("a\\b"), "a\\\\b");
  EXPECT_EQ(escapedForLine("a\tb\nc"), "a\\tb\\nc");
  EXPECT_EQ(escapedForLine(std::string("\r\x01\x1B\x7F", 4)), "\\x0D\\x01\\x1B\\x7F");
  EXPECT_EQ(escapedForLine(std::string("a\0b", 3)), "a\\x00b");
  // An escape is never ambiguous: a literal "\n" in a name is a backslash and an n.
  EXPECT_EQ(escapedForLine("\\n"), "\\\\n");
}

TEST(HitLine, OneHitIsOneLineWithOneTab) {
  const std::string line = app::hitLine("TROJAN\tX", "/data/a\nb\tc");
  EXPECT_EQ(line, "TROJAN\\tX\t/data/a\\nb\\tc");
  EXPECT_EQ(line.find('\n'), std::string::npos);
  EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 1);
}

}  // namespace halvik::app
