#include "platform/Wildcard.h"

#include <gtest/gtest.h>

namespace halvik::platform {
namespace {

TEST(MatchesWildcard, FollowsTheWildcardRules) {
  struct Case {
    const char* name;
    const char* pattern;
    bool matches;
  };
  const Case cases[] = {
      {"noext", "*.*", true},
      {"", "*.*", true},
      {"X.AAQ", "*.aaq", true},
      {"a.aaq.txt", "*.aaq", false},
      {"aaq", "*.aaq", false},
      {"abc", "a?c", true},
      {"ac", "a?c", false},
      {"abc", "*", true},
      {"", "*", true},
      {"abc", "", false},
      {"aXbYbZc", "a*b*c", true},
      {"aXbYbZ", "a*b*c", false},
      {"README", "readme", true},
      {"\xc3\xa9", "\xc3\x89", false},
      {"*x", "\\*x", false},
      {"a*b", "a*b", true},
      {"ab", "a**b", true},
      {"a.b.c", "*.c", true},
      {"x\xff", "X?", true},
      {"abc", "ab", false},
      {"ab", "abc", false},
      {"@", "`", false},
      {"[z]", "{Z}", false},
      {"a_b", "A_B", true},
  };
  for (const auto& c : cases) EXPECT_EQ(matchesWildcard(c.name, c.pattern), c.matches) << c.name << " / " << c.pattern;
}

}  // namespace
}  // namespace halvik::platform
