#include "engine/PathMatcher.h"

#include <gtest/gtest.h>

namespace halvik::engine {
namespace {

bool matches(const std::string& pattern, const std::string& path) {
  PathMatcher matcher;
  matcher.add(pattern);
  return matcher.matches(path, path.substr(path.rfind('/') + 1));
}

TEST(PathMatcher, NamesMatchAtAnyDepthAndPathsWhole) {
  EXPECT_TRUE(matches("node_modules", "/home/u/p/node_modules"));
  EXPECT_FALSE(matches("node_modules", "/home/u/node_modules2"));
  EXPECT_FALSE(matches("node", "/home/u/node_modules")) << "a name matches whole, not as a prefix";
  EXPECT_TRUE(matches("*.iso", "/data/big.iso"));
  EXPECT_TRUE(matches("?.tmp", "/x/a.tmp"));
  EXPECT_FALSE(matches("?.tmp", "/x/ab.tmp"));
  EXPECT_TRUE(matches("/home/u/cache/", "/home/u/cache")) << "final separators are ignored";
  EXPECT_FALSE(matches("/home/u/cache", "/home/u/cache2"));
  EXPECT_FALSE(matches("/home/u", "/home/u/cache")) << "a path pattern matches the whole path";
}

TEST(PathMatcher, OneStarStopsAtSeparatorsTwoCrossThem) {
  EXPECT_TRUE(matches("/home/*/cache", "/home/u/cache"));
  EXPECT_FALSE(matches("/home/*/cache", "/home/u/v/cache"));
  EXPECT_TRUE(matches("/home/**/cache", "/home/u/v/cache"));
  EXPECT_TRUE(matches("/home/**", "/home/u"));
  EXPECT_FALSE(matches("/home/?", "/home/ab"));
  EXPECT_FALSE(matches("/x?y", "/x/y")) << "? never matches a separator";
  EXPECT_TRUE(matches("**/.git", "/src/p/.git"));
  EXPECT_TRUE(matches("/a/**/b/*", "/a/x/y/b/z"));
}

TEST(PathMatcher, CaseAsTheFileSystemComparesIt) {
#ifdef _WIN32
  EXPECT_TRUE(matches("NODE_MODULES", "/p/node_modules"));
#else
  EXPECT_FALSE(matches("NODE_MODULES", "/p/node_modules"));
#endif
  EXPECT_TRUE(matches("caf\xC3\xA9", "/p/caf\xC3\xA9"));
}

TEST(PathMatcher, EmptyPatternsAndHostileOnesStayCheap) {
  PathMatcher matcher;
  matcher.add("");
  matcher.add("/");
  EXPECT_TRUE(matcher.empty());
  // Backtracking would take exponential time here; the match is linear in the path per step.
  const std::string path = "/" + std::string(4000, 'a');
  EXPECT_FALSE(matches("/" + std::string(30, '*') + "a*a*a*a*a*a*a*a*a*a*b", path));
}

}  // namespace
}  // namespace halvik::engine
