#include "quarantine/CopyNumber.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace halvik::quarantine {
namespace {

constexpr std::size_t kRoomy = 251;

TEST(CopyNumber, GoesBeforeTheLastExtensionAndComesOffAgain) {
  struct Case {
    const char* name;
    int number;
    const char* numbered;
  };
  const Case cases[] = {
      {"setup.exe", 1, "setup.exe"},
      {"setup.exe", 2, "setup (2).exe"},
      {"hosts", 3, "hosts (3)"},
      {".bashrc", 2, ".bashrc (2)"},
      {"archive.tar.gz", 2, "archive.tar (2).gz"},
      {"name.", 2, "name (2)."},
      {"a (2).txt", 12, "a (2) (12).txt"},
      {"odd \xFF name.x", 100000, "odd \xFF name (100000).x"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(withCopyNumber(c.name, c.number, kRoomy), c.numbered) << c.name;
    if (c.number > 1) {
      EXPECT_EQ(withoutCopyNumber(c.numbered), std::optional<std::string>(c.name)) << c.numbered;
    }
  }
}

TEST(CopyNumber, ALongNameLosesItsStemThenItsExtensionButNeverTheNumber) {
  EXPECT_EQ(withCopyNumber(std::string(20, 's') + ".exe", 2, 16), std::string(8, 's') + " (2).exe");
  EXPECT_EQ(withCopyNumber("s." + std::string(20, 'e'), 2, 16), "s." + std::string(10, 'e') + " (2)");
  // Not inside a UTF-8 sequence: "é" is two bytes, and a cut between them moves before it.
  EXPECT_EQ(withCopyNumber("ab\xC3\xA9.txt", 2, 11), "ab (2).txt");
  EXPECT_EQ(withCopyNumber("short.txt", 1, 9), "short.txt");
}

TEST(CopyNumber, OnlyDigitsInSpaceAndParenthesesBeforeTheExtensionCount) {
  for (const char* name : {"setup.exe", "setup(2).exe", "setup ().exe", "setup (x).exe", "setup (2)x.exe", " (2).exe",
                           "(2)", "setup.exe (2)", "setup (-2).exe", "setup ( 2).exe"})
    EXPECT_EQ(withoutCopyNumber(name), std::nullopt) << name;
  EXPECT_EQ(withoutCopyNumber("a (02).txt"), std::optional<std::string>("a.txt"));
  EXPECT_EQ(withoutCopyNumber("a (2) (3)"), std::optional<std::string>("a (2)"));
}

}  // namespace
}  // namespace halvik::quarantine
